// The running program follows its library file: another program's file is
// taken in with the windows following, the program's own edits not yet
// written are kept, and a file that does not read is left alone.
#include "shell_rig.h"
#include "app/preferences_sheet_controller.h"
#include "support/test_files.h"
#include "model/background_writer.h"
#include "model/library_merge.h"
#include "ui/group_view_controller.h"
#include "ui/content_text_view.h"
#include "ui/library_window_controller.h"
#include "ui/snippet_view_controller.h"

#include <QLineEdit>
#include <QPushButton>

#include <cstdio>
#include <future>
#include <mutex>
#include <thread>
#include <sys/time.h>

namespace {

class LibraryFollowAppTest : public ShellTest {
 protected:
  void TearDown() override {
    ShellTest::TearDown();
    ql::Utilities::setLibraryFolder(QString());
  }
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
  void replaceByRename(const QLSettings& l, QString path = {}) {
    if (path.isEmpty()) path = file();
    const QString temporary = path + QStringLiteral(".sync");
    ASSERT_TRUE(test::writeFile(temporary, ql::plist::toXml(l.libraryDictionary())));
    ASSERT_EQ(std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()), 0);
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
  EXPECT_EQ(window->snippetView()->findChild<ContentTextView*>("content")->toPlainText(), QStringLiteral("their address"));
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
  struct timeval times[2] = {{1'700'000'000, 0}, {1'700'000'000, 0}};
  ASSERT_EQ(utimes(QFile::encodeName(file()).constData(), times), 0);
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
  QLineEdit* name = window->groupView()->findChild<QLineEdit*>("nameTextField");
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
  // Meanwhile the main thread never waits for that write: the change is
  // looked at again later. (A wait would last until the watchdog lets go.)
  std::once_flag once;
  auto letGo = [&] { std::call_once(once, [&] { release.set_value(); }); };
  std::thread watchdog([&] {
    if (released.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) letGo();
  });
  QTest::qWait(follower->settleMs * 4);
  EXPECT_EQ(released.wait_for(std::chrono::seconds(0)), std::future_status::timeout)
      << "the main thread waited for the write";
  controller->libraryFile()->beforeReplace = nullptr;
  letGo();
  watchdog.join();

