// The word buffer, delimiter tokens, the Shift tap, the mouse monitor and
// password fields, where what is typed is neither kept nor matched.
#include "keyboard_hook_rig.h"
#include "platform/sim/sim_keyboard_layout.h"

using ql::test::HookTest;
namespace keys = ql::keys;
namespace mods = ql::mods;

TEST_F(HookTest, WordBufferKeepsOneEntryPerPress) {
  start();
  desktop.typeText(QStringLiteral("ab"));
  desktop.typeKey(ql::sim::SimKeyboardLayout::kForeignKeyCode, 0, QStringLiteral("xy"));
  desktop.typeKey(keys::F5, 0, QString());
  EXPECT_TRUE(hook.words().isEmpty());  // an illegal key ends the word

  desktop.typeText(QStringLiteral("ab"));
  desktop.typeKey(ql::sim::SimKeyboardLayout::kForeignKeyCode, 0, QStringLiteral("xy"));
  desktop.typeKey(keys::Delete);  // removes the whole "xy"
  EXPECT_EQ(hook.words(), (QStringList{"a", "b"}));
  EXPECT_EQ(hook.joinedWords(), QStringLiteral("ab"));
  // Ctrl-only shortcuts leave the buffer alone; Ctrl+Shift ones enter it.
  desktop.typeKey(keys::V, mods::Command);
  desktop.typeKey(keys::V, mods::Command | mods::Shift);
  EXPECT_EQ(hook.words(), (QStringList{"a", "b", "V"}));
  desktop.typeKey(keys::Delete);
  desktop.typeKey(keys::Delete);
  desktop.typeKey(keys::Delete);
  const QString before = field();
  desktop.typeKey(keys::Delete);  // on an empty buffer: nothing, and it passes on
  EXPECT_TRUE(hook.words().isEmpty());
  EXPECT_EQ(field(), before.chopped(1));
}

TEST_F(HookTest, SwitchedOffExpansionFreezesTheBuffer) {
  snippet(QStringLiteral("sig"));
  start();
  desktop.typeText(QStringLiteral("si"));
  library.preferences.isExtendAbbreviation = false;
  desktop.typeText(QStringLiteral("g"));
  desktop.typeKey(keys::Delete);
  EXPECT_EQ(hook.words(), (QStringList{"s", "i"}));
  EXPECT_TRUE(delegate.expansions.isEmpty());
  EXPECT_EQ(field(), QStringLiteral("si"));
}

TEST_F(HookTest, KeysForTheProgramOrTheControllerBypassTheBuffer) {
  snippet(QStringLiteral("sig"));
  start();
  // The controller's popup routing may take a key first.
  delegate.onKeyEvent = [](const ql::KeyEvent& e) { return e.keyCode == keys::Q; };
  desktop.typeText(QStringLiteral("qs"));
  EXPECT_EQ(hook.words(), (QStringList{"s"}));
  EXPECT_EQ(field(), QStringLiteral("s"));
  // Typing into the program's own windows is never buffered or consumed.
  desktop.switchTo(QStringLiteral("Quillet"));
  hook.setIsHook(true);
  QStringList ownKeys;
  QObject::connect(&desktop, &ql::sim::SimDesktop::programKeyDown,
                   [&](const ql::KeyEvent& e) { ownKeys.append(e.characters); });
  desktop.typeText(QStringLiteral("sig"));
  EXPECT_TRUE(hook.words().isEmpty());
  EXPECT_EQ(ownKeys, (QStringList{"s", "i", "g"}));
  EXPECT_TRUE(delegate.expansions.isEmpty());
}

TEST_F(HookTest, DelimiterTokens) {
  delimiterMode({QStringLiteral("tab"), QStringLiteral("enter"), QStringLiteral("return"),
                 QStringLiteral("esc"), QStringLiteral(".")});
  snippet(QStringLiteral("sig"));
  start();
  const auto delimiterOf = [&](quint16 code, quint64 flags) {
    delegate.reset();
    hook.clearWords();
    desktop.typeText(QStringLiteral("sig"));
    desktop.typeKey(code, flags);
    return delegate.expansions.isEmpty() ? QString() : delegate.expansions[0].delimiter;
  };
  EXPECT_EQ(delimiterOf(keys::Tab, 0), QStringLiteral("48"));
  EXPECT_EQ(delimiterOf(keys::Tab, mods::Shift), QString());
  EXPECT_EQ(delimiterOf(keys::Tab, mods::Shift | mods::CapsLock), QStringLiteral("48"));
  EXPECT_EQ(delimiterOf(keys::Return, 0), QStringLiteral("36"));
  EXPECT_EQ(delimiterOf(keys::KeypadEnter, 0), QStringLiteral("76"));
  EXPECT_EQ(delimiterOf(keys::Escape, 0), QStringLiteral("53"));
  EXPECT_EQ(delimiterOf(keys::Period, 0), QStringLiteral("47"));
  // A Space that is no delimiter still ends the word and closes the popup.
  delegate.reset();
  desktop.typeText(QStringLiteral("sig sig"));
  EXPECT_EQ(hook.words(), (QStringList{"s", "i", "g"}));
  EXPECT_TRUE(delegate.calls.contains(QStringLiteral("closeSearchPopupWindow")));
  // An illegal key ends the word without entering it.
  desktop.typeKey(keys::Left);
  EXPECT_TRUE(hook.words().isEmpty());
}

