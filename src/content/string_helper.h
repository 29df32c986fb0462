#pragma once

#include "content/text/attributed_text.h"

#include <optional>

namespace ql::helper {

// The characters of the text, each attachment replaced by the placeholder
// ("(...attachment...)" when none is given); with removeNewlineCharacter
// every line feed becomes a space. No text gives "".
QString plainTextFromRTFD(const AttributedText* text, const std::optional<QString>& attachmentString,
                          bool removeNewlineCharacter);

// An HTML fragment of the text: formatting only, no document wrapper.
QString htmlForAttributedString(const AttributedText& text);

// Reads stored or expanded formatted content: flat RTFD, or plain RTF as some
// imports and other applications leave it. Nothing when unreadable.
std::optional<AttributedText> readFormatted(const QByteArray& data);

}  // namespace ql::helper
