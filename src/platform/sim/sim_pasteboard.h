#pragma once

#include "platform/pasteboard.h"

#include <QSet>

namespace ql::sim {

// The simulated general pasteboard: named types to bytes, in the owner's
// order, with a change count and an owner. Reads by simulated applications
// go through fetch(), which counts as the target fetching the program's
// content.
class SimPasteboard final : public Pasteboard {
  Q_OBJECT

 public:
  static inline const QString kProgramOwner = QStringLiteral("(program)");

  using Pasteboard::Pasteboard;

  QStringList types() const override;
  std::optional<QByteArray> data(const QString& type) const override;
  void clear() override;
  bool write(const QList<PasteboardItem>& items) override;
  quint64 changeCount() const override { return changeCount_; }
  int fetchCount() const override { return fetchCount_; }
  bool isOwnedByProgram() const override { return ownedByProgram(); }
  qint64 lastRequestUs() const override { return lastRequestUs_; }

  // Another application takes the pasteboard with this content.
  void setContent(const QList<PasteboardItem>& items, const QString& owner);
  // A simulated application reads one type; counts as a fetch of the
  // program's content.
  std::optional<QByteArray> fetch(const QString& type);

  // For tests: the bytes of this type cannot be read (data() gives none).
  void setUnreadable(const QString& type, bool unreadable = true);
  // For tests: write() is refused.
  void setRefusesWrites(bool refuse) { refusesWrites_ = refuse; }

  const QList<PasteboardItem>& items() const { return items_; }
  const QString& owner() const { return owner_; }
  bool ownedByProgram() const { return owner_ == kProgramOwner; }
  // How many times the program wrote or cleared, for tests.
  int programWrites() const { return programWrites_; }

 private:
  void replace(const QList<PasteboardItem>& items, const QString& owner);

  QList<PasteboardItem> items_;
  QString owner_;
  QSet<QString> unreadable_;
  quint64 changeCount_ = 0;
  int fetchCount_ = 0;
  qint64 lastRequestUs_ = -1;
  int programWrites_ = 0;
  bool refusesWrites_ = false;
};

}  // namespace ql::sim
