#include "model/ql_group.h"
#include "model/ql_preferences.h"
#include "model/ql_snippet.h"
#include "model/string_utilities.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ql;

TEST(Group, NewGroupHasAnIdentityAndRoundTrips) {
  QLGroup g;
  EXPECT_TRUE(QRegularExpression("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$")
                  .match(g.uuid)
                  .hasMatch());
  EXPECT_NE(g.uuid, QLGroup().uuid);
  const PlistDict d = g.getData();
  EXPECT_EQ(d.size(), 12);  // no sound, no last use

  // An empty sound is not the same as no sound, and survives.
  g.sound = QString("");
  g.dateLastUsed = QDateTime::fromSecsSinceEpoch(1, Qt::UTC);
  const PlistDict full = g.getData();
  EXPECT_EQ(full.size(), 14);
  QLGroup back;
  back.setData(&full);
  EXPECT_EQ(back.getData(), full);
}

TEST(Group, SetDataTakesOnlyWhatIsThereAndWellTyped) {
  QLGroup g;
  const QString uuid = g.uuid;
  PlistDict d;
  d.insert("name", "Work");
  d.insert("unknownKey", 5);
  g.setData(&d);
  EXPECT_EQ(g.name, "Work");
  EXPECT_EQ(g.uuid, uuid);
  g.setData(nullptr);
  EXPECT_EQ(g.name, "Work");

  // Mistyped values are ignored.
  g = QLGroup();
  g.name = "Kept";
  d = PlistDict();
  d.insert("name", 12);                              // number for a string
  d.insert("exceptionType", "3");                    // string for a number
  d.insert("exceptions", PlistDict{});               // dictionary for an array
  d.insert("snippts", PlistArray{PlistValue("A"), PlistValue(7)});  // odd element
  d.insert("dateCreated", "yesterday");              // string for a date
  d.insert("sound", QDateTime::currentDateTimeUtc());  // date for a string
  d.insert("isExpanded", "no");
  const QDateTime created = g.dateCreated;
  g.setData(&d);
  EXPECT_EQ(g.name, "Kept");
  EXPECT_EQ(g.exceptionType, 0);
  EXPECT_TRUE(g.exceptions.isEmpty());
  EXPECT_EQ(g.snippts, QStringList{"A"});
  EXPECT_EQ(g.dateCreated, created);
  EXPECT_FALSE(g.sound);
  EXPECT_TRUE(g.isExpanded);
}

TEST(Snippet, RecordAndArchiveKeepIdentityAndSearchableTextIsMadeNotStored) {
  QLSnippet s;
  s.abbreviation = "sig";
  s.plainText = "Best,\nAnn";
  s.groupUuid = QString("G");
  s.isConvertToHTML = true;
  s.dateLastUsed = QDateTime::fromSecsSinceEpoch(1000, Qt::UTC);
  const PlistDict d = s.getData();
  EXPECT_FALSE(d.contains("searchableText"));
  QLSnippet back;
  back.setData(&d);
  EXPECT_EQ(back.getData(), d);
  EXPECT_EQ(back.searchableText(), "Best, Ann");
  // Without a group or a last use, those keys are left out.
  const PlistDict bare = QLSnippet().getData();
  EXPECT_FALSE(bare.contains("groupUuid"));
  EXPECT_FALSE(bare.contains("dateLastUsed"));

  // The archive runs no set-up: the text is searchable once its content is made.
  auto archived = QLSnippet::initWithCoder(s.encodeWithCoder());
  ASSERT_TRUE(archived);
  EXPECT_EQ(archived->uuid, s.uuid);
  EXPECT_EQ(archived->getData(), d);
  EXPECT_FALSE(archived->hasSearchableText());
  archived->content(true);
  EXPECT_EQ(archived->searchableText(), "Best, Ann");
  // Missing keys stay empty: no fresh UUID, no dates.
  PlistDict only;
  only.insert("abbreviation", "x");
  auto partial = QLSnippet::initWithCoder(plist::toBinary(only));
  ASSERT_TRUE(partial);
  EXPECT_TRUE(partial->uuid.isEmpty());
  EXPECT_FALSE(partial->dateCreated.isValid());
  EXPECT_FALSE(QLSnippet::initWithCoder("junk"));
}

