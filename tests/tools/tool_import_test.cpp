#include "content/text/flat_rtfd.h"
#include "model/ql_settings.h"
#include "model/ql_statistics.h"
#include "model/string_utilities.h"
#include "tool_runner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString fixture(const char* name) {
  return QStringLiteral(QUILLET_FIXTURES "/textexpander/") + QLatin1String(name);
}

QString summary(int fg, int fs, int dg, int ds, int ig, int is) {
  return QStringLiteral("Found %1 groups %2 snippets\nDuplicates %3 groups %4 snippets\n"
                        "Imported %5 groups %6 snippets\n")
      .arg(fg).arg(fs).arg(dg).arg(ds).arg(ig).arg(is);
}

QLSettings load(const QString& path) {
  QLSettings s;
  EXPECT_TRUE(s.loadBackup(path));
  return s;
}

ql::AttributedText formatted(const QLSettings& s, const char* abbreviation) {
  const SnippetPtr sn = s.getSnippetByAbbreviation(QString::fromUtf8(abbreviation));
  EXPECT_TRUE(sn) << abbreviation;
  if (!sn) return {};
  EXPECT_EQ(sn->snippetType, 1) << abbreviation;
  return ql::readFlatRtfd(sn->formattedText).value_or(ql::AttributedText());
}

}  // namespace

TEST(ToolImport, PublicTextExpanderFilesImportWithTheCountsTheyHold) {
  QTemporaryDir dir;
  const QString lib = dir.filePath("lib.qlxdoc");
  const std::pair<const char*, QString> files[] = {
      {"group-export-css3.textexpander", summary(1, 11, 0, 0, 1, 11)},
      {"group-export-tools.textexpander", summary(1, 26, 0, 0, 1, 26)},
  };
  for (const auto& [name, expected] : files) {
    const auto r = runTool({"import", "textexpander", fixture(name), "--into", lib, "--dry-run"});
    EXPECT_EQ(r.exitCode, 0) << name << r.err.toStdString();
    EXPECT_EQ(r.out, expected) << name;
  }
  EXPECT_FALSE(QFileInfo::exists(lib));  // a dry run writes nothing

  // Without --into, into the user's own library.
  const QString settings = QLSettings::settingsPath();
  ASSERT_FALSE(QFileInfo::exists(settings));
  const auto r = runTool({"import", "textexpander", fixture("touch-sdk-default.textexpander"), "--convert-codes"});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QLSettings s = load(settings);
  EXPECT_EQ(s.snippets.size(), 11);
  EXPECT_TRUE(s.getSnippetByAbbreviation("dnthx")->plainText.startsWith("Dear {fill:person name},"));
  QFile::remove(settings);
}

TEST(ToolImport, FormattingSurvivesAndDuplicatesFollowTheOptions) {
  QTemporaryDir dir;
  const QString lib = dir.filePath("lib.qlxdoc");
  const QString ten = fixture("settings-ten-groups.textexpander");
  ASSERT_EQ(runTool({"import", "textexpander", ten, "--into", lib}).exitCode, 0);
  ASSERT_EQ(runTool({"import", "textexpander", fixture("touch-sdk-default.textexpander"), "--into", lib})
                .exitCode, 0);
  QLSettings s = load(lib);
  ASSERT_EQ(s.groups.size(), 11);
  ASSERT_EQ(s.snippets.size(), 124);  // two of the demo's abbreviations were already there

  // The archived attributed strings: fonts, colours, tab stops.
  const auto urdu = formatted(s, "urduthanks");
  EXPECT_EQ(urdu.string(), QString::fromUtf8("\xDA\xA9\xD8\xB1\xDB\x8C\xDB\x81"));
  EXPECT_EQ(urdu.attributesAt(0).fontFamily, "GeezaPro");
  EXPECT_DOUBLE_EQ(urdu.attributesAt(0).pointSize, 16);
  EXPECT_EQ(urdu.attributesAt(0).foreground, (ql::TextColor{42, 44, 46}));
  EXPECT_EQ(urdu.attributesAt(0).tabStops.size(), 12);
  EXPECT_EQ(urdu.attributesAt(0).tabStops.value(0), 560);
  const auto tibetan = formatted(s, "tibetanthanks");
  EXPECT_EQ(tibetan.attributesAt(0).fontFamily, "Kailasa");
  EXPECT_EQ(tibetan.attributesAt(0).background, (ql::TextColor{255, 255, 255}));
  // The demo's formatted snippet keeps only RTF beside its plain text.
  const auto sig = formatted(s, "sig3");
  const int jane = int(sig.string().indexOf("Jane"));
  ASSERT_GT(jane, 0);
  EXPECT_EQ(sig.attributesAt(0).fontFamily, "Baskerville");
  EXPECT_EQ(sig.attributesAt(jane).fontFamily, "SnellRoundhand");
  EXPECT_TRUE(sig.attributesAt(jane).italic);
  EXPECT_DOUBLE_EQ(sig.attributesAt(jane).pointSize, 20);

  // Everything is already there: skipping duplicates leaves nothing to do.
  auto r = runTool({"import", "textexpander", ten, "--into", lib});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, summary(10, 115, 10, 115, 0, 0));
  EXPECT_TRUE(r.err.contains("Unable to import groups and snippets! Please try again or later."));
  EXPECT_EQ(load(lib).snippets.size(), 124);
}

