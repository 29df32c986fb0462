// The keyboard on X11: the key source reading the user's keys, hot keys,
// and the program's own typing into a real terminal.
#include "platform/keys.h"
#include "platform/x11/x11_hot_key_service.h"
#include "platform/x11/x11_input_synthesiser.h"
#include "platform/x11/x11_key_source.h"
#include "platform/x11/x11_workspace.h"
#include "platform/x11/xkb_keymap.h"
#include "platform/x11/xtest_keyboard.h"
#include "x11_fixture.h"

#include <QThread>

#include <algorithm>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace ql {
namespace {

using test::CatTerminal;
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

// Hot keys, with the key source running as in the program.
class HotKeyTest : public KeySourceTest {
 protected:
  void SetUp() override {
    KeySourceTest::SetUp();
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
  ASSERT_TRUE(x->hotKeys().registerHotKey(3, keys::Q, mods::Command | mods::Option));
  ASSERT_TRUE(run(QStringLiteral("setxkbmap"), {QStringLiteral("de")}));
  // The grab is remade after the mapping change; wait for it by pressing.
  ASSERT_TRUE(waitUntil([&] {
    press(QStringLiteral("ctrl+alt+q"));
    return !pressed.isEmpty();
  }));
  ASSERT_TRUE(press(QStringLiteral("x")));
  ASSERT_TRUE(waitUntil([&] { return typed().contains(QStringLiteral("x")); }));
  EXPECT_FALSE(typed().contains(QStringLiteral("q"))) << typed().toStdString();
}

// Typing into a real terminal through the synthesiser and the paste chord.
using TypingTest = test::X11Test;

// The handler answers late on purpose, so the keys after the consumed one
// have surely reached the terminal before it erases.
TEST_F(TypingTest, ErasesConsumedPressesReplaysHeldTypingInOrderAndNeverSendsATerminalSigint) {
  test::WindowManager wm;
  ASSERT_TRUE(wm.isRunning());
  CatTerminal terminal;
  ASSERT_TRUE(terminal.waitReady());
  ASSERT_TRUE(waitUntil([&] { return x->workspace().frontmostApplication().name == QLatin1String("XTerm"); }));
  auto tap = [&](quint16 key) {
    x->input().postKey(key, 0, true);
    x->input().postKey(key, 0, false);
  };
  // First the program's own typing: characters the layout lacks go through a spare key.
  const QByteArray own = "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80Z\n";
  ASSERT_TRUE(x->keyboard().typeText(QStringLiteral("a\u00e9\u20ac\U0001F600Z\n")));
  ASSERT_TRUE(terminal.waitForContents(own)) << terminal.contents().toStdString();
  auto& source = x->keySource();
  ASSERT_TRUE(source.start());
  source.setEnabled(true);
  QString reported;
  QList<bool> erased;
  source.setKeyDownHandler([&](const KeyEvent& e) {
    reported += e.characters;
    if (e.characters != QLatin1String(".")) return false;
    QThread::msleep(150);
    erased.append(source.eraseDeliveredKey());
    return erased.last();
  });
  ASSERT_TRUE(test::run(QStringLiteral("xdotool"), {"type", "--delay", "10", "ab.cD e"}));
  ASSERT_TRUE(waitUntil([&] { return reported.size() == 7; }));
  tap(keys::Return);
  EXPECT_TRUE(terminal.waitForContents(own + "abcD e\n")) << terminal.contents().toStdString();
  EXPECT_EQ(reported, QStringLiteral("ab.cD e"));

  // A Return that already went through cannot be taken back: the press stays.
  ASSERT_TRUE(test::run(QStringLiteral("xdotool"), {"type", "--delay", "10", "x.\ny"}));
  ASSERT_TRUE(waitUntil([&] { return reported.size() == 11; }));
  tap(keys::Return);
  EXPECT_TRUE(terminal.waitForContents(own + "abcD e\nx.\ny\n")) << terminal.contents().toStdString();
  EXPECT_EQ(erased, (QList<bool>{true, false}));

  // Held typing arrives after the program's own input, in order.
  const QByteArray before = terminal.contents();
  reported.clear();
  source.setKeyDownHandler([&](const KeyEvent& e) {
    reported += e.characters;
    return e.characters == QLatin1String("q");  // consumed: never typed
  });
  source.setHoldingInput(true);
  ASSERT_TRUE(test::run(QStringLiteral("xdotool"), {"type", "--delay", "5", "xqYz"}));
  // Wait until the hold has caught the presses and releases, Shift's too.
  ASSERT_TRUE(waitUntil([&] { return source.heldKeyEvents() == 10; }));
  x->keyboard().typeText(QStringLiteral("OWN"));
  ASSERT_TRUE(waitUntil([&] { return terminal.contents() == before; }));
  EXPECT_TRUE(reported.isEmpty());
  source.setHoldingInput(false);
  tap(keys::Return);  // own input after the hold: after the replay too
  EXPECT_TRUE(terminal.waitForContents(before + "OWNxYz\n")) << terminal.contents().toStdString();
  EXPECT_EQ(reported, QStringLiteral("xqYz"));

  // The copy key (of a new snippet from the selection) never interrupts a
  // terminal, where Ctrl+C is SIGINT: cat still takes what comes after.
  x->input().postKey(keys::C, mods::Command, true);
  x->input().postKey(keys::C, mods::Command, false);
  ASSERT_TRUE(test::run(QStringLiteral("xdotool"), {"type", "after\n"}));
  EXPECT_TRUE(terminal.waitForContents(before + "OWNxYz\nafter\n")) << terminal.contents().toStdString();
}

TEST_F(TypingTest, WaitsForTheUserToReleaseModifiers) {
  EXPECT_EQ(x->input().heldModifiers(), 0u);
  EXPECT_TRUE(x->input().waitForModifiersReleased(0));
  test::Client user(QStringLiteral("xdotool"),
                    {"keydown", "ctrl", "keydown", "alt", "sleep", "0.3", "keyup", "alt", "keyup", "ctrl"});
  ASSERT_TRUE(waitUntil([&] { return x->input().heldModifiers() == (mods::Command | mods::Option); }));
  EXPECT_FALSE(x->input().waitForModifiersReleased(20));
  EXPECT_TRUE(x->input().waitForModifiersReleased(3000));
  EXPECT_EQ(x->input().heldModifiers(), 0u);
}

}  // namespace
}  // namespace ql
