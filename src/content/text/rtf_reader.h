#pragma once

#include "content/text/attributed_text.h"

#include <QByteArray>

#include <optional>

namespace ql {

// Reads RTF as the Mac's text system, LibreOffice and WordPad write it.
// Attachments ({\NeXTGraphic NAME ...}) carry their file name only; the
// flat RTFD reader fills in their bytes. Returns nothing for data that is not
// RTF or that breaks the reader's limits (nesting, size).
std::optional<AttributedText> readRtf(const QByteArray& rtf);

}  // namespace ql
