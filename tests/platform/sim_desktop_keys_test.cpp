// Typing as the user would: every key goes through the key source first.
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_keyboard_layout.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

using ql::KeyEvent;
using ql::sim::SimDesktop;
namespace keys = ql::keys;
namespace mods = ql::mods;

namespace {

struct Recorder {
  QList<KeyEvent> seen;
  std::function<bool(const KeyEvent&)> decide = [](const KeyEvent&) { return false; };
};

void listen(SimDesktop& d, Recorder& r) {
  d.keySource().start();
  d.keySource().setEnabled(true);
  d.keySource().setKeyDownHandler([&r](const KeyEvent& e) {
    r.seen.append(e);
    return r.decide(e);
  });
}

QString typed(const Recorder& r) {
  QString s;
  for (const KeyEvent& e : r.seen) s += e.characters;
  return s;
}

}  // namespace

TEST(SimDesktopKeys, TypedTextReachesTheHandlerAndThenTheField) {
  SimDesktop d;
  Recorder r;
  listen(d, r);
  d.typeText(QStringLiteral("Hi, you!\n"));
  EXPECT_EQ(d.focusedField()->string(), QStringLiteral("Hi, you!\n"));
  ASSERT_EQ(r.seen.size(), 9);
  EXPECT_EQ(r.seen[0].keyCode, keys::H);
  EXPECT_EQ(r.seen[0].modifierFlags, mods::Shift);
  EXPECT_EQ(r.seen[0].charactersIgnoringModifiers, QStringLiteral("h"));
  EXPECT_EQ(r.seen[2].keyCode, keys::Comma);
  EXPECT_EQ(r.seen[3].keyCode, keys::Space);
  EXPECT_EQ(r.seen[8].keyCode, keys::Return);
  EXPECT_LT(r.seen[0].timestamp, r.seen[1].timestamp);
}

TEST(SimDesktopKeys, ShiftGoesDownAndUpAroundAShiftedCharacter) {
  SimDesktop d;
  Recorder r;
  listen(d, r);
  QStringList events;
  QObject::connect(&d.keySource(), &ql::KeySource::flagsChanged,
                   [&](quint64 f) { events << QStringLiteral("flags %1").arg(f, 0, 16); });
  r.decide = [&](const KeyEvent& e) {
    events << e.characters;
    return false;
  };
  d.typeText(QStringLiteral("aB"));
  EXPECT_EQ(events, (QStringList{QStringLiteral("a"), QStringLiteral("flags 20000"),
                                 QStringLiteral("B"), QStringLiteral("flags 0")}));
  d.holdModifiers(mods::Shift);
  events.clear();
  d.typeText(QStringLiteral("C"));
  EXPECT_EQ(events, QStringList{QStringLiteral("C")});
}

TEST(SimDesktopKeys, CharactersOffTheLayoutComeOnTheForeignKey) {
  SimDesktop d;
  Recorder r;
  listen(d, r);
  d.typeText(QStringLiteral("\u00e9"));
  ASSERT_EQ(r.seen.size(), 1);
  EXPECT_EQ(r.seen[0].keyCode, ql::sim::SimKeyboardLayout::kForeignKeyCode);
  EXPECT_EQ(d.focusedField()->string(), QStringLiteral("\u00e9"));
}

TEST(SimDesktopKeys, AWithheldPressNeverReachesTheField) {
  SimDesktop d;
  Recorder r;
  r.decide = [](const KeyEvent& e) { return e.keyCode == keys::Space; };
  listen(d, r);
  d.typeText(QStringLiteral("a b"));
  EXPECT_EQ(d.focusedField()->string(), QStringLiteral("ab"));
  EXPECT_TRUE(d.keySource().canWithholdKeys());
}

TEST(SimDesktopKeys, ADisabledOrStoppedSourceReportsNothing) {
  SimDesktop d;
  Recorder r;
  r.decide = [](const KeyEvent&) { return true; };
  listen(d, r);
  d.keySource().setEnabled(false);
  d.typeText(QStringLiteral("ab"));
  d.keySource().setEnabled(true);
  d.keySource().stop();
  d.typeText(QStringLiteral("c"));
  EXPECT_TRUE(r.seen.isEmpty());
  EXPECT_EQ(d.focusedField()->string(), QStringLiteral("abc"));

  d.keySource().setStartFails(true);
  EXPECT_FALSE(d.keySource().start());
}

TEST(SimDesktopKeys, TheX11WayDeliversFirstAndErasesWithADelete) {
  SimDesktop d;
  d.keySource().setCanWithholdKeys(false);
  Recorder r;
  QString fieldWhenSeen;
  r.decide = [&](const KeyEvent& e) {
    if (e.keyCode == keys::Space) {
      fieldWhenSeen = d.focusedField()->string();
      d.keySource().eraseDeliveredKey();
      d.keySource().eraseDeliveredKey();  // only once per press
    }
    return true;  // ignored: the press was already delivered
  };
  listen(d, r);
  d.typeText(QStringLiteral("a b"));
  EXPECT_EQ(fieldWhenSeen, QStringLiteral("a "));
  EXPECT_EQ(d.focusedField()->string(), QStringLiteral("ab"));
  EXPECT_EQ(d.postedKeyNames(), QStringList{QStringLiteral("Delete")});
}

