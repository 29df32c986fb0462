// The library file followed on disk: another program's file is told from
// the program's own writes and read once whole, and changes not yet written
// survive a merge with it.
#include "model/library_follower.h"
#include "model/library_merge.h"
#include "support/event_loop.h"
#include "support/library_records.h"
#include "support/test_files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/time.h>

namespace {

QByteArray bytesOf(const QLSettings& library) { return ql::plist::toXml(library.libraryDictionary()); }

// Written beside the file, then renamed over it, as sync tools do.
void replaceByRename(const QString& path, const QByteArray& bytes) {
  const QString temporary = path + QStringLiteral(".sync-tmp");
  ASSERT_TRUE(test::writeFile(temporary, bytes));
  ASSERT_EQ(std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()), 0);
}

void touch(const QString& path) {
  struct timeval times[2] = {{1'700'000'000, 0}, {1'700'000'000, 0}};
  ASSERT_EQ(utimes(QFile::encodeName(path).constData(), times), 0);
}

ql::LibrarySaver::Saved savedOf(const QLSettings& library) {
  ql::LibrarySaver saver(nullptr, QStringLiteral("/nonexistent/x"));
  saver.reloaded(library);
  return saver.saved();
}

class LibraryFollowTest : public testing::Test {
 protected:
  void SetUp() override {
    path = dir.filePath(QStringLiteral("settings.qlxdoc"));
    auto g = test::addGroup(library, QStringLiteral("Mail"));
    test::addSnippet(library, g, QStringLiteral("sig"));
    test::addSnippet(library, g, QStringLiteral("adr"));
    state = std::make_shared<ql::LibraryFileState>(path);
  }
  // The file as the program last wrote it.
  void writeKnown(const QLSettings& l) {
    ASSERT_TRUE(test::writeFile(path, bytesOf(l)));
    ql::FileSignature s = ql::FileSignature::stat(path);
    s.hash = ql::FileSignature::hashOf(bytesOf(l));
    state->setKnown(s);
  }

  QTemporaryDir dir;
  QString path;
  QLSettings library;
  std::shared_ptr<ql::LibraryFileState> state;
};

}  // namespace

TEST_F(LibraryFollowTest, OnlyAnotherProgramsContentCountsAsAChange) {
  writeKnown(library);
  ql::LibraryFollower follower(state);
  std::unique_ptr<QLSettings> loaded;
  follower.onLoaded = [&](std::unique_ptr<QLSettings> l) { loaded = std::move(l); };
  EXPECT_EQ(follower.checkNow(), ql::LibraryFollower::Outcome::Known);
  // Touched, and rewritten by rename with the very same bytes.
  touch(path);
  EXPECT_EQ(follower.checkNow(), ql::LibraryFollower::Outcome::Known);
  replaceByRename(path, bytesOf(library));
  EXPECT_EQ(follower.checkNow(), ql::LibraryFollower::Outcome::Known);
  EXPECT_FALSE(loaded);

  test::addSnippet(library, library.groups[0], QStringLiteral("new"));
  replaceByRename(path, bytesOf(library));
  EXPECT_EQ(follower.checkNow(), ql::LibraryFollower::Outcome::Loaded);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->snippets.size(), 3);
  // Read once: the same file is not news a second time.
  EXPECT_EQ(follower.checkNow(), ql::LibraryFollower::Outcome::Known);
}

TEST_F(LibraryFollowTest, AHalfWrittenFileIsWaitedForAndAnUnreadableOneReportedOnce) {
  writeKnown(library);
  ql::LibraryFollower follower(state);
  follower.settleMs = 100;
  follower.retryMs = 0;
  follower.retries = 1;
  int loads = 0;
  follower.onLoaded = [&](std::unique_ptr<QLSettings>) { ++loads; };
  int unreadable = 0, readable = 0;
  QObject::connect(&follower, &ql::LibraryFollower::fileUnreadable, [&] { ++unreadable; });
  QObject::connect(&follower, &ql::LibraryFollower::fileReadable, [&] { ++readable; });
  follower.watch();

  test::addSnippet(library, library.groups[0], QStringLiteral("new"));
  const QByteArray whole = bytesOf(library);
  ASSERT_TRUE(test::writeFile(path, whole.left(whole.size() / 2)));
  EXPECT_EQ(follower.checkNow(), ql::LibraryFollower::Outcome::Unreadable);
  ASSERT_TRUE(test::writeFile(path, QByteArray()));
  EXPECT_EQ(follower.checkNow(), ql::LibraryFollower::Outcome::Unreadable);
  ASSERT_TRUE(test::writeFile(path, whole));
  ASSERT_TRUE(test::waitFor([&] { return loads == 1; }, 10000));
  EXPECT_EQ(unreadable, 0);

  // Damaged for good: said once however often it changes.
  ASSERT_TRUE(test::writeFile(path, "<plist><dict><key>Groups"));
  ASSERT_TRUE(test::waitFor([&] { return follower.givenUp() == 1; }, 10000));
  ASSERT_TRUE(test::writeFile(path, "<plist><dict><key>Snippets"));
  ASSERT_TRUE(test::waitFor([&] { return follower.givenUp() == 2; }, 10000));
  EXPECT_EQ(unreadable, 1);
  EXPECT_EQ(test::readFile(path), QByteArray("<plist><dict><key>Snippets"));
  // Whole again, with another change.
  test::addSnippet(library, library.groups[0], QStringLiteral("more"));
  ASSERT_TRUE(test::writeFile(path, bytesOf(library)));
  ASSERT_TRUE(test::waitFor([&] { return loads == 2; }, 10000));
  EXPECT_EQ(readable, 1);
}

