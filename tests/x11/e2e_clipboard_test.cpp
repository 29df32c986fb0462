// Quillet against real clients where timing and the keyboard's state can
// garble an expansion: a target that fetches the clipboard late, a user who
// holds Shift while Quillet types, keys right behind a paste, and a layout
// whose delimiters need AltGr.
#include "e2e_quillet.h"
#include "x11_fixture.h"

#include <QDateTime>
#include <QFileInfo>
#include <QStandardPaths>

namespace ql {
namespace {

using test::CatTerminal;
using test::Client;
using test::QuilletProgram;
using test::pressKeys;
using test::run;
using test::typeText;
using test::waitUntil;

std::optional<QByteArray> clipboard() {
  return run(QStringLiteral("xclip"), {"-selection", "clipboard", "-o", "-t", "UTF8_STRING"});
}

QByteArray readFile(const QString& path) {
  QFile f(path);
  f.open(QIODevice::ReadOnly);
  return f.readAll();
}

bool activate(unsigned long window) {
  return test::activateWindow(window);
}

class ClipboardE2E : public testing::Test {
 protected:
  void SetUp() override {
    wm = std::make_unique<test::WindowManager>();
    ASSERT_TRUE(wm->isRunning());
  }
  void TearDown() override {
    if (layoutChanged) run(QStringLiteral("setxkbmap"), {QStringLiteral("us")});
  }

