// "New snippet from selection" on X11: the hot key copies the text selected
// in a Qt editor from Debian (FeatherPad), the new-snippet window makes a
// snippet of it, and the user's own clipboard comes back afterwards; the
// same for the application's own group and after a choice from the
// suggestion list there.
#include "e2e_quillet.h"
#include "x11_fixture.h"

#include <QStandardPaths>

namespace ql {
namespace {

using test::activeWindow;
using test::Client;
using test::clipboard;
using test::QuilletProgram;
using test::pressKeys;
using test::run;
using test::waitUntil;
using ::test::writeFile;

QString readText(const QString& path) { return QString::fromUtf8(::test::readFile(path)); }
bool isActive(unsigned long window) { return activeWindow() == QByteArray::number(qulonglong(window)); }

class NewSnippetE2E : public testing::Test {
 protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable(QStringLiteral("featherpad")).isEmpty())
      GTEST_SKIP() << "featherpad is not installed";
    wm = std::make_unique<test::WindowManager>();
    ASSERT_TRUE(wm->isRunning());

    // The user's own clipboard, served by xclip until someone else copies.
    const QString mine = dir.filePath(QStringLiteral("mine.txt"));
    ASSERT_TRUE(writeFile(mine, "the users own words"));
    xclip = std::make_unique<Client>(
        QStringLiteral("xclip"), QStringList{"-selection", "clipboard", "-loops", "0", "-quiet", "-i", mine});
    ASSERT_TRUE(waitUntil([] { return clipboard() == QByteArray("the users own words"); }));

    const QString note = dir.filePath(QStringLiteral("note.txt"));
    ASSERT_TRUE(writeFile(note, "Kind regards from the editor"));
    const QString home = dir.filePath(QStringLiteral("editor-home"));
    editor = std::make_unique<Client>(QStringLiteral("featherpad"),
                                      QStringList{QStringLiteral("--standalone"), note},
                                      QStringList{"HOME=" + home, "XDG_CONFIG_HOME=" + home + "/.config"});
    ASSERT_TRUE(waitUntil([&] { return (window = test::visibleWindow("[Ff]eather[Pp]ad")) != 0; }, 15000));
    ASSERT_TRUE(test::activateWindow(window));
  }

  // Quillet with new snippets from the selection on Ctrl+Alt+N, from the
  // application on Ctrl+Alt+M and the search window on Ctrl+Alt+F; new
  // snippets are plain.
  void startQuillet() {
    const QString key = QStringLiteral(
        "<key>%1</key><dict><key>characters</key><string>%2</string><key>keyCode</key><integer>%3</integer>"
        "<key>modifierFlags</key><integer>1572864</integer></dict>");
    quillet = std::make_unique<QuilletProgram>(
        1, QList<test::E2ESnippet>{{"dup", "one"}, {"dup", "two"}}, QStringList{QStringLiteral("space")},
        key.arg(QStringLiteral("newSnippetFromSelectionHotKey"), QStringLiteral("n")).arg(keys::N) +
            key.arg(QStringLiteral("newSnippetFromApplicationHotKey"), QStringLiteral("m")).arg(keys::M) +
            key.arg(QStringLiteral("searchSnippetHotKey"), QStringLiteral("f")).arg(keys::F) +
            QStringLiteral("<key>snippetFormatType</key><integer>0</integer>"));
    ASSERT_TRUE(quillet->start(window));
    ASSERT_TRUE(waitUntil([&] { return isActive(window); }, 10000));
  }

  // Selects "regards from" in the editor, which publishes it as PRIMARY.
  void selectInEditor() {
    ASSERT_TRUE(pressKeys({"ctrl+Home", "ctrl+Right", "ctrl+shift+Right", "ctrl+shift+Right"}));
    ASSERT_TRUE(waitUntil([] {
      return run(QStringLiteral("xclip"), {"-selection", "primary", "-o"}).value_or(QByteArray()).trimmed() ==
             QByteArray("regards from");
    }, 5000));
  }

  // The floating window up in front, with the focus.
  bool waitForPanel() {
    return waitUntil([&] {
      const unsigned long panel = test::visibleWindow(QStringLiteral("^New Snippet$"), QStringLiteral("--name"));
      return panel != 0 && isActive(panel);
    }, 10000);
  }

  bool clipboardIsTheUsers() {
    return waitUntil([] { return clipboard() == QByteArray("the users own words"); }, 10000);
  }

  QTemporaryDir dir;
  std::unique_ptr<test::WindowManager> wm;
  std::unique_ptr<Client> xclip;
  std::unique_ptr<Client> editor;
  std::unique_ptr<QuilletProgram> quillet;
  unsigned long window = 0;
};

