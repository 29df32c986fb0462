#pragma once

#include "model/plist.h"

class QIODevice;

// The XML property-list format, read and written directly: faster than
// going through libplist's node tree, and the reader never fetches anything,
// expands only the predefined and numeric character references, and walks
// nesting without recursion.
namespace ql::plist::xml {

std::optional<PlistValue> read(const QByteArray& bytes, QString* error);
QByteArray write(const PlistValue& value);
// The same document written to device in pieces; false when a write failed.
bool write(const PlistValue& value, QIODevice* device);

}  // namespace ql::plist::xml
