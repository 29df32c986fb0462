#include "model/statistics_periods.h"

namespace ql {

PeriodSums periodSums(const QLStatistics& statistics, int period, const QDateTime& now) {
  PeriodSums sums;
  if (period == int(StatisticsPeriod::AllTime)) {
    sums.expanded = statistics.allTime.expanded;
    sums.characters = statistics.allTime.characters;
    return sums;
  }
  int days = 0;
  if (period == int(StatisticsPeriod::Last30Days)) days = 30;
  if (period == int(StatisticsPeriod::Last7Days)) days = 7;
  if (days == 0) return sums;
  // The daily list is never pruned, so the period is chosen by date: summing
  // the whole list would show all time under "last 30 days", and the seven
  // newest entries may be weeks old.
  const QDateTime first = QLCounter::startOfDay(now.addDays(-(days - 1)));
  for (const QLCounter& c : statistics.last30Days) {
    if (!c.name.isValid() || c.name < first) continue;
    sums.expanded += c.expanded;
    sums.characters += c.characters;
  }
  return sums;
}

double calculateHours(qint64 characters, qint64 wmp) {
  if (wmp <= 0) return 0.0;
  const qint64 words = characters / 5;
  return double(words) / double(wmp) / 60.0;
}

QString formatCount(qint64 value, const QLocale& locale) {
  QLocale grouped = locale;
  grouped.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
  return grouped.toString(value);
}

QString formatHours(double hours) { return QString::asprintf("%.2f", hours); }

}  // namespace ql
