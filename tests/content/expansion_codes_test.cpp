#include "content_test_util.h"
#include "model/string_utilities.h"
#include "platform/pasteboard_types.h"
#include "platform/sim/sim_pasteboard.h"

#include <gtest/gtest.h>

using namespace ql;

namespace {

struct Result {
  QString text;
  AttributedText formatted;
  QList<CodeOccurrence> keys, fills;
  int length = -1;
  bool ok = false;
};

Result run(QLSnippet s, int caseMode = 0, const Pasteboard* pb = nullptr) {
  Result r;
  auto c = s.processSnippet(caseMode, &r.keys, &r.fills, &r.length, pb);
  r.ok = bool(c);
  if (c && c->isRtfd) {
    r.formatted = readRtfd(*c);
    r.text = r.formatted.string();
  } else if (c) {
    r.text = c->text;
  }
  return r;
}

}  // namespace

TEST(Expand, DateCodes) {
  const QDateTime before = QDateTime::currentDateTime();
  Result r = run(plainSnippet("Today is %A, %e %B %Y"));
  const QDateTime after = QDateTime::currentDateTime();
  // The expansion may straddle midnight; it must match one of the two moments.
  QStringList expected;
  for (const QDateTime& t : {before, after})
    expected << Utilities::getStringFromDateFormat("Today is %A, %e %B %Y", t);
  EXPECT_TRUE(expected.contains(r.text)) << r.text.toStdString();
  EXPECT_EQ(r.length, r.text.size());

  // "%%Y" is a percent sign and the year; "{fill:%Y}" is named after the year.
  const QString year = QString::number(QDate::currentDate().year());
  r = run(plainSnippet("%%Y {fill:%Y}"));
  EXPECT_TRUE(r.text.startsWith("%" + year));
  ASSERT_EQ(r.fills.size(), 1);
  EXPECT_EQ(r.fills[0].tag, "{fill:" + year + "}");
}

// Each code is resolved alone, but a month name still takes its form from
// the day beside it in the content (Russian: "5 мая", but "май 2024").
TEST(Expand, MonthNamesInTheUsersLanguageAgreeWithTheDay) {
  const QLocale previous;
  QLocale::setDefault(QLocale(QLocale::Russian));
  const QLocale ru;
  const int month = QDate::currentDate().month();
  const Result r = run(plainSnippet("%e %B|%B %Y|%B"));
  QLocale::setDefault(previous);
  const QStringList parts = r.text.split('|');
  ASSERT_EQ(parts.size(), 3) << r.text.toStdString();
  EXPECT_TRUE(parts[0].endsWith(" " + ru.monthName(month))) << parts[0].toStdString();
  EXPECT_TRUE(parts[1].startsWith(ru.standaloneMonthName(month) + " ")) << parts[1].toStdString();
  EXPECT_EQ(parts[2], ru.standaloneMonthName(month));
  EXPECT_NE(ru.monthName(month), ru.standaloneMonthName(month));
}

TEST(Expand, ClipboardCode) {
  sim::SimPasteboard pb;
  pb.setContent({{pasteboard_types::String, "X%Y{key:tab}{clipboard}"}}, "Editor");
  Result r = run(plainSnippet("a{CLIPBOARD}b{Clipboard}c"), 0, &pb);
  // Inserted once each, never re-expanded, dates not resolved inside it,
  // but its key code is reported.
  EXPECT_EQ(r.text, "aX%Y{key:tab}{clipboard}bX%Y{key:tab}{clipboard}c");
  ASSERT_EQ(r.keys.size(), 2);
  EXPECT_EQ(r.keys[0].location, 4);

  r = run(plainSnippet("a{clipboard}b"));
  EXPECT_EQ(r.text, "ab");
  EXPECT_EQ(r.length, 2);

  sim::SimPasteboard empty;
  r = run(plainSnippet("a{clipboard}b"), 0, &empty);
  EXPECT_EQ(r.text, "ab");
}

