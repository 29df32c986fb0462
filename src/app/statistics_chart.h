#pragma once

#include <QDate>
#include <QList>
#include <QWidget>

class QLStatistics;

// Characters inserted per day, as bars from the first day to the last.
class StatisticsChart final : public QWidget {
  Q_OBJECT

 public:
  explicit StatisticsChart(QWidget* parent = nullptr);

  // One value per day from first to last, both included; days without
  // expansions are 0.
  void setDays(const QDate& first, const QList<qint64>& characters);
  const QList<qint64>& days() const { return days_; }
  QDate firstDay() const { return first_; }

  // The daily characters of statistics from first to last.
  static QList<qint64> dailyCharacters(const QLStatistics& statistics, const QDate& first,
                                       const QDate& last);

  QSize sizeHint() const override { return {460, 180}; }
  QSize minimumSizeHint() const override { return {200, 120}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QDate first_;
  QList<qint64> days_;
};
