#include "model/library_file_state.h"

#include <QCryptographicHash>
#include <QFile>

#include <sys/stat.h>

namespace ql {

FileSignature FileSignature::stat(const QString& path) {
  FileSignature s;
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return s;
  s.exists = true;
  s.size = st.st_size;
  // In nanoseconds, with the inode: two saves within one millisecond, or a
  // file replaced by rename, must still differ.
  s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
  s.inode = quint64(st.st_ino);
  return s;
}

QByteArray FileSignature::hashOf(const QByteArray& bytes) {
  return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

QString LibraryFileState::path() const {
  std::lock_guard lock(mutex_);
  return path_;
}

void LibraryFileState::setPath(const QString& path) {
  std::lock_guard lock(mutex_);
  path_ = path;
}

FileSignature LibraryFileState::known() const {
  std::lock_guard lock(mutex_);
  return known_;
}

void LibraryFileState::setKnown(const FileSignature& signature) {
  std::lock_guard lock(mutex_);
  known_ = signature;
}

bool LibraryFileState::isKnownOnDisk(QByteArray* bytes) {
  std::lock_guard lock(mutex_);
  return isKnownLocked(bytes);
}

bool LibraryFileState::isKnownLocked(QByteArray* bytes) {
  if (bytes) bytes->clear();
  const FileSignature now = FileSignature::stat(path_);
  if (now.sameStat(known_)) return true;
  if (!now.exists || !known_.exists || known_.hash.isEmpty()) return false;
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray content = file.readAll();
  if (bytes) *bytes = content;
  if (FileSignature::hashOf(content) != known_.hash) return false;
  // Touched, or rewritten with the same bytes: still the file known.
  known_.size = now.size;
  known_.modifiedNs = now.modifiedNs;
  known_.inode = now.inode;
  return true;
}

bool LibraryFileState::replace(const QByteArray& hash, const std::function<bool()>& commit,
                               bool* refused) {
  if (beforeReplace) beforeReplace();
  // Held across the rename: the main thread never sees the new file before
  // it is known as the program's own.
  std::lock_guard lock(mutex_);
  if (!isKnownLocked(nullptr)) {
    if (refused) *refused = true;
    return false;
  }
  if (!commit()) return false;
  FileSignature written = FileSignature::stat(path_);
  written.hash = hash;
  known_ = written;
  return true;
}

}  // namespace ql
