// The prepared search must find exactly what QString finds ignoring case,
// over the characters whose folding is unusual.
#include "model/caseless_pattern.h"
#include "model/ql_snippet.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

// Letters of both cases, ones that fold into ASCII (Kelvin sign, long s),
// ones that fold to several letters in full folding (ß, ﬁ, İ), title case,
// final sigma, a combining mark, a pair and lone surrogates.
const QString kAlphabet = QString::fromUtf16(
    u"aAkKsSiI\u212A\u017F\u00DF\u1E9E\u0130\u0131\u03A3\u03C3\u03C2\u01C4\u01C5\u01C6"
    u"\uFB01\u00E9\u00C9\u0301 .\n\U00010400\U00010428\xD800\xDC00");

QString randomText(QRandomGenerator& random, int maxLength) {
  QString s;
  const int length = int(random.bounded(maxLength + 1));
  for (int i = 0; i < length; ++i) s += kAlphabet.at(random.bounded(int(kAlphabet.size())));
  return s;
}

}  // namespace

TEST(CaselessPatternTest, FindsWhatQStringFindsIgnoringCase) {
  QRandomGenerator random(25);
  int found = 0;
  for (int i = 0; i < 20000; ++i) {
    const QString text = randomText(random, 12);
    // Half the patterns are taken from the text, recased.
    QString pattern = randomText(random, 3);
    if (i % 2 && !text.isEmpty()) {
      const int from = int(random.bounded(int(text.size())));
      pattern = text.mid(from, 1 + int(random.bounded(3)));
      pattern = i % 4 == 1 ? pattern.toUpper() : pattern.toLower();
    }
    const bool want = text.contains(pattern, Qt::CaseInsensitive);
    found += want;
    ASSERT_EQ(ql::CaselessPattern(pattern).foundIn(text), want)
        << "pattern " << qPrintable(pattern.toUtf8().toHex()) << " text "
        << qPrintable(text.toUtf8().toHex());
    // A snippet's text is searched as its one-line rendering.
    const QString oneLine = QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '));
    ASSERT_EQ(ql::CaselessPattern(pattern).foundIn(text, true), oneLine.contains(pattern, Qt::CaseInsensitive))
        << "pattern " << qPrintable(pattern.toUtf8().toHex()) << " text "
        << qPrintable(text.toUtf8().toHex());
  }
  EXPECT_GT(found, 5000);  // the comparison saw matches, not only misses
}

TEST(CaselessPatternTest, EdgesOfTheText) {
  EXPECT_TRUE(ql::CaselessPattern(QString()).foundIn(u""));
  EXPECT_TRUE(ql::CaselessPattern(QStringLiteral("ReGaRdS")).foundIn(u"best regards"));
  EXPECT_TRUE(ql::CaselessPattern(QStringLiteral("BEST")).foundIn(u"best regards"));
  EXPECT_FALSE(ql::CaselessPattern(QStringLiteral("regardss")).foundIn(u"best regards"));
  EXPECT_FALSE(ql::CaselessPattern(QStringLiteral("x")).foundIn(u""));
  // Every BMP unit against its own upper and lower case, as QString folds it.
  for (char32_t u = 1; u < 0x10000; ++u) {
    if (QChar::isSurrogate(u)) continue;
    const QString c{QChar(char16_t(u))};
    for (const QString& text : {c.toUpper(), c.toLower(), c}) {
      if (text.size() != 1) continue;
      ASSERT_EQ(ql::CaselessPattern(c).foundIn(text), text.contains(c, Qt::CaseInsensitive)) << int(u);
    }
  }
}

// A library of long snippets must not hold each text twice.
TEST(CaselessPatternTest, APlainSnippetIsSearchedInItsOwnText) {
  QLSnippet s;
  s.plainText = QStringLiteral("Best\nregards");
  ql::PlistDict d = s.getData();
  QLSnippet loaded;
  loaded.setData(&d);
  EXPECT_EQ(static_cast<const void*>(loaded.searchableTextView().data()),
            static_cast<const void*>(loaded.plainText.constData()));
  EXPECT_EQ(loaded.searchableText(), QStringLiteral("Best regards"));
  EXPECT_TRUE(ql::CaselessPattern(QStringLiteral("t r")).foundIn(loaded.searchableTextView(), true));
}
