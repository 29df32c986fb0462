#include "content/text/attributed_text.h"

#include <gtest/gtest.h>

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"  // designated initialisers name what matters

using ql::AttributedText;
using ql::TextAttributes;

namespace {

TextAttributes bold() { return {.bold = true}; }
TextAttributes sized(double points) { return {.pointSize = points}; }

// "plain" + bold "BOLD" + 18pt "big"
AttributedText threeRuns() {
  AttributedText t(QStringLiteral("plain"));
  t.append(QStringLiteral("BOLD"), bold());
  t.append(QStringLiteral("big"), sized(18));
  return t;
}

void expectRunsCover(const AttributedText& t) {
  int at = 0;
  for (size_t i = 0; i < t.runs().size(); ++i) {
    const auto& r = t.runs()[i];
    EXPECT_EQ(r.start, at);
    EXPECT_GT(r.length, 0);
    if (i > 0) {
      EXPECT_FALSE(r.attributes == t.runs()[i - 1].attributes);
    }
    at += r.length;
  }
  EXPECT_EQ(at, t.length());
}

}  // namespace

TEST(AttributedText, RunsStayNormalisedThroughEdits) {
  AttributedText t = threeRuns();
  ASSERT_EQ(t.runs().size(), 3u);
  t.setAttributes(2, 5, bold());  // "ai" joins the bold run
  expectRunsCover(t);
  EXPECT_EQ(t.runs().size(), 3u);
  EXPECT_EQ(t.runs()[1].start, 2);
  t.setAttributes(0, t.length(), TextAttributes());
  EXPECT_EQ(t.runs().size(), 1u);
  EXPECT_EQ(t, AttributedText(QStringLiteral("plainBOLDbig")));
  t.remove(0, t.length());
  EXPECT_TRUE(t.runs().empty());
  EXPECT_EQ(t, AttributedText());
}

TEST(AttributedText, ReplaceWithPlainTextTakesNeighbouringAttributes) {
  AttributedText t = threeRuns();
  // A non-empty range: the first replaced character decides.
  t.replace(5, 4, QStringLiteral("xy"));
  EXPECT_EQ(t.string(), QStringLiteral("plainxybig"));
  EXPECT_TRUE(t.attributesAt(5).bold);
  EXPECT_TRUE(t.attributesAt(6).bold);
  EXPECT_FALSE(t.attributesAt(4).bold);
  expectRunsCover(t);

  // An empty range: the character before, at the start the one after.
  AttributedText u = threeRuns();
  u.replace(9, 0, QStringLiteral("+"));
  EXPECT_TRUE(u.attributesAt(9).bold);
  u.replace(u.length(), 0, QStringLiteral("!"));
  EXPECT_EQ(u.attributesAt(u.length() - 1).pointSize, 18);
  AttributedText v = threeRuns();
  v.setAttributes(0, 1, bold());
  v.replace(0, 0, QStringLiteral(">"));
  EXPECT_TRUE(v.attributesAt(0).bold);

  // Explicit attributes, and out-of-range requests clamped.
  AttributedText w = threeRuns();
  w.replace(100, 5, QStringLiteral("end"), sized(9));
  EXPECT_EQ(w.string(), QStringLiteral("plainBOLDbigend"));
  EXPECT_EQ(w.attributesAt(14).pointSize, 9);
  w.replace(-3, 2, QString());
  EXPECT_EQ(w.string(), QStringLiteral("ainBOLDbigend"));
}

TEST(AttributedText, ReplaceWithAttributedTextKeepsItsRuns) {
  AttributedText t = threeRuns();
  AttributedText insert(QStringLiteral("A"), sized(30));
  insert.append(QStringLiteral("B"), bold());
  t.replace(2, 8, insert);  // "pl" + A B + "ig"
  EXPECT_EQ(t.string(), QStringLiteral("plABig"));
  EXPECT_EQ(t.attributesAt(2).pointSize, 30);
  EXPECT_TRUE(t.attributesAt(3).bold);
  EXPECT_EQ(t.attributesAt(4).pointSize, 18);
  expectRunsCover(t);
  EXPECT_EQ(t.substring(2, 2), insert);
  EXPECT_EQ(t.substring(-5, 100), t);  // clamped
  EXPECT_EQ(t.substring(1, 0), AttributedText());  // no run of length 0
}

