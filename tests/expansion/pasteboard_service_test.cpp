#include "expansion/pasteboard_service.h"
#include "platform/pasteboard_types.h"
#include "platform/sim/sim_desktop.h"
#include "support/event_loop.h"
#include "support/log_capture.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

using ql::PasteboardItem;
using ql::PasteboardService;
using ql::sim::SimDesktop;
namespace keys = ql::keys;
namespace mods = ql::mods;
namespace types = ql::pasteboard_types;

namespace {

struct Controller final : ql::PasteboardCleanUpTarget {
  int cleanUps = 0;
  bool restore = true;
  void cleanUp() override { ++cleanUps; }
  bool isRestoreClipboard() const override { return restore; }
};

QList<PasteboardItem> userContent() {
  return {{types::String, QByteArrayLiteral("user text")},
          {types::Rtf, QByteArrayLiteral("{\\rtf1 user text}")},
          {QStringLiteral("x-custom/thing"), QByteArray("\0\1\2", 3)}};
}

void commandV(SimDesktop& d) {
  d.input().postKey(keys::V, mods::Command, true);
  d.input().postKey(keys::V, mods::Command, false);
}

class PasteboardServiceTest : public testing::Test {
 protected:
  SimDesktop desktop;
  ql::sim::SimPasteboard& board = desktop.pasteboard();
  PasteboardService service{board};
  LogCapture log;
};

}  // namespace

// Byte-for-byte restores of large content are the executor's and the X11
// clipboard's tests; here what the service itself decides.
TEST_F(PasteboardServiceTest, AnUnreadableTypeIsSavedEmptyAndNotWrittenBack) {
  QList<PasteboardItem> content = userContent();
  content.append({types::TransientMarker, QByteArrayLiteral("secret")});  // the user's, kept as it is
  board.setContent(content, QStringLiteral("Mail"));
  board.setUnreadable(types::Rtf);
  service.backupPasteBoard();
  ASSERT_TRUE(service.backupItems().has_value());
  ASSERT_EQ(service.backupItems()->size(), 4);
  EXPECT_FALSE(service.backupItems()->at(1).has_value());
  service.writeStringToPasteBoard(QStringLiteral("snippet"));
  service.restorePasteBoard();
  content.removeAt(1);
  EXPECT_EQ(board.items(), content);
  EXPECT_FALSE(service.hasBackup());
  EXPECT_EQ(log.lines, (QStringList{QStringLiteral("Backuped"), QStringLiteral("Restored")}));
}

TEST_F(PasteboardServiceTest, ExpansionContentIsMarkedTransient) {
  service.writeStringToPasteBoard(QStringLiteral("s\u00fc"));
  EXPECT_EQ(board.items(), (QList<PasteboardItem>{
                               {types::String, QStringLiteral("s\u00fc").toUtf8()},
                               {types::TransientMarker, QByteArrayLiteral("secret")}}));

  EXPECT_TRUE(service.writeDataToPasteBoard(QByteArrayLiteral("RTFD"), QByteArrayLiteral("RTF"),
                                            QStringLiteral("plain"), QStringLiteral("<b>h</b>")));
  EXPECT_EQ(board.types(), (QStringList{types::String, types::Rtf, types::Html, types::Rtfd,
                                        types::TransientMarker}));
  EXPECT_EQ(board.data(types::Html), QByteArrayLiteral("<b>h</b>"));

  // RTFD that could not be read goes alone.
  EXPECT_TRUE(service.writeDataToPasteBoard(QByteArrayLiteral("??"), std::nullopt, std::nullopt,
                                            std::nullopt));
  EXPECT_EQ(board.types(), (QStringList{types::Rtfd, types::TransientMarker}));
}

TEST_F(PasteboardServiceTest, ClearPasteBoardCleansUpAndRestoresAsThePreferenceSays) {
  board.setContent(userContent(), QStringLiteral("Mail"));
  Controller controller;
  service.clearPasteBoard(nullptr);
  EXPECT_EQ(controller.cleanUps, 0);

  service.backupPasteBoard();
  service.writeStringToPasteBoard(QStringLiteral("snippet"));
  controller.restore = false;
  service.clearPasteBoard(&controller);
  EXPECT_EQ(controller.cleanUps, 1);
  EXPECT_EQ(board.data(types::String), QByteArrayLiteral("snippet"));
  EXPECT_TRUE(service.hasBackup());  // kept until the next save

  service.backupPasteBoard();  // no restore is due: the snippet is what it saves now
  controller.restore = true;
  service.writeStringToPasteBoard(QStringLiteral("second"));
  service.clearPasteBoard(&controller);
  EXPECT_EQ(board.data(types::String), QByteArrayLiteral("snippet"));
}

