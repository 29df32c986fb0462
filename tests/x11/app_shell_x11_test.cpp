// The quillet program with a real tray host (trayer) on the test's Xvfb:
// its icon is embedded, a hot key pressed in xterm switches expansion and
// the icon with it, and a second start hands over to the first and ends.
#include "platform/x11/x11_login_items.h"
#include "x11_fixture.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace ql {
namespace {

using test::CatTerminal;
using test::Client;
using test::run;
using test::waitUntil;

// Ctrl+Alt+E switches expansion (E is key 14; Command and Option are Ctrl and Alt).
constexpr const char* kLibrary =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
    "<key>Preferences</key><dict><key>isPlaySound</key><false/>"
    "<key>isExtendAbbreviation</key><true/>"
    "<key>enableDisabledQuilletHotKey</key><dict><key>characters</key><string>e</string>"
    "<key>keyCode</key><integer>14</integer><key>modifierFlags</key><integer>1572864</integer>"
    "</dict></dict><key>Groups</key><array/><key>Snippets</key><array/></dict></plist>\n";

// The same, with one snippet "sig" of many parts, so its expansion holds the
// keyboard for a while.
QByteArray libraryWithSnippet(const QString& content) {
  QByteArray library(kLibrary);
  const QByteArray group = "0E2E0000-0000-4000-8000-000000000001";
  const QByteArray snippet = "0E2E0000-0000-4000-8000-000000000100";
  library.replace("<key>isPlaySound</key>",
                  "<key>extendType</key><integer>1</integer><key>delimiters</key><array>"
                  "<string>space</string></array><key>isPlaySound</key>");
  library.replace("<key>Groups</key><array/><key>Snippets</key><array/>",
                  "<key>Groups</key><array><dict><key>uuid</key><string>" + group +
                      "</string><key>name</key><string>G</string><key>snippts</key><array><string>" +
                      snippet + "</string></array></dict></array><key>Snippets</key><array><dict>"
                      "<key>uuid</key><string>" + snippet + "</string><key>groupUuid</key><string>" +
                      group + "</string><key>abbreviation</key><string>sig</string>"
                      "<key>plainText</key><string>" + content.toUtf8() + "</string></dict></array>");
  return library;
}

class AppShellX11 : public testing::Test {
 protected:
  void SetUp() override {
    appFolder = home.filePath(QStringLiteral(".local/share/Orrery Labs/Quillet1"));
    QDir().mkpath(appFolder);
    QDir().mkpath(home.filePath(QStringLiteral("run")));
    QFile::setPermissions(home.filePath(QStringLiteral("run")), QFileDevice::ReadOwner |
                                                                    QFileDevice::WriteOwner |
                                                                    QFileDevice::ExeOwner);
    QFile f(appFolder + QStringLiteral("/settings.qlxdoc"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(kLibrary);
  }

  QStringList environment() const {
    const QString h = home.path();
    return {"HOME=" + h, "XDG_DATA_HOME=" + h + "/.local/share", "XDG_CONFIG_HOME=" + h + "/.config",
            "XDG_CACHE_HOME=" + h + "/.cache", "XDG_RUNTIME_DIR=" + h + "/run"};
  }

  std::unique_ptr<Client> startQuillet() {
    auto quillet = std::make_unique<Client>(QStringLiteral(QUILLET_PROGRAM), QStringList{}, environment());
    const QString statistics = appFolder + QStringLiteral("/statistics.plist");
    EXPECT_TRUE(waitUntil([&] { return QFile::exists(statistics) || !quillet->isRunning(); }, 10000));
    // Then its library window comes up in front; tests give the focus back
    // to the window they type in after that.
    EXPECT_TRUE(waitUntil([] { return activeWindowName() == "Quillet"; }, 10000));
    return quillet;
  }

  QByteArray settingsFile() const {
    QFile f(appFolder + QStringLiteral("/settings.qlxdoc"));
    f.open(QIODevice::ReadOnly);
    return f.readAll();
  }

  // The tray icon window embedded in the tray (0: none yet).
  static unsigned long trayIcon() {
    const auto tree = run(QStringLiteral("xwininfo"), {"-root", "-tree"});
    if (!tree) return 0;
    static const QRegularExpression icon(QStringLiteral("(0x[0-9a-f]+) \"[^\"]*\": \\(\"quillet\" \"Quillet\"\\)"));
    const QStringList lines = QString::fromUtf8(*tree).split(u'\n');
    // Only a window below the tray's panel is an embedded icon.
    bool inPanel = false;
    for (const QString& line : lines) {
      if (line.contains(QLatin1String("(\"panel\" \"trayer\")"))) inPanel = true;
      const auto m = icon.match(line);
      if (inPanel && m.hasMatch()) return m.captured(1).toULong(nullptr, 16);
    }
    return 0;
  }

  // A popup of Quillet's mapped at the top level: its menu.
  static bool menuIsOpen() {
    const auto tree = run(QStringLiteral("xwininfo"), {"-root", "-children"});
    static const QRegularExpression popup(
        QStringLiteral("\\(\"quillet\" \"Quillet\"\\)\\s+(\\d+)x(\\d+)"));
    auto it = popup.globalMatch(QString::fromUtf8(tree.value_or(QByteArray())));
    while (it.hasNext()) {
      const auto m = it.next();
      if (m.captured(1).toInt() > 100 && m.captured(2).toInt() > 100) return true;
    }
    return false;
  }

  static QByteArray activeWindowName() {
    return run(QStringLiteral("xdotool"), {"getactivewindow", "getwindowname"}).value_or(QByteArray()).trimmed();
  }

  static QByteArray iconPixels(unsigned long window) {
    const auto image = run(QStringLiteral("xwd"), {"-silent", "-id", QString::number(window)});
    return image ? QCryptographicHash::hash(*image, QCryptographicHash::Sha1) : QByteArray();
  }

  QTemporaryDir home;
  QString appFolder;
};

TEST_F(AppShellX11, TrayIconHotKeyAndSecondStart) {
  test::WindowManager wm;
  ASSERT_TRUE(wm.isRunning());
  Client tray(QStringLiteral("trayer"), {"--edge", "top", "--align", "right", "--widthtype", "request",
                                         "--height", "28", "--SetDockType", "true", "--transparent",
                                         "false", "--tint", "0xdddddd"});
  ASSERT_TRUE(waitUntil([] { return test::findWindowByClass("Trayer") != 0; }, 10000));
  CatTerminal terminal;
  ASSERT_TRUE(terminal.waitReady());
  ASSERT_TRUE(test::activateWindow(terminal.window()));

  std::unique_ptr<Client> quillet = startQuillet();
  ASSERT_TRUE(quillet->isRunning());
  unsigned long icon = 0;
  ASSERT_TRUE(waitUntil([&] { return (icon = trayIcon()) != 0; }, 10000));
  QByteArray enabled;
  ASSERT_TRUE(waitUntil([&] { return !(enabled = iconPixels(icon)).isEmpty(); }, 5000));

  // A click opens the menu; its "Restore Backup…" entry brings up a window of
  // Quillet's own, and while that is in front the hot key does nothing.
  const QStringList geometry = QString::fromUtf8(
      run(QStringLiteral("xdotool"), {"getwindowgeometry", "--shell", QString::number(icon)}).value_or(QByteArray()))
                                   .split(u'\n');
  int x = 0, y = 0;
  for (const QString& line : geometry) {
    if (line.startsWith(QLatin1String("X="))) x = line.mid(2).toInt();
    if (line.startsWith(QLatin1String("Y="))) y = line.mid(2).toInt();
  }
  // The menu takes the keyboard only once it is up; keys sent before that go
  // elsewhere, so a try that missed is made again.
  bool restoreShown = false;
  for (int attempt = 0; attempt < 3 && !restoreShown; ++attempt) {
    ASSERT_TRUE(run(QStringLiteral("xdotool"), {"mousemove", QString::number(x + 8), QString::number(y + 8), "click", "1"}));
    ASSERT_TRUE(waitUntil([] { return menuIsOpen(); }, 5000));
    test::settle(200);
    ASSERT_TRUE(run(QStringLiteral("xdotool"), {"key", "Up", "Up", "Up", "Up", "Return"}));
    restoreShown = waitUntil([] { return activeWindowName().startsWith("Restore Backup"); }, 3000);
    if (!restoreShown) run(QStringLiteral("xdotool"), {"key", "Escape"});
  }
  ASSERT_TRUE(restoreShown);
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"key", "ctrl+alt+e"}));
  test::settle(700);
  EXPECT_FALSE(QString::fromUtf8(settingsFile()).contains(
      QRegularExpression(QStringLiteral("<key>isExtendAbbreviation</key>\\s*<false/>"))));
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"key", "Escape"}));
  ASSERT_TRUE(test::activateWindow(terminal.window()));

  // The hot key, pressed while xterm is in front, switches expansion off.
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"key", "ctrl+alt+e"}));
  static const QRegularExpression off(QStringLiteral("<key>isExtendAbbreviation</key>\\s*<false/>"));
  EXPECT_TRUE(waitUntil([&] { return off.match(QString::fromUtf8(settingsFile())).hasMatch(); }, 5000));
  EXPECT_TRUE(waitUntil([&] { const QByteArray now = iconPixels(icon); return !now.isEmpty() && now != enabled; }, 5000));

  // A second start finds the first, asks it for its window and ends at once.
  Client second(QStringLiteral(QUILLET_PROGRAM), {}, environment());
  ASSERT_TRUE(waitUntil([&] { return !second.isRunning(); }, 10000));
  EXPECT_EQ(second.process().exitCode(), 0);
  EXPECT_TRUE(quillet->isRunning());
}

