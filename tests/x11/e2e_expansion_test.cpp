// Quillet expanding into xterm running `cat > FILE` and into GTK fields,
// where timing and the keyboard's state can garble an expansion.
#include "e2e_quillet.h"

#include <QDateTime>

namespace ql::test {
namespace {

using TerminalE2E = E2ETest;
using ClipboardE2E = E2ETest;

TEST_F(TerminalE2E, FillInFormAnsweredWithXdotool) {
  openTerminal();
  startQuillet(1, {{"dear", "Dear {fill:name}, welcome"}});
  ASSERT_TRUE(typeText(QStringLiteral("Hi dear ")));
  // The form comes up in front, its first entry holding the field's name.
  ASSERT_TRUE(waitShownActive());
  settle(300);  // a person reads the form first
  ASSERT_TRUE(typeText(QStringLiteral("Ann")));
  ASSERT_TRUE(pressKeys({QStringLiteral("Return")}));
  ASSERT_TRUE(quillet->waitForExpansions(1));
  EXPECT_TRUE(endLine("Hi Dear Ann, welcome \n"));
}

// A fast typist does not wait for the expansion: the keys typed while it
// runs, and those that reached the terminal before Quillet could react,
// must come out after it and in order; a delimiter and the next word follow
// each paste at once.
TEST_F(TerminalE2E, TypingOnThroughExpansionsKeepsEveryCharacterInOrder) {
  openTerminal();
  startQuillet(1, {{"sig", "Best regards"}, {"adr", "Main St.{key:tab}Springfield"}});
  // Faster than anyone types, a fast typist, an ordinary one. One capital
  // per line: the server keeps one Shift state for the user and the program.
  const QList<std::pair<int, QString>> lines = {
      {4, QStringLiteral("so sig and more words follow")},
      {4, QStringLiteral("x sig sig adr ok")},
      {12, QStringLiteral("Hi sig and more words follow")},
      {12, QStringLiteral("Then adr Or else sig")},
      {15, QStringLiteral("x sig adr sig adr sig adr sig adr.")},
      {40, QStringLiteral("Then adr Or else sig")},
  };
  QByteArray expected;
  int expansions = 0;
  for (const auto& [delayMs, line] : lines) {
    SCOPED_TRACE(delayMs);
    ASSERT_TRUE(typeText(line + QLatin1Char(' '), delayMs));
    expansions += int(line.count(QStringLiteral("sig")) + line.count(QStringLiteral("adr")));
    if (line.endsWith(QLatin1Char('.'))) --expansions;  // "adr." is no word of its own
    ASSERT_TRUE(quillet->waitForExpansions(expansions));
    QString out = line + QLatin1Char(' ');
    out.replace(QStringLiteral("sig"), QStringLiteral("Best regards"));
    out.replace(QRegularExpression(QStringLiteral("adr(?!\\.)")), QStringLiteral("Main St.\tSpringfield"));
    expected += out.toUtf8() + '\n';
    EXPECT_TRUE(endLine(expected));
  }
}

// Every expansion checked: the line it lands on, and the clipboard after it.
TEST_F(TerminalE2E, FiveHundredExpansionsInARow) {
  openTerminal();
  ownClipboard("keep me");
  startQuillet(1, {{"sig", "Best regards"}, {"adr", "Main St.{key:tab}Springfield"}});
  QByteArray expected;
  QByteArray line;
  int failures = 0;
  for (int i = 1; i <= 500 && failures < 5; ++i) {
    const bool address = i % 7 == 0;
    if (line.isEmpty()) {
      // The Return before stays in the word buffer: each line begins with a plain word.
      ASSERT_TRUE(typeText(QStringLiteral("x "), 15));
      line = "x ";
    }
    ASSERT_TRUE(typeText(address ? QStringLiteral("adr ") : QStringLiteral("sig "), 15));
    line += address ? "Main St.\tSpringfield " : "Best regards ";
    if (i % 10 == 0) {
      // The counts reach the disk a moment later: checked once a line.
      ASSERT_TRUE(quillet->waitForExpansions(i, 10000)) << "expansion " << i << " did not happen";
      if (!waitUntil([&] { return clipboard() == "keep me"; })) {
        ++failures;
        ADD_FAILURE() << "clipboard not restored after expansion " << i;
      }
      expected += line + '\n';
      line.clear();
      ASSERT_TRUE(endLine(expected)) << "after expansion " << i;
    }
  }
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(quillet->expansions(), 500);
}

TEST_F(TerminalE2E, KeysQuilletPostsCarryNoModifierTheUserHolds) {
  openTerminal();
  startQuillet(1, {{"zcur", "<b>%|</b>"}, {"ztab", "a{key:tab}b"}});
  // Shift goes down before the trigger and stays down through the whole
  // expansion: its Backspaces, Lefts and Tab must still arrive plain.
  int expansions = 0;
  for (const char* word : {"hi zcur", "ztab"}) {
    ASSERT_TRUE(typeText(QString::fromLatin1(word)));
    ASSERT_TRUE(run(QStringLiteral("xdotool"), {"keydown", "shift", "key", "space"}));
    ASSERT_TRUE(quillet->waitForExpansions(++expansions));
    ASSERT_TRUE(run(QStringLiteral("xdotool"), {"keyup", "shift"}));
  }
  // Left is ESC [ D in xterm, Shift+Left ESC [ 1 ; 2 D; Shift+Tab ESC [ Z.
  EXPECT_TRUE(endLine("hi <b></b> " + QByteArray("\x1b[D").repeated(5) + "a\tb \n"));
  EXPECT_FALSE(terminal->contents().contains("\x1b[1;2")) << "a key went out with Shift";
  EXPECT_FALSE(terminal->contents().contains("\x1b[Z")) << "Tab went out as Shift+Tab";
}

TEST_F(TerminalE2E, DelimitersTypedWithAltGrComeBackAsTyped) {
  setLayout(QStringLiteral("de"));
  openTerminal();
  startQuillet(1, {{"sig", "Best regards"}}, {QStringLiteral("@"), QStringLiteral("{")});
  // AltGr+Q is "@" and AltGr+7 is "{" on a German keyboard.
  ASSERT_TRUE(typeText(QStringLiteral("x sig")));
  ASSERT_TRUE(pressKeys({QStringLiteral("ISO_Level3_Shift+q")}));
  ASSERT_TRUE(quillet->waitForExpansions(1));
  ASSERT_TRUE(typeText(QStringLiteral(" sig")));
  ASSERT_TRUE(pressKeys({QStringLiteral("ISO_Level3_Shift+7")}));
  ASSERT_TRUE(quillet->waitForExpansions(2));
  // xdotool types "@" its own way; it is the same delimiter.
  ASSERT_TRUE(typeText(QStringLiteral(" sig@")));
  ASSERT_TRUE(quillet->waitForExpansions(3));
  EXPECT_TRUE(endLine("x Best regards@ Best regards{ Best regards@\n"));
}

TEST_F(ClipboardE2E, ATargetThatFetchesLateGetsTheSnippetThenTheUserTheirClipboard) {
  ownClipboard("my own words");
  const QString out = dir.filePath(QStringLiteral("field.txt"));
  // A second after Ctrl+V: ten times the designed pause.
  std::unique_ptr<Client> entry;
  ASSERT_TRUE(openEntry(entry, {QStringLiteral("--late"), QStringLiteral("1000"), out}));
  // Immediate mode: nothing follows the paste but the restore.
  startQuillet(0, {{"qqa", "quick answer"}});
  ASSERT_TRUE(typeText(QStringLiteral("x qqa")));
  ASSERT_TRUE(quillet->waitForExpansions(1));
  EXPECT_TRUE(waitUntil([&] { return ::test::readFile(out) == "x quick answer"; })) << ::test::readFile(out).toStdString();
  EXPECT_TRUE(clipboardComesBack("my own words"));
}

TEST_F(ClipboardE2E, AFormattedSnippetArrivesRichWhereTheTargetWentByAnOlderListOfFormats) {
  ownClipboard("my own words");
  const QString out = dir.filePath(QStringLiteral("field.txt"));
  std::unique_ptr<Client> entry;
  ASSERT_TRUE(openEntry(entry, {QStringLiteral("--stale"), out}));
  // "Bold" in bold, then " here", as a flat RTFD.
  const QByteArray rtfd = QByteArray::fromBase64(
      "cnRmZAAAAAADAAAAAQAAAAcAAABUWFQucnRmxAAAAAEAAAC8AAAAe1xydGYxXGFuc2lcYW5zaWNwZzEyNTJcY29jb2Fy"
      "dGYyNzYxClxjb2NvYXRleHRzY2FsaW5nMFxjb2NvYXBsYXRmb3JtMFx1YzB7XGZvbnR0YmxcZjBcZnN3aXNzXGZjaGFy"
      "c2V0MCBIZWx2ZXRpY2E7fQp7XGNvbG9ydGJsO30KClxwYXJkXHBhcmRpcm5hdHVyYWxccGFydGlnaHRlbmZhY3RvcjAK"
      "XGYwXGIgQm9sZFxiMCAgaGVyZX0=");
  startQuillet(1, {{"zbb", "Bold here", 0, formattedKeys(rtfd)}});
  // A first expansion: the field reads what Quillet offers and takes HTML.
  ASSERT_TRUE(typeText(QStringLiteral("zbb ")));
  ASSERT_TRUE(quillet->waitForExpansions(1, 10000));
  ASSERT_TRUE(waitUntil([&] { return ::test::readFile(out) == "Bold here "; }, 8000)) << ::test::readFile(out).toStdString();
  // That list goes out of use two seconds on, by the wall clock's second.
  const qint64 read = QDateTime::currentSecsSinceEpoch();
  ASSERT_TRUE(waitUntil([&] { return QDateTime::currentSecsSinceEpoch() >= read + 2; }, 5000));

  // The user pastes their own words (a list with plain text only), then
  // expands the formatted snippet at once.
  ASSERT_TRUE(pressKeys({QStringLiteral("ctrl+v")}));
  ASSERT_TRUE(typeText(QStringLiteral(" zbb ")));
  ASSERT_TRUE(quillet->waitForExpansions(2, 10000));
  EXPECT_TRUE(waitUntil([&] { return ::test::readFile(out) == "Bold here my own words Bold here "; }, 8000))
      << ::test::readFile(out).toStdString();
  EXPECT_TRUE(::test::readFile(out + ".flavours").endsWith("text\nhtml\n"));
  EXPECT_TRUE(clipboardComesBack("my own words"));
}

}  // namespace
}  // namespace ql::test
