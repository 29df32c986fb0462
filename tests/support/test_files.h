#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>

namespace test {

// Writes bytes to path, replacing what was there; false when it cannot.
inline bool writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Writes bytes to path and dates its last change modified; false when it cannot.
inline bool writeFileDated(const QString& path, const QByteArray& bytes, const QDateTime& modified) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size() && f.flush() &&
         f.setFileTime(modified, QFileDevice::FileModificationTime);
}

// The file's bytes; empty when it cannot be read.
inline QByteArray readFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace test
