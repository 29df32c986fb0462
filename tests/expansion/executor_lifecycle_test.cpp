// Around the insertion: counts, sounds, the fill-in form,
// the search window, the user's typing and failures.
#include "../support/log_capture.h"
#include "executor_rig.h"

#include <QFile>

using ql::test::ExecutorTest;
using ql::test::spin;
namespace pt = ql::pasteboard_types;

TEST_F(ExecutorTest, CountsTheUseSavesTheLibraryAndUpdatesStatistics) {
  auto s = addSnippet(QStringLiteral("sig"), QStringLiteral("Best {key:tab}regards"));
  library.preferences.characterSaved = 5;
  desktop.typeText(QStringLiteral("sig"));
  expandTyped(s, QStringLiteral("sig"), QStringLiteral("49"));

  EXPECT_EQ(s->useCount, 1);
  ASSERT_TRUE(s->dateLastUsed && group->dateLastUsed);
  EXPECT_EQ(*s->dateLastUsed, *group->dateLastUsed);
  // The length counts the expanded content with its key code still inside.
  const int length = int(QStringLiteral("Best {key:tab}regards").size());
  EXPECT_EQ(library.preferences.characterSaved, 5 + length);
  EXPECT_EQ(stats.allTime.expanded, 1);
  EXPECT_EQ(stats.allTime.characters, length);
  EXPECT_EQ(controller.statisticsRefreshes, 1);
  spin(1);  // the library is written once the key handler has returned
  EXPECT_TRUE(QFile::exists(QLSettings::settingsPath()));
  EXPECT_TRUE(QFile::exists(stats.path()));

  // A snippet whose group is gone still expands and counts.
  s->groupUuid = QStringLiteral("00000000-0000-0000-0000-000000000000");
  desktop.typeText(QStringLiteral(" sig"));
  expandTyped(s, QStringLiteral("sig"), QStringLiteral("49"));
  EXPECT_EQ(s->useCount, 2);
  EXPECT_EQ(stats.allTime.expanded, 2);
}

TEST_F(ExecutorTest, GroupSoundWinsAndAnEmptyOneIsSilent) {
  auto s = addSnippet(QStringLiteral("a"), QStringLiteral("x"));
  auto run = [&] {
    desktop.clearLog();
    expandTyped(s, QStringLiteral("a"), QStringLiteral("49"));
    return desktop.sounds().played();
  };
  EXPECT_EQ(run(), QStringList{QStringLiteral("bell")});
  library.preferences.isPlaySound = false;
  EXPECT_TRUE(run().isEmpty());
  group->sound = QStringLiteral("complete");
  EXPECT_EQ(run(), QStringList{QStringLiteral("complete")});
  group->sound = QStringLiteral("no-such-sound");  // unknown to the player: a beep instead
  EXPECT_TRUE(run().isEmpty());
  EXPECT_EQ(desktop.sounds().beeps(), 1);
  library.preferences.isPlaySound = true;
  group->sound = QString();
  EXPECT_TRUE(run().isEmpty());
}

TEST_F(ExecutorTest, FillInContentDeletesTheAbbreviationAndOpensTheForm) {
  auto s = addSnippet(QStringLiteral("dear"), QStringLiteral("Dear {fill:name},{key:tab}%|x"));
  desktop.typeText(QStringLiteral("Hi dear"));
  desktop.clearLog();
  ASSERT_TRUE(expandTyped(s, QStringLiteral("dear"), QStringLiteral("49")));
  EXPECT_EQ(field(), QStringLiteral("Hi "));
  EXPECT_EQ(posted().count(QStringLiteral("Delete")), 4);
  EXPECT_FALSE(posted().contains(QStringLiteral("Cmd-V")));
  ASSERT_TRUE(controller.form);
  ASSERT_TRUE(executor.lastActiveApp);
  // The user's typing is not held while the form waits for it.
  EXPECT_FALSE(desktop.keySource().isHoldingInput());
  EXPECT_EQ(s->useCount, 0);

  // What the main controller does on OK (the window session is the
  // controller's test); here a key code and the caret in the second stage.
  desktop.switchTo(ql::sim::SimDesktop::kProgramName);
  ql::FillInForm& form = *controller.form;
  form.resetView();
  form.setFieldValue(0, QStringLiteral("Ann"));
  const int length = form.confirm();
  executor.activteLastApp();
  EXPECT_FALSE(executor.lastActiveApp);
  ASSERT_EQ(desktop.frontmost()->name, QStringLiteral("TextEdit"));
  executor.executeSnippet(form.data, form.snippet, form.delimiter, length);
  EXPECT_EQ(field(), QStringLiteral("Hi Dear Ann,\tx "));
  EXPECT_EQ(caret(), int(QStringLiteral("Hi Dear Ann,\t").size()));
  EXPECT_EQ(stats.allTime.characters, length);
}

