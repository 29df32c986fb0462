// Typing by key code on the user's layout (KWin's fake input): each
// character's key and modifiers come from the session's keymap.
#include "platform/wayland/session_key_map.h"

#include <xkbcommon/xkbcommon.h>

#include <gtest/gtest.h>

#include <linux/input-event-codes.h>

namespace ql {
namespace {

QByteArray keymapText(const char* layout, const char* variant = "") {
  xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  xkb_rule_names names = {"evdev", "pc105", layout, variant, ""};
  xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
  char* text = keymap ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1) : nullptr;
  QByteArray result(text);
  std::free(text);
  xkb_keymap_unref(keymap);
  xkb_context_unref(context);
  return result;
}

using Keys = QList<quint32>;

TEST(SessionKeyMap, GermanLettersAndAltGrCharactersArePressedOnTheirOwnKeys) {
  const SessionKeyMap map(keymapText("de"));
  ASSERT_FALSE(map.isEmpty());
  SessionKeyMap::Chord chord;
  ASSERT_TRUE(map.find(U'z', &chord));
  EXPECT_EQ(chord.evdevCode, quint32(KEY_Y));
  EXPECT_EQ(chord.modifierKeys, Keys{});
  ASSERT_TRUE(map.find(U'Z', &chord));
  EXPECT_EQ(chord.evdevCode, quint32(KEY_Y));
  EXPECT_EQ(chord.modifierKeys, Keys{KEY_LEFTSHIFT});
  ASSERT_TRUE(map.find(U'@', &chord));
  EXPECT_EQ(chord.evdevCode, quint32(KEY_Q));
  EXPECT_EQ(chord.modifierKeys, Keys{KEY_RIGHTALT});
  ASSERT_TRUE(map.find(U'ß', &chord));
  EXPECT_EQ(chord.evdevCode, quint32(KEY_MINUS));
  // The digit row, not the keypad; Return and Tab for their characters.
  ASSERT_TRUE(map.find(U'1', &chord));
  EXPECT_EQ(chord.evdevCode, quint32(KEY_1));
  ASSERT_TRUE(map.find(U'\n', &chord));
  EXPECT_EQ(chord.evdevCode, quint32(KEY_ENTER));
  ASSERT_TRUE(map.find(U'\t', &chord));
  EXPECT_EQ(chord.evdevCode, quint32(KEY_TAB));
}

TEST(SessionKeyMap, ACharacterTheLayoutLacksIsNotFound) {
  const SessionKeyMap us(keymapText("us"));
  SessionKeyMap::Chord chord;
  EXPECT_FALSE(us.find(U'€', &chord));
  EXPECT_FALSE(us.find(U'ж', &chord));
  EXPECT_TRUE(us.find(U'~', &chord));
  EXPECT_EQ(chord.modifierKeys, Keys{KEY_LEFTSHIFT});
  EXPECT_TRUE(SessionKeyMap("not a keymap").isEmpty());
  EXPECT_TRUE(SessionKeyMap({}).isEmpty());
}

TEST(SessionKeyMap, TheLayoutSwitchedToDecides) {
  const QByteArray text = keymapText("us,ru");
  const SessionKeyMap us(text, 0), ru(text, 1);
  EXPECT_EQ(us.layoutCount(), 2u);
  SessionKeyMap::Chord chord;
  EXPECT_FALSE(us.find(U'ж', &chord));
  ASSERT_TRUE(ru.find(U'ж', &chord));
  EXPECT_EQ(chord.evdevCode, quint32(KEY_SEMICOLON));
  EXPECT_TRUE(us.find(U'q', &chord));
  EXPECT_FALSE(ru.find(U'q', &chord));
  // Beyond the keymap's layouts: the first one.
  EXPECT_TRUE(SessionKeyMap(text, 7).find(U'q', &chord));
}

}  // namespace
}  // namespace ql
