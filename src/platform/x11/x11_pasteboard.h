#pragma once

#include "platform/pasteboard.h"

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QPointer>

class QMimeData;

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
  ~X11Pasteboard() override;

  QStringList types() const override;
  std::optional<QByteArray> data(const QString& type) const override;
  void clear() override;
  bool write(const QList<PasteboardItem>& items) override;
  quint64 changeCount() const override { return changeCount_; }
  int fetchCount() const override { return fetchCount_; }
  bool lastFetchWasBlindPlain() const override { return blindPlain_; }
  bool lastFetcherReadsTypes() const override { return fetcherReadsTypes_; }
  qint64 lastRequestUs() const override { return lastRequestUs_; }
  // Qt hears of another client taking the clipboard (SelectionClear) and
  // drops our content then.
  bool isOwnedByProgram() const override;

 private:
  const QMimeData* content() const;
  bool setContent(TrackedMimeData* content);
  void noteFetch(const TrackedMimeData* source);

  // Sees the requests for our content before Qt answers them: which
  // format, and whether the requestor read the offered types first.
  class RequestWatch final : public QAbstractNativeEventFilter {
   public:
    explicit RequestWatch(X11Pasteboard& owner) : owner_(owner) {}
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

   private:
    X11Pasteboard& owner_;
  };
  void noteRequest(unsigned long selection, unsigned long target, unsigned long requestor);

  QPointer<TrackedMimeData> own_;  // ours while the clipboard holds it
  RequestWatch watch_{*this};
  unsigned long clipboardAtom_ = 0;
  unsigned long targetsAtom_ = 0;
  QList<unsigned long> plainAtoms_;
  QList<unsigned long> typesReaders_;  // requestors that read the types since the last write
  QList<unsigned long> knownReaders_;  // requestors seen reading the types, latest last
  bool blindPlain_ = false;  // the last fetch
  bool fetcherReadsTypes_ = false;
  quint64 changeCount_ = 0;
  int fetchCount_ = 0;
  qint64 lastRequestUs_ = -1;
};

}  // namespace ql
