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

// Whether every text field moves the caret over this text as caretMovesOver
// counts: each character a single UTF-16 unit of its own, no combining
// marks, joiners or other format characters, no carriage return (a line
// break pair). Where they disagree, selecting back that many characters
// would take the user's own text too.
bool caretMovesAreCertain(const QString& text);

// BackSpace presses that remove this pasted text again, or -1 when that is
// not certain: where text fields would count it differently (combining
// marks, joiners, a line break pair), an embedded picture, or a line break
// in formatted text, which the target may turn into a paragraph of its own.
int undoPressesFor(const QString& pasted, bool formatted);

}  // namespace ql::expansion_text