  // The user's own clipboard, served by xclip for the whole test.
  void ownClipboard(const QByteArray& text) {
    const QString path = dir.filePath(QStringLiteral("mine.txt"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text);
    f.close();
    xclip = std::make_unique<Client>(
        QStringLiteral("xclip"),
        QStringList{"-selection", "clipboard", "-loops", "0", "-quiet", "-i", path});
    ASSERT_TRUE(waitUntil([&] { return clipboard() == text; }));
  }

  // An xterm with `cat` reading: a line typed has come through. On a
  // loaded machine the first keys can come before the window has the focus
  // or before `cat` runs; what they left is the test's base.
  std::unique_ptr<CatTerminal> terminal() {
    auto t = std::make_unique<CatTerminal>();
    if (!t->waitReady()) return nullptr;
    for (int attempt = 0; attempt < 5; ++attempt) {
      if (!activate(t->window()) || !typeText(QStringLiteral("ok")) ||
          !pressKeys({QStringLiteral("Return")}))
        return nullptr;
      if (waitUntil([&] { return t->contents().endsWith("ok\n"); }, 3000)) {
        base = t->contents();
        return t;
      }
    }
    return nullptr;
  }
  QByteArray base;  // what the terminal held before the test typed

  QTemporaryDir dir;
  std::unique_ptr<test::WindowManager> wm;
  std::unique_ptr<Client> xclip;
  bool layoutChanged = false;
};

TEST_F(ClipboardE2E, ATargetThatFetchesLateGetsTheSnippetThenTheUserTheirClipboard) {
  ownClipboard("my own words");
  const QString out = dir.filePath(QStringLiteral("field.txt"));
  const QString script = QStringLiteral(QUILLET_X11_TEST_DIR "/late_paste_entry.py");
  // A second after Ctrl+V: ten times the designed pause.
  Client entry(QStringLiteral("/usr/bin/python3"), {script, QStringLiteral("1000"), out});
  ASSERT_TRUE(waitUntil([&] { return test::findWindowByClass("LatePaste") != 0; }, 30000));
  ASSERT_TRUE(activate(test::findWindowByClass("LatePaste")));

  // Immediate mode: nothing follows the paste, so only the restore could
  // beat the fetch.
  QuilletProgram quillet(0, {{"qqa", "quick answer"}});
  ASSERT_TRUE(quillet.start());
  ASSERT_TRUE(typeText(QStringLiteral("x qqa")));
  ASSERT_TRUE(quillet.waitForExpansions(1));
  EXPECT_TRUE(waitUntil([&] { return readFile(out) == "x quick answer"; }, 5000))
      << readFile(out).toStdString();
  EXPECT_TRUE(waitUntil([&] { return clipboard() == "my own words"; }, 8000));
}

TEST_F(ClipboardE2E, AFormattedSnippetArrivesRichWhereTheTargetWentByAnOlderListOfFormats) {
  ownClipboard("my own words");
  const QString out = dir.filePath(QStringLiteral("field.txt"));
  const QString script = QStringLiteral(QUILLET_X11_TEST_DIR "/stale_list_entry.py");
  Client entry(QStringLiteral("/usr/bin/python3"), {script, out});
  ASSERT_TRUE(waitUntil([&] { return test::findWindowByClass("StaleList") != 0; }, 30000));
  ASSERT_TRUE(activate(test::findWindowByClass("StaleList")));

  // "Bold" in bold, then " here", as a flat RTFD.
  const QByteArray rtfd = QByteArray::fromBase64(
      "cnRmZAAAAAADAAAAAQAAAAcAAABUWFQucnRmxAAAAAEAAAC8AAAAe1xydGYxXGFuc2lcYW5zaWNwZzEyNTJcY29jb2Fy"
      "dGYyNzYxClxjb2NvYXRleHRzY2FsaW5nMFxjb2NvYXBsYXRmb3JtMFx1YzB7XGZvbnR0YmxcZjBcZnN3aXNzXGZjaGFy"
      "c2V0MCBIZWx2ZXRpY2E7fQp7XGNvbG9ydGJsO30KClxwYXJkXHBhcmRpcm5hdHVyYWxccGFydGlnaHRlbmZhY3RvcjAK"
      "XGYwXGIgQm9sZFxiMCAgaGVyZX0=");
  QuilletProgram quillet(1, {{"zbb", "Bold here"}}, {QStringLiteral("space")}, {}, {{"zbb", rtfd}});
  ASSERT_TRUE(quillet.start());
  // A first expansion: the field reads what Quillet offers and takes HTML.
  ASSERT_TRUE(typeText(QStringLiteral("zbb ")));
  ASSERT_TRUE(quillet.waitForExpansions(1, 10000));
  ASSERT_TRUE(waitUntil([&] { return readFile(out) == "Bold here "; }, 8000)) << readFile(out).toStdString();
  // That list goes out of use two seconds on, by the wall clock's second.
  const qint64 read = QDateTime::currentSecsSinceEpoch();
  ASSERT_TRUE(waitUntil([&] { return QDateTime::currentSecsSinceEpoch() >= read + 2; }, 5000));

  // The user pastes their own words, so the field has just read a list with
  // plain text only, and expands the formatted snippet at once.
  ASSERT_TRUE(pressKeys({QStringLiteral("ctrl+v")}));
  ASSERT_TRUE(typeText(QStringLiteral(" zbb ")));
  ASSERT_TRUE(quillet.waitForExpansions(2, 10000));
  EXPECT_TRUE(waitUntil([&] { return readFile(out) == "Bold here my own words Bold here "; }, 8000))
      << readFile(out).toStdString();
  EXPECT_TRUE(readFile(out + ".flavours").endsWith("text\nhtml\n")) << readFile(out + ".flavours").toStdString();
  EXPECT_TRUE(waitUntil([&] { return clipboard() == "my own words"; }, 8000));
}

TEST_F(ClipboardE2E, TheClipboardCodeRightAfterAnExpansionReadsTheUsersContent) {
  ownClipboard("my own words");
  auto t = terminal();
  ASSERT_TRUE(t);
  QuilletProgram quillet(1, {{"qqt", "two{key:tab}parts"}, {"zzc", "[{clipboard}]"}});
  ASSERT_TRUE(quillet.start());
  // At 60 ms per key the second expansion starts while the first one's
  // restore is due.
  ASSERT_TRUE(typeText(QStringLiteral("qqt zzc "), 60));
  ASSERT_TRUE(quillet.waitForExpansions(2));
  ASSERT_TRUE(pressKeys({QStringLiteral("Return")}));
  EXPECT_TRUE(t->waitForContents(base + "two\tparts [my own words] \n")) << t->contents().toStdString();
  EXPECT_TRUE(waitUntil([&] { return clipboard() == "my own words"; }, 8000));
}

TEST_F(ClipboardE2E, KeysQuilletPostsCarryNoModifierTheUserHolds) {
  auto t = terminal();
  ASSERT_TRUE(t);
  QuilletProgram quillet(1, {{"zcur", "<b>%|</b>"}, {"ztab", "a{key:tab}b"}});
  ASSERT_TRUE(quillet.start());
  ASSERT_TRUE(typeText(QStringLiteral("hi zcur")));
  // Shift goes down before the trigger and stays down through the whole
  // expansion: its Backspaces, Lefts and Tab must still arrive plain.
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"keydown", "shift", "key", "space"}));
  ASSERT_TRUE(quillet.waitForExpansions(1));
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"keyup", "shift"}));
  ASSERT_TRUE(typeText(QStringLiteral("ztab")));
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"keydown", "shift", "key", "space"}));
  ASSERT_TRUE(quillet.waitForExpansions(2));
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"keyup", "shift"}));
  ASSERT_TRUE(pressKeys({QStringLiteral("Return")}));
  // Left is ESC [ D in xterm, Shift+Left ESC [ 1 ; 2 D; Shift+Tab ESC [ Z.
  const QByteArray left = "\x1b[D";
  EXPECT_TRUE(t->waitForContents(base + "hi <b></b> " + left.repeated(5) + "a\tb \n"))
      << t->contents().toStdString();
  EXPECT_FALSE(t->contents().contains("\x1b[1;2")) << "a key went out with Shift";
  EXPECT_FALSE(t->contents().contains("\x1b[Z")) << "Tab went out as Shift+Tab";
}

