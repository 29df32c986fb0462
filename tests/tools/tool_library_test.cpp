#include "model/ql_settings.h"
#include "support/library_records.h"
#include "tool_runner.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString writeLibrary(const QTemporaryDir& dir) {
  QLSettings s;
  const GroupPtr g = test::addGroup(s, "Work");
  for (const char* abbr : {"sig", "addr"}) test::addSnippet(s, g, abbr)->label = QStringLiteral("Label %1").arg(abbr);
  test::addSnippet(s, g, "hi", "Hi {fill:Name}{key:tab}{clipboard}%|!");
  test::addSnippet(s, g, "up", "shout");
  const QString path = dir.filePath("lib.qlxdoc");
  EXPECT_TRUE(s.saveBackup(path));
  return path;
}

QJsonObject render(const QStringList& args) {
  const ToolResult r = runTool(QStringList{"render"} + args);
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  return QJsonDocument::fromJson(r.out.toUtf8()).object();
}

}  // namespace

TEST(Tool, CheckListAndConvert) {
  // Without a library, check says where it will be.
  auto r = runTool({"check"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(r.out.startsWith("0 groups, 0 snippets\n"));
  EXPECT_TRUE(r.out.contains("Orrery Labs/Quillet1/settings.qlxdoc"));

  QTemporaryDir dir;
  const QString lib = writeLibrary(dir);
  r = runTool({"list", lib});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "Work\tsig\tLabel sig\nWork\taddr\tLabel addr\nWork\thi\t\nWork\tup\t\n");
  const QString out = dir.filePath("copy.qlxdoc");
  EXPECT_EQ(runTool({"convert", lib, out}).exitCode, 0);
  r = runTool({"check", out});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "1 groups, 4 snippets\n");
}

TEST(Tool, BadFilesAndUsage) {
  QTemporaryDir dir;
  const QString junk = dir.filePath("junk.qlxdoc");
  const QString notDict = dir.filePath("array.qlxdoc");
  ASSERT_TRUE(test::writeFile(junk, "\x01\x02 not a library"));
  ASSERT_TRUE(test::writeFile(notDict, "<plist><array/></plist>"));
  for (const QString& path : {junk, notDict, dir.filePath("missing.qlxdoc")}) {
    auto r = runTool({"check", path});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
  }
  EXPECT_EQ(runTool({"--help"}).exitCode, 0);
  EXPECT_NE(runTool({"frobnicate"}).exitCode, 0);
}

TEST(ToolRender, PartsKeysFillsClipboardCaseAndErrors) {
  QTemporaryDir dir;
  const QString lib = writeLibrary(dir);
  // Filled content "Hi Ann\tCB%|!" counts the tab as one character; codes are where the stored text has them.
  const QJsonObject o = render({lib, "hi", "--fill", "name=Ann", "--clipboard", "CB", "--case", "0"});
  const QJsonObject expected = QJsonDocument::fromJson(R"({"contentLength": 12,
      "fills": [{"tag": "{fill:Name}", "location": 3, "length": 11}],
      "keys": [{"tag": "{key:tab}", "location": 14, "length": 9}],
      "parts": [{"index": 1, "data": "Hi Ann", "key": "{key:tab}", "cursor": 0},
                {"index": 2, "data": "CB!", "key": "", "cursor": 1}]})").object();
  EXPECT_EQ(o, expected) << QJsonDocument(o).toJson().toStdString();

  EXPECT_EQ(render({lib, "up", "--case", "1"})["parts"].toArray()[0].toObject()["data"].toString(), "SHOUT");
  EXPECT_EQ(runTool({"render", lib, "nope"}).exitCode, 1);
  EXPECT_EQ(runTool({"render", lib}).exitCode, 2);
  EXPECT_EQ(runTool({"render", lib, "up", "--fill", "novalue"}).exitCode, 2);
}
