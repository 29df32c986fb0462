#pragma once

#include "model/plist.h"

class QIODevice;

// The XML property-list format, read and written directly: faster than
// going through libplist's node tree, and the reader never fetches anything,
// expands only the predefined and numeric character references, and walks
// nesting without recursion.
namespace ql::plist::xml {

std::optional<PlistValue> read(const QByteArray& bytes, QString* error,
                               const RootArrayItem* take = nullptr);
QByteArray write(const PlistValue& value);
// The same document written to device in pieces; false when a write failed.
bool write(const PlistValue& value, QIODevice* device);

// The pieces of a document, for writers that stream it one record at a
// time: together they give the same bytes as write().
void appendPrologue(QByteArray& out);
void appendKey(QByteArray& out, const QString& key, int depth);
void appendValue(QByteArray& out, const PlistValue& value, int depth);
void appendEpilogue(QByteArray& out);

}  // namespace ql::plist::xml
