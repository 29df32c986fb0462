#include "app/statistics_chart.h"

#include "model/ql_statistics.h"
#include "model/statistics_periods.h"

#include <QLocale>
#include <QPainter>

#include <algorithm>

StatisticsChart::StatisticsChart(QWidget* parent) : QWidget(parent) {
  setAccessibleName(tr("Characters inserted per day"));
}

void StatisticsChart::setDays(const QDate& first, const QList<qint64>& characters) {
  first_ = first;
  days_ = characters;
  update();
}

QList<qint64> StatisticsChart::dailyCharacters(const QLStatistics& statistics, const QDate& first,
                                              const QDate& last) {
  if (!first.isValid() || !last.isValid() || last < first) return {};
  QList<qint64> days(first.daysTo(last) + 1, 0);
  for (const QLCounter& c : statistics.last30Days) {
    if (!c.name.isValid()) continue;
    const qint64 i = first.daysTo(c.name.date());
    // The daily list may hold a day twice after a clock change; both count.
    if (i >= 0 && i < days.size()) days[i] += std::max<qint64>(0, c.characters);
  }
  return days;
}

void StatisticsChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QPalette& pal = palette();
  const QFontMetrics fm = fontMetrics();
  const QLocale locale;

  const qint64 top = days_.isEmpty() ? 0 : *std::max_element(days_.cbegin(), days_.cend());
  const QString topText = ql::formatCount(top, locale);
  const int left = fm.horizontalAdvance(topText) + 8;
  const int bottomBand = fm.height() + 6;
  const QRect plot(left, fm.height() / 2 + 2, width() - left - 6, height() - bottomBand - fm.height() / 2 - 2);
  if (plot.width() < 10 || plot.height() < 10) return;

  // Axes and the scale in the window's own text colours, so dark themes work.
  p.setPen(pal.color(QPalette::Mid));
  p.drawLine(plot.bottomLeft(), plot.bottomRight());
  p.drawLine(plot.bottomLeft(), plot.topLeft());
  p.setPen(pal.color(QPalette::WindowText));
  p.drawText(QRect(0, plot.top() - fm.height() / 2, left - 4, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
             topText);
  p.drawText(QRect(0, plot.bottom() - fm.height() / 2, left - 4, fm.height()),
             Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("0"));

  if (days_.isEmpty()) return;
  const QRect labels(plot.left(), plot.bottom() + 3, plot.width(), fm.height());
  const QString fmt = locale.dateFormat(QLocale::ShortFormat);
  p.drawText(labels, Qt::AlignLeft | Qt::AlignTop, locale.toString(first_, fmt));
  if (days_.size() > 1)
    p.drawText(labels, Qt::AlignRight | Qt::AlignTop, locale.toString(first_.addDays(days_.size() - 1), fmt));
  if (top <= 0) {
    p.drawText(plot, Qt::AlignCenter, tr("No expansions in this period"));
    return;
  }

  // With more days than pixels, neighbouring days share a column and the
  // column shows the largest of them.
  const int n = int(days_.size());
  const double step = double(plot.width() - 1) / n;
  const double gap = step >= 4 ? std::max(1.0, step / 5) : 0;
  const QColor bar = pal.color(QPalette::Highlight);
  for (int i = 0; i < n; ++i) {
    if (days_[i] <= 0) continue;
    const int h = std::max(1, int(double(days_[i]) / double(top) * (plot.height() - 1) + 0.5));
    const int x0 = plot.left() + 1 + int(i * step + gap / 2);
    const int x1 = std::max(x0 + 1, plot.left() + 1 + int((i + 1) * step - gap / 2));
    p.fillRect(QRect(QPoint(x0, plot.bottom() - h), QPoint(x1 - 1, plot.bottom() - 1)), bar);
  }
}
