// Typing sessions through the hook: keys in, what matching decides out, in
// both kinds of key source (withholding like the Mac, erasing like X11).
#include "keyboard_hook_rig.h"

using ql::test::HookTest;
namespace keys = ql::keys;
namespace mods = ql::mods;

namespace {

class HookMatching : public HookTest, public testing::WithParamInterface<bool> {
 protected:
  bool canWithhold() const { return GetParam(); }
};

}  // namespace

TEST_P(HookMatching, ImmediateModeConsumesTheLastCharacterBeforeTheExpansionStarts) {
  snippet(QStringLiteral("sig"));
  QStringList postedAtExpansion;
  delegate.onExpand = [&](const auto&) { postedAtExpansion = desktop.postedKeyNames(); };
  start(canWithhold());
  desktop.typeText(QStringLiteral("Hi sig"));
  ASSERT_EQ(delegate.expansions.size(), 1);  // what it was called with is the differential test's
  // The "g" never shows: withheld, or erased before the expansion's own input.
  EXPECT_EQ(field(), QStringLiteral("Hi si"));
  EXPECT_EQ(postedAtExpansion, canWithhold() ? QStringList() : QStringList{QStringLiteral("Delete")});
  EXPECT_TRUE(hook.words().isEmpty());
  EXPECT_TRUE(hook.isHook());
}

// On X11 the user may already have typed on with a Return or a click that
// cannot be taken back: the text then stays as typed.
TEST_P(HookMatching, NothingExpandsWhenTheDeliveredPressCannotBeErased) {
  delimiterMode({QStringLiteral("space")});
  snippet(QStringLiteral("sig"));
  desktop.keySource().setEraseRefused(true);
  start(canWithhold());
  desktop.typeText(QStringLiteral("a sig "));
  if (canWithhold()) {
    EXPECT_EQ(delegate.expansions.size(), 1);
    return;
  }
  EXPECT_TRUE(delegate.expansions.isEmpty());
  EXPECT_EQ(field(), QStringLiteral("a sig "));
  EXPECT_TRUE(desktop.postedKeyNames().isEmpty());
  // The word buffer went on normally: the next one expands.
  desktop.keySource().setEraseRefused(false);
  desktop.typeText(QStringLiteral("sig "));
  EXPECT_EQ(delegate.expansions.size(), 1);
}

TEST_P(HookMatching, ADelimiterAlwaysEndsTheWord) {
  delimiterMode({QStringLiteral("space"), QStringLiteral(",")});
  snippet(QStringLiteral("sig"));
  start(canWithhold());
  // A comma is a delimiter by its character; no match still clears the word
  // and closes the floating windows. (An expansion's field is the controller's test.)
  desktop.typeText(QStringLiteral("xsig,"));
  EXPECT_TRUE(delegate.expansions.isEmpty());
  EXPECT_TRUE(delegate.closedWindows());
  EXPECT_TRUE(hook.words().isEmpty());
  EXPECT_EQ(field(), QStringLiteral("xsig,"));

  // A delimiter with nothing typed passes on without matching.
  delegate.reset();
  desktop.typeText(QStringLiteral(","));
  EXPECT_TRUE(delegate.calls.isEmpty());
  EXPECT_EQ(field(), QStringLiteral("xsig,,"));
}

INSTANTIATE_TEST_SUITE_P(BothKeySources, HookMatching, testing::Bool(),
                         [](const auto& info) { return info.param ? "Withholding" : "Erasing"; });

TEST_F(HookTest, ImmediateModeSplitsAtReturnDelimiterModeDoesNot) {
  snippet(QStringLiteral("sig"));
  start();
  desktop.typeText(QStringLiteral("x\nsig"));
  EXPECT_EQ(delegate.expansions.size(), 1);
  delegate.reset();
  delimiterMode();
  desktop.typeText(QStringLiteral("x\nsig "));
  EXPECT_TRUE(delegate.expansions.isEmpty());
}

