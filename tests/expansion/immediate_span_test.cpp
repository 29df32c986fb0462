// Immediate mode deletes exactly the typed text that matched, when folding
// makes it longer or shorter than the stored abbreviation: the hook and the
// executor together on the simulated desktop, in both kinds of key source.
#include "executor_rig.h"
#include "keyboard_hook_rig.h"

using ql::test::HookTest;

namespace {

class ImmediateModeSpan : public HookTest {
 protected:
  ImmediateModeSpan()
      : services(desktop.platform()),
        stats({}, dir.filePath(QStringLiteral("statistics.plist"))),
        executor(desktop.platform(), services, controller) {
    QDir().mkpath(ql::Utilities::getAppPath());
    controller.library = &library;
    controller.stats = &stats;
    executor.partPauseMs = 2;
    // Anywhere, also inside a word: the typed abbreviation then follows other
    // characters, and its start is not the word's.
    group->expandType = QLGroup::Anywhere;
    delegate.onExpand = [this](const ql::test::RecordingHookDelegate::Expansion& e) {
      executor.processSnippet(e.snippet, 0, 0, true, e.delimiter, e.abbreviation, e.removeLengtOffset);
    };
  }

  // A fresh field, the library as given, the text typed: what the field holds.
  QString typedIn(const QString& abbreviation, int matchType, const QString& typed) {
    library.snippets.clear();
    group->snippts.clear();
    ql::test::addSnippet(library, group, abbreviation, QStringLiteral("[ok]"), matchType);
    hook.appChanged(desktop.workspace().frontmostApplication());
    desktop.focusedField()->setText(QString());
    delegate.reset();
    desktop.typeText(typed);
    ql::test::spin(50);
    return field();
  }

  ql::SystemServices services;
  QTemporaryDir dir;
  QLStatistics stats;
  ql::test::RecordingController controller;
  ql::ExpansionExecutor executor;
};

class ImmediateSpan : public ImmediateModeSpan, public testing::WithParamInterface<bool> {};

}  // namespace

TEST_P(ImmediateSpan, FoldingThatChangesTheLengthDeletesWhatWasTyped) {
  start(GetParam());
  struct Case {
    QString abbreviation;
    int matchType;
    QString typed;
    QString expected;
  };
  const int ignoringCase = QLSnippet::MatchIgnoringCase;
  const int adapting = QLSnippet::MatchAdaptingCase;
  const QList<Case> cases = {
      // A decomposed accent typed for a precomposed one, and the other way.
      {QStringLiteral("caf\u00E9"), ignoringCase, QStringLiteral("Hi xcafe\u0301"), QStringLiteral("Hi x[ok]")},
      {QStringLiteral("cafe\u0301"), ignoringCase, QStringLiteral("Hi xcaf\u00E9"), QStringLiteral("Hi x[ok]")},
      {QStringLiteral("cafe\u0301"), adapting, QStringLiteral("Hi xCAF\u00C9"), QStringLiteral("Hi x[OK]")},
      // Case folds to more or fewer characters: "ß" is "ss", "ﬁ" is "fi".
      {QStringLiteral("strasse"), ignoringCase, QStringLiteral("Hi xstra\u00DFe"), QStringLiteral("Hi x[ok]")},
      {QStringLiteral("stra\u00DFe"), ignoringCase, QStringLiteral("Hi xSTRASSE"), QStringLiteral("Hi x[ok]")},
      {QStringLiteral("\uFB01x"), ignoringCase, QStringLiteral("Hi afix"), QStringLiteral("Hi a[ok]")},
      {QStringLiteral("fix"), adapting, QStringLiteral("Hi a\uFB01x"), QStringLiteral("Hi a[ok]")},
      // Half of what "ß" folds to is no "s" typed.
      {QStringLiteral("s"), adapting, QStringLiteral("Hi a\u00DF"), QStringLiteral("Hi a\u00DF")},
      // Marks before the match belong to the character before it.
      {QStringLiteral("sig"), adapting, QStringLiteral("Hi e\u0301sig"), QStringLiteral("Hi e\u0301[ok]")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(typedIn(c.abbreviation, c.matchType, c.typed), c.expected)
        << c.abbreviation.toStdString() << " typed as " << c.typed.toStdString();
  }
}

// A press that ends the word without being part of it cannot be the one
// consumed: here the abbreviation could not expand when it was typed (the
// press could not be erased, on X11), and a line separator follows.
TEST_F(ImmediateModeSpan, NoExpansionWhenTheLastPressIsNotTheAbbreviations) {
  start(false);
  desktop.keySource().setEraseRefused(true);
  EXPECT_EQ(typedIn(QStringLiteral("sig"), QLSnippet::MatchAdaptingCase, QStringLiteral("a sig")),
            QStringLiteral("a sig"));
  desktop.keySource().setEraseRefused(false);
  desktop.typeText(QStringLiteral("\u2028"));
  ql::test::spin(50);
  EXPECT_EQ(field(), QStringLiteral("a sig\u2028"));
  EXPECT_TRUE(delegate.expansions.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(BothKeySources, ImmediateSpan, testing::Bool(),
                         [](const auto& info) { return info.param ? "Withholding" : "Erasing"; });
