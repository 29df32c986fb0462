#include "expansion/matching_words.h"

namespace ql::matching {

QString delimiterWord(QStringView text) {
  qsizetype start = text.size();
  while (start > 0 && text[start - 1] != u' ' && text[start - 1] != u'\n') --start;
  return text.mid(start).toString();
}

ImmediateWord::ImmediateWord(QStringView text) : buffer_(text) {
  // Trailing newline characters are trimmed; if nothing else is left before
  // the separator, the word is empty.
  qsizetype e = text.size();
  while (e > 0 && !isWordSeparator(text[e - 1].unicode()) && isNewlineCharacter(text[e - 1].unicode())) --e;
  empty_ = e == 0 || isWordSeparator(text[e - 1].unicode());
  end_ = e;
}

bool ImmediateWord::isBoundaryAt(qsizetype position) const {
  if (position < 0) return true;
  const char16_t c = buffer_[position].unicode();
  if (isWordSeparator(c)) return true;
  if (!isNewlineCharacter(c)) return false;
  // A newline character is inside the word unless only newline characters
  // lie between it and the word's beginning (they are trimmed).
  for (qsizetype j = position - 1; j >= 0; --j) {
    const char16_t b = buffer_[j].unicode();
    if (isWordSeparator(b)) return true;
    if (!isNewlineCharacter(b)) return false;
  }
  return true;
}

QString ImmediateWord::text() const {
  if (empty_) return QString();
  qsizetype start = end_ - 1;
  while (!isBoundaryAt(start - 1)) --start;
  return buffer_.mid(start, end_ - start).toString();
}

}  // namespace ql::matching