  QTRY_COMPARE_WITH_TIMEOUT(library->snippets.size(), 3, 10000);
  QTRY_VERIFY_WITH_TIMEOUT(!library->saver->isPending() && !library->saver->isHeld(), 10000);
  const auto saved = onDisk();
  EXPECT_EQ(saved->groups[0]->name, QStringLiteral("Letters"));
  EXPECT_TRUE(saved->getSnippetByAbbreviation(QStringLiteral("far")));
}

TEST_F(LibraryFollowAppTest, AFileThatDoesNotReadIsLeftAloneAndReportedOnce) {
  // Without a tray the notice is an alert, and can be counted.
  trayAvailable = false;
  startFollowing();
  const auto notices = [this] {
    return alerts.filter(QStringLiteral("The library file cannot be read.|")).size();
  };
  const QByteArray damaged("<?xml version=\"1.0\"?><plist><dict><key>Groups</key><array>");
  ASSERT_TRUE(test::writeFile(file(), damaged));
  QTRY_COMPARE_WITH_TIMEOUT(follower->givenUp(), 1, 10000);
  ASSERT_TRUE(test::writeFile(file(), damaged + "<dict>"));
  QTRY_COMPARE_WITH_TIMEOUT(follower->givenUp(), 2, 10000);
  EXPECT_EQ(notices(), 1);
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
  EXPECT_EQ(notices(), 1);
}

TEST_F(LibraryFollowAppTest, TheLibraryMovesToAChosenFolderAndIsFollowedThere) {
  startFollowing();
  QTemporaryDir synced;
  const QString there = synced.filePath(QStringLiteral("settings.qlxdoc"));
  controller->libraryFolderChosen(nullptr, synced.path());
  EXPECT_TRUE(alerts.isEmpty());
  EXPECT_EQ(QLSettings::settingsPath(), there);
  EXPECT_FALSE(QFileInfo::exists(file()));
  auto moved = QLSettings::fromBytes(test::readFile(there));
  ASSERT_TRUE(moved);
  EXPECT_EQ(moved->snippets.size(), 2);
  // Statistics and the start-up copy stay in the application folder.
  EXPECT_TRUE(QFileInfo::exists(appPath(QStringLiteral("settings Backup.qlxdoc"))));

  // Followed at the new place.
  test::addSnippet(*moved, moved->groups[0], QStringLiteral("far"));
  replaceByRename(*moved, there);
  QTRY_COMPARE_WITH_TIMEOUT(library->snippets.size(), 3, 10000);

  // Back to the default place, where a library is found again: kept as it
  // is ("Use It") only when asked to; here it is replaced.
  QLSettings old;
  test::addSnippet(old, test::addGroup(old, QStringLiteral("Old")), QStringLiteral("old"));
  ASSERT_TRUE(test::writeFile(file(), ql::plist::toXml(old.libraryDictionary())));
  alertAnswer = 1;  // "Replace It"
  controller->libraryFolderChosen(nullptr, QString());
  ASSERT_EQ(alerts.size(), 1);
  EXPECT_TRUE(alerts[0].startsWith(QStringLiteral("A library already exists in this folder.")));
  EXPECT_EQ(QLSettings::settingsPath(), file());
  EXPECT_EQ(QLSettings::fromBytes(test::readFile(file()))->snippets.size(), 3);
  EXPECT_FALSE(QFileInfo::exists(there));

  // And "Use It" takes the library found there.
  ASSERT_TRUE(test::writeFile(there, ql::plist::toXml(old.libraryDictionary())));
  alertAnswer = 0;
  controller->libraryFolderChosen(nullptr, synced.path());
  EXPECT_EQ(QLSettings::settingsPath(), there);
  ASSERT_EQ(library->snippets.size(), 1);
  EXPECT_EQ(library->snippets[0]->abbreviation, QStringLiteral("old"));
  // The library left behind is not deleted: nothing of it is lost.
  EXPECT_TRUE(QFileInfo::exists(file()));
}

TEST_F(LibraryFollowAppTest, AFileRemovedByAnotherProgramIsWrittenAgain) {
  startFollowing();
  ASSERT_TRUE(QFile::remove(file()));
  QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(file()), 10000);
  QTRY_VERIFY_WITH_TIMEOUT(!library->saver->isPending(), 10000);
  EXPECT_EQ(onDisk()->snippets.size(), 2);
}

TEST_F(LibraryFollowAppTest, ThePreferencesShowWhereTheLibraryLivesAndBringItBack) {
  startFollowing();
  controller->actionPreferences();
  PreferencesSheetController* sheet = controller->preferencesSheet();
  ASSERT_TRUE(sheet);
  auto* libraryFolderPath = sheet->window()->findChild<QLineEdit*>("libraryFolderPath");
  auto* libraryFolderDefaultButton = sheet->window()->findChild<QPushButton*>("libraryFolderDefaultButton");
  ASSERT_TRUE(libraryFolderPath && libraryFolderDefaultButton);
  EXPECT_EQ(libraryFolderPath->text(), appPath());
  EXPECT_FALSE(libraryFolderDefaultButton->isEnabled());
  QTemporaryDir synced;
  controller->libraryFolderChosen(sheet, synced.path());
  sheet->resetView();
  EXPECT_EQ(libraryFolderPath->text(), synced.path());
  ASSERT_TRUE(libraryFolderDefaultButton->isEnabled());
  libraryFolderDefaultButton->click();
  EXPECT_EQ(libraryFolderPath->text(), appPath());
  EXPECT_TRUE(QFileInfo::exists(file()));
  EXPECT_FALSE(QFileInfo::exists(synced.filePath(QStringLiteral("settings.qlxdoc"))));
}
