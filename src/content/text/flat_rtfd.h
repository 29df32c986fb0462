#pragma once

#include "content/text/attributed_text.h"

#include <QByteArray>

#include <optional>

namespace ql {

// The flat RTFD container (pasteboard type com.apple.flat-rtfd): TXT.rtf and
// the attachment files in one byte string. Returns nothing for data that is
// not a readable flat RTFD.
std::optional<AttributedText> readFlatRtfd(const QByteArray& data);

// Writes TXT.rtf and one file per attachment. Attachment names are made
// unique and safe first, so the names read back may differ from the ones given.
// typing: as for writeRtf, the format an empty text starts with.
QByteArray writeFlatRtfd(const AttributedText& text, const TextAttributes* typing = nullptr);

// True when the bytes start like a flat RTFD.
bool isFlatRtfd(const QByteArray& data);

}  // namespace ql
