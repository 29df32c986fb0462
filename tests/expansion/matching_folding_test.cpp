// The text comparisons matching is built on. (The words it reads from the
// buffer are checked by the differential test, which splits them itself.)
#include "model/text_folding.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <random>

namespace folding = ql::folding;

TEST(TextFolding, IgnoringCaseWithAndWithoutDiacritics) {
  EXPECT_TRUE(folding::equalsIgnoringCaseAndDiacritics(u"\u00C9COLE", u"e\u0301cole"));
  EXPECT_TRUE(folding::equalsIgnoringCaseAndDiacritics(u"\u00C5ngstr\u00F6m", u"angstrom"));
  EXPECT_TRUE(folding::equalsIgnoringCaseAndDiacritics(u"\u03A3\u039F\u03A6\u0399\u0391", u"\u03C3\u03BF\u03C6\u03AF\u03B1"));
  EXPECT_TRUE(folding::equalsIgnoringCaseAndDiacritics(u"\U0001D400", u"\U0001D400"));
  EXPECT_FALSE(folding::equalsIgnoringCaseAndDiacritics(u"sig", u"sog"));
  EXPECT_TRUE(folding::endsWithIgnoringCaseAndDiacritics(u"xS\u00CCG", u"sig"));
  // A key of marks alone would end every text.
  EXPECT_FALSE(folding::endsWithIgnoringCaseAndDiacritics(u"abc", u"\u0301"));
  EXPECT_FALSE(folding::endsWithIgnoringCaseAndDiacritics(u"abc", u""));
  // Case only: accents still count.
  EXPECT_TRUE(folding::equalsIgnoringCase(u"Sig", u"sIG"));
  EXPECT_TRUE(folding::equalsIgnoringCase(u"\u00C9t\u00E9", u"e\u0301te\u0301"));
  EXPECT_FALSE(folding::equalsIgnoringCase(u"s\u00ECg", u"sig"));
}

TEST(TextFolding, KeysAreMadeCodePointByCodePoint) {
  // The suffix lookup walks back one code point at a time; that is only
  // sound if the key of a concatenation is the concatenation of the keys.
  const QStringList pieces = {QStringLiteral("A"), QStringLiteral("\u00E9"), QStringLiteral("\u0301"),
                              QStringLiteral("\U0001D400"), QString(QChar(0xD835)), QString(QChar(0xDC00)),
                              QStringLiteral("\uAC01"), QStringLiteral("\u1FB3"), QStringLiteral("\u0345"),
                              QStringLiteral("\u0130"), QStringLiteral("\u212B")};
  std::mt19937 rng(7);
  for (int i = 0; i < 2000; ++i) {
    QString a, b;
    for (int j = int(rng() % 4); j > 0; --j) a += pieces[rng() % pieces.size()];
    for (int j = int(rng() % 4); j > 0; --j) b += pieces[rng() % pieces.size()];
    ASSERT_EQ(folding::matchKey(a + b), folding::matchKey(a) + folding::matchKey(b))
        << a.toStdString() << " + " << b.toStdString();
  }
}

TEST(TextFolding, Alphanumeric) {
  for (char32_t c : {U'a', U'Z', U'4', U'\u00E9', U'\u0301', U'\u0663', U'\u4E2D', U'\u2167'})
    EXPECT_TRUE(folding::isAlphanumeric(c)) << unsigned(c);
  for (char32_t c : {U'(', U' ', U'-', U'\u00A0', U'\U0001F600', U'_'})
    EXPECT_FALSE(folding::isAlphanumeric(c)) << unsigned(c);
  const QString text = QStringLiteral("(\U0001D400");
  EXPECT_FALSE(folding::isAlphanumericAt(text, 0));
  EXPECT_TRUE(folding::isAlphanumericAt(text, 1));
  EXPECT_TRUE(folding::isAlphanumericAt(text, 2));
  EXPECT_FALSE(folding::isAlphanumericAt(text, 3));
}
