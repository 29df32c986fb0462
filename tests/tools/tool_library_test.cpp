#include "model/ql_settings.h"
#include "support/library_records.h"
#include "tool_runner.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString writeLibrary(const QTemporaryDir& dir) {
  QLSettings s;
  const GroupPtr g = test::addGroup(s, "Work");
  for (const char* abbr : {"sig", "addr"}) test::addSnippet(s, g, abbr)->label = QStringLiteral("Label %1").arg(abbr);
  const QString path = dir.filePath("lib.qlxdoc");
  EXPECT_TRUE(s.saveBackup(path));
  return path;
}

}  // namespace

TEST(Tool, CheckListAndConvert) {
  QTemporaryDir dir;
  const QString lib = writeLibrary(dir);
  auto r = runTool({"check", lib});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "1 groups, 2 snippets\n");

  r = runTool({"list", lib});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "Work\tsig\tLabel sig\nWork\taddr\tLabel addr\n");

  const QString out = dir.filePath("copy.qlxdoc");
  EXPECT_EQ(runTool({"convert", lib, out}).exitCode, 0);
  EXPECT_EQ(runTool({"check", out}).out, "1 groups, 2 snippets\n");
}

TEST(Tool, BadFilesAndUsage) {
  QTemporaryDir dir;
  const QString junk = dir.filePath("junk.qlxdoc");
  ASSERT_TRUE(test::writeFile(junk, "\x01\x02 not a library"));
  for (const QString& path : {junk, dir.filePath("missing.qlxdoc")}) {
    auto r = runTool({"check", path});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
  }
  // A property list that is not a dictionary.
  ASSERT_TRUE(test::writeFile(junk, "<plist><array/></plist>"));
  EXPECT_EQ(runTool({"check", junk}).exitCode, 1);

  const auto help = runTool({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.out.contains("usage"));
  EXPECT_NE(runTool({"frobnicate"}).exitCode, 0);
}

TEST(Tool, CheckWithoutLibraryTellsWhereItWillBe) {
  auto r = runTool({"check"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(r.out.startsWith("0 groups, 0 snippets\n"));
  EXPECT_TRUE(r.out.contains("Orrery Labs/Quillet1/settings.qlxdoc"));
}