TEST_F(NewSnippetE2E, FromTheSelectionTheApplicationTheListAndTheSearchWindowInFeatherPadWithTheClipboardGivenBack) {
  startQuillet();
  selectInEditor();
  ASSERT_TRUE(pressKeys({"ctrl+alt+n"}));
  ASSERT_TRUE(waitForPanel());
  // The selection is on the clipboard while the window is open.
  EXPECT_EQ(clipboard().value_or(QByteArray()).trimmed(), QByteArray("regards from"));
  ASSERT_TRUE(pressKeys({"Return"}));

  // Made and saved with the selected text, and the user's clipboard is
  // theirs again.
  EXPECT_TRUE(waitUntil([&] {
    return readText(quillet->settingsPath()).contains(QStringLiteral("<string>regards from"));
  }, 10000)) << readText(quillet->settingsPath()).toStdString();
  EXPECT_EQ(test::visibleWindow(QStringLiteral("^New Snippet$"), QStringLiteral("--name")), 0u);
  EXPECT_TRUE(clipboardIsTheUsers()) << clipboard().value_or(QByteArray()).toStdString();

  // Cancelled, nothing is made, the editor is in front again and the
  // clipboard comes back all the same.
  ASSERT_TRUE(test::activateWindow(window));
  ASSERT_TRUE(pressKeys({"ctrl+End", "ctrl+shift+Left"}));
  ASSERT_TRUE(pressKeys({"ctrl+alt+n"}));
  ASSERT_TRUE(waitForPanel());
  EXPECT_EQ(clipboard().value_or(QByteArray()).trimmed(), QByteArray("editor"));
  ASSERT_TRUE(pressKeys({"Escape"}));
  EXPECT_TRUE(waitUntil([&] { return isActive(window); }, 10000));
  EXPECT_TRUE(clipboardIsTheUsers()) << clipboard().value_or(QByteArray()).toStdString();
  EXPECT_FALSE(readText(quillet->settingsPath()).contains(QStringLiteral("<string>editor</string>")));
  EXPECT_TRUE(quillet->isRunning());

  // From the application: the group goes by the class its windows carry
  // ("FeatherPad"), the name application rules match at expansion, and
  // expands only there.
  {
    SCOPED_TRACE("from the application");
    selectInEditor();
    ASSERT_TRUE(pressKeys({"ctrl+alt+m"}));
    ASSERT_TRUE(waitForPanel());
    ASSERT_TRUE(pressKeys({"Return"}));
    static const QRegularExpression group(QStringLiteral(
        R"(<key>name</key>\s*<string>FeatherPad</string>(?:(?!</dict>)[\s\S])*)"
        R"(<key>exceptionType</key>\s*<integer>3</integer>\s*)"
        R"(<key>exceptions</key>\s*<array>\s*<string>FeatherPad</string>\s*</array>)"));
    EXPECT_TRUE(waitUntil([&] { return group.match(readText(quillet->settingsPath())).hasMatch(); }, 10000))
        << readText(quillet->settingsPath()).toStdString();
    EXPECT_TRUE(clipboardIsTheUsers()) << clipboard().value_or(QByteArray()).toStdString();
  }

  // Chosen from the suggestion list in this Qt editor: the snippet replaces
  // the abbreviation, and the user's clipboard comes back again.
  SCOPED_TRACE("suggestion list");
  ASSERT_TRUE(test::activateWindow(window));
  const QList<QByteArray> own = test::visibleWindows(QStringLiteral("[Qq]uillet"));
  auto listShown = [&] {
    for (const QByteArray& id : test::visibleWindows(QStringLiteral("[Qq]uillet")))
      if (!own.contains(id)) return true;
    return false;
  };
  ASSERT_TRUE(pressKeys({"ctrl+a", "BackSpace"}));
  ASSERT_TRUE(test::typeText(QStringLiteral("x dup ")));
  ASSERT_TRUE(waitUntil(listShown));
  ASSERT_TRUE(pressKeys({"Down", "Return"}));
  ASSERT_TRUE(quillet->waitForExpansions(1));
  EXPECT_TRUE(waitUntil([&] { return !listShown(); }));
  EXPECT_TRUE(clipboardIsTheUsers()) << clipboard().value_or(QByteArray()).toStdString();

  // Chosen in the search window: it takes the focus, gives it back to the
  // editor and the choice lands at the caret there.
  {
    SCOPED_TRACE("search window");
    ASSERT_TRUE(pressKeys({"ctrl+alt+f"}));
    ASSERT_TRUE(waitUntil([&] {
      for (const QByteArray& id : test::visibleWindows(QStringLiteral("[Qq]uillet")))
        if (!own.contains(id) && isActive(id.toULong())) return true;
      return false;
    }, 10000));
    ASSERT_TRUE(test::typeText(QStringLiteral("one")));
    ASSERT_TRUE(pressKeys({"Down", "Return"}));
    ASSERT_TRUE(quillet->waitForExpansions(2));
    EXPECT_TRUE(waitUntil([&] { return isActive(window); }, 10000));
    EXPECT_TRUE(clipboardIsTheUsers()) << clipboard().value_or(QByteArray()).toStdString();
  }
  ASSERT_TRUE(pressKeys({"ctrl+s"}));
  EXPECT_TRUE(waitUntil([&] {
    const QString text = readText(dir.filePath(QStringLiteral("note.txt"))).trimmed();
    return text.startsWith(QStringLiteral("x two")) && text.endsWith(QStringLiteral("one"));
  })) << readText(dir.filePath(QStringLiteral("note.txt"))).toStdString();
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