TEST_F(PasteboardServiceTest, ACopyAfterTheExpansionIsNotOverwritten) {
  board.setContent(userContent(), QStringLiteral("Mail"));
  service.backupPasteBoard();
  service.writeStringToPasteBoard(QStringLiteral("snippet"));
  desktop.focusedField()->setText(QStringLiteral("newer"));
  desktop.focusedField()->select(0, 5);
  desktop.typeKey(keys::C, mods::Command);
  service.restorePasteBoard();
  EXPECT_EQ(board.data(types::String), QByteArrayLiteral("newer"));
  EXPECT_FALSE(service.hasBackup());
  EXPECT_FALSE(log.contains(QStringLiteral("Restored")));
}

TEST_F(PasteboardServiceTest, WaitsForTheTargetToFetch) {
  desktop.setPasteLatency(10);
  service.writeStringToPasteBoard(QStringLiteral("sig"));
  commandV(desktop);
  EXPECT_TRUE(service.waitUntilFetched(5000));
  desktop.input().postKey(keys::Space, 0, true);
  EXPECT_EQ(desktop.focusedField()->string(), QStringLiteral("sig "));
  EXPECT_TRUE(service.waitUntilFetched(0));  // already fetched

  // The same content pasted again: the wait is for a fetch after the first.
  commandV(desktop);
  EXPECT_TRUE(service.waitUntilFetched(5000, 1));
  EXPECT_EQ(desktop.focusedField()->string(), QStringLiteral("sig sig"));
  EXPECT_FALSE(service.waitUntilFetched(5, 2));

  service.writeStringToPasteBoard(QStringLiteral("never pasted"));
  EXPECT_FALSE(service.waitUntilFetched(5));
}

// An earlier expansion's restore that comes due during a paste waits for it
// to land, and between parts for the end of the expansion.
TEST_F(PasteboardServiceTest, ARestoreDueDuringAnExpansionWaitsForItsEnd) {
  board.setContent(userContent(), QStringLiteral("Mail"));
  service.backupPasteBoard();
  desktop.setPasteLatency(20);
  service.writeStringToPasteBoard(QStringLiteral("snippet"));
  commandV(desktop);
  QTimer::singleShot(0, [this] { service.restorePasteBoard(); });
  EXPECT_TRUE(service.waitUntilFetched(5000));
  EXPECT_EQ(desktop.focusedField()->string(), QStringLiteral("snippet"));
  // Once the target has stopped reading.
  EXPECT_TRUE(::test::waitFor([this] { return board.items() == userContent(); }, 2000));

  service.backupPasteBoard();
  service.beginPasting();
  service.writeStringToPasteBoard(QStringLiteral("part one"));
  service.restorePasteBoard();
  EXPECT_EQ(board.data(types::String), QByteArrayLiteral("part one"));
  service.endPasting();
  EXPECT_EQ(board.items(), userContent());
}

// A target that reads the content again after its first fetch: the content
// changes only once its requests have stopped, bounded.
TEST_F(PasteboardServiceTest, ChangesWaitUntilTheTargetHasStoppedReading) {
  // The quiet time is long beside the second read's 15 ms, so a loaded
  // machine's late timer still lands inside it.
  service.readQuietMs = 200;
  service.writeStringToPasteBoard(QStringLiteral("part"));
  EXPECT_TRUE(service.waitUntilReadsSettle());  // nobody asked: at once

  // A real target's read comes a round trip after the write, never within
  // its microsecond; reads that are not later than the write are older ones.
  const qint64 written = ql::pasteboardClockUs();
  while (ql::pasteboardClockUs() <= written) {
  }
  board.fetch(types::String);
  QTimer::singleShot(15, &board, [this] { board.fetch(types::String); });
  QElapsedTimer waited;
  waited.start();
  EXPECT_TRUE(service.waitUntilReadsSettle());
  EXPECT_GE(waited.elapsed(), 15 + 200 - 2);  // past the second read and the quiet after it

  // A target that never stops asking holds the change no longer than the bound.
  service.readBoundMs = 60;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [this] { board.fetch(types::String); });
  poll.start(5);
  board.fetch(types::String);
  EXPECT_FALSE(service.waitUntilReadsSettle());
}
