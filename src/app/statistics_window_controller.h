#pragma once

#include "app/statistics_window_controller_delegate.h"

#include <QDialog>
#include <QObject>
#include <QPointer>

class QComboBox;
class QLabel;
class QLSettings;
class QLStatistics;
class StatisticsChart;

// The statistics window: expansions, characters inserted and typing time
// saved over a chosen period, at the user's typing speed, with a chart of the
// characters inserted per day. Created on first use and kept.
class StatisticsWindowController final : public QObject {
  Q_OBJECT

 public:
  // settings and statistics are the live ones; both must outlive the window.
  StatisticsWindowController(QLSettings* settings, QLStatistics* statistics, QWidget* parent = nullptr);
  ~StatisticsWindowController() override;

  QLSettings* settings = nullptr;
  QLStatistics* statistics = nullptr;
  StatisticsWindowControllerDelegate* delegate = nullptr;

  QDialog* window() const { return window_; }
  // Shows and raises the window.
  void showWindow();

  // The first period, recomputed; also after a restore.
  void resetView();
  // Recomputes the chosen period; after each expansion while the window is open.
  void refresh();
  void actionPeriodChanged();
  void actionWPMChanged();

  // The speeds offered (words per minute).
  static const QList<int>& speeds();

  QComboBox* statisticPeriodPopup = nullptr;
  QComboBox* wmpCombobox = nullptr;
  QLabel* labelSnippets = nullptr;
  QLabel* labelCharacters = nullptr;
  QLabel* labelHours = nullptr;
  StatisticsChart* chart = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void selectSpeed(qint64 wmp);
  void saveFrame() const;

  QPointer<QDialog> window_;
};
