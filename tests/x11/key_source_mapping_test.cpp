// A key that another client maps for a moment, as xdotool does for a
// character the layout lacks, is read with the symbol it had when pressed.
#include "platform/x11/keyboard_hold.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_key_source.h"
#include "platform/x11/xkb_keymap.h"
#include "platform/x11/xtest_keyboard.h"
#include "x_server.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace ql {
namespace {

TEST(KeySourceMappingTest, AKeyMappedForAMomentIsReadWithThatSymbol) {
  auto connection = X11Connection::open();
  ASSERT_TRUE(connection);
  XkbKeymap keymap(connection->display());
  KeyboardHold hold(*connection);
  XTestKeyboard keyboard(connection->display(), keymap, &hold);
  X11KeySource source(*connection, keymap, hold, keyboard);
  QObject::connect(connection.get(), &X11Connection::keyboardMappingChanged,
                   [&keymap] { keymap.reload(); });
  QStringList typed;
  source.setKeyDownHandler([&typed](const KeyEvent& e) {
    typed.append(e.characters);
    return false;
  });
  ASSERT_TRUE(source.start());
  source.setEnabled(true);
  const QList<int> spare = keymap.spareKeyCodes();
  ASSERT_FALSE(spare.isEmpty());
  const unsigned code = static_cast<unsigned>(spare.front());

  // Mapped, pressed and given back before the key source reads a thing.
  Display* other = XOpenDisplay(nullptr);
  ASSERT_TRUE(other);
  KeySym at[2] = {XK_at, XK_at};
  KeySym none[2] = {NoSymbol, NoSymbol};
  XChangeKeyboardMapping(other, static_cast<int>(code), 2, at, 1);
  XSync(other, False);
  XTestFakeKeyEvent(other, code, True, CurrentTime);
  XTestFakeKeyEvent(other, code, False, CurrentTime);
  XChangeKeyboardMapping(other, static_cast<int>(code), 2, none, 1);
  const unsigned a = XKeysymToKeycode(other, XK_a);
  XTestFakeKeyEvent(other, a, True, CurrentTime);
  XTestFakeKeyEvent(other, a, False, CurrentTime);
  XSync(other, False);
  XCloseDisplay(other);

  ASSERT_TRUE(test::waitUntil([&] { return typed.size() >= 2; }));
  EXPECT_EQ(typed, (QStringList{QStringLiteral("@"), QStringLiteral("a")}));
}

}  // namespace
}  // namespace ql
