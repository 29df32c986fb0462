#include "app/statistics_chart.h"
#include "app/statistics_window_controller.h"
#include "model/ql_settings.h"
#include "model/ql_statistics.h"

#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

class StatisticsWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    now_ = QDateTime(QDate(2026, 3, 31), QTime(15, 0));
    statistics_ = std::make_unique<QLStatistics>([this] { return now_; }, dir_.filePath("statistics.plist"));
  }
  void TearDown() override { QLocale::setDefault(QLocale::system()); }

  // count counters, one a day ending today, of characters = 1000 * (day + 1).
  void fillDays(int count) {
    for (int day = 0; day < count; ++day) {
      QLCounter c(QLCounter::startOfDay(now_.addDays(-day)));
      c.expanded = day + 1;
      c.characters = 1000 * (day + 1);
      statistics_->last30Days.append(c);
      statistics_->allTime.expanded += c.expanded;
      statistics_->allTime.characters += c.characters;
    }
  }

  void choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
  }

  QTemporaryDir dir_;
  QDateTime now_;
  std::unique_ptr<QLStatistics> statistics_;
  QLSettings settings_;
};

}  // namespace

TEST_F(StatisticsWindow, PeriodsShowTheirSumsGroupedAndTheHoursSaved) {
  fillDays(40);  // more days than the longest period: older ones count only in all time
  statistics_->allTime.characters += 5'000'000;
  settings_.preferences.wordPerMinute = 40;
  StatisticsWindowController w(&settings_, statistics_.get());
  EXPECT_EQ(w.labelSnippets->text(), "820");  // 1 + ... + 40
  EXPECT_EQ(w.labelCharacters->text(), "5,820,000");
  EXPECT_EQ(w.labelHours->text(), "485.00");  // 1,164,000 words at 40 a minute

  w.statisticPeriodPopup->setCurrentIndex(1);
  EXPECT_EQ(w.labelSnippets->text(), "465");  // the last 30 days: 1 + ... + 30
  EXPECT_EQ(w.labelCharacters->text(), "465,000");
  ASSERT_EQ(w.chart->days().size(), 30);
  EXPECT_EQ(w.chart->firstDay(), QDate(2026, 3, 2));
  EXPECT_EQ(w.chart->days().first(), 30000);  // the oldest day of the period
  EXPECT_EQ(w.chart->days().last(), 1000);    // today

  w.statisticPeriodPopup->setCurrentIndex(2);
  EXPECT_EQ(w.labelCharacters->text(), "28,000");
  EXPECT_EQ(w.labelHours->text(), "2.33");
  EXPECT_EQ(w.chart->days().size(), 7);
  // A refresh keeps the chosen period and shows what came since.
  statistics_->updateCounters(1234);
  w.refresh();
  EXPECT_EQ(w.statisticPeriodPopup->currentIndex(), 2);
  EXPECT_EQ(w.labelCharacters->text(), "29,234");
  EXPECT_EQ(w.chart->days().last(), 2234);

  // A restore resets to all time; the chart then runs from the oldest day.
  w.resetView();
  EXPECT_EQ(w.statisticPeriodPopup->currentIndex(), 0);
  EXPECT_EQ(w.chart->firstDay(), QDate(2026, 2, 20));
  EXPECT_EQ(w.chart->days().size(), 40);
}

TEST_F(StatisticsWindow, SpeedIsStoredAndRecomputedAndAnUnlistedSpeedKept) {
  fillDays(3);
  settings_.preferences.wordPerMinute = 45;  // not one of the offered speeds
  StatisticsWindowController w(&settings_, statistics_.get());
  EXPECT_EQ(w.wmpCombobox->currentText(), "45");
  EXPECT_EQ(w.labelHours->text(), "0.44");  // 1,200 words at 45 a minute

  choose(w.wmpCombobox, w.wmpCombobox->findData(60));
  EXPECT_EQ(w.labelHours->text(), "0.33");

  // Without statistics the speed is left alone.
  StatisticsWindowController orphan(&settings_, nullptr);
  choose(orphan.wmpCombobox, orphan.wmpCombobox->findData(20));
  EXPECT_EQ(settings_.preferences.wordPerMinute, 60);
}

TEST_F(StatisticsWindow, ChartSumsTwoCountersOfOneDayAndIgnoresDaysOutsideTheRange) {
  QLStatistics s([this] { return now_; }, dir_.filePath("other.plist"));
  QLCounter a(QLCounter::startOfDay(now_));
  a.characters = 10;
  QLCounter b = a;
  b.characters = 5;
  QLCounter old(QLCounter::startOfDay(now_.addDays(-100)));
  old.characters = 99;
  s.last30Days = {a, b, old};
  const QList<qint64> days = StatisticsChart::dailyCharacters(s, now_.date().addDays(-1), now_.date());
  EXPECT_EQ(days, (QList<qint64>{0, 15}));
  EXPECT_TRUE(StatisticsChart::dailyCharacters(s, now_.date(), now_.date().addDays(-1)).isEmpty());
}
