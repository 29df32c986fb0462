// The running program follows its library file: another program's file is
// taken in with the windows following, the program's own edits not yet
// written are kept, and a file that does not read is left alone.
#include "shell_rig.h"
#include "support/test_files.h"
#include "model/background_writer.h"
#include "model/library_merge.h"
#include "ui/group_view_controller.h"
#include "ui/library_window_controller.h"

#include <QLineEdit>

#include <cstdio>
#include <future>

namespace {

class LibraryFollowAppTest : public ShellTest {
 protected:
  void startFollowing() {
    start();
    library = controller->settings();
    follower = controller->libraryFollower();
    ASSERT_TRUE(follower);
    follower->settleMs = 100;
    follower->retryMs = 0;
    follower->retries = 1;
    library->saver->quietMs = 0;
  }
  QString file() const { return appPath(QStringLiteral("settings.qlxdoc")); }
  // What another program writes: the library on disk with a change.
  std::unique_ptr<QLSettings> onDisk() {
    ql::BackgroundWriter::instance().waitForWritten(file());
    auto l = QLSettings::fromBytes(test::readFile(file()));
    EXPECT_TRUE(l);
    return l ? std::move(l) : std::make_unique<QLSettings>();
  }
  // The file while a write is held before its rename: read without waiting.
  std::unique_ptr<QLSettings> onDiskWhileHeld() {
    auto l = QLSettings::fromBytes(test::readFile(file()));
    return l ? std::move(l) : std::make_unique<QLSettings>();
  }
  void replaceByRename(const QLSettings& l) {
    const QString temporary = file() + QStringLiteral(".sync");
    ASSERT_TRUE(test::writeFile(temporary, ql::plist::toXml(l.libraryDictionary())));
    ASSERT_EQ(std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(file()).constData()), 0);
  }

  QLSettings* library = nullptr;
  ql::LibraryFollower* follower = nullptr;
};

}  // namespace

TEST_F(LibraryFollowAppTest, AFileReplacedByRenameIsTakenInAndTheSelectionStays) {
  startFollowing();
  LibraryWindowController* window = controller->libraryWindow();
  const SnippetPtr adr = library->snippets[1];
  window->selectSnippet(library->groups[0].get(), adr.get());
  QSignalSpy reloaded(controller.get(), &QuilletAppDelegate::libraryReloaded);

  auto theirs = onDisk();
  theirs->snippets[1]->plainText = QStringLiteral("their address");
  test::addSnippet(*theirs, theirs->groups[0], QStringLiteral("far"));
  replaceByRename(*theirs);
  QTRY_COMPARE_WITH_TIMEOUT(reloaded.count(), 1, 10000);
  EXPECT_EQ(library->snippets.size(), 3);
  // The same record, brought up to date; still the one selected.
  EXPECT_EQ(library->snippets[1].get(), adr.get());
  EXPECT_EQ(adr->plainText, QStringLiteral("their address"));
  EXPECT_EQ(window->selectedSnippet().get(), adr.get());
  // Nothing of ours was pending: taking the file in writes nothing.
  EXPECT_FALSE(library->saver->isPending());

  // The selected snippet vanishes in the next file: no crash, its group stays selected.
  auto next = onDisk();
  next->snippets.removeAt(1);
  next->groups[0]->snippts.removeAt(1);
  replaceByRename(*next);
  QTRY_COMPARE_WITH_TIMEOUT(reloaded.count(), 2, 10000);
  EXPECT_FALSE(window->selectedSnippet());
  EXPECT_EQ(window->selectedGroup().get(), library->groups[0].get());
  EXPECT_EQ(library->snippets.size(), 2);
}

TEST_F(LibraryFollowAppTest, OwnWritesAndTouchesAreNotReloaded) {
  startFollowing();
  QSignalSpy reloaded(controller.get(), &QuilletAppDelegate::libraryReloaded);
  library->snippets[0]->label = QStringLiteral("mine");
  library->saver->recordsChanged(ql::LibrarySaver::Kind::Edit, library->snippets[0].get());
  QTRY_VERIFY_WITH_TIMEOUT(!library->saver->isPending(), 10000);
  ql::BackgroundWriter::instance().waitForWritten(file());
  const int looks = follower->looks();
  QTRY_VERIFY_WITH_TIMEOUT(follower->looks() > looks, 10000);
  const QFileInfo before(file());
  ASSERT_TRUE(QFile(file()).setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                        QFileDevice::FileModificationTime));
  const int looked = follower->looks();
  QTRY_VERIFY_WITH_TIMEOUT(follower->looks() > looked, 10000);
  EXPECT_EQ(reloaded.count(), 0);
  EXPECT_EQ(onDisk()->snippets[0]->label, QStringLiteral("mine"));
}

