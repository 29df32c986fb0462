#include "expansion/expansion_text.h"

#include <QTextBoundaryFinder>

namespace ql::expansion_text {

QString capitalized(const QString& text) {
  QString result;
  result.reserve(text.size());
  bool startOfWord = true;
  qsizetype i = 0;
  while (i < text.size()) {
    // Whole code points, so letters outside the BMP change case too.
    const qsizetype n = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
    const QString piece = text.mid(i, n);
    if (piece.at(0).isSpace()) {
      result += piece;
      startOfWord = true;
    } else {
      result += startOfWord ? piece.toUpper() : piece.toLower();
      startOfWord = false;
    }
    i += n;
  }
  return result;
}

int adaptedCaseMode(int given, const QString& content, const QString& typed) {
  if (typed.isEmpty() || content.isEmpty()) return given;
  const bool singleCase = content == content.toLower() || content == content.toUpper();
  if (!singleCase) return given;
  // Without any cased letter the abbreviation equals its upper-case form.
  if (typed == typed.toUpper()) return 1;
  if (typed == typed.toLower()) return 2;
  if (typed == capitalized(typed)) return 3;
  return given;
}

int deletePressesFor(const QString& typed) {
  int count = 0;
  for (qsizetype i = 0; i < typed.size(); ++i) {
    if (typed[i].isHighSurrogate() && i + 1 < typed.size() && typed[i + 1].isLowSurrogate()) ++i;
    ++count;
  }
  return count;
}

bool caretMovesAreCertain(const QString& text) {
  for (const QChar c : text) {
    if (c.isSurrogate() || c == QLatin1Char('\r')) return false;
    switch (c.category()) {
      case QChar::Mark_NonSpacing:
      case QChar::Mark_SpacingCombining:
      case QChar::Mark_Enclosing:
      case QChar::Other_Format:
        return false;
      default:
        break;
    }
    // Variation selectors are marks; the Hangul jamo that join into one
    // syllable are letters.
    if (c.unicode() >= 0x1100 && c.unicode() <= 0x11FF) return false;
  }
  return true;
}

int undoPressesFor(const QString& pasted, bool formatted) {
  // Whole surrogate pairs are safe: every field erases one with a single
  // BackSpace. Lone surrogates and the rest of the uncertain text are not.
  QString bmp;
  bmp.reserve(pasted.size());
  for (qsizetype i = 0; i < pasted.size(); ++i) {
    const QChar c = pasted[i];
    if (c.isHighSurrogate() && i + 1 < pasted.size() && pasted[i + 1].isLowSurrogate()) {
      ++i;
      bmp += QLatin1Char('x');
      continue;
    }
    if (c == QChar::ObjectReplacementCharacter) return -1;
    if (formatted && (c == QLatin1Char('\n') || c == QChar::ParagraphSeparator ||
                      c == QChar::LineSeparator))
      return -1;
    bmp += c;
  }
  if (!caretMovesAreCertain(bmp)) return -1;
  return int(bmp.size());
}

int caretMovesOver(const QString& text) {
  if (text.isEmpty()) return 0;
  QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
  int count = 0;
  while (finder.toNextBoundary() >= 0) ++count;
  return count;
}

}  // namespace ql::expansion_text