TEST(Preferences, SetDataRulesBackupFolderFallbackAndDelimiterText) {
  QTemporaryDir elsewhere;
  QLPreferences p;
  EXPECT_EQ(p.getData().size(), 31);  // the library's round trip cannot see a key left out
  PlistDict d;
  d.insert("backupFolderPath", elsewhere.path());
  d.insert("maximumBackups", "5");
  d.insert("snippetProcessDelay", 0.5);
  d.insert("wordPerMinute", "fast");  // mistyped: ignored
  d.insert("delimiters", PlistArray{PlistValue("space"), PlistValue(".")});
  p.setData(&d);
  EXPECT_EQ(p.backupFolderPath, elsewhere.path());
  EXPECT_EQ(p.maximumBackups, "5");
  EXPECT_DOUBLE_EQ(p.snippetProcessDelay, 0.5);
  EXPECT_EQ(p.wordPerMinute, 40);
  EXPECT_EQ(p.delimiters, (QStringList{"space", "."}));

  PlistDict gone;
  gone.insert("backupFolderPath", elsewhere.path() + "/does/not/exist");
  p.setData(&gone);
  EXPECT_EQ(p.backupFolderPath, QLPreferences::defaultBackupFolderPath());

  // The BackSpace switch is written only when off, so older files stay as they were.
  EXPECT_FALSE(p.getData().contains("isBackSpaceUndo"));
  p.isBackSpaceUndo = false;
  const PlistDict off = p.getData();
  QLPreferences read;
  read.setData(&off);
  EXPECT_FALSE(read.isBackSpaceUndo);

  // Names and characters both read; unknown tokens and repeats are dropped.
  EXPECT_EQ(QLPreferences::delimitersFromText("space,comma,.,bogus,space, tab"),
            (QStringList{"space", ",", ".", "tab"}));
}

TEST(Utilities, DateCodes) {
  const QDateTime at(QDate(2024, 5, 5), QTime(9, 7, 3));
  const QLocale c = QLocale::c();
  auto f = [&](const char* fmt) { return Utilities::getStringFromDateFormat(fmt, at, c); };
  EXPECT_EQ(f("%1m/%m"), "5/05");
  EXPECT_EQ(f("%1H:%M"), "9:07");
  EXPECT_EQ(f("%Y %y %d %e"), "2024 24 05 5");
  EXPECT_EQ(f("%H %I %1I %S %1S %1M %p"), "09 09 9 03 3 7 AM");
  EXPECT_EQ(f("%A %a %B %b"), "Sunday Sun May May");
  EXPECT_EQ(f("%Q stays, 100% too"), "%Q stays, 100% too");
  const QDateTime evening(QDate(2024, 12, 31), QTime(0, 30, 0));
  EXPECT_EQ(Utilities::getStringFromDateFormat("%I %1I %p", evening, c), "12 12 AM");
  EXPECT_EQ(Utilities::getStringFromDateFormat("%1H %p", at.addSecs(3600 * 5), c), "14 PM");
  // Names follow the locale.
  EXPECT_EQ(Utilities::getStringFromDateFormat("%B", at, QLocale(QLocale::German)), "Mai");
  EXPECT_EQ(Utilities::dateCodes().size(), 19);  // every code is removed from searchable text
}

// Languages that decline month names: the format (genitive) form with the
// day, the stand-alone form without it.
TEST(Utilities, MonthNamesTakeTheirFormFromTheDate) {
  const QDateTime at(QDate(2024, 5, 5), QTime(9, 7, 3));
  const QLocale ru(QLocale::Russian), pl(QLocale::Polish);
  auto f = [&](const char* fmt, const QLocale& l) { return Utilities::getStringFromDateFormat(QString::fromUtf8(fmt), at, l); };
  EXPECT_EQ(f("%e %B %Y", ru), "5 мая 2024");
  EXPECT_EQ(f("%A, %d.%B", ru), "воскресенье, 05.мая");
  EXPECT_EQ(f("%B %e, %Y", ru), "мая 5, 2024");
  EXPECT_EQ(f("%B %Y", ru), "май 2024");
  EXPECT_EQ(f("%B", ru), "май");
  EXPECT_EQ(f("%e. %B %Y", pl), "5. maja 2024");
  EXPECT_EQ(f("Raport za %B", pl), "Raport za maj");
  // A word or a line between them: not one date.
  EXPECT_EQ(f("%e dni, %B", pl), "5 dni, maj");
  EXPECT_EQ(f("%e\n%B", pl), "5\nmaj");
  // Short names follow the same rule where the language has both.
  const QLocale uk(QLocale::Ukrainian);
  EXPECT_EQ(f("%e %b", uk), "5 " + uk.monthName(5, QLocale::ShortFormat));
  EXPECT_EQ(f("%b", uk), uk.standaloneMonthName(5, QLocale::ShortFormat));
  EXPECT_NE(uk.monthName(5, QLocale::ShortFormat), uk.standaloneMonthName(5, QLocale::ShortFormat));
}