TEST_F(LibraryFollowAppTest, AnEditNotYetWrittenIsMergedWithTheOtherProgramsChange) {
  startFollowing();
  library->saver->quietMs = library->saver->editMaxMs = 600'000;  // held back
  LibraryWindowController* window = controller->libraryWindow();
  window->selectGroup(library->groups[0].get());
  QLineEdit* name = window->groupView()->nameTextField();
  name->selectAll();
  QTest::keyClicks(name, QStringLiteral("Letters"));
  ASSERT_TRUE(library->saver->isPending());

  auto theirs = onDisk();
  test::addSnippet(*theirs, theirs->groups[0], QStringLiteral("far"));
  replaceByRename(*theirs);
  QTRY_COMPARE_WITH_TIMEOUT(library->snippets.size(), 3, 10000);
  EXPECT_EQ(library->groups[0]->name, QStringLiteral("Letters"));
  controller->applicationWillTerminate();
  const auto saved = onDisk();
  EXPECT_EQ(saved->groups[0]->name, QStringLiteral("Letters"));
  EXPECT_TRUE(saved->getSnippetByAbbreviation(QStringLiteral("far")));
}

TEST_F(LibraryFollowAppTest, AFileRewrittenWhileASaveIsInFlightIsReadThenSaved) {
  startFollowing();
  std::promise<void> holding, release;
  auto released = release.get_future().share();
  controller->libraryFile()->beforeReplace = [&, released] {
    holding.set_value();
    released.wait();
  };
  library->groups[0]->name = QStringLiteral("Letters");
  library->saver->recordsChanged(ql::LibrarySaver::Kind::Edit, nullptr, library->groups[0].get());
  library->saver->saveNow();
  holding.get_future().wait();
  auto theirs = onDiskWhileHeld();
  test::addSnippet(*theirs, theirs->groups[0], QStringLiteral("far"));
  replaceByRename(*theirs);
  controller->libraryFile()->beforeReplace = nullptr;
  release.set_value();

  QTRY_COMPARE_WITH_TIMEOUT(library->snippets.size(), 3, 10000);
  QTRY_VERIFY_WITH_TIMEOUT(!library->saver->isPending() && !library->saver->isHeld(), 10000);
  const auto saved = onDisk();
  EXPECT_EQ(saved->groups[0]->name, QStringLiteral("Letters"));
  EXPECT_TRUE(saved->getSnippetByAbbreviation(QStringLiteral("far")));
}

TEST_F(LibraryFollowAppTest, AFileThatDoesNotReadIsLeftAloneAndReportedOnce) {
  startFollowing();
  QSignalSpy notices(controller.get(), &QuilletAppDelegate::libraryFileNotice);
  const QByteArray damaged("<?xml version=\"1.0\"?><plist><dict><key>Groups</key><array>");
  ASSERT_TRUE(test::writeFile(file(), damaged));
  QTRY_COMPARE_WITH_TIMEOUT(follower->givenUp(), 1, 10000);
  ASSERT_TRUE(test::writeFile(file(), damaged + "<dict>"));
  QTRY_COMPARE_WITH_TIMEOUT(follower->givenUp(), 2, 10000);
  EXPECT_EQ(notices.count(), 1);
  // An edit meanwhile is kept, not written over the file, not even at quit;
  // the file is not moved aside either.
  library->snippets[0]->label = QStringLiteral("mine");
  library->saver->recordsChanged(ql::LibrarySaver::Kind::Edit, library->snippets[0].get());
  controller->flushSaves();
  EXPECT_EQ(test::readFile(file()), damaged + "<dict>");
  EXPECT_EQ(library->snippets.size(), 2);

  // Whole again: taken in, and the edit written with it.
  auto theirs = std::make_unique<QLSettings>();
  test::addSnippet(*theirs, test::addGroup(*theirs, QStringLiteral("Theirs")), QStringLiteral("xyz"));
  replaceByRename(*theirs);
  QTRY_VERIFY_WITH_TIMEOUT(library->getSnippetByAbbreviation(QStringLiteral("xyz")), 10000);
  QTRY_VERIFY_WITH_TIMEOUT(!library->saver->isPending(), 10000);
  const auto saved = onDisk();
  EXPECT_TRUE(saved->getSnippetByAbbreviation(QStringLiteral("xyz")));
  ASSERT_TRUE(saved->getSnippetByAbbreviation(QStringLiteral("sig")));
  EXPECT_EQ(saved->getSnippetByAbbreviation(QStringLiteral("sig"))->label, QStringLiteral("mine"));
  EXPECT_EQ(notices.count(), 1);
}
