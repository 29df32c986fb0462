#pragma once

#include "model/ql_statistics.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace ql {

// The periods of the statistics window, by the index of its pop-up.
enum class StatisticsPeriod { AllTime = 0, Last30Days = 1, Last7Days = 2 };

struct PeriodSums {
  qint64 expanded = 0;
  qint64 characters = 0;
};

// Index 0: the all-time counter. Index 1 and 2: the daily counters of the 30
// and 7 calendar days that end today (now's day). Any other index: zeros.
PeriodSums periodSums(const QLStatistics& statistics, int period, const QDateTime& now);
inline PeriodSums periodSums(const QLStatistics& statistics, int period) {
  return periodSums(statistics, period, statistics.now());
}

// Typing time saved: characters / 5 words (whole words), at wmp words per
// minute, in hours. No speed (0 or less) saves no measurable time: 0.
double calculateHours(qint64 characters, qint64 wmp);

// "#,##0": thousands always grouped, in the locale's separator.
QString formatCount(qint64 value, const QLocale& locale = QLocale::system());
// "%.2f".
QString formatHours(double hours);

}  // namespace ql
