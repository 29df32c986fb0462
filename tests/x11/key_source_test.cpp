#include "platform/keys.h"
#include "platform/x11/x11_key_source.h"
#include "platform/x11/xkb_keymap.h"
#include "platform/x11/xtest_keyboard.h"
#include "x11_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace ql {
namespace {

using test::run;
using test::settle;
using test::waitUntil;

// The platform's key source, reporting the user's keys and modifiers.
class KeySourceTest : public test::X11Test {
 protected:
  void SetUp() override {
    X11Test::SetUp();
    keymap = &x->keymap();
    keyboard = &x->keyboard();
    source = &x->keySource();
    source->setKeyDownHandler([this](const KeyEvent& e) {
      events.append(e);
      return false;
    });
    QObject::connect(source, &KeySource::flagsChanged, [this](quint64 f) { flags.append(f); });
    ASSERT_TRUE(source->start());
    source->setEnabled(true);
    layoutChanged = true;  // the US layout back after every test
  }

  QString typed() const {
    QString s;
    for (const KeyEvent& e : events) s += e.characters;
    return s;
  }

  XkbKeymap* keymap = nullptr;
  XTestKeyboard* keyboard = nullptr;
  X11KeySource* source = nullptr;
  QList<KeyEvent> events;
  QList<quint64> flags;
};

TEST_F(KeySourceTest, ReportsKeysTypedByAnotherClientWithModifiersAndKeyClass) {
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"type", "--delay", "1", "sig.A"}));
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"key", "ctrl+v", "ctrl+shift+Left", "KP_Enter", "Return", "BackSpace"}));
  ASSERT_TRUE(waitUntil([&] { return events.size() >= 10; }));
  QList<quint16> codes;
  for (const KeyEvent& e : events) codes.append(e.keyCode);
  EXPECT_EQ(codes, (QList<quint16>{keys::S, keys::I, keys::G, keys::Period, keys::A, keys::V, keys::Left,
                                   keys::KeypadEnter, keys::Return, keys::Delete}));
  EXPECT_TRUE(typed().startsWith(QStringLiteral("sig.Av"))) << typed().toStdString();
  EXPECT_EQ(mods::masked(events[4].modifierFlags), mods::Shift);
  EXPECT_EQ(events[4].charactersIgnoringModifiers, QStringLiteral("a"));
  EXPECT_TRUE(mods::isCommandOnly(events[5].modifierFlags));
  EXPECT_EQ(mods::masked(events[6].modifierFlags), mods::Command | mods::Shift | mods::NumericPad | mods::Function);
}

TEST_F(KeySourceTest, FollowsTheGermanLayoutAndItsDeadKeys) {
  ASSERT_TRUE(run(QStringLiteral("setxkbmap"), {QStringLiteral("de")}));
  ASSERT_TRUE(waitUntil([&] { return keymap->find(0xfe51 /* dead_acute */, 0).has_value(); }));
  // z sits where the US y is; the acute accent is a dead key.
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"key", "--delay", "1", "z", "dead_acute", "e",
                                             "dead_acute", "x", "odiaeresis"}));
  ASSERT_TRUE(waitUntil([&] { return events.size() >= 6; }));
  EXPECT_EQ(events[0].keyCode, keys::Y);
  EXPECT_EQ(events[0].characters, QStringLiteral("z"));
  EXPECT_EQ(events[1].characters, QString());
  EXPECT_EQ(events[2].characters, QStringLiteral("\u00e9"));
  EXPECT_EQ(events[4].characters, QStringLiteral("'x"));  // as the locale's compose table has it
  EXPECT_EQ(events[5].characters, QStringLiteral("\u00f6"));
  EXPECT_EQ(events[5].keyCode, keys::Semicolon);
}

TEST_F(KeySourceTest, ReportsModifierChangesWithTheAppleBits) {
  ASSERT_TRUE(run(QStringLiteral("xdotool"),
                  {"keydown", "shift", "keyup", "shift", "keydown", "ctrl", "keydown", "alt",
                   "keyup", "alt", "keyup", "ctrl", "keydown", "super", "keyup", "super"}));
  const QList<quint64> expected{mods::Shift,   0, mods::Command, mods::Command | mods::Option,
                                mods::Command, 0, mods::Control, 0};
  ASSERT_TRUE(waitUntil([&] { return flags.size() >= expected.size(); }));
  EXPECT_EQ(flags, expected);
  EXPECT_TRUE(events.isEmpty());
}