TEST_F(ClipboardE2E, AKeyRightBehindAPasteNeverOvertakesItInXtermOrAQtEditor) {
  auto t = terminal();
  ASSERT_TRUE(t);
  QuilletProgram quillet(1, {{"sig", "Best regards"}, {"adr", "Main{key:tab}St"}});
  ASSERT_TRUE(quillet.start());
  // A fast typist: every delimiter and the next word follow the paste at once.
  ASSERT_TRUE(typeText(QStringLiteral("sig adr sig adr sig adr sig adr."), 15));
  ASSERT_TRUE(quillet.waitForExpansions(7));
  ASSERT_TRUE(pressKeys({QStringLiteral("Return")}));
  EXPECT_TRUE(t->waitForContents(
      base + "Best regards Main\tSt Best regards Main\tSt Best regards Main\tSt Best regards adr.\n"))
      << t->contents().toStdString();
  t.reset();

  if (QStandardPaths::findExecutable(QStringLiteral("featherpad")).isEmpty())
    GTEST_SKIP() << "featherpad is not installed";
  const QString path = dir.filePath(QStringLiteral("note.txt"));
  QFile(path).open(QIODevice::WriteOnly);
  const QString home = dir.filePath(QStringLiteral("editor-home"));
  Client editor(QStringLiteral("featherpad"), {QStringLiteral("--standalone"), path},
                {"HOME=" + home, "XDG_CONFIG_HOME=" + home + "/.config"});
  unsigned long window = 0;
  ASSERT_TRUE(waitUntil([&] { return (window = test::findWindowByClass("FeatherPad")) != 0 ||
                                     (window = test::findWindowByClass("featherpad")) != 0; },
                        15000));
  ASSERT_TRUE(activate(window));
  test::settle(500);  // the editor settles its focus after mapping
  ASSERT_TRUE(typeText(QStringLiteral("sig adr sig adr sig adr."), 15));
  ASSERT_TRUE(quillet.waitForExpansions(12));
  test::settle(300);
  ASSERT_TRUE(pressKeys({QStringLiteral("ctrl+s")}));
  QByteArray saved;
  EXPECT_TRUE(waitUntil([&] {
    saved = readFile(path).trimmed();
    return saved == "Best regards Main\tSt Best regards Main\tSt Best regards adr.";
  }, 5000)) << saved.toStdString();
}

TEST_F(ClipboardE2E, DelimitersTypedWithAltGrComeBackAsTyped) {
  ASSERT_TRUE(run(QStringLiteral("setxkbmap"), {QStringLiteral("de")}));
  layoutChanged = true;
  auto t = terminal();
  ASSERT_TRUE(t);
  QuilletProgram quillet(1, {{"sig", "Best regards"}}, {QStringLiteral("@"), QStringLiteral("{")});
  ASSERT_TRUE(quillet.start());
  // AltGr+Q is "@" and AltGr+7 is "{" on a German keyboard.
  ASSERT_TRUE(typeText(QStringLiteral("x sig")));
  ASSERT_TRUE(pressKeys({QStringLiteral("ISO_Level3_Shift+q")}));
  ASSERT_TRUE(quillet.waitForExpansions(1));
  ASSERT_TRUE(typeText(QStringLiteral(" sig")));
  ASSERT_TRUE(pressKeys({QStringLiteral("ISO_Level3_Shift+7")}));
  ASSERT_TRUE(quillet.waitForExpansions(2));
  // xdotool types "@" its own way; it is the same delimiter.
  ASSERT_TRUE(typeText(QStringLiteral(" sig@")));
  ASSERT_TRUE(quillet.waitForExpansions(3));
  ASSERT_TRUE(pressKeys({QStringLiteral("Return")}));
  EXPECT_TRUE(t->waitForContents(base + "x Best regards@ Best regards{ Best regards@\n"))
      << t->contents().toStdString();
}

}  // namespace
}  // namespace ql
