#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace ql {

// One record of a serialized file wrapper, as flat RTFD holds them: a file's
// bytes or a directory of named records.
struct FileWrapper {
  bool isDirectory = false;
  QByteArray contents;
  std::vector<QString> childNames;  // same order as children
  std::vector<FileWrapper> children;

  // The bytes of a regular file, whether written as a file record or as a
  // directory wrapping its ".." entry; nothing for a real directory.
  const QByteArray* regularFileContents() const;
  // The named regular files of a directory, without the special entries
  // (".", "..", "__@...@__").
  std::vector<std::pair<QString, const QByteArray*>> files() const;
};

// Parses the bytes after the "rtfd" magic and version word. Every length is
// checked against the bytes that hold it; nothing is read or allocated
// beyond them.
std::optional<FileWrapper> parseFileWrapper(const QByteArray& data, qsizetype offset);

// Serializes a directory of files in the plain form: kind-1 records only.
QByteArray serializeDirectory(const std::vector<std::pair<QString, QByteArray>>& files);

}  // namespace ql
