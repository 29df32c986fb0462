#include "model/ql_settings.h"
#include "model/string_utilities.h"
#include "support/library_records.h"
#include "support/log_capture.h"
#include "support/test_files.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ql;

namespace {

class SettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    QDir(Utilities::getAppPath()).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(Utilities::getAppPath()));
  }

  static QLSettings library() {
    QLSettings s;
    auto work = test::addGroup(s, "Work");
    auto home = test::addGroup(s, "Home");
    home->includeInSuggestionsList = false;
    test::addSnippet(s, work, "sig", "text of sig");
    test::addSnippet(s, home, "addr", "text of addr");
    test::addSnippet(s, work, "sig", "text of sig");
    s.preferences.extendType = 1;
    s.preferences.sound = "Glass";
    return s;
  }
};

}  // namespace

TEST_F(SettingsTest, SaveAndLoadKeepTheLibraryAndItsLookups) {
  const QLSettings s = library();
  ASSERT_TRUE(s.saveSettings());
  QLSettings loaded;
  ASSERT_TRUE(loaded.loadSettings());
  EXPECT_EQ(loaded.libraryDictionary(), s.libraryDictionary());
  EXPECT_EQ(loaded.snippets[1]->searchableText(), "text of addr");
  // Lookups take the last of equal abbreviations and match case.
  EXPECT_EQ(loaded.getSnippetByAbbreviation("sig"), loaded.snippets[2]);
  EXPECT_EQ(loaded.getSnippetByAbbreviation("SIG"), nullptr);
  ASSERT_EQ(loaded.allowedGroups().size(), 1);
  EXPECT_EQ(loaded.allowedGroups()[0]->name, "Work");

  // The start-up copy goes next to it under its own name.
  ASSERT_TRUE(loaded.saveSettings(QLSettings::kStartupCopyName + ".qlxdoc"));
  EXPECT_EQ(test::readFile(Utilities::getAppPath() + "/settings Backup.qlxdoc"),
            test::readFile(Utilities::getAppPath() + "/settings.qlxdoc"));

  // A library another tool turned into a binary property list loads the same.
  ASSERT_TRUE(test::writeFile(QLSettings::settingsPath(), plist::toBinary(s.libraryDictionary())));
  ASSERT_TRUE(loaded.loadSettings());
  EXPECT_EQ(loaded.libraryDictionary(), s.libraryDictionary());
}

TEST_F(SettingsTest, FailedLoadsLeaveTheLibraryAlone) {
  QLSettings s = library();
  const PlistDict before = s.libraryDictionary();
  EXPECT_FALSE(s.loadSettings("missing.qlxdoc"));
  EXPECT_FALSE(s.loadBackup(""));
  EXPECT_FALSE(s.loadSettings(QString(""), true, true));

  const QByteArray good = plist::toXml(library().libraryDictionary());
  const QList<QByteArray> broken = {QByteArray(), good.left(good.size() - 40),
                                    QByteArray(5000, '\x07'), plist::toXml(PlistArray{})};
  LogCapture log;
  for (const QByteArray& bytes : broken) {
    const QString bad = Utilities::getAppPath() + "/bad.qlxdoc";
    ASSERT_TRUE(test::writeFile(bad, bytes));
    EXPECT_FALSE(s.loadSettings("bad.qlxdoc"));
    EXPECT_FALSE(s.loadBackup(bad));
    EXPECT_FALSE(s.loadSettings(bad, true, true));
    EXPECT_EQ(s.libraryDictionary(), before);
  }
  EXPECT_TRUE(log.contains("Error in loadSettings : "));
  EXPECT_TRUE(log.contains("Error in loadBackup : "));
}

TEST_F(SettingsTest, AnUnreadableSettingsFileIsMovedAsideBeforeAnySave) {
  const QString path = QLSettings::settingsPath();
  const QByteArray damaged = plist::toXml(library().libraryDictionary()).left(300);
  const QDateTime changed = QDateTime::currentDateTime().addDays(-3);
  ASSERT_TRUE(test::writeFileDated(path, damaged, changed));

  LogCapture log;
  QLSettings s;
  EXPECT_FALSE(s.loadSettings());
  const QString aside = Utilities::getAppPath() + "/settings unreadable " +
                        changed.toString("yyyy-MM-dd HH.mm.ss") + ".qlxdoc";
  EXPECT_EQ(s.movedAsideSettingsPath, aside);
  EXPECT_FALSE(s.unreadableSettingsReason.isEmpty());
  EXPECT_TRUE(log.contains("moved to " + aside));
  ASSERT_TRUE(s.saveSettings());
  EXPECT_EQ(test::readFile(aside), damaged);
  EXPECT_EQ(QFileInfo(aside).lastModified().toSecsSinceEpoch(), changed.toSecsSinceEpoch());

  // A second damaged file of the same date does not replace the first.
  ASSERT_TRUE(test::writeFileDated(path, "garbage", changed));
  QLSettings again;
  EXPECT_FALSE(again.loadSettings());
  EXPECT_EQ(again.movedAsideSettingsPath, aside.chopped(7) + " 2.qlxdoc");
  EXPECT_EQ(test::readFile(aside), damaged);
  // A file that is simply missing is no reason to move anything.
  QLSettings fresh;
  EXPECT_FALSE(fresh.loadSettings());
  EXPECT_TRUE(fresh.movedAsideSettingsPath.isEmpty());
}

