// stats: the statistics window's figures.
#include "commands.h"

#include "model/ql_settings.h"
#include "model/ql_statistics.h"
#include "model/statistics_periods.h"

#include <QFileInfo>

namespace tool {

int runStats(const QStringList& args) {
  const QString usage = QStringLiteral("usage: quillet-tool stats [--period 0|1|2] [--wpm N]");
  int period = 0;
  qint64 wpm = -1;
  for (int i = 0; i < args.size(); ++i) {
    bool ok = false;
    if (args[i] == QLatin1String("--period") && i + 1 < args.size()) {
      period = args[++i].toInt(&ok);
      ok = ok && period >= 0 && period <= 2;
    } else if (args[i] == QLatin1String("--wpm") && i + 1 < args.size()) {
      wpm = args[++i].toLongLong(&ok);
      ok = ok && wpm > 0;
    }
    if (!ok) {
      printErr(usage);
      return 2;
    }
  }
  if (wpm < 0) {
    // The typing speed the user chose in Quillet, else the default.
    QLSettings settings;
    if (QFileInfo::exists(QLSettings::settingsPath())) settings.loadSettings();
    wpm = settings.preferences.wordPerMinute;
  }
  QLStatistics statistics;
  if (QFileInfo::exists(statistics.path()) && !statistics.load()) {
    printErr(QStringLiteral("cannot read %1").arg(statistics.path()));
    return 1;
  }
  const ql::PeriodSums sums = ql::periodSums(statistics, period);
  printOut(QStringLiteral("Snippets: %1").arg(ql::formatCount(sums.expanded)));
  printOut(QStringLiteral("Characters: %1").arg(ql::formatCount(sums.characters)));
  printOut(QStringLiteral("Hours: %1").arg(ql::formatHours(ql::calculateHours(sums.characters, wpm))));
  return 0;
}

}  // namespace tool