TEST_F(LibraryFollowTest, ChangesNotYetWrittenSurviveTheOtherProgramsChanges) {
  // The file as both sides last saw it; this side's base is what it read.
  const QByteArray original = bytesOf(library);
  const ql::LibrarySaver::Saved saved = savedOf(*QLSettings::fromBytes(original));
  const auto fromFile = [&] {
    QString why;
    auto l = QLSettings::fromBytes(original, &why);
    EXPECT_TRUE(l) << why.toStdString();
    return l;
  };
  // The other program: "adr" edited, a snippet "far" and a group "Work" added.
  auto file = fromFile();
  file->snippets[1]->plainText = QStringLiteral("their address");
  test::addSnippet(*file, file->groups[0], QStringLiteral("far"));
  test::addSnippet(*file, test::addGroup(*file, QStringLiteral("Work")), QStringLiteral("wk"));
  file->preferences.isPlaySound = !file->preferences.isPlaySound;

  auto here = fromFile();
  // Here: "sig" edited, "near" added, a group "Work" of its own added with
  // "mine", and a preference changed.
  here->snippets[0]->plainText = QStringLiteral("my signature");
  test::addSnippet(*here, here->groups[0], QStringLiteral("near"));
  test::addSnippet(*here, test::addGroup(*here, QStringLiteral("Work")), QStringLiteral("mine"));
  here->preferences.isRestoreClipboard = !here->preferences.isRestoreClipboard;

  EXPECT_TRUE(ql::mergeUnsavedChanges(*file, *here, saved));
  const auto text = [&](const char* abbreviation) {
    const SnippetPtr s = file->getSnippetByAbbreviation(QString::fromLatin1(abbreviation));
    return s ? s->plainText : QStringLiteral("<missing>");
  };
  EXPECT_EQ(text("sig"), QStringLiteral("my signature"));
  EXPECT_EQ(text("adr"), QStringLiteral("their address"));
  EXPECT_EQ(text("far"), QStringLiteral("text"));
  EXPECT_EQ(text("near"), QStringLiteral("text"));
  // One "Work" group holding both sides' snippets.
  ASSERT_EQ(file->groups.size(), 2);
  const GroupPtr work = file->getGroupByName(QStringLiteral("Work"));
  ASSERT_TRUE(work);
  const SnippetPtr mine = file->getSnippetByAbbreviation(QStringLiteral("mine"));
  EXPECT_EQ(mine->groupUuid, work->uuid);
  EXPECT_EQ(work->snippts.size(), 2);
  EXPECT_EQ(file->groups[0]->snippts.size(), 4);
  EXPECT_EQ(file->preferences.isRestoreClipboard, here->preferences.isRestoreClipboard);
  EXPECT_NE(file->preferences.isPlaySound, here->preferences.isPlaySound);

  // Deleted here: gone unless the other program changed it meanwhile.
  QLSettings live;
  {
    auto l = fromFile();
    live.preferences = l->preferences;
    live.groups = l->groups;
    live.snippets = l->snippets;
  }
  live.snippets.removeFirst();  // "sig", untouched there
  live.snippets.removeFirst();  // "adr", edited there
  live.groups[0]->snippts.clear();
  auto changedThere = fromFile();
  changedThere->snippets[1]->plainText = QStringLiteral("their address");
  EXPECT_TRUE(ql::mergeUnsavedChanges(*changedThere, live, saved));
  EXPECT_FALSE(changedThere->getSnippetByAbbreviation(QStringLiteral("sig")));
  ASSERT_TRUE(changedThere->getSnippetByAbbreviation(QStringLiteral("adr")));
  EXPECT_EQ(changedThere->groups[0]->snippts, QStringList{changedThere->snippets[0]->uuid});

  // Nothing changed here: the file is taken as it is.
  auto plain = fromFile();
  EXPECT_FALSE(ql::mergeUnsavedChanges(*plain, *fromFile(), saved));
}
