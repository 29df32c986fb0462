// Password fields: what is typed there is neither kept nor matched.
#include "keyboard_hook_rig.h"

using ql::test::HookTest;
namespace keys = ql::keys;
namespace mods = ql::mods;

TEST_F(HookTest, NothingTypedInAPasswordFieldIsKeptOrExpandsInEitherMode) {
  snippet(QStringLiteral("sig"));
  start(false);  // keys reach the field first: a consumed one would be erased
  for (const bool immediate : {true, false}) {
    SCOPED_TRACE(immediate ? "immediate" : "delimiter");
    if (!immediate) delimiterMode();
    desktop.focusedField()->setText(QString());
    // A word begun before the field said what it is goes with the answer,
    // and no list stays open over the field.
    desktop.typeText(QStringLiteral("si"));
    delegate.calls.clear();
    desktop.passwordFocus().setPasswordField(true);
    EXPECT_TRUE(hook.words().isEmpty());
    EXPECT_TRUE(delegate.calls.contains(QStringLiteral("closeSearchPopupWindow")));
    desktop.typeText(QStringLiteral("sig sig"));
    desktop.typeKey(keys::Delete);
    desktop.holdModifiers(mods::Shift);
    desktop.releaseModifiers();
    EXPECT_TRUE(hook.words().isEmpty());
    EXPECT_TRUE(delegate.expansions.isEmpty());
    EXPECT_TRUE(delegate.suggestions.isEmpty());
    EXPECT_EQ(field(), QStringLiteral("sisig si"));  // every key reached the field as typed
    EXPECT_TRUE(desktop.postedKeys().isEmpty());

    // Out of the field the buffer starts empty and expansion works again.
    desktop.passwordFocus().setPasswordField(false);
    EXPECT_TRUE(hook.words().isEmpty());
    desktop.typeText(immediate ? QStringLiteral(" sig") : QStringLiteral(" sig "));
    EXPECT_EQ(delegate.expansions.size(), 1);
    delegate.reset();
    desktop.clearLog();
  }
}
