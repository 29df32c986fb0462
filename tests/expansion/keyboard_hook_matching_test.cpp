// Typing sessions through the hook: keys in, what matching decides out, in
// both kinds of key source (withholding like the Mac, erasing like X11).
#include "keyboard_hook_rig.h"

using ql::test::HookTest;
using ql::test::addGroup;
using ql::test::addSnippet;
namespace keys = ql::keys;
namespace mods = ql::mods;

namespace {

class HookMatching : public HookTest, public testing::WithParamInterface<bool> {
 protected:
  bool canWithhold() const { return GetParam(); }
};

}  // namespace

TEST_P(HookMatching, ImmediateModeConsumesTheLastCharacterBeforeTheExpansionStarts) {
  const SnippetPtr sig = snippet(QStringLiteral("sig"));
  QStringList postedAtExpansion;
  delegate.onExpand = [&](const auto&) { postedAtExpansion = desktop.postedKeyNames(); };
  start(canWithhold());
  desktop.typeText(QStringLiteral("Hi sig"));
  ASSERT_EQ(delegate.expansions.size(), 1);
  const auto& e = delegate.expansions[0];
  EXPECT_EQ(e.snippet, sig);
  EXPECT_EQ(e.abbreviation, QStringLiteral("sig"));
  EXPECT_EQ(e.removeLengtOffset, 1);
  EXPECT_EQ(e.delimiter, QString());
  EXPECT_EQ(e.contentLength, 0);
  EXPECT_EQ(e.abbreviationCase, 0);
  EXPECT_TRUE(e.clearAbbreviation);
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

TEST_P(HookMatching, DelimiterModeConsumesTheDelimiterAndAlwaysEndsTheWord) {
  delimiterMode({QStringLiteral("space"), QStringLiteral(",")});
  const SnippetPtr sig = snippet(QStringLiteral("sig"));
  start(canWithhold());
  desktop.typeText(QStringLiteral("sig"));
  EXPECT_TRUE(delegate.expansions.isEmpty());
  desktop.typeText(QStringLiteral(" "));
  ASSERT_EQ(delegate.expansions.size(), 1);
  EXPECT_EQ(delegate.expansions[0].delimiter, QStringLiteral("49"));
  EXPECT_EQ(delegate.expansions[0].removeLengtOffset, 0);
  EXPECT_EQ(field(), QStringLiteral("sig"));

  // A comma matches through its characters; no match still clears the word
  // and closes the floating windows.
  delegate.reset();
  desktop.typeText(QStringLiteral("xsig,"));
  EXPECT_TRUE(delegate.expansions.isEmpty());
  EXPECT_TRUE(delegate.closedWindows());
  EXPECT_TRUE(hook.words().isEmpty());
  EXPECT_EQ(field(), QStringLiteral("sigxsig,"));

  // A delimiter with nothing typed passes on without matching.
  delegate.reset();
  desktop.typeText(QStringLiteral(","));
  EXPECT_TRUE(delegate.calls.isEmpty());
  EXPECT_EQ(field(), QStringLiteral("sigxsig,,"));
}

TEST_P(HookMatching, SharedAbbreviationInDelimiterModeOpensThePopup) {
  delimiterMode();
  snippet(QStringLiteral("sig"));
  addSnippet(library, addGroup(library), QStringLiteral("SIG"), QStringLiteral("other"));
  start(canWithhold());
  desktop.typeText(QStringLiteral("Sig "));
  EXPECT_TRUE(delegate.expansions.isEmpty());
  EXPECT_EQ(delegate.popups, QStringList{QStringLiteral("Sig|49")});
  EXPECT_EQ(field(), QStringLiteral("Sig"));
}

INSTANTIATE_TEST_SUITE_P(BothKeySources, HookMatching, testing::Bool(),
                         [](const auto& info) { return info.param ? "Withholding" : "Erasing"; });

TEST_F(HookTest, LongestAbbreviationWinsAndTheLastAmongEquals) {
  snippet(QStringLiteral("sig"), QLSnippet::MatchAdaptingCase);
  const SnippetPtr xsig = snippet(QStringLiteral("xsig"), QLSnippet::MatchAdaptingCase);
  const SnippetPtr other = addSnippet(library, addGroup(library, QLGroup::AllApps, QLGroup::Anywhere),
                                      QStringLiteral("ysig"), QStringLiteral("c"),
                                      QLSnippet::MatchAdaptingCase);
  start();
  desktop.typeText(QStringLiteral("xsig"));
  ASSERT_EQ(delegate.expansions.size(), 1);
  EXPECT_EQ(delegate.expansions[0].snippet, xsig);
  // "abcd" ends with two four-letter abbreviations when case and diacritics
  // are ignored; the later one in library order wins.
  xsig->abbreviation = QStringLiteral("ÁBCD");
  other->abbreviation = QStringLiteral("abcd");
  desktop.switchTo(QStringLiteral("Quillet"));
  desktop.switchTo(QStringLiteral("TextEdit"));
  delegate.reset();
  desktop.typeText(QStringLiteral(" abcd"));
  ASSERT_EQ(delegate.expansions.size(), 1);
  EXPECT_EQ(delegate.expansions[0].snippet, other);
}

TEST_F(HookTest, PositionRuleDecidesInsideAWord) {
  const GroupPtr afterSpace = addGroup(library, 0, QLGroup::AfterSpace);
  const GroupPtr afterPunctuation = addGroup(library, 0, QLGroup::AfterNonAlphanumeric);
  const GroupPtr anywhere = addGroup(library, 0, QLGroup::Anywhere);
  addSnippet(library, afterSpace, QStringLiteral("one"));
  addSnippet(library, afterPunctuation, QStringLiteral("two"));
  addSnippet(library, anywhere, QStringLiteral("six"));
  addSnippet(library, group, QStringLiteral("ten"));  // follows extendAfter
  library.preferences.extendAfter = 1;                // mode 2
  start();
  const auto expands = [&](const QString& text) {
    delegate.reset();
    hook.clearWords();
    desktop.typeText(text);
    return delegate.expansions.size() == 1;
  };
  EXPECT_TRUE(expands(QStringLiteral(" one")));
  EXPECT_FALSE(expands(QStringLiteral(" aone")));  // the word never holds the space
  EXPECT_TRUE(expands(QStringLiteral(" (two")));
  EXPECT_FALSE(expands(QStringLiteral(" atwo")));
  EXPECT_FALSE(expands(QStringLiteral(" 4two")));
  EXPECT_FALSE(expands(QString(QChar(0xE9)) + QStringLiteral("two")));
  EXPECT_TRUE(expands(QStringLiteral(" asix")));
  EXPECT_TRUE(expands(QStringLiteral(" -ten")));
  EXPECT_FALSE(expands(QStringLiteral(" aten")));
  // Delimiter mode has no position rule.
  delimiterMode();
  EXPECT_FALSE(expands(QStringLiteral(" aone ")));
  EXPECT_TRUE(expands(QStringLiteral(" one ")));
}

TEST_F(HookTest, CaseRuleOfTheSnippet) {
  const SnippetPtr exact = snippet(QStringLiteral("sig"), QLSnippet::MatchExact);
  start();
  const auto expandsAs = [&](const QString& text) {
    delegate.reset();
    desktop.typeText(QStringLiteral(" ") + text);
    return delegate.expansions.isEmpty() ? QString() : delegate.expansions[0].abbreviation;
  };
  EXPECT_EQ(expandsAs(QStringLiteral("Sig")), QString());
  EXPECT_EQ(expandsAs(QStringLiteral("sig")), QStringLiteral("sig"));
  exact->abbreviationMatchType = QLSnippet::MatchIgnoringCase;
  EXPECT_EQ(expandsAs(QStringLiteral("Sig")), QStringLiteral("Sig"));
  // Found ignoring diacritics, refused by the case-insensitive comparison.
  EXPECT_EQ(expandsAs(QStringLiteral("s\u00ECg")), QString());
  exact->abbreviationMatchType = QLSnippet::MatchAdaptingCase;
  EXPECT_EQ(expandsAs(QStringLiteral("S\u00ECG")), QStringLiteral("S\u00ECG"));
  exact->abbreviationMatchType = 7;
  EXPECT_EQ(expandsAs(QStringLiteral("sig")), QString());
  EXPECT_TRUE(field().endsWith(QStringLiteral("sig")));
  // A refused candidate leaves the floating windows alone; no candidate
  // closes them.
  delegate.reset();
  EXPECT_FALSE(hook.processWord(QStringLiteral("sig"), ql::KeyEvent{}, QString()));
  EXPECT_TRUE(delegate.calls.isEmpty());
  EXPECT_FALSE(hook.processWord(QStringLiteral("sog"), ql::KeyEvent{}, QString()));
  EXPECT_TRUE(delegate.closedWindows());
}

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

TEST_F(HookTest, ApplicationRulesChooseTheEligibleSnippets) {
  library.preferences.exceptionType = 2;
  library.preferences.exceptions = {QStringLiteral("Terminal")};
  const SnippetPtr global = snippet(QStringLiteral("glo"));
  const SnippetPtr onlyTerm = addSnippet(
      library, addGroup(library, QLGroup::OnlyApps, 0, {QStringLiteral("Terminal")}), QStringLiteral("ter"));
  const SnippetPtr notMail = addSnippet(
      library, addGroup(library, QLGroup::AllAppsExcept, 0, {QStringLiteral("Mail")}), QStringLiteral("nom"));
  addSnippet(library, addGroup(library, QLGroup::OnlyApps), QStringLiteral("nowhere"));
  addSnippet(library, addGroup(library, QLGroup::NoApps), QStringLiteral("never"));
  addSnippet(library, group, QStringLiteral("empty"), QString());  // no plain rendering
  desktop.addApplication(QStringLiteral("Terminal"));
  desktop.addApplication(QStringLiteral("Mail"));
  start();
  EXPECT_EQ(hook.snippets(), (QList<SnippetPtr>{global, notMail}));
  desktop.switchTo(QStringLiteral("Terminal"));
  EXPECT_EQ(hook.snippets(), (QList<SnippetPtr>{onlyTerm, notMail}));
  desktop.switchTo(QStringLiteral("Mail"));
  EXPECT_EQ(hook.snippets(), (QList<SnippetPtr>{global}));
  desktop.typeText(QStringLiteral("nom"));
  EXPECT_TRUE(delegate.expansions.isEmpty());
  // The program in front: hook off, nothing eligible.
  desktop.switchTo(QStringLiteral("Quillet"));
  EXPECT_FALSE(hook.isHook());
  EXPECT_TRUE(hook.snippets().isEmpty());
  EXPECT_FALSE(desktop.keySource().isEnabled());
}

TEST_F(HookTest, NothingExpandsBeforeTheFirstActivation) {
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
}
