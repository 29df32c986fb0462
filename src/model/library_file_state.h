#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <mutex>

namespace ql {

// What a file on disk was when the program last read or wrote it: enough to
// tell its own writes (and a touch that changed nothing) from another
// program's.
struct FileSignature {
  bool exists = false;
  qint64 size = 0;
  qint64 modifiedNs = 0;
  quint64 inode = 0;
  QByteArray hash;  // of the content; empty when it was not taken

  static FileSignature stat(const QString& path);
  static QByteArray hashOf(const QByteArray& bytes);
  bool sameStat(const FileSignature& other) const {
    return exists == other.exists && (!exists || (size == other.size && modifiedNs == other.modifiedNs && inode == other.inode));
  }
};

// The library file as the program knows it, shared by the main thread (which
// reads the file) and the writer's thread (which replaces it). The writer
// replaces the file only while it is still the one known; a file another
// program put there must be read first, so a save never lands over it.
class LibraryFileState final {
 public:
  explicit LibraryFileState(QString path) : path_(std::move(path)) {}

  QString path() const;
  void setPath(const QString& path);

  FileSignature known() const;
  void setKnown(const FileSignature& signature);

  // Whether the file on disk is the known one. When only its date differs
  // (touched) the known date follows. bytes, when given, receives what was
  // read to tell (empty when the date and size sufficed).
  bool isKnownOnDisk(QByteArray* bytes = nullptr);

  // The writer's last step: commit (the rename) runs only while the file on
  // disk is the known one, and what it wrote becomes the known file. hash is
  // that of the bytes written. False when refused (*refused set) or when
  // commit failed.
  bool replace(const QByteArray& hash, const std::function<bool()>& commit, bool* refused);

  // Runs on the writer's thread just before the check (tests hold a save
  // in flight there).
  std::function<void()> beforeReplace;

 private:
  bool isKnownLocked(QByteArray* bytes);

  mutable std::mutex mutex_;
  QString path_;
  FileSignature known_;
};

}  // namespace ql
