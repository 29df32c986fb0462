// What ends a word and what a delimiter may do before Quillet acts, in real
// applications: keys that act as soon as they arrive (Return, Tab), keys
// that move the caret without typing, and shortcuts.
#include "e2e_quillet.h"

namespace ql::test {
namespace {

using WordEndE2E = E2ETest;

const QStringList kDefaultDelimiters = {QStringLiteral("space"), QStringLiteral("enter"),
                                        QStringLiteral("return"), QStringLiteral("tab")};

// In a terminal the line goes to the program at Return: it must hold the
// snippet, never the abbreviation.
TEST_F(WordEndE2E, AReturnDelimiterSendsTheLineWithTheSnippet) {
  openTerminal();
  startQuillet(1, {{"sig", "Best regards"}}, kDefaultDelimiters);
  ASSERT_TRUE(typeText(QStringLiteral("a sig")));
  ASSERT_TRUE(pressKeys({QStringLiteral("Return")}));
  ASSERT_TRUE(quillet->waitForExpansions(1));
  EXPECT_TRUE(terminalHas("a Best regards\n"));
  // Nothing to expand: the Return goes on as typed, in order.
  ASSERT_TRUE(typeText(QStringLiteral("b sigh")));
  ASSERT_TRUE(pressKeys({QStringLiteral("Return")}));
  EXPECT_TRUE(terminalHas("a Best regards\nb sigh\n"));
}

// In a form, Tab moves the focus: the snippet lands in the field typed in,
// the next one stays empty and has the focus afterwards.
TEST_F(WordEndE2E, ATabDelimiterLeavesTheSnippetInTheFieldTypedIn) {
  const QString out = dir.filePath(QStringLiteral("fields.txt"));
  std::unique_ptr<Client> entry;
  ASSERT_TRUE(openEntry(entry, {QStringLiteral("--two"), out}));
  startQuillet(1, {{"zxb", "snippet text"}}, kDefaultDelimiters);
  ASSERT_TRUE(typeText(QStringLiteral("x zxb")));
  ASSERT_TRUE(pressKeys({QStringLiteral("Tab")}));
  ASSERT_TRUE(quillet->waitForExpansions(1));
  EXPECT_TRUE(waitUntil([&] { return ::test::readFile(out) == "x snippet text\n\nsecond"; }))
      << ::test::readFile(out).toStdString();
  ASSERT_TRUE(typeText(QStringLiteral("y")));
  EXPECT_TRUE(waitUntil([&] { return ::test::readFile(out) == "x snippet text\ny\nsecond"; }))
      << ::test::readFile(out).toStdString();
}

// With Num Lock off the keypad moves the caret and types nothing; Super
// shortcuts type nothing either. Either ends the word, so the next
// delimiter expands nothing (it would delete text that is not the
// abbreviation).
TEST_F(WordEndE2E, KeypadArrowsAndSuperShortcutsEndTheWord) {
  FeatherPad editor("hello ");
  ASSERT_TRUE(editor.waitReady());
  startQuillet(1, {{"sig", "Best regards"}});
  ASSERT_TRUE(pressKeys({QStringLiteral("ctrl+End")}));
  ASSERT_TRUE(typeText(QStringLiteral("sig")));
  ASSERT_TRUE(pressKeys({QStringLiteral("KP_Left"), QStringLiteral("KP_Left")}));
  ASSERT_TRUE(typeText(QStringLiteral(" ")));
  ASSERT_TRUE(pressKeys({QStringLiteral("ctrl+End")}));
  ASSERT_TRUE(typeText(QStringLiteral(" s")));
  ASSERT_TRUE(pressKeys({QStringLiteral("super+i")}));
  ASSERT_TRUE(typeText(QStringLiteral("g ")));
  // Then a word that does expand: everything before it is as typed (the
  // editor may or may not type the letter of Super+I).
  ASSERT_TRUE(typeText(QStringLiteral("sig ")));
  ASSERT_TRUE(quillet->waitForExpansions(1));
  // (The editor ends its file with a line break.)
  EXPECT_TRUE(editor.saveUntil([](const QByteArray& text) {
    return text == "hello s ig sg Best regards \n" || text == "hello s ig sig Best regards \n";
  })) << editor.saved().toStdString();
  EXPECT_EQ(quillet->expansions(), 1);
}

}  // namespace
}  // namespace ql::test
