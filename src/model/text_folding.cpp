#include "model/text_folding.h"

#include <array>
#include <memory>

namespace ql::folding {
namespace {

constexpr char32_t kMaxCodePoint = 0x10FFFF;
constexpr int kPageBits = 8;
constexpr int kPageSize = 1 << kPageBits;
constexpr int kPageCount = (int(kMaxCodePoint) >> kPageBits) + 1;

// Reads the code point that starts at i; n receives its length in units.
char32_t codePointAt(QStringView s, qsizetype i, int* n) {
  const char16_t u = s[i].unicode();
  if (QChar::isHighSurrogate(u) && i + 1 < s.size() && QChar::isLowSurrogate(s[i + 1].unicode())) {
    *n = 2;
    return QChar::surrogateToUcs4(u, s[i + 1].unicode());
  }
  *n = 1;
  return u;
}

QString withoutNonSpacingMarks(const QString& s) {
  QString out;
  out.reserve(s.size());
  for (qsizetype i = 0; i < s.size();) {
    int n = 1;
    const char32_t c = codePointAt(s, i, &n);
    if (QChar::category(c) != QChar::Mark_NonSpacing) out.append(s.constData() + i, n);
    i += n;
  }
  return out;
}

// Unicode full case folding. Qt folds one code point to one, which keeps
// "ß" apart from "ss" and "ﬁ" from "fi"; the code points that fold to
// several are those whose upper case is longer (the special casings), and
// the lower case of that upper case is their full fold.
QString fullCaseFold(QStringView s) {
  QString out;
  out.reserve(s.size());
  for (qsizetype i = 0; i < s.size();) {
    int n = 1;
    codePointAt(s, i, &n);
    QString folded = s.mid(i, n).toString().toCaseFolded();
    const QString upper = folded.toUpper();
    if (upper.size() > folded.size()) folded = upper.toLower().toCaseFolded();
    out += folded;
    i += n;
  }
  return out;
}

FoldedCodePoint compute(char32_t cp) {
  FoldedCodePoint f;
  QString key;
  if (cp >= 0xD800 && cp <= 0xDFFF) {
    key = QString(QChar(char16_t(cp)));  // a lone surrogate stands for itself
  } else {
    const QString s = QString::fromUcs4(&cp, 1);
    // Folding may turn a base letter into one with a decomposition, so the
    // marks go before and after it.
    key = withoutNonSpacingMarks(s.normalized(QString::NormalizationForm_D));
    key = withoutNonSpacingMarks(fullCaseFold(key).normalized(QString::NormalizationForm_D));
  }
  // No code point folds to more than six units (checked over all of them).
  f.size = quint8(std::min<qsizetype>(key.size(), FoldedCodePoint::kCapacity));
  for (int i = 0; i < f.size; ++i) f.units[i] = key[i].unicode();
  return f;
}

struct Page {
  std::array<FoldedCodePoint, kPageSize> entries;
  std::array<bool, kPageSize> ready{};
};

struct Cache {
  std::array<std::unique_ptr<Page>, kPageCount> pages;
};

const std::array<FoldedCodePoint, 128>& asciiTable() {
  static const std::array<FoldedCodePoint, 128> table = [] {
    std::array<FoldedCodePoint, 128> t{};
    for (int c = 0; c < 128; ++c) {
      t[c].size = 1;
      t[c].units[0] = char16_t(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
    return t;
  }();
  return table;
}

void appendKey(QStringView text, QString* out) {
  for (qsizetype i = 0; i < text.size();) {
    int n = 1;
    const char32_t c = codePointAt(text, i, &n);
    const FoldedCodePoint& f = foldCodePoint(c);
    out->append(reinterpret_cast<const QChar*>(f.units), f.size);
    i += n;
  }
}

QString canonicalFold(QStringView s) {
  return fullCaseFold(s.toString().normalized(QString::NormalizationForm_D))
      .normalized(QString::NormalizationForm_D);
}

}  // namespace

const FoldedCodePoint& foldCodePoint(char32_t codePoint) {
  if (codePoint < 128) return asciiTable()[codePoint];
  if (codePoint > kMaxCodePoint) codePoint = 0xFFFD;
  thread_local Cache cache;
  auto& page = cache.pages[codePoint >> kPageBits];
  if (!page) page = std::make_unique<Page>();
  const int slot = int(codePoint & (kPageSize - 1));
  if (!page->ready[slot]) {
    page->entries[slot] = compute(codePoint);
    page->ready[slot] = true;
  }
  return page->entries[slot];
}

QString matchKey(QStringView text) {
  QString key;
  key.reserve(text.size());
  appendKey(text, &key);
  return key;
}

QString foldCase(QStringView text) { return fullCaseFold(text); }

QString removeDiacritics(QStringView text) {
  return withoutNonSpacingMarks(text.toString().normalized(QString::NormalizationForm_D));
}

bool equalsIgnoringCaseAndDiacritics(QStringView a, QStringView b) {
  return matchKey(a) == matchKey(b);
}

bool endsWithIgnoringCaseAndDiacritics(QStringView text, QStringView suffix) {
  const QString key = matchKey(suffix);
  return !key.isEmpty() && matchKey(text).endsWith(key);
}

bool equalsIgnoringCase(QStringView a, QStringView b) {
  if (a == b) return true;
  return canonicalFold(a) == canonicalFold(b);
}

bool isAlphanumeric(char32_t codePoint) {
  switch (QChar::category(codePoint)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Number_Other:
      return true;
    default:
      return false;
  }
}

bool isAlphanumericAt(QStringView text, qsizetype position) {
  if (position < 0 || position >= text.size()) return false;
  const char16_t u = text[position].unicode();
  if (QChar::isLowSurrogate(u) && position > 0 && QChar::isHighSurrogate(text[position - 1].unicode()))
    return isAlphanumeric(QChar::surrogateToUcs4(text[position - 1].unicode(), u));
  int n = 1;
  return isAlphanumeric(codePointAt(text, position, &n));
}

}  // namespace ql::folding
