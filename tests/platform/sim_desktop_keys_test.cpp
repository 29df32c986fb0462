// Typing as the user would: every key goes through the key source first.
#include "platform/sim/sim_desktop.h"

#include <gtest/gtest.h>

using ql::KeyEvent;
using ql::sim::SimDesktop;
namespace keys = ql::keys;

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
