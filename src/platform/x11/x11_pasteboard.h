#pragma once

#include "platform/pasteboard.h"

#include <QPointer>

namespace ql {

class TrackedMimeData;

// The general pasteboard on QClipboard (the CLIPBOARD selection): every
// format the owner offers is read as raw bytes and can be written back as
// they were. What the program writes is a TrackedMimeData, so it knows when
// the pasting application has fetched it.
class X11Pasteboard final : public Pasteboard {
  Q_OBJECT

 public:
  explicit X11Pasteboard(QObject* parent = nullptr);

  QStringList types() const override;
  std::optional<QByteArray> data(const QString& type) const override;
  void clear() override;
  bool write(const QList<PasteboardItem>& items) override;
  quint64 changeCount() const override { return changeCount_; }
  int fetchCount() const override { return fetchCount_; }

 private:
  bool setContent(TrackedMimeData* content);
  void noteFetch(const TrackedMimeData* source);

  QPointer<TrackedMimeData> own_;  // ours while the clipboard holds it
  quint64 changeCount_ = 0;
  int fetchCount_ = 0;
};

}  // namespace ql