TEST_F(SettingsTest, PartialAndMistypedFiles) {
  QLSettings s = library();
  const QString path = Utilities::getAppPath() + "/partial.qlxdoc";

  // Only snippets: groups are emptied, preferences stay.
  ASSERT_TRUE(test::writeFile(path, "<plist><dict><key>Snippets</key><array><dict><key>abbreviation</key>"
                                    "<string>x</string></dict><string>not a record</string></array></dict></plist>"));
  ASSERT_TRUE(s.loadSettings("partial.qlxdoc"));
  EXPECT_TRUE(s.groups.isEmpty());
  ASSERT_EQ(s.snippets.size(), 1);
  EXPECT_EQ(s.snippets[0]->abbreviation, "x");
  EXPECT_EQ(s.preferences.sound, "Glass");
  // A record without its own UUID and dates gets fresh ones.
  const QString firstUuid = s.snippets[0]->uuid;
  EXPECT_EQ(firstUuid.size(), 36);
  EXPECT_LE(qAbs(s.snippets[0]->dateCreated.secsTo(QDateTime::currentDateTimeUtc())), 5);
  EXPECT_EQ(s.snippets[0]->dateModified, s.snippets[0]->dateCreated);

  // Wrong types everywhere: nothing crashes, nothing mistyped is taken.
  ASSERT_TRUE(test::writeFile(path, "<plist><dict><key>Preferences</key><string>should be a dictionary</string>"
                                    "<key>Groups</key><dict/><key>Snippets</key><array><dict>"
                                    "<key>abbreviation</key><array/><key>useCount</key><string>many</string>"
                                    "<key>formattedText</key><string>not data</string></dict></array></dict></plist>"));
  ASSERT_TRUE(s.loadSettings("partial.qlxdoc"));
  ASSERT_EQ(s.snippets.size(), 1);
  EXPECT_EQ(s.snippets[0]->abbreviation, "");
  EXPECT_EQ(s.snippets[0]->useCount, 0);
  EXPECT_EQ(s.preferences.sound, "Glass");
  EXPECT_NE(s.snippets[0]->uuid, firstUuid);
}

TEST_F(SettingsTest, BackupsGroupFilesAndSelectiveRestore) {
  QLSettings s = library();
  QTemporaryDir dir;
  const QString backup = dir.filePath("Quillet Backup.qlxdoc");
  ASSERT_TRUE(s.saveBackup(backup));
  EXPECT_FALSE(s.saveBackup(""));
  QLSettings twice;
  ASSERT_TRUE(twice.loadBackup(backup));
  ASSERT_TRUE(twice.loadBackup(backup));
  EXPECT_EQ(twice.groups.size(), 4);
  EXPECT_EQ(twice.snippets.size(), 6);

  QLSettings prefsOnly = library();
  prefsOnly.preferences.sound = "Tink";
  ASSERT_TRUE(prefsOnly.loadSettings(backup, false, true));
  EXPECT_EQ(prefsOnly.preferences.sound, "Glass");
  EXPECT_EQ(prefsOnly.groups.size(), 2);
  QLSettings libraryOnly;
  libraryOnly.preferences.sound = "Tink";
  ASSERT_TRUE(libraryOnly.loadSettings(backup, true, false));
  EXPECT_EQ(libraryOnly.preferences.sound, "Tink");
  EXPECT_EQ(libraryOnly.snippets.size(), 3);

  // A saved group holds only members that exist, and no preferences.
  s.groups[0]->snippts.append("NO-SUCH-SNIPPET");
  const QString path = dir.filePath("work.qlxdoc");
  ASSERT_TRUE(s.saveGroup(path, s.groups[0]));
  EXPECT_FALSE(s.saveGroup(path, nullptr));
  EXPECT_FALSE(s.saveGroup("", s.groups[0]));
  const auto root = plist::readFile(path);
  ASSERT_TRUE(root && root->dict());
  EXPECT_FALSE(root->dict()->contains("Preferences"));
  QLSettings back;
  ASSERT_TRUE(back.loadBackup(path));
  EXPECT_EQ(back.groups.size(), 1);
  ASSERT_EQ(back.snippets.size(), 2);
  EXPECT_EQ(back.snippets[0]->uuid, s.snippets[0]->uuid);
  EXPECT_EQ(back.snippets[1]->uuid, s.snippets[2]->uuid);
}
