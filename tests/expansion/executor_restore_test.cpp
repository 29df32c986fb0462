// The user's clipboard around expansions that follow each other closely and
// targets that fetch late.
#include "../support/log_capture.h"
#include "executor_rig.h"

#include "platform/pasteboard_types.h"

using ql::test::ExecutorTest;
using ql::test::spin;
using test::waitFor;
namespace pt = ql::pasteboard_types;

namespace {

const QList<ql::PasteboardItem> kMine = {
    {pt::String, "plain words"},
    {pt::Rtf, "{\\rtf1\\ansi {\\b rich words}}"},
    {QStringLiteral("image/png"), "PNG"}};

class RestoreTest : public ExecutorTest {
 protected:
  RestoreTest() {
    executor.partPauseMs = 100;
    library.preferences.restoreClipboardDelay = 0.1;
    desktop.pasteboard().setContent(kMine, QStringLiteral("Editor"));
  }
  bool restored() {
    return waitFor([this] { return desktop.pasteboard().items() == kMine; }, 8000);
  }
};

}  // namespace

TEST_F(RestoreTest, TheClipboardCodeReadsTheUsersContentWhileARestoreIsDue) {
  auto two = addSnippet(QStringLiteral("qqt"), QStringLiteral("two{key:tab}parts"));
  auto clip = addSnippet(QStringLiteral("zzc"), QStringLiteral("[{clipboard}]"));
  ql::AttributedText content;
  content.append(QStringLiteral("<{clipboard}>"), ql::TextAttributes());
  auto rich = addFormatted(QStringLiteral("zzr"), content);

  desktop.typeText(QStringLiteral("qqt"));
  expandTyped(two, QStringLiteral("qqt"), QStringLiteral("49"));
  // The first expansion's restore is still due: the pasteboard holds "parts".
  desktop.typeText(QStringLiteral("zzc"));
  expandTyped(clip, QStringLiteral("zzc"), QStringLiteral("49"));
  desktop.typeText(QStringLiteral("zzr"));
  expandTyped(rich, QStringLiteral("zzr"), QStringLiteral("49"));
  // Each in the flavour its type asks for.
  EXPECT_EQ(field(), QStringLiteral("two\tparts [plain words] <rich words> "));
  EXPECT_TRUE(desktop.focusedField()->text().attributesAt(field().indexOf('<') + 1).bold);
  ASSERT_TRUE(restored());

  // With the restore done, the pasteboard itself is the user's.
  desktop.typeText(QStringLiteral("zzc"));
  expandTyped(clip, QStringLiteral("zzc"), QStringLiteral("49"));
  EXPECT_TRUE(field().endsWith(QStringLiteral("[plain words] ")));
}

TEST_F(RestoreTest, ASlowTargetGetsTheSnippetAndTheUserTheirClipboardAfter) {
  auto sig = addSnippet(QStringLiteral("sig"), QStringLiteral("Best regards"));
  auto two = addSnippet(QStringLiteral("qqt"), QStringLiteral("two{key:tab}parts%|!"));
  for (int latency : {300, 2000}) {
    SCOPED_TRACE(latency);
    desktop.focusedField()->setText(QString());
    desktop.setPasteLatency(latency);
    // Immediate mode: nothing follows the paste, the expansion ends before
    // the fetch and the restore has to wait for it.
    desktop.typeText(QStringLiteral("si"));  // the last character was withheld
    expandTyped(sig, QStringLiteral("sig"), QString());
    EXPECT_EQ(desktop.pendingPastes(), 1);
    ASSERT_TRUE(waitFor([this] { return desktop.pendingPastes() == 0; }, 4000));
    EXPECT_EQ(field(), QStringLiteral("Best regards"));
    ASSERT_TRUE(restored());

    // Parts, keys and caret moves follow each fetch, in order.
    desktop.typeText(QStringLiteral(" qqt"));
    expandTyped(two, QStringLiteral("qqt"), QStringLiteral("49"));
    ASSERT_TRUE(waitFor([this] { return desktop.pendingPastes() == 0; }, 4000));
    EXPECT_EQ(field(), QStringLiteral("Best regards two\tparts! "));
    EXPECT_EQ(caret(), field().size() - 2);
    ASSERT_TRUE(restored());
  }
}

TEST_F(RestoreTest, ATargetThatNeverFetchesGetsTheRestoreAtTheBound) {
  LogCapture log;
  services.pasteboard().fetchBoundMs = 1500;
  auto sig = addSnippet(QStringLiteral("sig"), QStringLiteral("Confidential words"));
  desktop.setPasteLatency(60 * 60 * 1000);
  desktop.typeText(QStringLiteral("si"));
  expandTyped(sig, QStringLiteral("sig"), QString());
  spin(150);  // past the restore delay: still waiting for the fetch
  EXPECT_NE(desktop.pasteboard().items(), kMine);
  ASSERT_TRUE(restored());
  EXPECT_TRUE(log.contains(QStringLiteral("did not fetch")));
  for (const QString& line : log.lines) {
    EXPECT_FALSE(line.contains(QStringLiteral("Confidential"))) << line.toStdString();
    EXPECT_FALSE(line.contains(QStringLiteral("words"))) << line.toStdString();
  }
}

// Chromium reads the clipboard twice per paste and inserts the second read:
// each part must still be on the pasteboard then, and the user's own words
// may come back only after it.
TEST_F(RestoreTest, ATargetThatReadsAgainGetsEveryPartAndTheUsersClipboardAfter) {
  auto adr = addSnippet(QStringLiteral("zadr"), QStringLiteral("Main St.{key:tab}Springfield"));
  desktop.setPasteRereadMs(8);
  library.preferences.restoreClipboardDelay = 0;
  desktop.typeText(QStringLiteral("hi zadr"));
  expandTyped(adr, QStringLiteral("zadr"), QStringLiteral("49"));
  EXPECT_TRUE(waitFor([this] { return field() == QStringLiteral("hi Main St.\tSpringfield "); }, 2000))
      << field().toStdString();
  ASSERT_TRUE(restored());
}
