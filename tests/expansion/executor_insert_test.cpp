// What an expansion leaves in the focused field and which keys it posts.
#include "executor_rig.h"
#include "expansion/expansion_text.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"  // designated initialisers name what matters

using ql::test::ExecutorTest;

TEST_F(ExecutorTest, CursorMarkerMovesTheCaretBackOverTheRetypedDelimiter) {
  auto s = addSnippet(QStringLiteral("dr"), QStringLiteral("Dear %|, thanks"));
  desktop.typeText(QStringLiteral("dr"));
  expandTyped(s, QStringLiteral("dr"), QStringLiteral("49"));
  EXPECT_EQ(field(), QStringLiteral("Dear , thanks "));
  EXPECT_EQ(caret(), 5);
  EXPECT_EQ(posted().count(QStringLiteral("Left")), 9);
  // The hook is off for each stage and on at its end.
  EXPECT_EQ(controller.hookCalls, (QList<bool>{false, false, true, true}));

  // Escape is sent again, but the caret count does not grow for it.
  desktop.clearLog();
  desktop.focusedField()->setText(QStringLiteral("dr"));
  expandTyped(s, QStringLiteral("dr"), QStringLiteral("53"));
  EXPECT_EQ(field(), QStringLiteral("Dear , thanks"));
  EXPECT_EQ(caret(), 5);
  EXPECT_TRUE(posted().contains(QStringLiteral("Escape")));
  EXPECT_EQ(posted().count(QStringLiteral("Left")), 8);
}

TEST_F(ExecutorTest, KeyCodesSplitTheContentIntoPartsWithTheirOwnCaretMoves) {
  auto s = addSnippet(QStringLiteral("adr"),
                      QStringLiteral("Name%|:{key:tab}Street{key:enter}City %|X"));
  desktop.typeText(QStringLiteral("adr"));
  expandTyped(s, QStringLiteral("adr"), QStringLiteral("49"));
  EXPECT_EQ(posted(), (QStringList{"Delete", "Delete", "Delete", "Cmd-V", "Tab", "Left", "Cmd-V",
                             "Return", "Cmd-V", "Space", "Left", "Left"}));
  // Each part's caret moves follow its own key: the Tab typed after
  // "Name:" is stepped over, and later parts land in front of it.
  EXPECT_EQ(field(), QStringLiteral("Name:Street\nCity X \t"));
  EXPECT_EQ(caret(), int(QStringLiteral("Name:Street\nCity ").size()));

  // A part that is empty (content starting with a key code) pastes nothing.
  desktop.clearLog();
  auto t = addSnippet(QStringLiteral("tb"), QStringLiteral("{key:tab}x{key:esc}"));
  desktop.typeText(QStringLiteral("tb"));
  expandTyped(t, QStringLiteral("tb"), QStringLiteral("49"));
  EXPECT_EQ(posted(), (QStringList{"Delete", "Delete", "Tab", "Cmd-V", "Escape", "Space"}));
}

