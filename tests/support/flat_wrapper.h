#pragma once

// Serialized file wrappers (flat RTFD) put together piece by piece, so tests
// can build containers no writer of ours produces.
#include <QByteArray>
#include <QtEndian>

#include <utility>
#include <vector>

namespace test::flat {

inline QByteArray u32(quint32 v) {
  QByteArray b(4, '\0');
  qToLittleEndian(v, b.data());
  return b;
}

inline QByteArray fileRecord(const QByteArray& bytes) { return u32(1) + u32(quint32(bytes.size())) + bytes; }

// The padded form: the payload starts at a chosen offset of the flat data.
inline QByteArray paddedRecord(const QByteArray& bytes, quint32 pad) {
  return u32(1) + u32(0x80000000u) + u32(quint32(bytes.size())) + u32(pad) + QByteArray(int(pad), '\0') + bytes;
}

inline QByteArray directory(const std::vector<std::pair<QByteArray, QByteArray>>& entries) {
  QByteArray out = u32(3) + u32(quint32(entries.size()));
  for (const auto& e : entries) out += u32(quint32(e.first.size())) + e.first;
  for (const auto& e : entries) out += u32(quint32(e.second.size()));
  for (const auto& e : entries) out += e.second;
  return out;
}

inline QByteArray flat(const QByteArray& root) { return "rtfd" + u32(0) + root; }

// A regular file's wrapper as the Mac writes attachments: "..", named and
// with attributes, its payload padded by pad.
inline QByteArray attachmentDirectory(const QByteArray& contents, const QByteArray& name, quint32 pad) {
  const QByteArray attributes = u32(1) + u32(2) + ".." + u32(16) + u32(0) + u32(0644) + u32(2) + u32(1);
  return directory({{"..", paddedRecord(contents, pad)},
                    {"__@PreferredName@__", fileRecord(name)},
                    {"__@UTF8PreferredName@__", fileRecord(name)},
                    {".", fileRecord(attributes)}});
}

}  // namespace test::flat