TEST_F(HookTest, ShiftTapAsksForSuggestions) {
  start();
  desktop.holdModifiers(mods::Shift);
  desktop.releaseModifiers();
  EXPECT_TRUE(delegate.suggestions.isEmpty());  // nothing typed yet

  desktop.typeText(QStringLiteral("Dear si"));
  desktop.holdModifiers(mods::Shift);
  desktop.releaseModifiers();
  EXPECT_EQ(delegate.suggestions, QStringList{QStringLiteral("Dear si")});

  // Shift held for a letter is no tap; Control joining Shift is.
  desktop.typeText(QStringLiteral("G"));
  EXPECT_EQ(delegate.suggestions.size(), 1);
  desktop.holdModifiers(mods::Shift);
  desktop.holdModifiers(mods::Shift | mods::Control);
  EXPECT_EQ(delegate.suggestions.size(), 2);
  desktop.releaseModifiers();

  // Nothing after the last tab or line break: no suggestions.
  desktop.typeKey(keys::Tab);
  desktop.holdModifiers(mods::Shift);
  desktop.releaseModifiers();
  EXPECT_EQ(delegate.suggestions.size(), 2);
}

TEST_F(HookTest, ClicksEndTheWordAndCloseTheFloatingWindows) {
  start();
  desktop.typeText(QStringLiteral("ab"));
  delegate.reset();
  desktop.click(QPointF(10, 20));
  EXPECT_TRUE(hook.words().isEmpty());
  EXPECT_TRUE(delegate.closedWindows());

  desktop.typeText(QStringLiteral("ab"));
  delegate.reset();
  desktop.click(QPointF(10, 20), ql::MouseEventType::RightDown);  // same place
  EXPECT_EQ(hook.words(), (QStringList{"a", "b"}));
  EXPECT_TRUE(delegate.closedWindows());

  desktop.moveMouse(QPointF(5, 5));
  desktop.scroll(QPointF(5, 5), QPointF(0, 1));
  ASSERT_EQ(delegate.mouseEvents.size(), 2);
  EXPECT_EQ(delegate.mouseEvents[1].type, ql::MouseEventType::Scroll);

  // Switched off: neither keys nor the mouse are seen.
  hook.setIsHook(false);
  delegate.reset();
  desktop.click(QPointF(1, 1), ql::MouseEventType::OtherDown);
  desktop.typeText(QStringLiteral("c"));
  EXPECT_TRUE(delegate.calls.isEmpty());
  EXPECT_EQ(hook.words(), (QStringList{"a", "b"}));
}

TEST_F(HookTest, NothingTypedInAPasswordFieldIsKeptOrExpandsInEitherMode) {
  snippet(QStringLiteral("sig"));
  start(false);  // keys reach the field first: a consumed one would be erased
  for (const bool immediate : {true, false}) {
    SCOPED_TRACE(immediate ? "immediate" : "delimiter");
    if (!immediate) delimiterMode();
    desktop.focusedField()->setText(QString());
    // A word begun before the field said what it is goes with the answer,
    // and no list stays open over the field.
    desktop.typeText(QStringLiteral("si"));
    delegate.calls.clear();
    desktop.passwordFocus().setPasswordField(true);
    EXPECT_TRUE(hook.words().isEmpty());
    EXPECT_TRUE(delegate.calls.contains(QStringLiteral("closeSearchPopupWindow")));
    desktop.typeText(QStringLiteral("sig sig"));
    desktop.typeKey(keys::Delete);
    desktop.holdModifiers(mods::Shift);
    desktop.releaseModifiers();
    EXPECT_TRUE(hook.words().isEmpty());
    EXPECT_TRUE(delegate.expansions.isEmpty());
    EXPECT_TRUE(delegate.suggestions.isEmpty());
    EXPECT_EQ(field(), QStringLiteral("sisig si"));  // every key reached the field as typed
    EXPECT_TRUE(desktop.postedKeys().isEmpty());

    // Out of the field the buffer starts empty and expansion works again.
    desktop.passwordFocus().setPasswordField(false);
    EXPECT_TRUE(hook.words().isEmpty());
    desktop.typeText(immediate ? QStringLiteral(" sig") : QStringLiteral(" sig "));
    EXPECT_EQ(delegate.expansions.size(), 1);
    delegate.reset();
    desktop.clearLog();
  }
}
