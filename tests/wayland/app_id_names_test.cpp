// Wayland app_ids named as rules made on X11 name the application.
#include "platform/wayland/app_id_names.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ql {
namespace {

void entry(const QString& folder, const QString& id, const QByteArray& keys) {
  QFile f(folder + QLatin1Char('/') + id + QStringLiteral(".desktop"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[Desktop Entry]\nType=Application\n" + keys);
}

TEST(WaylandAppIdNames, DesktopEntriesGiveTheClassRulesWereStoredUnder) {
  QTemporaryDir user, system;
  ASSERT_TRUE(user.isValid() && system.isValid());
  entry(system.path(), QStringLiteral("org.example.Editor"), "Name=Editor\nExec=example-editor %F\nStartupWMClass=ExampleEditor\n");
  entry(system.path(), QStringLiteral("org.gnome.TextEditor"), "Name=Text Editor\nExec=gnome-text-editor\n");
  entry(system.path(), QStringLiteral("foot"), "Name=Foot\nExec=foot\n");
  entry(system.path(), QStringLiteral("featherpad"), "Name=FeatherPad\nExec=featherpad\nCategories=Qt;Utility;\n");
  entry(system.path(), QStringLiteral("hidden"), "Name=Hidden\nExec=hidden\nNoDisplay=true\n");
  const QStringList folders = {user.path(), system.path()};

  EXPECT_EQ(ruleNameForAppId(QStringLiteral("org.example.Editor"), folders), QStringLiteral("ExampleEditor"));
  // A reverse-DNS id is the X11 class of such programs as well.
  EXPECT_EQ(ruleNameForAppId(QStringLiteral("org.gnome.TextEditor"), folders), QStringLiteral("org.gnome.TextEditor"));
  // Otherwise the toolkit's default for the program, as the picker names it.
  EXPECT_EQ(ruleNameForAppId(QStringLiteral("foot"), folders), QStringLiteral("Foot"));
  EXPECT_EQ(ruleNameForAppId(QStringLiteral("featherpad"), folders), QStringLiteral("FeatherPad"));
  // No entry (or none shown): the app_id itself.
  EXPECT_EQ(ruleNameForAppId(QStringLiteral("unlisted"), folders), QStringLiteral("unlisted"));
  EXPECT_EQ(ruleNameForAppId(QStringLiteral("hidden"), folders), QStringLiteral("hidden"));
  EXPECT_EQ(ruleNameForAppId(QStringLiteral("../etc/passwd"), folders), QStringLiteral("../etc/passwd"));

  // The user's own entry hides the system's.
  entry(user.path(), QStringLiteral("org.example.Editor"), "Name=Mine\nExec=mine\nStartupWMClass=MyEditor\n");
  EXPECT_EQ(ruleNameForAppId(QStringLiteral("org.example.Editor"), folders), QStringLiteral("MyEditor"));
}

}  // namespace
}  // namespace ql
