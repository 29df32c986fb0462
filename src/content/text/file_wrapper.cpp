#include "content/text/file_wrapper.h"

#include <QtEndian>

namespace ql {

namespace {

constexpr quint32 kKindFile = 1;
constexpr quint32 kKindDirectory = 3;
constexpr quint32 kPaddedFile = 0x80000000u;
// Attachments that are folders of folders go this deep at most.
constexpr int kMaxDepth = 16;

bool isSpecialName(const QString& name) {
  return name == QLatin1String(".") || name == QLatin1String("..") ||
         (name.startsWith(QLatin1String("__@")) && name.endsWith(QLatin1String("@__")));
}

class Parser {
 public:
  explicit Parser(const QByteArray& data) : data_(data) {}

  // Parses the record in [begin, end).
  std::optional<FileWrapper> record(qsizetype begin, qsizetype end, int depth) {
    if (depth > kMaxDepth) return std::nullopt;
    qsizetype at = begin;
    quint32 kind = 0;
    if (!u32(at, end, kind)) return std::nullopt;
    if (kind == kKindFile) return file(at, end);
    if (kind == kKindDirectory) return directory(at, end, depth);
    return std::nullopt;
  }

 private:
  bool u32(qsizetype& at, qsizetype end, quint32& value) const {
    if (end - at < 4) return false;
    value = qFromLittleEndian<quint32>(data_.constData() + at);
    at += 4;
    return true;
  }

  std::optional<FileWrapper> file(qsizetype at, qsizetype end) const {
    quint32 length = 0;
    if (!u32(at, end, length)) return std::nullopt;
    if (length == kPaddedFile) {
      quint32 real = 0;
      quint32 pad = 0;
      if (!u32(at, end, real) || !u32(at, end, pad)) return std::nullopt;
      if (qint64(pad) > end - at) return std::nullopt;
      at += pad;
      length = real;
    }
    if (qint64(length) > end - at) return std::nullopt;
    FileWrapper w;
    w.contents = data_.mid(at, length);
    return w;
  }

  std::optional<FileWrapper> directory(qsizetype at, qsizetype end, int depth) {
    quint32 count = 0;
    if (!u32(at, end, count)) return std::nullopt;
    // Each entry needs at least a name length and a block size.
    if (qint64(count) > (end - at) / 8) return std::nullopt;
    std::vector<QString> names;
    names.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
      quint32 length = 0;
      if (!u32(at, end, length) || qint64(length) > end - at) return std::nullopt;
      names.push_back(QString::fromUtf8(data_.constData() + at, length));
      at += length;
    }
    std::vector<quint32> sizes(count);
    for (quint32 i = 0; i < count; ++i)
      if (!u32(at, end, sizes[i])) return std::nullopt;
    FileWrapper w;
    w.isDirectory = true;
    for (quint32 i = 0; i < count; ++i) {
      if (qint64(sizes[i]) > end - at) return std::nullopt;
      std::optional<FileWrapper> child = record(at, at + sizes[i], depth + 1);
      if (!child) return std::nullopt;
      w.childNames.push_back(names[i]);
      w.children.push_back(std::move(*child));
      at += sizes[i];
    }
    return w;
  }

  const QByteArray& data_;
};

void appendU32(QByteArray& out, quint32 v) {
  char b[4];
  qToLittleEndian(v, b);
  out.append(b, 4);
}

}  // namespace

const QByteArray* FileWrapper::regularFileContents() const {
  if (!isDirectory) return &contents;
  for (size_t i = 0; i < children.size(); ++i)
    if (childNames[i] == QLatin1String("..") && !children[i].isDirectory) return &children[i].contents;
  return nullptr;
}

std::vector<std::pair<QString, const QByteArray*>> FileWrapper::files() const {
  std::vector<std::pair<QString, const QByteArray*>> out;
  for (size_t i = 0; i < children.size(); ++i) {
    if (isSpecialName(childNames[i])) continue;
    if (const QByteArray* bytes = children[i].regularFileContents())
      out.emplace_back(childNames[i], bytes);
  }
  return out;
}

std::optional<FileWrapper> parseFileWrapper(const QByteArray& data, qsizetype offset) {
  if (offset < 0 || offset > data.size()) return std::nullopt;
  return Parser(data).record(offset, data.size(), 0);
}

QByteArray serializeDirectory(const std::vector<std::pair<QString, QByteArray>>& files) {
  std::vector<QByteArray> names;
  qsizetype total = 8;
  for (const auto& [name, bytes] : files) {
    names.push_back(name.toUtf8());
    total += 16 + names.back().size() + bytes.size();
  }
  QByteArray out;
  out.reserve(total);
  appendU32(out, kKindDirectory);
  appendU32(out, quint32(files.size()));
  for (const QByteArray& n : names) {
    appendU32(out, quint32(n.size()));
    out.append(n);
  }
  for (const auto& f : files) appendU32(out, quint32(8 + f.second.size()));
  for (const auto& f : files) {
    appendU32(out, kKindFile);
    appendU32(out, quint32(f.second.size()));
    out.append(f.second);
  }
  return out;
}

}  // namespace ql
