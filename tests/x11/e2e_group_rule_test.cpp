// A group limited by the picker's name for a GTK editor from Debian
// (l3afpad) expands there and not in xterm.
#include "e2e_quillet.h"
#include "platform/x11/x11_workspace.h"
#include "x11_fixture.h"

#include <QStandardPaths>

namespace ql {
namespace {

using test::CatTerminal;
using test::Client;
using test::QuilletProgram;
using test::pressKeys;
using test::typeText;
using test::waitUntil;

// The first mapped window of a class (toolkits also name hidden leader
// windows by it).
unsigned long visibleWindow(const QString& cls) {
  const QByteArray found = test::run(QStringLiteral("xdotool"),
                                     {"search", "--onlyvisible", "--class", "^" + cls + "$"})
                               .value_or(QByteArray())
                               .trimmed();
  return found.isEmpty() ? 0 : found.split('\n').first().toULong();
}

TEST(GroupRuleE2E, AGroupForTheGtkEditorExpandsThereAndNotInXterm) {
  if (QStandardPaths::findExecutable(QStringLiteral("l3afpad")).isEmpty())
    GTEST_SKIP() << "l3afpad is not installed";
  test::WindowManager wm;
  ASSERT_TRUE(wm.isRunning());
  // The name the picker offers for the editor, as the user would choose it
  // before the editor ever ran.
  QString editorName;
  {
    QString error;
    auto x = X11Platform::create({}, &error);
    ASSERT_TRUE(x) << error.toStdString();
    for (const InstalledApplication& a : x->workspace().installedApplications())
      if (a.path.endsWith(QStringLiteral("/l3afpad.desktop"))) editorName = a.name;
  }
  ASSERT_FALSE(editorName.isEmpty());

  CatTerminal terminal;
  ASSERT_TRUE(terminal.waitReady());
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("note.txt"));
  QFile(path).open(QIODevice::WriteOnly);
  Client editor(QStringLiteral("l3afpad"), {path},
                {"HOME=" + dir.path(), "XDG_CONFIG_HOME=" + dir.path() + "/.config"});
  unsigned long window = 0;
  ASSERT_TRUE(waitUntil([&] { return (window = visibleWindow(QStringLiteral("L3afpad"))) != 0; }, 15000));
  ASSERT_TRUE(test::activateWindow(window));

  QuilletProgram quillet(1, {{"qqa", "quick answer"}});
  quillet.setGroupRule(3, {editorName});
  ASSERT_TRUE(quillet.start(window));
  ASSERT_TRUE(typeText(QStringLiteral("x qqa ")));
  ASSERT_TRUE(quillet.waitForExpansions(1));

  // In xterm the abbreviation stays as typed.
  ASSERT_TRUE(test::activateWindow(terminal.window()));
  ASSERT_TRUE(typeText(QStringLiteral("qqa ")));
  ASSERT_TRUE(pressKeys({QStringLiteral("Return")}));
  EXPECT_TRUE(terminal.waitForContents("qqa \n")) << terminal.contents().toStdString();

  // Back in the editor it expands again; keys are handled in order, so an
  // expansion in xterm would have been counted before this one.
  ASSERT_TRUE(test::activateWindow(window));
  ASSERT_TRUE(typeText(QStringLiteral("qqa ")));
  ASSERT_TRUE(quillet.waitForExpansions(2));
  ASSERT_TRUE(pressKeys({QStringLiteral("ctrl+s")}));
  QByteArray saved;
  EXPECT_TRUE(waitUntil([&] {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    saved = f.readAll();
    return saved.startsWith("x quick answer quick answer ");
  }, 5000)) << saved.toStdString();
  EXPECT_EQ(quillet.expansions(), 2);
}

}  // namespace
}  // namespace ql