TEST_F(ExecutorTest, AdaptingCaseFollowsHowTheAbbreviationWasTyped) {
  auto s = addSnippet(QStringLiteral("br"), QStringLiteral("best regards"),
                      QLSnippet::MatchAdaptingCase);
  auto mixed = addSnippet(QStringLiteral("mx"), QStringLiteral("Best regards"),
                          QLSnippet::MatchAdaptingCase);
  struct Case {
    SnippetPtr snippet;
    QString typed;
    QString expected;
  };
  const QList<Case> cases = {
      {s, QStringLiteral("BR"), QStringLiteral("BEST REGARDS ")},
      {s, QStringLiteral("br"), QStringLiteral("best regards ")},
      {s, QStringLiteral("Br"), QStringLiteral("Best regards ")},  // first of each paragraph
      {s, QStringLiteral("bR"), QStringLiteral("best regards ")},
      {mixed, QStringLiteral("MX"), QStringLiteral("Best regards ")},
  };
  for (const Case& c : cases) {
    desktop.focusedField()->setText(c.typed);
    expandTyped(c.snippet, c.typed, QStringLiteral("49"));
    EXPECT_EQ(field(), c.expected) << c.typed.toStdString();
  }
  // The exact and case-insensitive rules never change the content.
  auto exact = addSnippet(QStringLiteral("ex"), QStringLiteral("best"), QLSnippet::MatchIgnoringCase);
  desktop.focusedField()->setText(QStringLiteral("EX"));
  expandTyped(exact, QStringLiteral("EX"), QStringLiteral("49"));
  EXPECT_EQ(field(), QStringLiteral("best "));

  namespace t = ql::expansion_text;
  EXPECT_EQ(t::adaptedCaseMode(0, QStringLiteral("abc"), QStringLiteral("4x")), 2);
  EXPECT_EQ(t::adaptedCaseMode(0, QStringLiteral("abc"), QStringLiteral("42")), 1);
  EXPECT_EQ(t::adaptedCaseMode(0, QStringLiteral("abc"), QStringLiteral("Hi There")), 3);
  EXPECT_EQ(t::capitalized(QStringLiteral("o'neil aND\tco")), QStringLiteral("O'neil And\tCo"));
}

TEST_F(ExecutorTest, DeletesAndCaretMovesCountWhatTheUserSees) {
  // An abbreviation with a character outside the BMP is two UTF-16 units
  // but one Delete; the caret moves over "e" + combining acute once.
  auto s = addSnippet(QStringLiteral("\U0001F600x"), QStringLiteral("%|e\u0301!"));
  desktop.typeText(QStringLiteral("a\U0001F600x"));
  expandTyped(s, QStringLiteral("\U0001F600x"), QStringLiteral("49"));
  EXPECT_EQ(field(), QStringLiteral("ae\u0301! "));
  EXPECT_EQ(caret(), 1);
  EXPECT_EQ(posted().count(QStringLiteral("Delete")), 2);
  EXPECT_EQ(posted().count(QStringLiteral("Left")), 3);
}

TEST_F(ExecutorTest, FormattedContentGoesOnThePasteboardInEveryFlavour) {
  ql::AttributedText text(QStringLiteral("Bold"), {.bold = true});
  text.append(QStringLiteral(" plain%|"), ql::TextAttributes());
  auto s = addFormatted(QStringLiteral("fmt"), text);
  s->isConvertToHTML = true;
  desktop.typeText(QStringLiteral("fmt"));
  expandTyped(s, QStringLiteral("fmt"), QStringLiteral("49"));

  EXPECT_EQ(field(), QStringLiteral("Bold plain "));
  const QStringList types = desktop.pasteboard().types();
  for (const QString& type : {ql::pasteboard_types::String, ql::pasteboard_types::Rtf,
                              ql::pasteboard_types::Html, ql::pasteboard_types::Rtfd})
    EXPECT_TRUE(types.contains(type)) << type.toStdString();
  // The field took the formatting, not just the characters.
  EXPECT_TRUE(desktop.focusedField()->text().attributesAt(0).bold);
  EXPECT_FALSE(desktop.focusedField()->text().attributesAt(6).bold);

  // Most Linux applications take rich text only as HTML: offered with every
  // part whatever the flag says, and the flag stays as stored.
  QList<bool> htmlAtFetch;
  QObject::connect(&desktop.pasteboard(), &ql::Pasteboard::fetched, [&] {
    htmlAtFetch.append(desktop.pasteboard().types().contains(ql::pasteboard_types::Html));
  });
  text.append(QStringLiteral("{key:tab}two"), {.italic = true});
  auto parts = addFormatted(QStringLiteral("fm2"), text);
  desktop.typeText(QStringLiteral("fm2"));
  expandTyped(parts, QStringLiteral("fm2"), QStringLiteral("49"));
  EXPECT_EQ(htmlAtFetch, (QList<bool>{true, true}));
  EXPECT_FALSE(parts->isConvertToHTML);
}
