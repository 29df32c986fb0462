#pragma once

#include "content/text/attributed_text.h"

#include <QString>

namespace ql {

// An HTML fragment of the text: paragraphs and formatting elements with
// inline styles, no doctype, html, head or body. Image attachments become
// <img> elements with data URLs; other attachments are left out.
QString htmlFragment(const AttributedText& text);

}  // namespace ql
