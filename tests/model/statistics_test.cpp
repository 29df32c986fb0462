#include "model/ql_statistics.h"
#include "model/statistics_periods.h"

#include <QTemporaryDir>
#include <QTimeZone>

#include "support/log_capture.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

namespace {

const QTimeZone kBerlin("Europe/Berlin");
const QTimeZone kNewYork("America/New_York");

class Statistics : public ::testing::Test {
 protected:
  QLStatistics make() {
    return QLStatistics([this] { return now_; }, dir_.filePath("statistics.plist"));
  }
  QDateTime at(int month, int day, int hour, const QTimeZone& zone = kBerlin) {
    return QDateTime(QDate(2024, month, day), QTime(hour, 30), zone);
  }

  QTemporaryDir dir_;
  QDateTime now_ = QDateTime(QDate(2024, 3, 10), QTime(9, 0), kBerlin);
};

}  // namespace

TEST_F(Statistics, CountsAreWrittenAndDaysAreLocalCalendarDaysNewestFirst) {
  QLStatistics s = make();
  now_ = at(3, 10, 0);  // just after midnight
  s.updateCounters(5);
  now_ = at(3, 10, 23);
  s.updateCounters(7);
  ASSERT_EQ(s.last30Days.size(), 1);
  EXPECT_EQ(s.last30Days[0].name, QDateTime(QDate(2024, 3, 10), QTime(0, 0), kBerlin));
  EXPECT_EQ(s.last30Days[0].expanded, 2);
  EXPECT_EQ(s.last30Days[0].characters, 12);
  QLStatistics back = make();  // every count is written at once
  ASSERT_TRUE(back.load());
  EXPECT_EQ(back.allTime.characters, 12);
  ASSERT_EQ(back.last30Days.size(), 1);
  EXPECT_EQ(back.last30Days[0].name, s.last30Days[0].name);
  EXPECT_EQ(back.last30Days[0].expanded, 2);
  now_ = at(3, 11, 8);
  s.updateCounters(1);
  ASSERT_EQ(s.last30Days.size(), 2);
  EXPECT_EQ(s.last30Days[0].name.toTimeZone(kBerlin).date(), QDate(2024, 3, 11));
  EXPECT_EQ(s.allTime.expanded, 3);

  // The same calendar day seen from another time zone starts at another
  // moment, so it gets a counter of its own.
  now_ = at(3, 11, 9, kNewYork);
  s.updateCounters(1);
  EXPECT_EQ(s.last30Days.size(), 3);
  EXPECT_EQ(s.last30Days[0].name, QDateTime(QDate(2024, 3, 11), QTime(0, 0), kNewYork));

  // A day whose midnight does not exist starts at its first moment.
  const QTimeZone saoPaulo("America/Sao_Paulo");
  now_ = QDateTime(QDate(2018, 11, 4), QTime(12, 0), saoPaulo);
  s.updateCounters(1);
  const QDateTime start = QLCounter::startOfDay(now_);
  EXPECT_TRUE(start.isValid());
  EXPECT_EQ(start.toTimeZone(saoPaulo).date(), QDate(2018, 11, 4));
  EXPECT_EQ(start.toTimeZone(saoPaulo).time(), QTime(1, 0));
}

TEST_F(Statistics, FortyDaysAreKeptAndPeriodsChooseByDate) {
  QLStatistics s = make();
  for (int day = 0; day < 40; ++day) {
    now_ = QDateTime(QDate(2024, 1, 1).addDays(day), QTime(12, 0), kBerlin);
    s.updateCounters(100 + day);
  }
  ASSERT_EQ(s.last30Days.size(), 40);
  for (int i = 1; i < 40; ++i) EXPECT_GT(s.last30Days[i - 1].name, s.last30Days[i].name);
  EXPECT_EQ(s.last30Days[0].name.toTimeZone(kBerlin).date(), QDate(2024, 2, 9));

  // The sums of each period are checked through the statistics window.
  // Weeks later without use: the recent periods are empty, all time is not.
  const QDateTime later = now_.addDays(20);
  EXPECT_EQ(ql::periodSums(s, 2, later).expanded, 0);
  EXPECT_EQ(ql::periodSums(s, 1, later).expanded, 10);
  EXPECT_EQ(ql::periodSums(s, 0, later).expanded, 40);
}

TEST_F(Statistics, FilesWithoutDailyCountersOrWithDamageOrMissing) {
  QLStatistics missing = make();
  EXPECT_FALSE(missing.load());
  EXPECT_EQ(missing.allTime.expanded, 0);

  const QString file = dir_.filePath("statistics.plist");
  ASSERT_TRUE(test::writeFile(file, "<plist version=\"1.0\"><dict><key>allTime</key><dict><key>name</key>"
          "<date>2020-05-01T00:00:00Z</date><key>expanded</key><integer>9</integer>"
          "<key>characters</key><integer>4321</integer><key>bogus</key><true/></dict></dict></plist>"));
  QLStatistics noDays = make();
  ASSERT_TRUE(noDays.load());
  EXPECT_EQ(noDays.allTime.expanded, 9);
  EXPECT_EQ(noDays.allTime.characters, 4321);
  EXPECT_EQ(noDays.allTime.name, QDateTime(QDate(2020, 5, 1), QTime(0, 0), Qt::UTC));
  EXPECT_TRUE(noDays.last30Days.isEmpty());

  ASSERT_TRUE(test::writeFile(file, "<plist version=\"1.0\"><array/></plist>"));
  QLStatistics notADictionary = make();
  EXPECT_FALSE(notADictionary.load());
  EXPECT_EQ(test::readFile(notADictionary.movedAsidePath), "<plist version=\"1.0\"><array/></plist>");
  EXPECT_TRUE(missing.movedAsidePath.isEmpty());
}

// Start-up saves fresh counts when the file did not load: a damaged file
// must be out of the way by then, kept whole.
TEST_F(Statistics, AnUnreadableFileIsMovedAsideBeforeTheFreshCountsAreSaved) {
  QLStatistics counted = make();
  counted.updateCounters(12);
  const QString file = dir_.filePath("statistics.plist");
  const QByteArray damaged = test::readFile(file).left(120);
  const QDateTime changed = QDateTime::currentDateTime().addDays(-2);
  ASSERT_TRUE(test::writeFileDated(file, damaged, changed));

  LogCapture log;
  QLStatistics s = make();
  EXPECT_FALSE(s.load());
  const QString aside = dir_.filePath("statistics unreadable " + changed.toString("yyyy-MM-dd HH.mm.ss") + ".plist");
  EXPECT_EQ(s.movedAsidePath, aside);
  EXPECT_FALSE(s.unreadableReason.isEmpty());
  EXPECT_TRUE(log.contains("moved to " + aside));
  ASSERT_TRUE(s.save());
  EXPECT_EQ(test::readFile(aside), damaged);
  QLStatistics fresh = make();
  EXPECT_TRUE(fresh.load());
  EXPECT_EQ(fresh.allTime.expanded, 0);
}

TEST(StatisticsWindow, NoSpeedSavesNoHoursAndCountsFollowTheLocale) {
  EXPECT_EQ(ql::calculateHours(12345, 0), 0.0);  // nothing measurable, not infinity
  EXPECT_EQ(ql::formatCount(1234567, QLocale(QLocale::German)), "1.234.567");
}
