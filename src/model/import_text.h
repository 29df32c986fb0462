#pragma once

#include <QByteArray>
#include <QString>

class QLSnippet;

// Text conversions shared by the import readers.
namespace ql::importtext {

// The decimal integer at the start of text, after optional white space and
// an optional sign; 0 when there is none. Clamped to the range of int.
int leadingInteger(const QString& text);

// True when, after optional white space and an optional sign followed by
// zeros, the text begins with Y, y, T, t or a digit from 1 to 9.
bool boolOfText(const QString& text);

// Standard base64 that skips every character outside its alphabet (line
// breaks, spaces) and stops at the first "=", keeping the bytes of an
// incomplete last group.
QByteArray decodeBase64(const QString& text);

// RTF held in a string: its code units as bytes when they all fit in one
// byte (RTF escapes everything else), UTF-8 otherwise.
QByteArray rtfBytes(const QString& rtf);

// A formatted snippet without formatted content would expand to nothing and
// never match; it keeps its plain text as content instead.
void keepContentUsable(QLSnippet& snippet);

}  // namespace ql::importtext