TEST_F(ExecutorTest, SearchWindowExpansionDeletesNothingAndTheProgramInFrontGetsNoForm) {
  auto s = addSnippet(QStringLiteral("sig"), QStringLiteral("Best regards"));
  desktop.typeText(QStringLiteral("Hi "));
  EXPECT_TRUE(executor.processSnippet(s));
  EXPECT_EQ(field(), QStringLiteral("Hi Best regards"));
  EXPECT_FALSE(posted().contains(QStringLiteral("Delete")));

  desktop.switchTo(ql::sim::SimDesktop::kProgramName);
  desktop.clearLog();
  EXPECT_TRUE(executor.processSnippet(s));
  EXPECT_TRUE(posted().isEmpty());
  EXPECT_EQ(s->useCount, 1);
  // Fill-in content typed into the program's own window only deletes.
  auto dear = addSnippet(QStringLiteral("dear"), QStringLiteral("Dear {fill:name}"));
  EXPECT_TRUE(expandTyped(dear, QStringLiteral("dear"), QStringLiteral("49")));
  EXPECT_EQ(posted().count(QStringLiteral("Delete")), 4);
  EXPECT_FALSE(controller.form);
  EXPECT_FALSE(executor.lastActiveApp);
}

TEST_F(ExecutorTest, KeysTypedDuringAnExpansionLandAfterIt) {
  for (bool canWithhold : {true, false}) {
    desktop.keySource().setCanWithholdKeys(canWithhold);
    desktop.focusedField()->setText(QStringLiteral("Hi sig"));
    // A slow target: keys posted right after the paste chord would land first.
    desktop.setPasteLatency(15);
    executor.partPauseMs = 30;
    auto s = addSnippet(QStringLiteral("sig"), QStringLiteral("Best%|{key:tab}!"));
    QTimer::singleShot(5, &desktop, [this] { desktop.typeText(QStringLiteral("ok")); });
    expandTyped(s, QStringLiteral("sig"), QStringLiteral("49"));
    EXPECT_EQ(desktop.keySource().queuedKeys(), 0);
    EXPECT_EQ(field(), QStringLiteral("Hi Best\t! ok")) << canWithhold;
    EXPECT_FALSE(desktop.keySource().isHoldingInput());
  }
}

TEST_F(ExecutorTest, UnreadableContentLeavesTheTextAlone) {
  auto s = addSnippet(QStringLiteral("bad"), QString());
  s->snippetType = QLSnippet::Formatted;
  s->formattedText = QByteArray("not rich text at all");
  desktop.typeText(QStringLiteral("bad"));
  LogCapture log;
  EXPECT_FALSE(expandTyped(s, QStringLiteral("bad"), QStringLiteral("49")));
  EXPECT_EQ(field(), QStringLiteral("bad"));
  EXPECT_TRUE(posted().isEmpty());
  EXPECT_TRUE(log.contains(QStringLiteral("Error in processSnippet:contentLength:abbreviationCase: : ")));
  EXPECT_EQ(controller.hookCalls.last(), true);
  EXPECT_EQ(s->useCount, 0);
}

TEST_F(ExecutorTest, AFailingPasteStillCountsAndRestores) {
  const QList<ql::PasteboardItem> mine = {{pt::String, "mine"}};
  desktop.pasteboard().setContent(mine, QStringLiteral("Editor"));
  desktop.pasteboard().setRefusesWrites(true);
  auto s = addSnippet(QStringLiteral("sig"), QStringLiteral("Best regards"));
  EXPECT_TRUE(expandTyped(s, QStringLiteral("sig"), QStringLiteral("49")));
  EXPECT_FALSE(field().contains(QStringLiteral("mine")));  // not pasted in the snippet's place
  EXPECT_EQ(s->useCount, 1);
  EXPECT_EQ(stats.allTime.expanded, 1);
  desktop.pasteboard().setRefusesWrites(false);
  spin(150);
  EXPECT_EQ(desktop.pasteboard().items(), mine);
}