TEST(ToolImport, WindowsExportsAndRefusals) {
  QTemporaryDir dir;
  const QString lib = dir.filePath("lib.qlxdoc");
  const QString xml = dir.filePath("export.qlxdoc");
  ASSERT_TRUE(test::writeFile(xml, "<Export><Group><uuid>G</uuid><name>Win</name><snippts><s>S</s></snippts></Group>"
          "<Snippet><uuid>S</uuid><abbreviation>w</abbreviation><plainText>from Windows</plainText>"
          "</Snippet></Export>"));
  auto r = runTool({"import", "windows", xml, "--into", lib});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(r.out, summary(1, 1, 0, 0, 1, 1));
  EXPECT_EQ(load(lib).getSnippetByAbbreviation("w")->plainText, "from Windows");

  const QString wrong = dir.filePath("wrong.qlxdoc");
  ASSERT_TRUE(test::writeFile(wrong, "not xml"));
  r = runTool({"import", "windows", wrong, "--into", lib});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.out.isEmpty());
  EXPECT_EQ(r.err, "quillet-tool: Invalid format or empty file!\n");
  // A file that cannot be opened says so, and why.
  const QString none = dir.filePath("none");
  r = runTool({"import", "textexpander", none, "--into", lib});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "quillet-tool: cannot read " + none + ": No such file or directory\n");
  r = runTool({"import", "windows", dir.path(), "--into", lib});
  EXPECT_EQ(r.err, "quillet-tool: cannot read " + dir.path() + ": Is a directory\n");
  EXPECT_EQ(load(lib).snippets.size(), 1);

  // A library that cannot be read is not replaced.
  const QString damaged = dir.filePath("damaged.qlxdoc");
  ASSERT_TRUE(test::writeFile(damaged, "<plist><dict><key>Groups</key>"));
  EXPECT_EQ(runTool({"import", "windows", xml, "--into", damaged}).exitCode, 1);
  EXPECT_EQ(test::readFile(damaged), "<plist><dict><key>Groups</key>");

  for (const QStringList& bad : {QStringList{"import"}, QStringList{"import", "word", xml},
                                 QStringList{"import", "windows", xml, "--groups", "3"},
                                 QStringList{"import", "windows", xml, "--into"}})
    EXPECT_EQ(runTool(bad).exitCode, 2);
}

TEST(ToolStats, TheStatisticsWindowsFigures) {
  QDir().mkpath(ql::Utilities::getAppPath());
  QLStatistics stats;
  const QDateTime now = QDateTime::currentDateTime();
  stats.allTime.expanded = 1234567;
  stats.allTime.characters = 999;
  for (int daysAgo : {0, 10, 40}) {
    QLCounter day(QLCounter::startOfDay(now.addDays(-daysAgo)));
    day.expanded = 3 + daysAgo;
    day.characters = 100 + daysAgo;
    stats.last30Days.append(day);
  }
  ASSERT_TRUE(stats.save());

  auto r = runTool({"stats", "--wpm", "1"});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(r.out.contains(QRegularExpression("^Snippets: 1\\D?234\\D?567\n")));
  EXPECT_TRUE(r.out.endsWith("Characters: 999\nHours: 3.32\n"));  // 199 words at 1 a minute
  r = runTool({"stats", "--period", "1", "--wpm", "40"});
  EXPECT_EQ(r.out, "Snippets: 16\nCharacters: 210\nHours: 0.02\n");
  r = runTool({"stats", "--period", "2"});  // the default speed, 40
  EXPECT_EQ(r.out, "Snippets: 3\nCharacters: 100\nHours: 0.01\n");
  EXPECT_EQ(runTool({"stats", "--period", "5"}).exitCode, 2);
  EXPECT_EQ(runTool({"stats", "--wpm", "0"}).exitCode, 2);
  QFile::remove(stats.path());
}
