// The library saved in the background: bursts of changes become one write,
// writes land in order and each holds every change made before it, readers
// and the end of the program see what is still held back, and a failing
// write is reported once and tried again.
#include "model/background_writer.h"
#include "model/library_saver.h"
#include "model/plist.h"
#include "support/event_loop.h"
#include "support/library_records.h"
#include "support/log_capture.h"
#include "support/test_files.h"
#include "support/test_home.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class LibrarySaverTest : public testing::Test {
 protected:
  void SetUp() override {
    test::useTemporaryHome(home);
    path = home.filePath(QStringLiteral("settings.qlxdoc"));
    test::addGroup(library, QStringLiteral("Work"));
    for (int i = 0; i < 50; ++i) add(QStringLiteral("s%1").arg(i));
  }

  SnippetPtr add(const QString& abbreviation) {
    return test::addSnippet(library, library.groups[0], abbreviation, "Text of " + abbreviation + " & <more>");
  }

  std::unique_ptr<ql::LibrarySaver> makeSaver(const QString& where) {
    auto saver = std::make_unique<ql::LibrarySaver>(&library, where);
    saver->quietMs = 5;
    saver->editMaxMs = 20;
    saver->usageMaxMs = 40;
    saver->retryMs = 20;
    return saver;
  }

  // Runs the event loop until nothing is held back or in flight.
  static void settle(ql::LibrarySaver& saver) {
    const QDeadlineTimer deadline(5000);
    while (saver.isPending() && !deadline.hasExpired())
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    ql::BackgroundWriter::instance().waitForIdle(saver.path());
    QCoreApplication::processEvents();
  }

  QByteArray onDisk() const { return test::readFile(path); }
  QByteArray expected() const { return ql::plist::toXml(library.libraryDictionary()); }

  QTemporaryDir home;
  QString path;
  QLSettings library;
};

}  // namespace

TEST_F(LibrarySaverTest, ABurstOfChangesIsOneWriteOfTheWholeLibrary) {
  auto saver = makeSaver(path);
  for (int i = 0; i < 30; ++i) {
    library.snippets[i]->useCount += 1;
    saver->recordsChanged(ql::LibrarySaver::Kind::Usage, library.snippets[i].get(),
                          library.groups[0].get());
  }
  library.preferences.characterSaved = 77;
  EXPECT_FALSE(QFile::exists(path));  // nothing waited for the disk
  settle(*saver);
  EXPECT_EQ(saver->snapshotsTaken(), 1);
  // Written from copies, one record at a time: the very bytes of the
  // library written whole.
  EXPECT_EQ(onDisk(), expected());

  // The outline's commands: records added, removed and moved, member lists
  // changed, and one field edit named with them.
  std::swap(library.snippets[1], library.snippets[2]);
  library.snippets.removeAt(5);
  add(QStringLiteral("added"));
  library.groups[0]->snippts.removeAt(5);
  library.snippets[6]->label = QStringLiteral("named edit");
  saver->structureChanged();
  saver->recordsChanged(ql::LibrarySaver::Kind::Edit, library.snippets[6].get());
  settle(*saver);
  EXPECT_EQ(onDisk(), expected());

  // Anything changed, a field nobody named among it: every record is
  // compared with its copy.
  const SnippetPtr moved = library.snippets.takeAt(3);
  library.snippets.append(moved);
  library.snippets.removeAt(0);
  add(QStringLiteral("new"));
  library.snippets[10]->label = QStringLiteral("unnamed change");
  saver->libraryChanged();
  settle(*saver);
  EXPECT_EQ(onDisk(), expected());
}

TEST_F(LibrarySaverTest, EditsDuringAWriteInFlightAreWrittenAfterItInOrder) {
  auto saver = makeSaver(path);
  const SnippetPtr s = library.snippets[7];
  s->label = QStringLiteral("first");
  saver->recordsChanged(ql::LibrarySaver::Kind::Edit, s.get());
  saver->saveNow();  // in flight
  s->label = QStringLiteral("second");
  saver->recordsChanged(ql::LibrarySaver::Kind::Edit, s.get());
  library.snippets[8]->abbreviation = QStringLiteral("changed too");
  saver->recordsChanged(ql::LibrarySaver::Kind::Edit, library.snippets[8].get());
  settle(*saver);
  EXPECT_EQ(saver->snapshotsTaken(), 2);
  EXPECT_EQ(onDisk(), expected());

  // A reader of the file sees what is held back, without waiting for it.
  s->label = QStringLiteral("third");
  saver->recordsChanged(ql::LibrarySaver::Kind::Usage, s.get());
  QLSettings reread;
  ASSERT_TRUE(reread.loadBackup(path));
  EXPECT_EQ(reread.snippets[7]->label, QStringLiteral("third"));

  // A synchronous write of the same file is newer than anything held back.
  s->label = QStringLiteral("fourth");
  saver->recordsChanged(ql::LibrarySaver::Kind::Usage, s.get());
  s->label = QStringLiteral("written at once");
  ASSERT_TRUE(library.saveBackup(path));
  settle(*saver);
  EXPECT_TRUE(onDisk().contains("written at once"));
}

