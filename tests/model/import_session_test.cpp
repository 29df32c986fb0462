#include "model/import_session.h"
#include "support/library_records.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using ql::ImportSession;

namespace {

using test::addGroup;
using test::addSnippet;

// Every snippet is in the group its groupUuid names, and only there.
void expectLinked(const QLSettings& s) {
  for (const SnippetPtr& sn : s.snippets) {
    ASSERT_TRUE(sn->groupUuid);
    const GroupPtr g = s.getGroupByUUID(*sn->groupUuid);
    ASSERT_TRUE(g) << sn->abbreviation.toStdString();
    EXPECT_EQ(g->snippts.count(sn->uuid), 1);
  }
}

// Groups and snippets found, duplicated and to import: "g s | g s | g s".
std::string counts(const ImportSession& s) {
  return QStringLiteral("%1 %2 | %3 %4 | %5 %6")
      .arg(s.foundGroup).arg(s.foundSnippet).arg(s.duplicateGroup).arg(s.duplicateSnippet)
      .arg(s.importedGroup).arg(s.importedSnippet)
      .toStdString();
}

class Import : public ::testing::Test {
 protected:
  void SetUp() override {
    auto work = addGroup(library_, "Work");
    work->exceptionType = 2;
    work->exceptions = {"Mail"};
    addSnippet(library_, work, "sig", "Regards");
    addSnippet(library_, work, "addr", "Main Street 1");
    auto home = addGroup(library_, "Home");
    addSnippet(library_, home, "hi", "Hello\nthere");
    file_ = dir_.filePath("lib.qlxdoc");
    ASSERT_TRUE(library_.saveBackup(file_));
  }

  ImportSession session(QLSettings* live, int groups, int snippets, const QString& path) {
    ImportSession s(live);
    s.importType = ImportSession::Quillet;
    s.path = path;
    s.groupOption = groups;
    s.snippetOption = snippets;
    return s;
  }

  QTemporaryDir dir_;
  QLSettings library_;
  QString file_;
};

}  // namespace

TEST_F(Import, OwnFileSkippedWhollyOrAddedAsNewRecordsWithNewIdentities) {
  QLSettings live;
  ASSERT_TRUE(live.loadBackup(file_));
  ImportSession skip = session(&live, 0, 0, file_);
  ASSERT_TRUE(skip.validateImport());
  EXPECT_EQ(counts(skip), "2 3 | 2 3 | 0 0");
  EXPECT_FALSE(skip.import(&live));

  ImportSession s = session(&live, 1, 1, file_);
  ASSERT_TRUE(s.validateImport());
  // The check's trial merge leaves the live library alone.
  EXPECT_EQ(live.groups.size(), 2);
  EXPECT_EQ(live.snippets.size(), 3);
  EXPECT_EQ(counts(s), "2 3 | 2 3 | 2 3");
  ASSERT_TRUE(s.import(&live));
  EXPECT_EQ(s.importedGroup, 4);  // the merge adds to the check's counts
  ASSERT_EQ(live.groups.size(), 4);
  ASSERT_EQ(live.snippets.size(), 6);
  EXPECT_EQ(live.groups[2]->name, "Work");
  EXPECT_NE(live.groups[2]->uuid, live.groups[0]->uuid);
  EXPECT_EQ(live.groups[2]->exceptions, QStringList({"Mail"}));
  EXPECT_EQ(live.snippets[3]->abbreviation, "sig");
  EXPECT_NE(live.snippets[3]->uuid, live.snippets[0]->uuid);
  EXPECT_EQ(live.snippets[3]->useCount, 0);
  EXPECT_EQ(live.snippets[5]->searchableText(), "Hello there");  // content refreshed
  expectLinked(live);
}

TEST_F(Import, OverwritingGroupsKeepsTheirNameAndMembersAndTakesNewSnippets) {
  QLSettings live;
  auto work = addGroup(live, "Work");
  const QString workUuid = work->uuid;
  addSnippet(live, work, "sig", "old signature");
  auto other = addGroup(live, "Other");
  auto moved = addSnippet(live, other, "hi", "old hello");

  // Group option 2, snippet option 0: settings taken, duplicates left alone.
  ImportSession s = session(&live, 2, 0, file_);
  ASSERT_TRUE(s.validateImport());
  EXPECT_EQ(counts(s), "2 3 | 1 2 | 2 1");
  ASSERT_TRUE(s.import(&live));
  ASSERT_EQ(live.groups.size(), 3);  // "Home" is new
  EXPECT_EQ(work->uuid, workUuid);
  EXPECT_EQ(work->exceptionType, 2);
  EXPECT_EQ(work->exceptions, QStringList({"Mail"}));
  EXPECT_EQ(work->snippts.size(), 2);  // "addr" joined the existing group
  EXPECT_EQ(live.getSnippetByAbbreviation("sig")->plainText, "old signature");
  EXPECT_EQ(live.getSnippetByAbbreviation("addr")->groupUuid, workUuid);
  expectLinked(live);

  // Snippet option 2: content overwritten, each snippet stays in its group.
  ImportSession again = session(&live, 1, 2, file_);
  ASSERT_TRUE(again.validateImport());
  ASSERT_TRUE(again.import(&live));
  EXPECT_EQ(live.snippets.size(), 3);
  EXPECT_EQ(moved->plainText, "Hello\nthere");
  EXPECT_EQ(moved->groupUuid, other->uuid);
  EXPECT_EQ(moved->searchableText(), "Hello there");
  expectLinked(live);
}

TEST_F(Import, DuplicatesCountLibraryRecordsAndUnlistedSnippetsAreNeverMerged) {
  QLSettings file;
  auto g = addGroup(file, "Work");
  addSnippet(file, g, "sig");
  auto orphan = std::make_shared<QLSnippet>();
  orphan->abbreviation = "orphan";
  file.snippets.append(orphan);
  const QString path = dir_.filePath("orphan.qlxdoc");
  ASSERT_TRUE(file.saveBackup(path));

  QLSettings live;
  addGroup(live, "Work");
  addGroup(live, "Work");
  ImportSession s = session(&live, 1, 1, path);
  ASSERT_TRUE(s.validateImport());
  EXPECT_EQ(counts(s), "1 2 | 2 0 | 1 1");
  ASSERT_TRUE(s.import(&live));
  EXPECT_FALSE(live.getSnippetByAbbreviation("orphan"));
}
