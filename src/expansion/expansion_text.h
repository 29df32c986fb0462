#pragma once

#include <QString>

// Text measures and letter-case rules of an expansion.
namespace ql::expansion_text {

// The case mode (0 unchanged, 1 upper, 2 lower, 3 capitalised) to expand
// content with when the snippet adapts its case to the typed abbreviation:
// only single-case content changes, following how the abbreviation was
// typed; otherwise given stays.
int adaptedCaseMode(int given, const QString& content, const QString& typed);

// The first letter of each blank-separated word upper case, the rest lower case.
QString capitalized(const QString& text);

// Delete presses that remove this typed text: one per code point, as a
// Delete removes a surrogate pair whole and a combining mark alone.
int deletePressesFor(const QString& typed);

// Left-arrow presses that move the caret back over this text: one per
// grapheme cluster, as text fields move the caret.
int caretMovesOver(const QString& text);

}  // namespace ql::expansion_text