TEST_F(HookTest, NothingIsEligibleBeforeTheFirstActivationOrWhileTheProgramIsInFront) {
  snippet(QStringLiteral("sig"));
  ASSERT_TRUE(hook.installHook(true));
  desktop.typeText(QStringLiteral("sig"));
  EXPECT_TRUE(delegate.expansions.isEmpty());
  EXPECT_EQ(hook.words(), (QStringList{QStringLiteral("s"), QStringLiteral("i"), QStringLiteral("g")}));
  // A notification without an application switches on but lists nothing.
  hook.appChanged(std::nullopt);
  EXPECT_TRUE(hook.snippets().isEmpty());
  EXPECT_TRUE(hook.words().isEmpty());
  EXPECT_TRUE(hook.isHook());

  hook.appChanged(desktop.workspace().frontmostApplication());
  EXPECT_EQ(hook.snippets().size(), 1);
  desktop.switchTo(QStringLiteral("Quillet"));
  EXPECT_FALSE(hook.isHook());
  EXPECT_TRUE(hook.snippets().isEmpty());
  EXPECT_FALSE(desktop.keySource().isEnabled());
}

// Where presses are seen only after delivery, a Return or Tab delimiter
// would act before the expansion: while the word would expand, those keys
// are reserved and reach the hook first; otherwise they go to the
// application as typed.
TEST_F(HookTest, DelimitersThatCannotBeErasedAreReservedWhileTheWordWouldExpand) {
  delimiterMode({QStringLiteral("space"), QStringLiteral("enter"), QStringLiteral("tab")});
  snippet(QStringLiteral("sig"));
  start(false);
  const auto reserved = [this] { return desktop.keySource().reservedKeys(); };
  desktop.typeText(QStringLiteral("a si"));
  EXPECT_TRUE(reserved().isEmpty());
  desktop.typeText(QStringLiteral("g"));
  EXPECT_EQ(reserved(), (QList<quint16>{keys::Return, keys::Tab}));
  desktop.typeKey(keys::Delete);
  EXPECT_TRUE(reserved().isEmpty());
  desktop.typeText(QStringLiteral("g"));
  desktop.typeKey(keys::Return);
  ASSERT_EQ(delegate.expansions.size(), 1);
  EXPECT_EQ(delegate.expansions[0].delimiter, QStringLiteral("36"));
  EXPECT_EQ(field(), QStringLiteral("a sig"));  // the Return never reached it
  EXPECT_TRUE(reserved().isEmpty());

  // Nothing to expand: Return is the application's at once.
  desktop.typeText(QStringLiteral(" x"));
  desktop.typeKey(keys::Return);
  EXPECT_EQ(delegate.expansions.size(), 1);
  EXPECT_EQ(field(), QStringLiteral("a sig x\n"));

  // A Return that got there before its reservation has acted: the text
  // stays as typed, no BackSpace is posted for it.
  desktop.typeText(QStringLiteral("sig"));
  desktop.keySource().setReservedKeys({});
  desktop.clearLog();
  desktop.typeKey(keys::Return);
  EXPECT_EQ(delegate.expansions.size(), 1);
  EXPECT_EQ(field(), QStringLiteral("a sig x\nsig\n"));
  EXPECT_TRUE(desktop.postedKeyNames().isEmpty());
}

// On Linux Alt and Super shortcuts type nothing: the word ends there.
TEST_F(HookTest, AltAndSuperShortcutsEndTheWord) {
  delimiterMode();
  snippet(QStringLiteral("sig"));
  start();
  for (const quint64 modifier : {mods::Option, mods::Control}) {
    delegate.reset();
    desktop.typeText(QStringLiteral("s"));
    desktop.typeKey(keys::I, modifier, QStringLiteral("i"));
    desktop.typeText(QStringLiteral("g "));
    EXPECT_TRUE(delegate.expansions.isEmpty()) << modifier;
  }
}
