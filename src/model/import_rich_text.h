#pragma once

#include "content/text/attributed_text.h"

#include <QByteArray>

#include <optional>

namespace ql {

// The attributed string archived in a typedstream (TextExpander's
// "richText"): text, fonts, colours, alignment, tab stops, underline,
// strikethrough, links and attachments. Attributes it does not know are
// skipped; nothing is returned when the archive or its string cannot be read.
std::optional<AttributedText> attributedTextFromArchive(const QByteArray& typedstream);

}  // namespace ql
