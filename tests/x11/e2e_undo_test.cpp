// A BackSpace right after an expansion takes it back, in a terminal and in
// an editor: the abbreviation and its delimiter come back as typed, typing
// goes on, and the word stays as it is until typed again.
#include "e2e_quillet.h"

namespace ql::test {
namespace {

using UndoE2E = E2ETest;

TEST_F(UndoE2E, BackSpaceBringsTheAbbreviationBackInATerminal) {
  openTerminal();
  startQuillet(1, {{"sig", "Best regards"}});
  ASSERT_TRUE(typeText(QStringLiteral("a sig ")));
  ASSERT_TRUE(quillet->waitForExpansions(1));
  ASSERT_TRUE(pressKeys({QStringLiteral("BackSpace")}));
  // The user's own BackSpace next, then the delimiter again: no expansion.
  settle(300);
  ASSERT_TRUE(pressKeys({QStringLiteral("BackSpace")}));
  ASSERT_TRUE(typeText(QStringLiteral(" ok")));
  ASSERT_TRUE(pressKeys({QStringLiteral("Return")}));
  EXPECT_TRUE(terminalHas("a sig ok\n"));
  // Counted as not made.
  EXPECT_TRUE(waitUntil([&] { return quillet->expansions() == 0; }));
  // Typed anew, it expands.
  ASSERT_TRUE(typeText(QStringLiteral("b sig ")));
  ASSERT_TRUE(quillet->waitForExpansions(1));
  ASSERT_TRUE(pressKeys({QStringLiteral("Return")}));
  EXPECT_TRUE(terminalHas("a sig ok\nb Best regards \n"));
}

TEST_F(UndoE2E, BackSpaceBringsTheAbbreviationBackInAnEditorButNotAfterATab) {
  FeatherPad editor("hello ");
  ASSERT_TRUE(editor.waitReady());
  startQuillet(1, {{"sig", "Best regards"}, {"tb", "a{key:tab}b"}});
  ASSERT_TRUE(pressKeys({QStringLiteral("ctrl+End")}));
  ASSERT_TRUE(typeText(QStringLiteral("sig ")));
  ASSERT_TRUE(quillet->waitForExpansions(1));
  ASSERT_TRUE(pressKeys({QStringLiteral("BackSpace")}));
  ASSERT_TRUE(typeText(QStringLiteral("x ")));
  EXPECT_TRUE(editor.saveUntil([](const QByteArray& text) { return text == "hello sig x \n"; }))
      << editor.saved().toStdString();
  ASSERT_TRUE(waitUntil([&] { return quillet->expansions() == 0; }));
  // The Tab the snippet typed (after the line break the save added) cannot be taken back: BackSpace is ordinary.
  ASSERT_TRUE(pressKeys({QStringLiteral("ctrl+End")}));
  ASSERT_TRUE(typeText(QStringLiteral("tb ")));
  ASSERT_TRUE(waitUntil([&] { return quillet->expansions() == 1; }));
  ASSERT_TRUE(pressKeys({QStringLiteral("BackSpace")}));
  EXPECT_TRUE(editor.saveUntil([](const QByteArray& text) { return text == "hello sig x \na\tb\n"; }))
      << editor.saved().toStdString();
}

}  // namespace
}  // namespace ql::test
