#pragma once

#include <QString>
#include <QStringView>

// The text comparisons of abbreviations and searches, in one place.
// "Ignoring case" is Unicode (full) case folding, so "ß" is "ss" and "ﬁ" is
// "fi" and lengths may change; "ignoring diacritics" is
// canonical decomposition with the non-spacing marks dropped;
// "alphanumeric" is letters, marks and numbers of any script.
namespace ql::folding {

// The folded form of one code point (a few UTF-16 units, possibly none).
struct FoldedCodePoint {
  static constexpr int kCapacity = 7;
  quint8 size = 0;
  char16_t units[kCapacity] = {};
  QStringView view() const { return QStringView(units, size); }
};

// Case and diacritics folded away from one code point. Cached; main thread
// use is the rule, other threads get their own cache.
const FoldedCodePoint& foldCodePoint(char32_t codePoint);

// The form under which two texts are equal ignoring case and diacritics.
// It is made code point by code point, so the key of a concatenation is the
// concatenation of the keys (a surrogate pair is one code point; a lone
// surrogate stands for itself).
QString matchKey(QStringView text);

// Unicode full case folding alone.
QString foldCase(QStringView text);
// Canonical decomposition without the non-spacing marks.
QString removeDiacritics(QStringView text);

// Equal ignoring case and diacritics.
bool equalsIgnoringCaseAndDiacritics(QStringView a, QStringView b);
// text ends with suffix, ignoring case and diacritics. An empty key (a
// suffix made of marks only, or nothing) never matches: it would match
// everything.
bool endsWithIgnoringCaseAndDiacritics(QStringView text, QStringView suffix);
// Equal ignoring case; diacritics count, and canonically equivalent forms
// (precomposed or decomposed) are equal.
bool equalsIgnoringCase(QStringView a, QStringView b);

// Letters, marks and numbers.
bool isAlphanumeric(char32_t codePoint);
// The character at a UTF-16 position, a surrogate pair taken whole whichever
// half the position names. False outside the text.
bool isAlphanumericAt(QStringView text, qsizetype position);

}  // namespace ql::folding
