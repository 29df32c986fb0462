// Kernel key codes through the session's keymap, as the compositor below
// applies it: layouts, dead keys, Compose, modifiers.
#include "platform/keys.h"
#include "platform/wayland/evdev_key_translator.h"

#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

namespace ql {
namespace {

// Presses and releases each key; the characters of the presses, joined.
QString typed(EvdevKeyTranslator& t, std::initializer_list<int> codes) {
  QString out;
  for (int code : codes) {
    out += t.feed(quint16(code), 1, 0).key.characters;
    t.feed(quint16(code), 0, 0);
  }
  return out;
}

QString typedShifted(EvdevKeyTranslator& t, int code) {
  t.feed(KEY_LEFTSHIFT, 1, 0);
  const QString out = t.feed(quint16(code), 1, 0).key.characters;
  t.feed(quint16(code), 0, 0);
  t.feed(KEY_LEFTSHIFT, 0, 0);
  return out;
}

TEST(WaylandKeyTranslation, LayoutsGiveTheirOwnCharactersAtTheSamePositions) {
  EvdevKeyTranslator t;
  ASSERT_TRUE(t.setKeymapNames("de"));
  EXPECT_EQ(typed(t, {KEY_Y, KEY_Z, KEY_SEMICOLON}), QStringLiteral("zyö"));
  // The Apple code follows the position, the characters the layout.
  const EvdevKeyTranslator::Result r = t.feed(KEY_Y, 1, 0);
  EXPECT_EQ(r.key.keyCode, keys::Y);
  EXPECT_EQ(r.key.characters, QStringLiteral("z"));
  t.feed(KEY_Y, 0, 0);
  ASSERT_TRUE(t.setKeymapNames("fr"));
  EXPECT_EQ(typed(t, {KEY_Q, KEY_W, KEY_1}), QStringLiteral("az&"));
  EXPECT_EQ(typedShifted(t, KEY_1), QStringLiteral("1"));
}

TEST(WaylandKeyTranslation, DeadKeysComposeWithTheNextPress) {
  EvdevKeyTranslator t;
  // German: the circumflex left of 1 is dead; the acute beside Backspace too.
  ASSERT_TRUE(t.setKeymapNames("de"));
  EXPECT_EQ(typed(t, {KEY_GRAVE, KEY_E}), QStringLiteral("ê"));
  EXPECT_EQ(typed(t, {KEY_EQUAL, KEY_A}), QStringLiteral("á"));
  // A dead key followed by one it does not combine with types both.
  EXPECT_EQ(typed(t, {KEY_GRAVE, KEY_X}), QStringLiteral("^x"));
  // Followed by Space: the accent alone.
  EXPECT_EQ(typed(t, {KEY_GRAVE, KEY_SPACE}), QStringLiteral("^"));

  // French: the circumflex and, with Shift, the diaeresis right of P.
  ASSERT_TRUE(t.setKeymapNames("fr"));
  EXPECT_EQ(typed(t, {KEY_LEFTBRACE, KEY_O}), QStringLiteral("ô"));
  EXPECT_EQ(typedShifted(t, KEY_LEFTBRACE), QString());
  EXPECT_EQ(typed(t, {KEY_I}), QStringLiteral("ï"));

  // US international: the quote and the backtick are dead.
  ASSERT_TRUE(t.setKeymapNames("us", "intl"));
  EXPECT_EQ(typed(t, {KEY_APOSTROPHE, KEY_E}), QStringLiteral("é"));
  EXPECT_EQ(typed(t, {KEY_GRAVE, KEY_A}), QStringLiteral("à"));
  EXPECT_EQ(typed(t, {KEY_APOSTROPHE, KEY_SPACE}), QStringLiteral("'"));
  EXPECT_EQ(typedShifted(t, KEY_APOSTROPHE), QString());
  EXPECT_EQ(typed(t, {KEY_U}), QStringLiteral("ü"));
}

TEST(WaylandKeyTranslation, ComposeKeySequencesFromTheLocaleTable) {
  EvdevKeyTranslator t;
  ASSERT_TRUE(t.setKeymapNames("us", {}, "compose:ralt"));
  // Compose, o, e: the ligature; nothing typed until it completes.
  EXPECT_EQ(typed(t, {KEY_RIGHTALT}), QString());
  EXPECT_EQ(typed(t, {KEY_O}), QString());
  EXPECT_EQ(typed(t, {KEY_E}), QStringLiteral("œ"));
  EXPECT_EQ(typed(t, {KEY_A}), QStringLiteral("a"));
}

TEST(WaylandKeyTranslation, ModifiersMapToTheirRolesAndReportChanges) {
  EvdevKeyTranslator t;
  ASSERT_TRUE(t.setKeymapNames("us"));
  EvdevKeyTranslator::Result r = t.feed(KEY_LEFTCTRL, 1, 0);
  EXPECT_TRUE(r.isModifier);
  EXPECT_TRUE(r.flagsChanged);
  EXPECT_EQ(r.flags, mods::Command);
  r = t.feed(KEY_V, 1, 0);
  EXPECT_TRUE(r.keyDown);
  EXPECT_TRUE(mods::isCommandOnly(r.key.modifierFlags));
  EXPECT_EQ(r.key.keyCode, keys::V);
  t.feed(KEY_V, 0, 0);
  r = t.feed(KEY_LEFTCTRL, 0, 0);
  EXPECT_TRUE(r.flagsChanged);
  EXPECT_EQ(r.flags, 0u);

  EXPECT_EQ(t.feed(KEY_LEFTALT, 1, 0).flags, mods::Option);
  t.feed(KEY_LEFTALT, 0, 0);
  EXPECT_EQ(t.feed(KEY_LEFTMETA, 1, 0).flags, mods::Control);
  t.feed(KEY_LEFTMETA, 0, 0);

  // Caps Lock stays on after its release, and Shift-only stays Shift-only.
  t.feed(KEY_CAPSLOCK, 1, 0);
  t.feed(KEY_CAPSLOCK, 0, 0);
  EXPECT_EQ(t.flags(), mods::CapsLock);
  EXPECT_EQ(typed(t, {KEY_A}), QStringLiteral("A"));
  t.feed(KEY_CAPSLOCK, 1, 0);
  t.feed(KEY_CAPSLOCK, 0, 0);
  t.feed(KEY_LEFTSHIFT, 1, 0);
  r = t.feed(KEY_TAB, 1, 0);
  EXPECT_TRUE(mods::isShiftOnly(r.key.modifierFlags));
  EXPECT_EQ(r.key.keyCode, keys::Tab);
}

TEST(WaylandKeyTranslation, RepeatsAndArrowsCarryTheirFlags) {
  EvdevKeyTranslator t;
  ASSERT_TRUE(t.setKeymapNames("us"));
  EXPECT_FALSE(t.feed(KEY_A, 1, 0).key.isRepeat);
  const EvdevKeyTranslator::Result repeat = t.feed(KEY_A, 2, 0);
  EXPECT_TRUE(repeat.keyDown);
  EXPECT_TRUE(repeat.key.isRepeat);
  EXPECT_EQ(repeat.key.characters, QStringLiteral("a"));
  t.feed(KEY_A, 0, 0);
  const EvdevKeyTranslator::Result left = t.feed(KEY_LEFT, 1, 0);
  EXPECT_EQ(left.key.keyCode, keys::Left);
  EXPECT_EQ(left.key.modifierFlags, mods::NumericPad | mods::Function);
  // A keymap that does not compile leaves the last one in place.
  EXPECT_FALSE(t.setKeymap("xkb_keymap { nonsense"));
  EXPECT_EQ(typed(t, {KEY_B}), QStringLiteral("b"));
}

}  // namespace
}  // namespace ql
