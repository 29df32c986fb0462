#include "expansion/pasteboard_service.h"

#include "platform/log.h"
#include "platform/pasteboard_types.h"

#include <QEventLoop>
#include <QTimer>

#include <exception>

namespace ql {
namespace {

QString reason(const std::exception& e) { return QString::fromUtf8(e.what()); }

}  // namespace

void PasteboardService::backupPasteBoard() {
  try {
    if (backupItems_ && restoreDue_ && pasteboard_.isOwnedByProgram()) {
      // The pasteboard holds an earlier expansion's content; saving it would
      // lose the user's own, still waiting to be restored.
      ql::log(QStringLiteral("Backuped"));
      return;
    }
    backupItems_.reset();
    backupItems_.emplace();
    restoreDue_ = true;
    for (const QString& type : pasteboard_.types()) {
      std::optional<QByteArray> bytes = pasteboard_.data(type);
      if (bytes)
        backupItems_->append(PasteboardItem{type, std::move(*bytes)});
      else
        backupItems_->append(std::nullopt);
    }
    ql::log(QStringLiteral("Backuped"));
  } catch (const std::exception& e) {
    logError(QStringLiteral("backupPasteBoard"), reason(e));
  }
}

void PasteboardService::restorePasteBoard() {
  if (!backupItems_) return;
  if (pasting_ > 0) {
    restoreDeferred_ = true;
    return;
  }
  try {
    if (!pasteboard_.isOwnedByProgram()) {
      // Someone copied after the expansion: theirs is the newer content.
      backupItems_.reset();
      restoreDue_ = false;
      ql::log(QStringLiteral("Not restored: the pasteboard changed"));
      return;
    }
    QList<PasteboardItem> items;
    for (const BackupItem& item : *backupItems_)
      if (item) items.append(*item);
    if (!pasteboard_.write(items)) pasteboard_.clear();
    backupItems_.reset();
    restoreDue_ = false;
    ql::log(QStringLiteral("Restored"));
  } catch (const std::exception& e) {
    logError(QStringLiteral("restorePasteBoard"), reason(e));
  }
}

void PasteboardService::clearPasteBoard(PasteboardCleanUpTarget* target) {
  if (!target) return;
  try {
    target->cleanUp();
    if (target->isRestoreClipboard())
      restorePasteBoard();
    else
      restoreDue_ = false;  // the saved items stay until the next save
  } catch (const std::exception& e) {
    logError(QStringLiteral("clearPasteBoard"), reason(e));
  }
}

void PasteboardService::clearContents() { pasteboard_.clear(); }

void PasteboardService::writeStringToPasteBoard(const QString& string) {
  writeTransient({PasteboardItem{pasteboard_types::String, string.toUtf8()}},
                 QStringLiteral("writeStringToPasteBoard"));
}

bool PasteboardService::writeDataToPasteBoard(const QByteArray& rtfd,
                                              const std::optional<QByteArray>& rtf,
                                              const std::optional<QString>& stringData,
                                              const std::optional<QString>& htmlData) {
  QList<PasteboardItem> items;
  if (stringData) items.append({pasteboard_types::String, stringData->toUtf8()});
  if (rtf) items.append({pasteboard_types::Rtf, *rtf});
  if (htmlData) items.append({pasteboard_types::Html, htmlData->toUtf8()});
  items.append({pasteboard_types::Rtfd, rtfd});
  writeTransient(std::move(items), QStringLiteral("writeDataToPasteBoard"));
  return true;
}

bool PasteboardService::writeTransient(QList<PasteboardItem> items, const QString& operation) {
  try {
    items.append({pasteboard_types::TransientMarker, pasteboard_types::TransientMarkerValue});
    if (pasteboard_.write(items)) return true;
    logError(operation, QStringLiteral("the pasteboard refused the content"));
  } catch (const std::exception& e) {
    logError(operation, reason(e));
  }
  return false;
}

bool PasteboardService::waitUntilFetched(int timeoutMs) {
  if (pasteboard_.fetchCount() > 0) return true;
  beginPasting();
  {
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&pasteboard_, &Pasteboard::fetched, &loop, &QEventLoop::quit);
    timer.start(qMax(0, timeoutMs));
    if (pasteboard_.fetchCount() == 0) loop.exec();
  }
  const bool fetched = pasteboard_.fetchCount() > 0;
  endPasting();
  return fetched;
}

void PasteboardService::beginPasting() { ++pasting_; }

void PasteboardService::endPasting() {
  if (pasting_ > 0) --pasting_;
  if (pasting_ == 0 && restoreDeferred_) {
    restoreDeferred_ = false;
    restorePasteBoard();
  }
}

}  // namespace ql
