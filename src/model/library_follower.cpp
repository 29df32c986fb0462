#include "model/library_follower.h"

#include "model/background_writer.h"
#include "platform/log.h"

#include <QFile>
#include <QFileInfo>

namespace ql {

LibraryFollower::LibraryFollower(std::shared_ptr<LibraryFileState> state, QObject* parent)
    : QObject(parent), state_(std::move(state)) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &LibraryFollower::settled);
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &LibraryFollower::changed);
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &LibraryFollower::changed);
}

void LibraryFollower::watch() {
  if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
  if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
  const QString path = state_->path();
  watcher_.addPath(QFileInfo(path).absolutePath());
  if (QFileInfo::exists(path)) watcher_.addPath(path);
}

void LibraryFollower::changed() {
  // A file replaced by rename is a new file: watch that one.
  const QString path = state_->path();
  if (!watcher_.files().contains(path) && QFileInfo::exists(path)) watcher_.addPath(path);
  triesLeft_ = retries;
  timer_.start(settleMs);
}

void LibraryFollower::settled() {
  // The program's own write under way (the folder changed with its
  // temporary file) lands first. Looked at again later rather than waited
  // for: a large library takes a second to write, and typing must not wait
  // for the disk.
  if (BackgroundWriter::instance().isWriting(state_->path())) {
    timer_.start(settleMs);
    return;
  }
  const Outcome outcome = checkNow();
  ++looks_;
  if (outcome == Outcome::Known || outcome == Outcome::Loaded) return;
  tryAgainOrGiveUp(outcome);
}

LibraryFollower::Outcome LibraryFollower::checkNow() {
  const QString path = state_->path();
  // A write of this program's still under way is its own: let it land (it
  // is refused if the file is no longer the one it was meant to replace).
  BackgroundWriter::instance().waitForWritten(path);
  QByteArray bytes;
  if (state_->isKnownOnDisk(&bytes)) return Outcome::Known;
  FileSignature before = FileSignature::stat(path);
  if (!before.exists) {
    lastWhy_ = QStringLiteral("the file is not there");
    return Outcome::Missing;
  }
  if (bytes.isEmpty() || qint64(bytes.size()) != before.size) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
      lastWhy_ = file.errorString();
      return Outcome::Unreadable;
    }
    bytes = file.readAll();
  }
  QString why;
  std::unique_ptr<QLSettings> library = QLSettings::fromBytes(bytes, &why);
  // Still being written when it changes under the reader.
  if (library && !FileSignature::stat(path).sameStat(before)) {
    library.reset();
    why = QStringLiteral("the file changed while it was read");
  }
  if (!library) {
    lastWhy_ = why;
    return Outcome::Unreadable;
  }
  before.hash = FileSignature::hashOf(bytes);
  state_->setKnown(before);
  timer_.stop();
  if (reported_) {
    reported_ = false;
    log(QStringLiteral("The settings file can be read again"));
    Q_EMIT fileReadable();
  }
  log(QStringLiteral("The settings file was changed by another program; it was read again"));
  if (onLoaded) onLoaded(std::move(library));
  return Outcome::Loaded;
}

void LibraryFollower::tryAgainOrGiveUp(Outcome outcome) {
  ++failedTries_;
  if (triesLeft_-- > 0) {
    timer_.start(retryMs);
    return;
  }
  // Quiet until the next change.
  ++givenUp_;
  if (outcome == Outcome::Missing) {
    // Gone for good: the next save makes it again.
    state_->setKnown(FileSignature{});
    log(QStringLiteral("The settings file was removed by another program; it is written again"));
    Q_EMIT fileGone();
    return;
  }
  if (reported_) return;
  reported_ = true;
  logError(QStringLiteral("loadSettings"), lastWhy_);
  Q_EMIT fileUnreadable(lastWhy_);
}

}  // namespace ql
