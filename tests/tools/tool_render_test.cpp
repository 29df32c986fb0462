#include "model/ql_settings.h"
#include "tool_runner.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString libraryWith(const QTemporaryDir& dir, const QString& abbr, const QString& text) {
  QLSettings s;
  auto sn = std::make_shared<QLSnippet>();
  sn->abbreviation = abbr;
  sn->plainText = text;
  s.snippets.append(sn);
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

TEST(ToolRender, PartsKeysFillsAndClipboard) {
  QTemporaryDir dir;
  const QString lib = libraryWith(dir, "hi", "Hi {fill:Name}{key:tab}{clipboard}%|!");
  const QJsonObject o = render({lib, "hi", "--fill", "name=Ann", "--clipboard", "CB", "--case", "0"});
  // Filled content "Hi Ann\tCB%|!" counts the tab as one character.
  EXPECT_EQ(o["contentLength"].toInt(), 12);
  const QJsonArray keys = o["keys"].toArray();
  ASSERT_EQ(keys.size(), 1);
  EXPECT_EQ(keys[0].toObject()["tag"].toString(), "{key:tab}");
  EXPECT_EQ(keys[0].toObject()["location"].toInt(), 14);
  const QJsonArray fills = o["fills"].toArray();
  ASSERT_EQ(fills.size(), 1);
  EXPECT_EQ(fills[0].toObject()["location"].toInt(), 3);
  const QJsonArray parts = o["parts"].toArray();
  ASSERT_EQ(parts.size(), 2);
  EXPECT_EQ(parts[0].toObject()["data"].toString(), "Hi Ann");
  EXPECT_EQ(parts[0].toObject()["key"].toString(), "{key:tab}");
  EXPECT_EQ(parts[1].toObject()["data"].toString(), "CB!");
  EXPECT_EQ(parts[1].toObject()["cursor"].toInt(), 1);
  EXPECT_EQ(parts[1].toObject()["index"].toInt(), 2);
}

TEST(ToolRender, CaseModeAndErrors) {
  QTemporaryDir dir;
  const QString lib = libraryWith(dir, "up", "shout");
  EXPECT_EQ(render({lib, "up", "--case", "1"})["parts"].toArray()[0].toObject()["data"].toString(), "SHOUT");
  EXPECT_EQ(runTool({"render", lib, "nope"}).exitCode, 1);
  EXPECT_EQ(runTool({"render", lib}).exitCode, 2);
  EXPECT_EQ(runTool({"render", lib, "up", "--fill", "novalue"}).exitCode, 2);
}
