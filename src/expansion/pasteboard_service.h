#pragma once

#include "platform/pasteboard.h"

#include <QByteArray>
#include <QList>
#include <QString>

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

  explicit PasteboardService(Pasteboard& pasteboard) : pasteboard_(pasteboard) {}

  // Saves every type of the pasteboard, in its order, replacing what was
  // saved before. While a restore is still due and the pasteboard holds
  // the program's own content (a second expansion within the restore
  // delay), the earlier save is kept: it holds the user's content.
  void backupPasteBoard();
  // Writes the saved items back and forgets them; nothing saved, nothing
  // done. While a paste is in flight the restore waits until it has
  // landed. When someone copied after the program's last write, their
  // content stays and the saved items are dropped.
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

  // After the paste chord: waits with the event loop running until the
  // target has fetched the content, at most timeoutMs. True when fetched.
  // Restores asked for meanwhile wait until it returns.
  bool waitUntilFetched(int timeoutMs);

  // Brackets a whole expansion: restores asked for inside wait until the
  // outermost end, so no earlier expansion's restore lands between parts.
  void beginPasting();
  void endPasting();

  bool hasBackup() const { return backupItems_.has_value(); }
  const std::optional<QList<BackupItem>>& backupItems() const { return backupItems_; }

 private:
  bool writeTransient(QList<PasteboardItem> items, const QString& operation);

  Pasteboard& pasteboard_;
  std::optional<QList<BackupItem>> backupItems_;
  bool restoreDue_ = false;      // saved by an expansion whose restore has not run
  int pasting_ = 0;              // nesting of beginPasting and waitUntilFetched
  bool restoreDeferred_ = false; // a restore came while pasting
};

}  // namespace ql
