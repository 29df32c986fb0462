#pragma once

#include "platform/pasteboard.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMetaObject>
#include <QString>
#include <QTimer>

#include <optional>

namespace ql {

// What the main controller offers clearPasteBoard: the end of an expansion.
class PasteboardCleanUpTarget {
 public:
  virtual ~PasteboardCleanUpTarget() = default;
  // Clears the word buffer.
  virtual void cleanUp() = 0;
  // The preference isRestoreClipboard.
  virtual bool isRestoreClipboard() const = 0;
};

// The user's pasteboard around an expansion: saved type by type before the
// content is written, written back after a delay. One instance serves the
// whole program, so the saved items are process-wide.
class PasteboardService final {
 public:
  // A saved type; none where the pasteboard gave no bytes for it.
  using BackupItem = std::optional<PasteboardItem>;

  // Longest a restore waits for the target to fetch the last part.
  static constexpr int kFetchBoundMs = 5000;
  int fetchBoundMs = kFetchBoundMs;
  // Some targets read the content again after their first fetch and insert
  // the last read (Chromium: twice, some 6 ms apart, with lists of types
  // in between). The content changes (the next part, the restore) only
  // once nobody has asked for it for readQuietMs, waiting readBoundMs at
  // most.
  static constexpr int kReadQuietMs = 25;
  static constexpr int kReadBoundMs = 250;
  int readQuietMs = kReadQuietMs;
  int readBoundMs = kReadBoundMs;

  explicit PasteboardService(Pasteboard& pasteboard);
  ~PasteboardService();
  PasteboardService(const PasteboardService&) = delete;
  PasteboardService& operator=(const PasteboardService&) = delete;

  // Saves every type of the pasteboard, in its order, replacing what was
  // saved before. While a restore is still due and the pasteboard holds
  // the program's own content (a second expansion within the restore
  // delay), the earlier save is kept: it holds the user's content.
  void backupPasteBoard();
  // Writes the saved items back and forgets them; nothing saved, nothing
  // done. While a paste is in flight, or the last paste chord's content
  // was not fetched yet, the restore waits until it has been (at most
  // fetchBoundMs after the chord). When someone copied after the program's
  // last write, their content stays and the saved items are dropped.
  void restorePasteBoard();
  // The delayed end of an expansion: the target's cleanUp, then a restore
  // when it asks for one. A null target does nothing.
  void clearPasteBoard(PasteboardCleanUpTarget* target);

  // Empties the pasteboard (the program owns it afterwards).
  void clearContents();
  // Plain text, marked as transient.
  void writeStringToPasteBoard(const QString& string);
  // Formatted content: plain text, RTF, HTML when given and RTFD, marked as
  // transient. Content whose RTFD could not be read comes with RTFD alone.
  bool writeDataToPasteBoard(const QByteArray& rtfd, const std::optional<QByteArray>& rtf,
                             const std::optional<QString>& stringData,
                             const std::optional<QString>& htmlData);

  // The paste chord for the current content was posted: a restore waits
  // until the target has fetched it.
  void notePasteSent();
  // Whether the last write of content was taken (else there is nothing
  // for a target to fetch).
  bool lastWriteTaken() const { return lastWriteTaken_; }
  bool isAwaitingFetch() const { return awaitingFetch_; }

  // Where the clipboard code reads the user's clipboard: while a restore is
  // due and the pasteboard holds the program's own content, that is the
  // saved content, not the pasteboard.
  const Pasteboard* userPasteboard();

  // After the paste chord: waits with the event loop running until the
  // target has fetched the content (more than `after` times since it was
  // written), at most timeoutMs. True when fetched. Restores asked for
  // meanwhile wait until it returns.
  bool waitUntilFetched(int timeoutMs, int after = 0);
  // Before the program's content is replaced: waits, with the event loop
  // running, until the requests for it have stopped (see readQuietMs).
  // At once when nobody asked since the last write, or the backend cannot
  // tell. False when the bound ended the wait.
  bool waitUntilReadsSettle();
  int fetchCount() const { return pasteboard_.fetchCount(); }
  // The target took plain text without reading what was offered.
  bool lastFetchWasBlindPlain() const { return pasteboard_.lastFetchWasBlindPlain(); }
  bool lastFetcherReadsTypes() const { return pasteboard_.lastFetcherReadsTypes(); }

  // Brackets a whole expansion: restores asked for inside wait until the
  // outermost end, so no earlier expansion's restore lands between parts.
  void beginPasting();
  void endPasting();

  bool hasBackup() const { return backupItems_.has_value(); }
  const std::optional<QList<BackupItem>>& backupItems() const { return backupItems_; }

 private:
  bool writeTransient(QList<PasteboardItem> items, const QString& operation);
  bool restoreIsDue() const;
  // Milliseconds until the requests for the last write count as stopped.
  qint64 readsSettleInMs() const;
  void onFetched();
  void fetchBoundPassed();

  // The saved items seen as a pasteboard, for reading only.
  class SavedContent final : public Pasteboard {
   public:
    explicit SavedContent(const PasteboardService& owner) : owner_(owner) {}
    QStringList types() const override;
    std::optional<QByteArray> data(const QString& type) const override;
    void clear() override {}
    bool write(const QList<PasteboardItem>&) override { return false; }
    quint64 changeCount() const override { return 0; }
    int fetchCount() const override { return 0; }

   private:
    const PasteboardService& owner_;
  };

  Pasteboard& pasteboard_;
  std::optional<QList<BackupItem>> backupItems_;
  bool restoreDue_ = false;      // saved by an expansion whose restore has not run
  int pasting_ = 0;              // nesting of beginPasting and waitUntilFetched
  bool restoreDeferred_ = false; // a restore came while pasting or awaiting a fetch
  bool awaitingFetch_ = false;   // the last paste chord's content is not fetched yet
  bool lastWriteTaken_ = false;
  QElapsedTimer sincePaste_;     // since that chord
  QTimer fetchBound_;
  qint64 writtenAtUs_ = 0;       // the last write, on the pasteboard's clock
  QElapsedTimer settlingFor_;    // a restore waiting for the reads to stop
  QTimer readsSettled_;
  QMetaObject::Connection fetchedConnection_;
  SavedContent saved_{*this};
};

}  // namespace ql
