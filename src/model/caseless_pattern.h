#pragma once

#include <QString>
#include <QStringView>

namespace ql {

// A search text found in other texts ignoring case, exactly as
// QString::contains(..., Qt::CaseInsensitive) finds it (each UTF-16 unit
// folded on its own), but prepared once: searching a whole library for it
// is then one pass of table look-ups over each text, with no set-up per
// text. Patterns with surrogates are left to QString.
class CaselessPattern final {
 public:
  CaselessPattern() = default;
  explicit CaselessPattern(const QString& pattern);

  const QString& pattern() const { return pattern_; }
  // An empty pattern is in every text. With breaksAsSpaces each '\n' of
  // the text matches a space of the pattern, as in a snippet's one-line
  // rendering.
  bool foundIn(QStringView text, bool breaksAsSpaces = false) const {
    return indexIn(text, 0, breaksAsSpaces) >= 0;
  }
  // Where the pattern first is at or after from, or -1.
  qsizetype indexIn(QStringView text, qsizetype from = 0, bool breaksAsSpaces = false) const;

 private:
  QString pattern_;
  std::u16string folded_;  // the pattern, folded; empty when QString searches
};

}  // namespace ql