TEST(Expand, FormattedCodesKeepFormatting) {
  AttributedText clip("CLIP", boldAttributes());
  sim::SimPasteboard pb;
  pb.setContent({{pasteboard_types::Rtfd, writeFlatRtfd(clip)}, {pasteboard_types::String, "CLIP"}}, "Editor");
  AttributedText t("<", {});
  t.append("{clipboard}", {.italic = true});
  t.append(">", {});
  Result r = run(formattedSnippet(t), 0, &pb);
  EXPECT_EQ(r.text, "<CLIP>");
  EXPECT_TRUE(r.formatted.attributesAt(1).bold);
  EXPECT_FALSE(r.formatted.attributesAt(1).italic);

  // Only plain text on offer: it takes the code's formatting.
  sim::SimPasteboard plain;
  plain.setContent({{pasteboard_types::String, "txt"}}, "Editor");
  r = run(formattedSnippet(t), 0, &plain);
  EXPECT_EQ(r.text, "<txt>");
  EXPECT_TRUE(r.formatted.attributesAt(1).italic);

  // A date takes its code's formatting.
  AttributedText d("Year: ", {});
  d.append("%Y", boldAttributes());
  d.append(".", {});
  r = run(formattedSnippet(d));
  const QString year = QString::number(QDate::currentDate().year());
  EXPECT_EQ(r.text, "Year: " + year + ".");
  for (int i = 6; i < 6 + year.size(); ++i) EXPECT_TRUE(r.formatted.attributesAt(i).bold);
  EXPECT_FALSE(r.formatted.attributesAt(r.text.size() - 1).bold);
}

TEST(Expand, CaseModes) {
  Result r = run(plainSnippet("Hello {key:tab}"), 1);
  EXPECT_EQ(r.text, "HELLO {KEY:TAB}");
  ASSERT_EQ(r.keys.size(), 1);
  EXPECT_EQ(r.keys[0].tag, "{KEY:TAB}");

  EXPECT_EQ(run(plainSnippet("abc\nabc"), 3).text, "Abc\nAbc");
  EXPECT_EQ(run(plainSnippet("MiXed"), 2).text, "mixed");
  EXPECT_EQ(run(plainSnippet("MiXed"), 7).text, "MiXed");

  // Formatted text too ("ß" grows; how its runs move is the text class's test).
  AttributedText t("stra\u00dfe\n", boldAttributes());
  t.append("zwei", {});
  Result up = run(formattedSnippet(t), 1);
  EXPECT_EQ(up.text, "STRASSE\nZWEI");
  EXPECT_EQ(up.length, up.text.size());
  EXPECT_FALSE(up.formatted.attributesAt(8).bold);
  EXPECT_EQ(run(formattedSnippet(t), 3).text, QStringLiteral("Stra\u00dfe\nZwei"));
}

TEST(Expand, KeyAndFillScans) {
  Result r = run(plainSnippet("x{key:tab}y"));
  EXPECT_EQ(r.length, 11);
  ASSERT_EQ(r.keys.size(), 1);
  EXPECT_EQ(r.keys[0], (CodeOccurrence{"{key:tab}", 1, 9}));

  r = run(plainSnippet("{key:space} {fill:Name} and {fill:Name} {fill:} {fill:open"));
  EXPECT_TRUE(r.keys.isEmpty());
  EXPECT_TRUE(r.text.contains("{key:space}"));
  ASSERT_EQ(r.fills.size(), 3);
  EXPECT_EQ(r.fills[0], (CodeOccurrence{"{fill:Name}", 12, 11}));
  EXPECT_EQ(r.fills[1].tag, "{fill:Name}");
  EXPECT_EQ(r.fills[1].location, 28);
  EXPECT_EQ(r.fills[2].tag, "{fill:}");

  // Empty content: nothing to expand, nothing touched.
  int length = 99;
  QList<CodeOccurrence> none;
  EXPECT_FALSE(plainSnippet("").processSnippet(0, &none, &none, &length));
  EXPECT_EQ(length, 99);
}
