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

PasteboardService::PasteboardService(Pasteboard& pasteboard) : pasteboard_(pasteboard) {
  fetchBound_.setSingleShot(true);
  QObject::connect(&fetchBound_, &QTimer::timeout, [this] { fetchBoundPassed(); });
  readsSettled_.setSingleShot(true);
  QObject::connect(&readsSettled_, &QTimer::timeout, [this] {
    if (!restoreDeferred_ || pasting_ > 0) return;
    restoreDeferred_ = false;
    restorePasteBoard();
  });
  fetchedConnection_ =
      QObject::connect(&pasteboard_, &Pasteboard::fetched, [this] { onFetched(); });
}

PasteboardService::~PasteboardService() { QObject::disconnect(fetchedConnection_); }

QStringList PasteboardService::SavedContent::types() const {
  QStringList result;
  if (!owner_.backupItems_) return result;
  for (const BackupItem& item : *owner_.backupItems_)
    if (item) result.append(item->type);
  return result;
}

std::optional<QByteArray> PasteboardService::SavedContent::data(const QString& type) const {
  if (!owner_.backupItems_) return std::nullopt;
  for (const BackupItem& item : *owner_.backupItems_)
    if (item && item->type == type) return item->data;
  return std::nullopt;
}

bool PasteboardService::restoreIsDue() const {
  return backupItems_ && restoreDue_ && pasteboard_.isOwnedByProgram();
}

const Pasteboard* PasteboardService::userPasteboard() {
  return restoreIsDue() ? static_cast<const Pasteboard*>(&saved_) : &pasteboard_;
}

void PasteboardService::notePasteSent() {
  awaitingFetch_ = pasteboard_.fetchCount() == 0;
  if (!awaitingFetch_) return;
  sincePaste_.start();
  fetchBound_.stop();
}

void PasteboardService::onFetched() {
  if (!awaitingFetch_) return;
  awaitingFetch_ = false;
  fetchBound_.stop();
  if (restoreDeferred_ && pasting_ == 0) {
    restoreDeferred_ = false;
    restorePasteBoard();
  }
}

void PasteboardService::fetchBoundPassed() {
  if (!awaitingFetch_) return;
  awaitingFetch_ = false;
  ql::log(QStringLiteral("The target did not fetch the expansion within %1 ms; restoring anyway")
              .arg(fetchBoundMs));
  if (restoreDeferred_ && pasting_ == 0) {
    restoreDeferred_ = false;
    restorePasteBoard();
  }
}

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
  if (awaitingFetch_ && pasteboard_.isOwnedByProgram()) {
    // The target has not taken the last part yet; restoring now would hand
    // it the user's content instead.
    restoreDeferred_ = true;
    fetchBound_.start(int(qMax<qint64>(0, fetchBoundMs - sincePaste_.elapsed())));
    return;
  }
  awaitingFetch_ = false;
  if (const qint64 wait = readsSettleInMs(); wait > 0) {
    // The target may still read the last part once more.
    if (!settlingFor_.isValid()) settlingFor_.start();
    if (settlingFor_.elapsed() < readBoundMs) {
      restoreDeferred_ = true;
      readsSettled_.start(int(qMin<qint64>(wait, readBoundMs - settlingFor_.elapsed())));
      return;
    }
  }
  settlingFor_.invalidate();
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

qint64 PasteboardService::readsSettleInMs() const {
  const qint64 last = pasteboard_.lastRequestUs();
  if (last < 0 || last <= writtenAtUs_ || !pasteboard_.isOwnedByProgram()) return 0;
  const qint64 left = last + qint64(readQuietMs) * 1000 - pasteboardClockUs();
  return left > 0 ? (left + 999) / 1000 : 0;
}

bool PasteboardService::waitUntilReadsSettle() {
  qint64 wait = readsSettleInMs();
  if (wait <= 0) return true;
  QElapsedTimer waited;
  waited.start();
  beginPasting();
  while (wait > 0 && waited.elapsed() < readBoundMs) {
    QEventLoop loop;
    QTimer::singleShot(int(qMin<qint64>(wait, readBoundMs - waited.elapsed())), &loop,
                       &QEventLoop::quit);
    loop.exec();
    wait = readsSettleInMs();
  }
  endPasting();
  return wait <= 0;
}

bool PasteboardService::writeTransient(QList<PasteboardItem> items, const QString& operation) {
  try {
    writtenAtUs_ = pasteboardClockUs();
    settlingFor_.invalidate();
    items.append({pasteboard_types::TransientMarker, pasteboard_types::TransientMarkerValue});
    lastWriteTaken_ = pasteboard_.write(items);
    if (lastWriteTaken_) return true;
    logError(operation, QStringLiteral("the pasteboard refused the content"));
  } catch (const std::exception& e) {
    lastWriteTaken_ = false;
    logError(operation, reason(e));
  }
  return false;
}

bool PasteboardService::waitUntilFetched(int timeoutMs, int after) {
  if (pasteboard_.fetchCount() > after) return true;
  beginPasting();
  {
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&pasteboard_, &Pasteboard::fetched, &loop, &QEventLoop::quit);
    timer.start(qMax(0, timeoutMs));
    while (pasteboard_.fetchCount() <= after && timer.isActive()) loop.exec();
  }
  const bool fetched = pasteboard_.fetchCount() > after;
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
