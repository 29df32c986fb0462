#include "platform/keys.h"
#include "platform/x11/x11_hot_key_service.h"
#include "platform/x11/x11_key_source.h"
#include "x11_fixture.h"

#include <X11/Xlib.h>

namespace ql {
namespace {

using test::run;
using test::waitUntil;

class HotKeyTest : public test::X11Test {
 protected:
  void SetUp() override {
    X11Test::SetUp();
    QObject::connect(&x->hotKeys(), &HotKeyService::hotKeyPressed,
                     [this](quint32 id, quint64 flags, qint64) { pressed.append({id, flags}); });
  }
  bool press(const QString& keys) { return run(QStringLiteral("xdotool"), {"key", keys}).has_value(); }

  QList<QPair<quint32, quint64>> pressed;
};

TEST_F(HotKeyTest, FiresForTheCombinationWhateverTheLocks) {
  ASSERT_TRUE(x->hotKeys().registerHotKey(7, keys::K, mods::Command | mods::Option));
  ASSERT_TRUE(x->hotKeys().registerHotKey(8, keys::Space, mods::Control | mods::Shift));
  ASSERT_TRUE(press(QStringLiteral("ctrl+alt+k")));
  ASSERT_TRUE(waitUntil([&] { return pressed.size() == 1; }));
  EXPECT_EQ(pressed[0].first, 7u);
  EXPECT_EQ(mods::masked(pressed[0].second), mods::Command | mods::Option);

  ASSERT_TRUE(press(QStringLiteral("Num_Lock")));
  ASSERT_TRUE(press(QStringLiteral("Caps_Lock")));
  ASSERT_TRUE(press(QStringLiteral("super+shift+space")));
  ASSERT_TRUE(waitUntil([&] { return pressed.size() == 2; }));
  EXPECT_EQ(pressed[1].first, 8u);
  ASSERT_TRUE(press(QStringLiteral("Num_Lock")));
  ASSERT_TRUE(press(QStringLiteral("Caps_Lock")));

  // Other modifiers are another combination.
  ASSERT_TRUE(press(QStringLiteral("ctrl+k")));
  x->hotKeys().unregisterHotKey(7);
  ASSERT_TRUE(press(QStringLiteral("ctrl+alt+k")));
  ASSERT_TRUE(press(QStringLiteral("super+shift+space")));
  ASSERT_TRUE(waitUntil([&] { return pressed.size() == 3; }));
  EXPECT_EQ(pressed[2].first, 8u);
}

TEST_F(HotKeyTest, RefusesACombinationAnotherClientHolds) {
  Display* other = XOpenDisplay(nullptr);
  ASSERT_TRUE(other);
  const int k = XKeysymToKeycode(other, 'j');
  XGrabKey(other, k, ControlMask | Mod1Mask, DefaultRootWindow(other), False, GrabModeAsync,
           GrabModeAsync);
  XSync(other, False);
  EXPECT_FALSE(x->hotKeys().registerHotKey(1, keys::J, mods::Command | mods::Option));
  // What was refused holds nothing: once the other lets go, it registers.
  XCloseDisplay(other);
  EXPECT_TRUE(waitUntil([&] { return x->hotKeys().registerHotKey(1, keys::J, mods::Command | mods::Option); }));
}

TEST_F(HotKeyTest, KeepsWorkingAfterTheLayoutChangesAndStaysOutOfTheKeySource) {
  auto& source = x->keySource();
  ASSERT_TRUE(source.start());
  source.setEnabled(true);
  QStringList typed;
  source.setKeyDownHandler([&](const KeyEvent& e) {
    typed.append(e.characters);
    return false;
  });
  ASSERT_TRUE(x->hotKeys().registerHotKey(3, keys::Q, mods::Command | mods::Option));
  setLayout(QStringLiteral("de"));
  // The grab is remade after the mapping change; wait for it by pressing.
  ASSERT_TRUE(waitUntil([&] {
    press(QStringLiteral("ctrl+alt+q"));
    return !pressed.isEmpty();
  }));
  ASSERT_TRUE(press(QStringLiteral("x")));
  ASSERT_TRUE(waitUntil([&] { return typed.contains(QStringLiteral("x")); }));
  EXPECT_FALSE(typed.contains(QStringLiteral("q"))) << typed.join(u',').toStdString();
}

}  // namespace
}  // namespace ql
