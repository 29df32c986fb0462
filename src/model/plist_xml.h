#pragma once

#include "model/plist.h"

// The XML property-list format, read and written directly: faster than
// going through libplist's node tree, and the reader never fetches anything,
// expands only the predefined and numeric character references, and walks
// nesting without recursion.
namespace ql::plist::xml {

std::optional<PlistValue> read(const QByteArray& bytes, QString* error);
QByteArray write(const PlistValue& value);

}  // namespace ql::plist::xml