TEST(SimDesktopKeys, EraseDoesNothingWhereKeysCanBeWithheld) {
  SimDesktop d;
  Recorder r;
  r.decide = [&](const KeyEvent&) {
    d.keySource().eraseDeliveredKey();
    return true;
  };
  listen(d, r);
  d.typeText(QStringLiteral("a"));
  EXPECT_TRUE(d.postedKeys().isEmpty());
  EXPECT_EQ(d.focusedField()->string(), QString());
}

TEST(SimDesktopKeys, PressesTypedWhileTheHandlerRunsComeAfterIt) {
  // The Mac holds the keyboard while the tap callback runs.
  SimDesktop d;
  Recorder r;
  r.decide = [&](const KeyEvent& e) {
    if (e.characters == QStringLiteral("x")) {
      d.typeText(QStringLiteral("yz"));  // arrives during the callback
      d.input().postKey(keys::Return, 0, true);
      EXPECT_EQ(r.seen.size(), 1);
      return true;
    }
    return false;
  };
  listen(d, r);
  d.typeText(QStringLiteral("x"));
  EXPECT_EQ(typed(r), QStringLiteral("xyz"));
  EXPECT_EQ(d.focusedField()->string(), QStringLiteral("\nyz"));
}

TEST(SimDesktopKeys, HeldInputIsReplayedInOrderWhenTheHoldEnds) {
  for (bool canWithhold : {true, false}) {
    SimDesktop d;
    d.keySource().setCanWithholdKeys(canWithhold);
    Recorder r;
    listen(d, r);
    d.keySource().setHoldingInput(true);
    d.typeText(QStringLiteral("ab"));
    d.input().postKey(keys::C, mods::Shift, true);  // the program's own input is not held
    EXPECT_TRUE(r.seen.isEmpty());
    EXPECT_EQ(d.keySource().queuedKeys(), 2);
    EXPECT_EQ(d.focusedField()->string(), QStringLiteral("C"));
    d.keySource().setHoldingInput(false);
    EXPECT_EQ(typed(r), QStringLiteral("ab"));
    EXPECT_EQ(d.focusedField()->string(), QStringLiteral("Cab"));
  }
}

TEST(SimDesktopKeys, PostedKeysAreLoggedAppliedAndNeverReported) {
  SimDesktop d;
  Recorder r;
  listen(d, r);
  d.focusedField()->setText(QStringLiteral("abc"));
  d.input().postKey(keys::Delete, 0, true);
  d.input().postKey(keys::Delete, 0, false);
  d.input().postKey(keys::Left, mods::Shift | mods::Option, true);
  d.input().postKey(keys::Space, 0, true);
  EXPECT_TRUE(r.seen.isEmpty());
  EXPECT_EQ(d.focusedField()->string(), QStringLiteral(" "));
  EXPECT_EQ(d.postedKeyNames(),
            (QStringList{QStringLiteral("Delete"), QStringLiteral("Shift-Option-Left"),
                         QStringLiteral("Space")}));
  ASSERT_EQ(d.postedKeys().size(), 4);
  EXPECT_FALSE(d.postedKeys()[1].down);
  EXPECT_EQ(d.postedKeys()[0].application, QStringLiteral("TextEdit"));
}

TEST(SimDesktopKeys, KeysGoToTheFrontmostApplicationOnly) {
  SimDesktop d;
  d.addApplication(QStringLiteral("Mail"));
  d.typeText(QStringLiteral("one"));
  d.switchTo(QStringLiteral("Mail"));
  d.typeText(QStringLiteral("two"));
  EXPECT_EQ(d.application(QStringLiteral("TextEdit"))->field.string(), QStringLiteral("one"));
  EXPECT_EQ(d.application(QStringLiteral("Mail"))->field.string(), QStringLiteral("two"));

  int programKeys = 0;
  QObject::connect(&d, &SimDesktop::programKeyDown, [&](const KeyEvent&) { ++programKeys; });
  d.switchTo(SimDesktop::kProgramName);
  EXPECT_EQ(d.focusedField(), nullptr);
  d.typeText(QStringLiteral("x"));
  d.input().postKey(keys::V, mods::Command, true);
  EXPECT_EQ(programKeys, 1);
  EXPECT_EQ(d.application(QStringLiteral("Mail"))->field.string(), QStringLiteral("two"));
}

TEST(SimDesktopKeys, ModifierChangesAndTheWaitForTheirRelease) {
  SimDesktop d;
  Recorder r;
  listen(d, r);
  QList<quint64> flags;
  QObject::connect(&d.keySource(), &ql::KeySource::flagsChanged, [&](quint64 f) { flags.append(f); });
  d.holdModifiers(mods::Shift);
  d.releaseModifiers();
  EXPECT_EQ(flags, (QList<quint64>{mods::Shift, 0}));

  EXPECT_TRUE(d.input().waitForModifiersReleased(0));
  d.holdModifiers(mods::Command | mods::Option);
  EXPECT_EQ(d.input().heldModifiers(), mods::Command | mods::Option);
  EXPECT_FALSE(d.input().waitForModifiersReleased(10));
  QTimer::singleShot(5, &d, [&d] { d.releaseModifiers(); });
  EXPECT_TRUE(d.input().waitForModifiersReleased(5000));
}
