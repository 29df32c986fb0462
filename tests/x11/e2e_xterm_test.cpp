// Quillet running on the X server, abbreviations typed with xdotool into an
// xterm running `cat > FILE`; the file shows what the terminal received.
#include "e2e_quillet.h"
#include "x11_fixture.h"

namespace ql {
namespace {

using test::CatTerminal;
using test::Client;
using test::E2ESnippet;
using test::QuilletProgram;
using test::pressKeys;
using test::run;
using test::typeText;
using test::waitUntil;

class XtermE2E : public testing::Test {
 protected:
  void SetUp() override {
    wm = std::make_unique<test::WindowManager>();
    ASSERT_TRUE(wm->isRunning());
    terminal = std::make_unique<CatTerminal>();
    ASSERT_TRUE(terminal->waitReady());
    ASSERT_TRUE(test::activateWindow(terminal->window()));
  }

  void startQuillet(int extendType, const QList<E2ESnippet>& snippets) {
    quillet = std::make_unique<QuilletProgram>(extendType, snippets);
    ASSERT_TRUE(quillet->start(terminal->window()));
  }

  // One line typed, Return at its end once the program counted expansions
  // (a Return that beats the program to an abbreviation rightly stops it);
  // true when the terminal got expected.
  bool typeLine(const QString& line, int expansions, const QByteArray& expectedFile) {
    if (!typeText(line) || !quillet->waitForExpansions(expansions)) return false;
    return pressKeys({QStringLiteral("Return")}) && terminal->waitForContents(expectedFile);
  }

  std::optional<QByteArray> clipboard(const QString& type) {
    return run(QStringLiteral("xclip"), {"-selection", "clipboard", "-o", "-t", type});
  }

  std::unique_ptr<test::WindowManager> wm;
  std::unique_ptr<CatTerminal> terminal;
  std::unique_ptr<QuilletProgram> quillet;
};

// Other formats than text come back byte for byte in the pasteboard tests
// (x11 and simulated); the program's own restore is checked here, after
// every one of five hundred expansions below.

TEST_F(XtermE2E, FillInFormAnsweredWithXdotool) {
  startQuillet(1, {{"dear", "Dear {fill:name}, welcome"}});
  ASSERT_TRUE(typeText(QStringLiteral("Hi dear ")));
  // The form comes up in front, its first entry holding the field's name.
  QByteArray form;
  ASSERT_TRUE(waitUntil([&] {
    const auto found = run(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--class", "[Qq]uillet"});
    form = found.value_or(QByteArray()).trimmed();
    const auto active = run(QStringLiteral("xdotool"), {"getactivewindow"});
    return !form.isEmpty() && active && form.split('\n').contains(active->trimmed());
  }, 5000));
  test::settle(300);  // a person reads the form first
  ASSERT_TRUE(typeText(QStringLiteral("Ann")));
  ASSERT_TRUE(pressKeys({QStringLiteral("Return")}));
  ASSERT_TRUE(quillet->waitForExpansions(1));
  ASSERT_TRUE(pressKeys({QStringLiteral("Return")}));
  EXPECT_TRUE(terminal->waitForContents("Hi Dear Ann, welcome \n")) << terminal->contents().toStdString();
}

// A fast typist does not wait for the expansion: the keys typed while it
// runs, and those that reached the terminal before Quillet could react,
// must come out after it and in order.
TEST_F(XtermE2E, TypingOnThroughExpansionsKeepsEveryCharacterInOrder) {
  startQuillet(1, {{"sig", "Best regards"}, {"adr", "Main St.{key:tab}Springfield"}});
  // Faster than anyone types (where a capital's Shift, pressed by the same
  // test device the program posts through, would race with its posts), a
  // fast typist, an ordinary one. One capital, right after an abbreviation:
  // a second one would be typed while the program replays the first with a
  // Shift of its own, and the server keeps one Shift state for both.
  const QList<std::pair<int, QString>> lines = {
      {4, QStringLiteral("so sig and more words follow")},
      {4, QStringLiteral("x sig sig adr ok")},
      {12, QStringLiteral("Hi sig and more words follow")},
      {12, QStringLiteral("Then adr Or else sig")},
      {12, QStringLiteral("x sig sig adr ok")},
      {40, QStringLiteral("Then adr Or else sig")},
  };
  QByteArray expected;
  int expansions = 0;
  for (const auto& [delayMs, line] : lines) {
    SCOPED_TRACE(delayMs);
    ASSERT_TRUE(typeText(line + QLatin1Char(' '), delayMs));
    expansions += int(line.count(QStringLiteral("sig")) + line.count(QStringLiteral("adr")));
    ASSERT_TRUE(quillet->waitForExpansions(expansions));
    ASSERT_TRUE(pressKeys({QStringLiteral("Return")}));
    QString out = line + QLatin1Char(' ');
    out.replace(QStringLiteral("sig"), QStringLiteral("Best regards"));
    out.replace(QStringLiteral("adr"), QStringLiteral("Main St.\tSpringfield"));
    expected += out.toUtf8() + '\n';
    EXPECT_TRUE(terminal->waitForContents(expected)) << terminal->contents().toStdString();
  }
}

TEST_F(XtermE2E, TypingOnThroughImmediateExpansions) {
  startQuillet(0, {{"qqa", "quick answer"}, {"zzu", "\u00e9t\u00e9 \u2600", 2}});
  ASSERT_TRUE(typeText(QStringLiteral("a qqa is Good; qqa twice"), 12));
  ASSERT_TRUE(quillet->waitForExpansions(2));
  // The case typed carries over, also to characters the layout lacks.
  ASSERT_TRUE(typeText(QStringLiteral(" ZZU")));
  ASSERT_TRUE(quillet->waitForExpansions(3));
  ASSERT_TRUE(pressKeys({QStringLiteral("Return")}));
  EXPECT_TRUE(terminal->waitForContents("a quick answer is Good; quick answer twice \xc3\x89T\xc3\x89 \xe2\x98\x80\n"))
      << terminal->contents().toStdString();
}

// Every expansion checked: the line it lands on, and the clipboard after it.
TEST_F(XtermE2E, FiveHundredExpansionsInARow) {
  startQuillet(1, {{"sig", "Best regards"}, {"adr", "Main St.{key:tab}Springfield"}});
  QTemporaryDir dir;
  const QString mine = dir.filePath(QStringLiteral("mine"));
  ASSERT_TRUE(::test::writeFile(mine, "keep me"));
  auto xclip = std::make_unique<Client>(
      QStringLiteral("xclip"), QStringList{"-selection", "clipboard", "-t", "text/plain", "-loops",
                                           "0", "-quiet", "-i", mine});
  ASSERT_TRUE(waitUntil([&] { return clipboard(QStringLiteral("text/plain")) == "keep me"; }));

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
    ASSERT_TRUE(quillet->waitForExpansions(i)) << "expansion " << i << " did not happen";
    line += address ? "Main St.\tSpringfield " : "Best regards ";
    if (!waitUntil([&] { return clipboard(QStringLiteral("text/plain")) == "keep me"; })) {
      ++failures;
      ADD_FAILURE() << "clipboard not restored after expansion " << i;
    }
    if (i % 10 == 0) {
      ASSERT_TRUE(pressKeys({QStringLiteral("Return")}));
      expected += line + '\n';
      line.clear();
      ASSERT_TRUE(terminal->waitForContents(expected))
          << "after expansion " << i << ":\n" << terminal->contents().right(400).toStdString();
    }
  }
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(quillet->expansions(), 500);
}

}  // namespace
}  // namespace ql