TEST(AttributedText, FindsWithAndWithoutCase) {
  const AttributedText t(QStringLiteral("Hi {Clipboard} and {clipboard} ÉTÉ"));
  EXPECT_EQ(t.indexOf(QStringLiteral("{clipboard}")), 19);
  EXPECT_EQ(t.indexOf(QStringLiteral("{clipboard}"), 0, Qt::CaseInsensitive), 3);
  EXPECT_EQ(t.indexOf(QStringLiteral("{clipboard}"), 4, Qt::CaseInsensitive), 19);
  EXPECT_EQ(t.indexOf(QStringLiteral("Hi"), 99), -1);
}

TEST(AttributedText, CaseChangesKeepFormattingWhenLengthsChange) {
  // "ß" becomes "SS": the bold run grows, the runs after it move.
  AttributedText t(QStringLiteral("a"));
  t.append(QStringLiteral("ßb"), bold());
  t.append(QStringLiteral("c"), sized(18));
  t.toUpper();
  EXPECT_EQ(t.string(), QStringLiteral("ASSBC"));
  expectRunsCover(t);
  ASSERT_EQ(t.runs().size(), 3u);
  EXPECT_EQ(t.runs()[1].start, 1);
  EXPECT_EQ(t.runs()[1].length, 3);
  EXPECT_EQ(t.attributesAt(4).pointSize, 18);

  // "İ" lowers to "i" + combining dot.
  AttributedText l(QStringLiteral("X"), bold());
  l.append(QStringLiteral("İY"), sized(8));
  l.toLower();
  EXPECT_EQ(l.string(), QStringLiteral("xi\u0307y"));
  EXPECT_EQ(l.runs()[1].length, 3);
  expectRunsCover(l);

  // Supplementary characters and attachments survive.
  AttributedText d(QStringLiteral("𐐨x"));
  d.append(AttributedText::attachment({QStringLiteral("a.png"), QByteArray("png")}));
  d.toUpper();
  EXPECT_EQ(d.string(), QStringLiteral("𐐀X\uFFFC"));
  EXPECT_TRUE(d.hasAttachmentAt(3));
}

TEST(AttributedText, CapitalisesTheFirstCharacterOfEachParagraph) {
  AttributedText t(QStringLiteral("abc\nabc\r\nxabc\u2029éa\n\n"));
  t.setAttributes(4, 1, bold());
  t.capitalizeParagraphs();
  EXPECT_EQ(t.string(), QStringLiteral("Abc\nAbc\r\nXabc\u2029Éa\n\n"));
  EXPECT_TRUE(t.attributesAt(4).bold);
  EXPECT_FALSE(t.attributesAt(5).bold);
  // A title-case form differs from the upper-case one.
  AttributedText dz(QStringLiteral("ǆemal"));
  dz.capitalizeParagraphs();
  EXPECT_EQ(dz.string(), QStringLiteral("ǅemal"));
}

TEST(AttributedText, PlainTextReplacesEveryAttachmentCharacter) {
  AttributedText t(QStringLiteral("A"));
  t.append(AttributedText::attachment({QStringLiteral("i.png"), QByteArray("x")}));
  t.append(QStringLiteral("B\uFFFC"), TextAttributes());  // a bare U+FFFC is text
  EXPECT_EQ(t.plainText(QStringLiteral("(...attachment...)")),
            QStringLiteral("A(...attachment...)B\uFFFC"));
  EXPECT_TRUE(t.hasAttachmentAt(1));
  EXPECT_FALSE(t.hasAttachmentAt(3));
  EXPECT_FALSE(t.hasAttachmentAt(-1));
}
