// The simulated desktop as the tests above it rely on: typing goes through
// the key source first, and Command-V pastes as applications do.
#include "content/text/flat_rtfd.h"
#include "platform/pasteboard_types.h"
#include "platform/sim/sim_desktop.h"

#include <gtest/gtest.h>

using ql::KeyEvent;
using ql::sim::SimDesktop;
namespace keys = ql::keys;
namespace mods = ql::mods;
namespace types = ql::pasteboard_types;

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

void commandV(SimDesktop& d) {
  d.input().postKey(keys::V, mods::Command, true);
  d.input().postKey(keys::V, mods::Command, false);
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

TEST(SimDesktopClipboard, PasteTakesRtfdFirstThenThePlainString) {
  SimDesktop d;
  ql::TextAttributes bold;
  bold.bold = true;
  const QByteArray rich = ql::writeFlatRtfd(ql::AttributedText(QStringLiteral("rich"), bold));
  d.pasteboard().write({{types::String, QByteArrayLiteral("plain")}, {types::Rtfd, rich}});
  d.focusedField()->setText(QStringLiteral("[]"));
  d.focusedField()->setCaret(1);
  commandV(d);
  EXPECT_EQ(d.focusedField()->string(), QStringLiteral("[rich]"));
  EXPECT_TRUE(d.focusedField()->text().attributesAt(1).bold);
  EXPECT_EQ(d.focusedField()->caret(), 5);

  d.focusedField()->acceptsRichText = false;
  commandV(d);
  EXPECT_EQ(d.focusedField()->string(), QStringLiteral("[richplain]"));

  d.pasteboard().write({{types::String, QStringLiteral("\u00fc\U0001F600").toUtf8()}});
  d.focusedField()->acceptsRichText = true;
  commandV(d);
  EXPECT_EQ(d.focusedField()->string(), QStringLiteral("[richplain\u00fc\U0001F600]"));
}
