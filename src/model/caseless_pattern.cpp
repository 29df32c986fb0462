#include "model/caseless_pattern.h"

#include <QChar>

#include <algorithm>
#include <memory>

namespace ql {

namespace {

// Every BMP unit folded as QString folds it; surrogates map to themselves,
// which no folded unit of a pattern without surrogates equals (a pair folds
// to another pair, never to a BMP character).
std::unique_ptr<char16_t[]> makeFoldTable(bool breaksAsSpaces) {
  auto t = std::make_unique<char16_t[]>(0x10000);
  for (char32_t u = 0; u < 0x10000; ++u)
    t[u] = QChar::isSurrogate(u) ? char16_t(u) : char16_t(QChar::toCaseFolded(u));
  if (breaksAsSpaces) t[u'\n'] = u' ';
  return t;
}

const char16_t* foldTable(bool breaksAsSpaces = false) {
  static const std::unique_ptr<char16_t[]> plain = makeFoldTable(false);
  static const std::unique_ptr<char16_t[]> breaks = makeFoldTable(true);
  return breaksAsSpaces ? breaks.get() : plain.get();
}

}  // namespace

CaselessPattern::CaselessPattern(const QString& pattern) : pattern_(pattern) {
  for (QChar c : pattern)
    if (c.isSurrogate()) return;
  const char16_t* fold = foldTable();
  folded_.reserve(size_t(pattern.size()));
  for (QChar c : pattern) folded_.push_back(fold[c.unicode()]);
}

qsizetype CaselessPattern::indexIn(QStringView text, qsizetype from, bool breaksAsSpaces) const {
  from = std::max<qsizetype>(from, 0);
  if (pattern_.isEmpty()) return from <= text.size() ? from : -1;
  if (folded_.empty()) {
    if (!breaksAsSpaces || !text.contains(u'\n')) return text.indexOf(pattern_, from, Qt::CaseInsensitive);
    return text.toString().replace(QLatin1Char('\n'), QLatin1Char(' ')).indexOf(pattern_, from, Qt::CaseInsensitive);
  }
  const qsizetype n = qsizetype(folded_.size());
  const qsizetype last = text.size() - n;
  const char16_t* fold = foldTable(breaksAsSpaces);
  const char16_t* h = text.utf16();
  const char16_t* p = folded_.data();
  const char16_t first = p[0];
  for (qsizetype i = from; i <= last; ++i) {
    if (fold[h[i]] != first) continue;
    qsizetype j = 1;
    while (j < n && fold[h[i + j]] == p[j]) ++j;
    if (j == n) return i;
  }
  return -1;
}

}  // namespace ql
