// A BackSpace right after an expansion takes it back, in a terminal and in
// an editor: the abbreviation and its delimiter come back as typed, typing
// goes on, and the word stays as it is until typed again.
#include "e2e_quillet.h"

namespace ql::test {
namespace {

using UndoE2E = E2ETest;

TEST_F(UndoE2E, BackSpaceBringsTheAbbreviationBackInAnEditorAndATerminalButNotAfterATab) {
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
  // Counted as not made.
  ASSERT_TRUE(waitUntil([&] { return quillet->expansions() == 0; }));
  // The Tab the snippet typed (after the line break the save added) cannot be taken back: BackSpace is ordinary.
  ASSERT_TRUE(pressKeys({QStringLiteral("ctrl+End")}));
  ASSERT_TRUE(typeText(QStringLiteral("tb ")));
  ASSERT_TRUE(waitUntil([&] { return quillet->expansions() == 1; }));
  ASSERT_TRUE(pressKeys({QStringLiteral("BackSpace")}));
  EXPECT_TRUE(editor.saveUntil([](const QByteArray& text) { return text == "hello sig x \na\tb\n"; }))
      << editor.saved().toStdString();

  // In a terminal the BackSpace reaches it first; then the user's own
  // BackSpace and the delimiter again: no expansion.
  openTerminal();
  ASSERT_TRUE(typeText(QStringLiteral("a sig ")));
  ASSERT_TRUE(quillet->waitForExpansions(2));
  ASSERT_TRUE(pressKeys({QStringLiteral("BackSpace")}));
  settle(300);
  ASSERT_TRUE(pressKeys({QStringLiteral("BackSpace")}));
  ASSERT_TRUE(typeText(QStringLiteral(" ok")));
  EXPECT_TRUE(endLine("a sig ok\n"));
  EXPECT_TRUE(waitUntil([&] { return quillet->expansions() == 1; }));
  // Typed anew, it expands.
  ASSERT_TRUE(typeText(QStringLiteral("b sig ")));
  ASSERT_TRUE(quillet->waitForExpansions(2));
  EXPECT_TRUE(endLine("a sig ok\nb Best regards \n"));
}

}  // namespace
}  // namespace ql::test