TEST_F(AppShellX11, AHotKeyPressedDuringAnExpansionWorksOnceItEnds) {
  QStringList parts;
  for (int i = 0; i < 12; ++i) parts.append(QStringLiteral("part%1").arg(i));
  {
    QFile f(appFolder + QStringLiteral("/settings.qlxdoc"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(libraryWithSnippet(parts.join(QStringLiteral("{key:tab}"))));
  }
  test::WindowManager wm;
  ASSERT_TRUE(wm.isRunning());
  CatTerminal terminal;
  ASSERT_TRUE(terminal.waitReady());
  std::unique_ptr<Client> quillet = startQuillet();
  ASSERT_TRUE(quillet->isRunning());
  ASSERT_TRUE(test::activateWindow(terminal.window()));

  // The hot key follows the delimiter at once, while the parts are pasted.
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"type", "--delay", "30", "sig "}));
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"key", "--delay", "0", "ctrl+alt+e"}));
  static const QRegularExpression off(QStringLiteral("<key>isExtendAbbreviation</key>\\s*<false/>"));
  EXPECT_TRUE(waitUntil([&] { return off.match(QString::fromUtf8(settingsFile())).hasMatch(); }, 8000));
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"key", "Return"}));
  // The snippet whole, nothing of the hot key in it, and no expansion after the switch.
  const QByteArray expected = parts.join(u'\t').toUtf8() + " \n";
  EXPECT_TRUE(terminal.waitForContents(expected, 8000)) << terminal.contents().toStdString();
  // The Space first ends the word the Return began, so "sig" would expand if it could.
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"type", "--delay", "30", " sig \n"}));
  EXPECT_TRUE(terminal.waitForContents(expected + " sig \n", 8000)) << terminal.contents().toStdString();
}

TEST(LoginItemsByHand, AnEntryNamingTheProgramOnThePathCounts) {
  QTemporaryDir dir;
  QDir().mkpath(dir.filePath(QStringLiteral("bin")));
  const QString program = dir.filePath(QStringLiteral("bin/quillet"));
  QFile exe(program);
  ASSERT_TRUE(exe.open(QIODevice::WriteOnly));
  exe.write("#!/bin/sh\n");
  exe.close();
  exe.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", dir.filePath(QStringLiteral("bin")).toUtf8() + ':' + path);

  // The README's way: the installed desktop entry copied into autostart.
  X11LoginItems items(program);
  QDir().mkpath(QFileInfo(items.entryPath()).path());
  QFile entry(items.entryPath());
  ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
  entry.write("[Desktop Entry]\nType=Application\nName=Quillet\nExec=quillet\n");
  entry.close();
  EXPECT_TRUE(items.contains());
  items.remove();
  EXPECT_FALSE(QFile::exists(items.entryPath()));
  qputenv("PATH", path);
}

}  // namespace
}  // namespace ql
