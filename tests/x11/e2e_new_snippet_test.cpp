// "New snippet from selection" on X11: the hot key copies the text selected
// in a Qt editor from Debian (FeatherPad), the new-snippet window makes a
// snippet of it, and the user's own clipboard comes back afterwards.
#include "e2e_quillet.h"
#include "x11_fixture.h"

#include <QStandardPaths>

namespace ql {
namespace {

using test::Client;
using test::QuilletProgram;
using test::pressKeys;
using test::run;
using test::waitUntil;

std::optional<QByteArray> clipboard() {
  return run(QStringLiteral("xclip"), {"-selection", "clipboard", "-o", "-t", "UTF8_STRING"});
}

QByteArray activeWindow() {
  return run(QStringLiteral("xdotool"), {"getactivewindow"}).value_or(QByteArray()).trimmed();
}

QByteArray visibleWindow(const QString& title) {
  return run(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--name", title})
      .value_or(QByteArray())
      .trimmed();
}

QString readFile(const QString& path) {
  QFile f(path);
  f.open(QIODevice::ReadOnly);
  return QString::fromUtf8(f.readAll());
}

TEST(NewSnippetE2E, FromTheSelectionInFeatherPadWithTheClipboardGivenBack) {
  if (QStandardPaths::findExecutable(QStringLiteral("featherpad")).isEmpty())
    GTEST_SKIP() << "featherpad is not installed";
  test::WindowManager wm;
  ASSERT_TRUE(wm.isRunning());
  QTemporaryDir dir;

  // The user's own clipboard, served by xclip until someone else copies.
  const QString mine = dir.filePath(QStringLiteral("mine.txt"));
  {
    QFile f(mine);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("the users own words");
  }
  Client xclip(QStringLiteral("xclip"),
               {"-selection", "clipboard", "-loops", "0", "-quiet", "-i", mine});
  ASSERT_TRUE(waitUntil([] { return clipboard() == QByteArray("the users own words"); }));

  const QString note = dir.filePath(QStringLiteral("note.txt"));
  {
    QFile f(note);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Kind regards from the editor");
  }
  const QString home = dir.filePath(QStringLiteral("editor-home"));
  Client editor(QStringLiteral("featherpad"), {QStringLiteral("--standalone"), note},
                {"HOME=" + home, "XDG_CONFIG_HOME=" + home + "/.config"});
  QByteArray window;
  ASSERT_TRUE(waitUntil([&] {
    window = run(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--class", "[Ff]eather[Pp]ad"})
                 .value_or(QByteArray())
                 .trimmed();
    return !window.isEmpty();
  }, 15000));
  window = window.split('\n').first();
  ASSERT_TRUE(test::activateWindow(window.toULong()));

  // Ctrl+Alt+N makes a snippet of the selection; new snippets are plain.
  QuilletProgram quillet(1, {{"sig", "Best regards"}});
  {
    QString library = readFile(quillet.settingsPath());
    library.replace(QStringLiteral("<key>Preferences</key><dict>"),
                    QStringLiteral("<key>Preferences</key><dict>"
                                   "<key>newSnippetFromSelectionHotKey</key><dict>"
                                   "<key>characters</key><string>n</string>"
                                   "<key>keyCode</key><integer>45</integer>"
                                   "<key>modifierFlags</key><integer>1572864</integer></dict>"
                                   "<key>snippetFormatType</key><integer>0</integer>"));
    QFile f(quillet.settingsPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(library.toUtf8());
  }
  ASSERT_TRUE(quillet.start(window.toULong()));
  ASSERT_TRUE(waitUntil([&] { return activeWindow() == window; }, 10000));

  // Select "regards from" in the editor; the editor publishes it as PRIMARY.
  ASSERT_TRUE(pressKeys({"ctrl+Home", "ctrl+Right", "ctrl+shift+Right", "ctrl+shift+Right"}));
  ASSERT_TRUE(waitUntil([] {
    return run(QStringLiteral("xclip"), {"-selection", "primary", "-o"}).value_or(QByteArray()).trimmed() ==
           QByteArray("regards from");
  }, 5000));

  ASSERT_TRUE(pressKeys({"ctrl+alt+n"}));
  // The floating window comes up in front, with the focus.
  QByteArray panel;
  ASSERT_TRUE(waitUntil([&] {
    panel = visibleWindow(QStringLiteral("^New Snippet$"));
    return !panel.isEmpty() && activeWindow() == panel;
  }, 10000));
  // The selection is on the clipboard while the window is open.
  EXPECT_EQ(clipboard().value_or(QByteArray()).trimmed(), QByteArray("regards from"));
  ASSERT_TRUE(pressKeys({"Return"}));

  // Made and saved with the selected text...
  EXPECT_TRUE(waitUntil([&] {
    return readFile(quillet.settingsPath()).contains(QStringLiteral("<string>regards from"));
  }, 10000)) << readFile(quillet.settingsPath()).toStdString();
  EXPECT_TRUE(visibleWindow(QStringLiteral("^New Snippet$")).isEmpty());
  // ...and the user's clipboard is theirs again.
  EXPECT_TRUE(waitUntil([] { return clipboard() == QByteArray("the users own words"); }, 10000))
      << clipboard().value_or(QByteArray()).toStdString();

  // Cancelled, nothing is made, the editor is in front again and the
  // clipboard comes back all the same.
  ASSERT_TRUE(test::activateWindow(window.toULong()));
  ASSERT_TRUE(pressKeys({"ctrl+End", "ctrl+shift+Left"}));
  ASSERT_TRUE(pressKeys({"ctrl+alt+n"}));
  ASSERT_TRUE(waitUntil([&] {
    panel = visibleWindow(QStringLiteral("^New Snippet$"));
    return !panel.isEmpty() && activeWindow() == panel;
  }, 10000));
  EXPECT_EQ(clipboard().value_or(QByteArray()).trimmed(), QByteArray("editor"));
  ASSERT_TRUE(pressKeys({"Escape"}));
  EXPECT_TRUE(waitUntil([&] { return activeWindow() == window; }, 10000));
  EXPECT_TRUE(waitUntil([] { return clipboard() == QByteArray("the users own words"); }, 10000))
      << clipboard().value_or(QByteArray()).toStdString();
  EXPECT_FALSE(readFile(quillet.settingsPath()).contains(QStringLiteral("<string>editor</string>")));
  EXPECT_TRUE(quillet.isRunning());
}

// The copy of the selection must not interrupt what runs in a terminal:
// xterm has no copy key, and Ctrl+C (or Ctrl+Shift+C) there is SIGINT.
class CopyKeyTest : public test::X11Test {};

TEST_F(CopyKeyTest, TheCopyKeyNeverInterruptsATerminal) {
  test::WindowManager wm;
  ASSERT_TRUE(wm.isRunning());
  test::CatTerminal terminal;
  ASSERT_TRUE(terminal.waitReady());
  ASSERT_TRUE(test::activateWindow(terminal.window()));
  ASSERT_TRUE(waitUntil([&] { return x->platform().workspace->frontmostApplication().name == "XTerm"; }));
  ASSERT_TRUE(test::typeText(QStringLiteral("before")));
  ASSERT_TRUE(pressKeys({QStringLiteral("Return")}));
  ASSERT_TRUE(waitUntil([&] { return terminal.contents().endsWith("before\n"); }));
  x->platform().input->postKey(keys::C, mods::Command, true);
  x->platform().input->postKey(keys::C, mods::Command, false);
  // cat still runs: what is typed after the copy key arrives.
  ASSERT_TRUE(test::typeText(QStringLiteral("after")));
  ASSERT_TRUE(pressKeys({QStringLiteral("Return")}));
  EXPECT_TRUE(waitUntil([&] { return terminal.contents().endsWith("before\nafter\n"); }, 5000))
      << terminal.contents().toStdString();
}

}  // namespace
}  // namespace ql
