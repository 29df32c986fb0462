// A BackSpace right after an expansion takes it back, and only then.
#include "executor_rig.h"
#include "expansion/expansion_text.h"

using ql::test::ExecutorTest;

namespace {

ql::KeyEvent backSpace(bool delivered = false, quint64 flags = 0) {
  ql::KeyEvent e;
  e.keyCode = ql::keys::Delete;
  e.modifierFlags = flags;
  e.delivered = delivered;
  return e;
}

}  // namespace

TEST_F(ExecutorTest, BackSpaceTakesTheExpansionBackAsTheUserTypedIt) {
  auto s = addSnippet(QStringLiteral("dr"), QStringLiteral("Dear friend"));
  desktop.focusedField()->setText(QStringLiteral("Hi dr"));
  executor.noteKeyPress(ql::keys::Space, 0, QStringLiteral(" "));
  expandTyped(s, QStringLiteral("dr"), QStringLiteral("49"));
  ASSERT_EQ(field(), QStringLiteral("Hi Dear friend "));
  ASSERT_EQ(stats.allTime.expanded, 1);

  EXPECT_TRUE(executor.undoOnKey(backSpace()));
  EXPECT_EQ(field(), QStringLiteral("Hi dr "));
  // Counted as never made.
  EXPECT_EQ(s->useCount, 0);
  EXPECT_FALSE(s->dateLastUsed.has_value());
  EXPECT_EQ(library.preferences.characterSaved, 0);
  EXPECT_EQ(stats.allTime.expanded, 0);
  EXPECT_EQ(stats.allTime.characters, 0);
  // Once only: the next BackSpace is the user's.
  EXPECT_FALSE(executor.undoOnKey(backSpace()));

  // A BackSpace that reached the application first erased one character.
  desktop.focusedField()->setText(QStringLiteral("dr"));
  expandTyped(s, QStringLiteral("dr"), QStringLiteral("49"));
  desktop.focusedField()->applyKey(ql::keys::Delete, 0, QString());
  EXPECT_FALSE(executor.undoOnKey(backSpace(true)));
  EXPECT_EQ(field(), QStringLiteral("dr "));

  // The caret left at the cursor marker goes to the end first.
  auto c = addSnippet(QStringLiteral("cm"), QStringLiteral("Dear %|, thanks"));
  desktop.focusedField()->setText(QStringLiteral("cm"));
  expandTyped(c, QStringLiteral("cm"), QStringLiteral("49"));
  ASSERT_EQ(caret(), 5);
  EXPECT_TRUE(executor.undoOnKey(backSpace()));
  EXPECT_EQ(field(), QStringLiteral("cm "));
  EXPECT_EQ(caret(), 3);

  // Immediate mode typed no delimiter; the consumed last character comes back.
  library.preferences.extendType = QLPreferences::Immediate;
  desktop.focusedField()->setText(QStringLiteral("d"));
  expandTyped(s, QStringLiteral("dr"), QString());
  ASSERT_EQ(field(), QStringLiteral("Dear friend"));
  EXPECT_TRUE(executor.undoOnKey(backSpace()));
  EXPECT_EQ(field(), QStringLiteral("dr"));

  // A dropped delimiter is typed back too, with its Shift.
  library.preferences.extendType = QLPreferences::DelimiterDropped;
  desktop.focusedField()->setText(QStringLiteral("dr"));
  executor.noteKeyPress(ql::keys::Digit1, ql::mods::Shift, QStringLiteral("!"));
  expandTyped(s, QStringLiteral("dr"), QString::number(ql::keys::Digit1));
  ASSERT_EQ(field(), QStringLiteral("Dear friend"));
  EXPECT_TRUE(executor.undoOnKey(backSpace()));
  EXPECT_EQ(field(), QStringLiteral("dr!"));
}

TEST_F(ExecutorTest, BackSpaceIsOrdinaryAfterAnythingElseOrWhereTheExpansionActed) {
  auto s = addSnippet(QStringLiteral("dr"), QStringLiteral("Dear friend"));
  auto expandAndTry = [&](const SnippetPtr& snippet, const QString& delimiter,
                          const std::function<void()>& between) {
    desktop.focusedField()->setText(snippet->abbreviation);
    expandTyped(snippet, snippet->abbreviation, delimiter);
    if (between) between();
    return executor.undoOnKey(backSpace());
  };
  const QString space = QStringLiteral("49");
  ql::KeyEvent letter;
  letter.keyCode = ql::keys::A;
  letter.characters = QStringLiteral("a");
  EXPECT_FALSE(expandAndTry(s, space, [&] { EXPECT_FALSE(executor.undoOnKey(letter)); }));
  EXPECT_FALSE(expandAndTry(s, space, [&] {
    EXPECT_FALSE(executor.undoOnKey(backSpace(false, ql::mods::Command)));
  }));
  desktop.keySource().start();
  desktop.keySource().setEnabled(true);
  EXPECT_FALSE(expandAndTry(s, space, [&] { desktop.click(QPointF(5, 5)); }));
  desktop.addApplication(QStringLiteral("Other"));
  EXPECT_FALSE(expandAndTry(s, space, [&] {
    desktop.switchTo(QStringLiteral("Other"));
    desktop.switchTo(QStringLiteral("TextEdit"));
  }));
  // A password field took the keyboard without a key or a click.
  EXPECT_FALSE(expandAndTry(s, space, [&] { desktop.passwordFocus().setPasswordField(true); }));
  desktop.passwordFocus().setPasswordField(false);

  // Where the expansion's keys acted (a Tab, a Return delimiter), taking it
  // back could not undo them.
  auto tab = addSnippet(QStringLiteral("tb"), QStringLiteral("a{key:tab}b"));
  EXPECT_FALSE(expandAndTry(tab, space, {}));
  EXPECT_FALSE(expandAndTry(s, QString::number(ql::keys::Return), {}));
  // Text whose BackSpaces are not certain to match is left alone.
  auto accent = addSnippet(QStringLiteral("ac"), QStringLiteral("Cafe\u0301"));
  EXPECT_FALSE(expandAndTry(accent, space, {}));

  // Switched off in the preferences.
  library.preferences.isBackSpaceUndo = false;
  EXPECT_FALSE(expandAndTry(s, space, {}));
  EXPECT_EQ(field(), QStringLiteral("Dear friend "));
  // The search window's expansions typed no abbreviation.
  library.preferences.isBackSpaceUndo = true;
  executor.processSnippet(s);
  EXPECT_FALSE(executor.canUndo());
}

TEST(UndoPresses, CountWhatOneBackSpaceErasesOrRefuse) {
  namespace t = ql::expansion_text;
  EXPECT_EQ(t::undoPressesFor(QStringLiteral("a\U0001F600b"), false), 3);
  EXPECT_EQ(t::undoPressesFor(QStringLiteral("one\ntwo\t"), false), 8);
  EXPECT_EQ(t::undoPressesFor(QStringLiteral("one\ntwo"), true), -1);
  EXPECT_EQ(t::undoPressesFor(QStringLiteral("x\uFFFC"), true), -1);
  EXPECT_EQ(t::undoPressesFor(QStringLiteral("\u2764\uFE0F"), false), -1);
  EXPECT_EQ(t::undoPressesFor(QStringLiteral("a\r\nb"), false), -1);
}