TEST_F(LibrarySaverTest, UseCountsWaitTheirWholeAllowanceAnEditDoesNot) {
  auto saver = makeSaver(path);
  saver->usageMaxMs = 60'000;
  // Expansions a typist's pace apart: many quiet spells pass, nothing is written.
  for (int i = 0; i < 3; ++i) {
    library.snippets[i]->useCount += 1;
    saver->recordsChanged(ql::LibrarySaver::Kind::Usage, library.snippets[i].get());
    test::spin(4 * saver->quietMs);
  }
  EXPECT_EQ(saver->snapshotsTaken(), 0);
  EXPECT_TRUE(saver->isPending());

  // An edit goes after its quiet spell and takes the use counts with it.
  library.snippets[5]->label = QStringLiteral("edited");
  saver->recordsChanged(ql::LibrarySaver::Kind::Edit, library.snippets[5].get());
  settle(*saver);
  EXPECT_EQ(saver->snapshotsTaken(), 1);
  EXPECT_EQ(onDisk(), expected());

  // The next use count waits its allowance again, not the edit's.
  library.snippets[6]->useCount += 1;
  saver->recordsChanged(ql::LibrarySaver::Kind::Usage, library.snippets[6].get());
  test::spin(4 * saver->editMaxMs);
  EXPECT_EQ(saver->snapshotsTaken(), 1);
  saver->flush();
  EXPECT_EQ(onDisk(), expected());
}

TEST_F(LibrarySaverTest, TheEndWritesEverythingHeldBack) {
  auto saver = makeSaver(path);
  saver->usageMaxMs = 60'000;
  saver->quietMs = 60'000;
  library.snippets[2]->useCount = 41;
  saver->recordsChanged(ql::LibrarySaver::Kind::Usage, library.snippets[2].get());
  // Changed without a word to the saver: the last save compares everything.
  library.snippets[3]->useCount = 42;
  saver->flush();
  EXPECT_FALSE(saver->isPending());
  EXPECT_EQ(onDisk(), expected());

  library.snippets[4]->useCount = 43;
  saver->recordsChanged(ql::LibrarySaver::Kind::Usage, library.snippets[4].get());
  saver.reset();  // the program ends
  EXPECT_EQ(onDisk(), expected());
}

TEST_F(LibrarySaverTest, AFailingWriteIsReportedOnceAndTriedAgainUntilItWorks) {
  LogCapture log;
  // A file where the folder should be: no write can succeed, not even root's.
  const QString folder = home.filePath(QStringLiteral("blocked"));
  QFile blocker(folder);
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  const QString target = folder + QStringLiteral("/settings.qlxdoc");
  auto saver = makeSaver(target);
  int failed = 0, recovered = 0;
  QObject::connect(saver.get(), &ql::LibrarySaver::saveFailed, [&] { ++failed; });
  QObject::connect(saver.get(), &ql::LibrarySaver::saveRecovered, [&] { ++recovered; });

  for (int i = 0; i < 3; ++i) {
    library.snippets[i]->useCount += 1;
    saver->recordsChanged(ql::LibrarySaver::Kind::Edit, library.snippets[i].get());
    saver->saveNow();
    ql::BackgroundWriter::instance().waitForIdle(target);
    QCoreApplication::processEvents();
  }
  // Retries keep failing meanwhile; the user hears of it once.
  test::spin(200);
  EXPECT_EQ(failed, 1);
  EXPECT_EQ(log.lines.filter(QStringLiteral("Error in SaveSettings")).size(), 1);

  // The folder comes back: the retry writes every change, nothing new needed.
  ASSERT_TRUE(QFile::remove(folder));
  ASSERT_TRUE(QDir().mkpath(folder));
  EXPECT_TRUE(test::waitFor([&] { return recovered > 0; }, 5000));
  EXPECT_EQ(recovered, 1);
  EXPECT_EQ(failed, 1);
  saver->flush();
  EXPECT_EQ(test::readFile(target), expected());
}