TEST_F(KeySourceTest, KeysCarryTheirModifiersAndKeyClass) {
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"key", "ctrl+v", "ctrl+shift+Left", "KP_Enter",
                                             "Return", "BackSpace"}));
  ASSERT_TRUE(waitUntil([&] { return events.size() >= 5; }));
  EXPECT_EQ(events[0].keyCode, keys::V);
  EXPECT_TRUE(mods::isCommandOnly(events[0].modifierFlags));
  EXPECT_EQ(events[0].characters, QStringLiteral("v"));
  EXPECT_EQ(events[1].keyCode, keys::Left);
  EXPECT_EQ(mods::masked(events[1].modifierFlags),
            mods::Command | mods::Shift | mods::NumericPad | mods::Function);
  EXPECT_EQ(events[2].keyCode, keys::KeypadEnter);
  EXPECT_EQ(events[3].keyCode, keys::Return);
  EXPECT_EQ(events[4].keyCode, keys::Delete);
}

TEST_F(KeySourceTest, NeverReportsTheProgramsOwnInputNorAnythingWhileDisabled) {
  source->setEnabled(false);
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"type", "off"}));
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"keydown", "shift", "keyup", "shift"}));
  ASSERT_TRUE(waitUntil([&] { return source->keyEventsSeen() >= 8; }));
  EXPECT_TRUE(flags.isEmpty());
  source->setEnabled(true);
  keyboard->typeText(QStringLiteral("own"));
  const int v = keymap->find('v', 0)->keyCode;
  keyboard->fakeKeyWithModifiers(v, 4 /* ControlMask */, true);
  keyboard->fakeKeyWithModifiers(v, 4 /* ControlMask */, false);
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"type", "user"}));
  ASSERT_TRUE(waitUntil([&] { return events.size() >= 4; }));
  settle(50);
  EXPECT_EQ(typed(), QStringLiteral("user"));
}

TEST_F(KeySourceTest, ReportsClicksMovesAndScrolls) {
  QList<MouseEvent> mouse;
  QObject::connect(source, &KeySource::mouseEvent, [&](const MouseEvent& m) { mouse.append(m); });
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"mousemove", "200", "150", "click", "1", "click", "3",
                                             "click", "2", "click", "4", "click", "5"}));
  auto count = [&](MouseEventType t) {
    return std::count_if(mouse.cbegin(), mouse.cend(), [t](const MouseEvent& m) { return m.type == t; });
  };
  ASSERT_TRUE(waitUntil([&] { return count(MouseEventType::Scroll) == 2; }));
  EXPECT_GE(count(MouseEventType::Moved), 1);
  EXPECT_EQ(count(MouseEventType::LeftDown), 1);
  EXPECT_EQ(count(MouseEventType::RightDown), 1);
  EXPECT_EQ(count(MouseEventType::OtherDown), 1);
  const auto left = std::find_if(mouse.cbegin(), mouse.cend(),
                                 [](const MouseEvent& m) { return m.type == MouseEventType::LeftDown; });
  EXPECT_EQ(left->position, QPointF(200, 150));
  QList<QPointF> scrolls;
  for (const MouseEvent& m : mouse)
    if (m.type == MouseEventType::Scroll) scrolls.append(m.scrollDelta);
  EXPECT_EQ(scrolls, (QList<QPointF>{QPointF(0, 1), QPointF(0, -1)}));
}

TEST_F(KeySourceTest, FollowsTheActiveGroupOfATwoLayoutKeymap) {
  ASSERT_TRUE(run(QStringLiteral("setxkbmap"), {"-layout", "us,de"}));
  ASSERT_TRUE(waitUntil([&] { return keymap->groupCount(29) == 2; }));
  Display* user = XOpenDisplay(nullptr);
  ASSERT_TRUE(user);
  // The key right of T: y in the US group, z in the German one.
  for (int group : {1, 0}) {
    XkbLockGroup(user, XkbUseCoreKbd, group);
    XTestFakeKeyEvent(user, 29, True, CurrentTime);
    XTestFakeKeyEvent(user, 29, False, CurrentTime);
    XSync(user, False);
  }
  XCloseDisplay(user);
  ASSERT_TRUE(waitUntil([&] { return events.size() >= 2; }));
  EXPECT_EQ(events[0].characters, QStringLiteral("z"));
  EXPECT_EQ(events[1].characters, QStringLiteral("y"));
  EXPECT_EQ(events[0].keyCode, keys::Y);
}

// A key that another client maps for a moment, as xdotool does for a
// character the layout lacks, is read with the symbol it had when pressed.
TEST_F(KeySourceTest, AKeyMappedForAMomentIsReadWithThatSymbol) {
  const QList<int> spare = keymap->spareKeyCodes();
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
  ASSERT_TRUE(waitUntil([&] { return events.size() >= 2; }));
  EXPECT_EQ(events[0].characters, QStringLiteral("@"));
  EXPECT_EQ(events[1].characters, QStringLiteral("a"));
}

}  // namespace
}  // namespace ql
