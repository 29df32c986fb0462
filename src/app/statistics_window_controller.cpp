#include "app/statistics_window_controller.h"

#include "app/statistics_chart.h"
#include "model/ql_settings.h"
#include "model/ql_statistics.h"
#include "model/statistics_periods.h"

#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QSettings>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kFrameKey = QStringLiteral("NSWindow Frame StatisticWindow");

QSettings defaults() { return QSettings(QStringLiteral("Orrery Labs"), QStringLiteral("Quillet")); }

QLabel* figure(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QFont f = label->font();
  f.setBold(true);
  label->setFont(f);
  return label;
}

}  // namespace

const QList<int>& StatisticsWindowController::speeds() {
  static const QList<int> list{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
  return list;
}

StatisticsWindowController::StatisticsWindowController(QLSettings* settings, QLStatistics* statistics,
                                                       QWidget* parent)
    : settings(settings), statistics(statistics) {
  window_ = new QDialog(parent);
  window_->setWindowTitle(tr("Statistics"));
  window_->setObjectName(QStringLiteral("StatisticSheet"));

  statisticPeriodPopup = new QComboBox(window_);
  statisticPeriodPopup->addItems({tr("All Time"), tr("Last 30 Days"), tr("Last 7 Days")});
  wmpCombobox = new QComboBox(window_);
  for (int wmp : speeds()) wmpCombobox->addItem(QString::number(wmp), wmp);
  labelSnippets = figure(window_);
  labelCharacters = figure(window_);
  labelHours = figure(window_);
  chart = new StatisticsChart(window_);

  auto* form = new QFormLayout;
  form->addRow(tr("Period:"), statisticPeriodPopup);
  form->addRow(tr("Snippets expanded:"), labelSnippets);
  form->addRow(tr("Characters inserted:"), labelCharacters);
  form->addRow(tr("Typing speed (words per minute):"), wmpCombobox);
  form->addRow(tr("Hours saved:"), labelHours);
  auto* layout = new QVBoxLayout(window_);
  layout->addLayout(form);
  layout->addWidget(chart, 1);

  // Set before the signals are connected: selecting the stored speed is not
  // a change by the user.
  selectSpeed(settings ? settings->preferences.wordPerMinute : speeds().first());
  connect(statisticPeriodPopup, &QComboBox::currentIndexChanged, this, [this] { actionPeriodChanged(); });
  connect(wmpCombobox, &QComboBox::activated, this, [this] { actionWPMChanged(); });

  const QByteArray frame = defaults().value(kFrameKey).toByteArray();
  if (frame.isEmpty() || !window_->restoreGeometry(frame)) window_->resize(window_->sizeHint().expandedTo({480, 360}));
  window_->installEventFilter(this);
  resetView();
}

StatisticsWindowController::~StatisticsWindowController() {
  if (window_) {
    saveFrame();
    delete window_;
  }
}

void StatisticsWindowController::showWindow() {
  refresh();
  window_->show();
  window_->raise();
  window_->activateWindow();
}

bool StatisticsWindowController::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_ && event->type() == QEvent::Hide) saveFrame();
  return QObject::eventFilter(watched, event);
}

void StatisticsWindowController::saveFrame() const {
  // A window never shown has no frame of the user's making.
  if (window_ && window_->testAttribute(Qt::WA_WState_Created))
    defaults().setValue(kFrameKey, window_->saveGeometry());
}

void StatisticsWindowController::selectSpeed(qint64 wmp) {
  int index = wmpCombobox->findData(int(wmp));
  // A speed the list does not offer (set in another version, or by hand)
  // is shown as it is rather than replaced by the first one.
  if (index < 0 && wmp > 0 && wmp <= 1000) {
    int at = 0;
    while (at < wmpCombobox->count() && wmpCombobox->itemData(at).toInt() < wmp) ++at;
    wmpCombobox->insertItem(at, QString::number(wmp), int(wmp));
    index = at;
  }
  wmpCombobox->setCurrentIndex(std::max(0, index));
}

void StatisticsWindowController::resetView() {
  if (statisticPeriodPopup->currentIndex() == 0) actionPeriodChanged();
  else statisticPeriodPopup->setCurrentIndex(0);  // recomputes through the signal
}

void StatisticsWindowController::refresh() {
  if (settings) {
    const QSignalBlocker block(wmpCombobox);
    selectSpeed(settings->preferences.wordPerMinute);
  }
  actionPeriodChanged();
}

void StatisticsWindowController::actionPeriodChanged() {
  ql::PeriodSums sums;
  const int period = statisticPeriodPopup->currentIndex();
  if (statistics) sums = ql::periodSums(*statistics, period);
  const QLocale locale;
  labelSnippets->setText(ql::formatCount(sums.expanded, locale));
  labelCharacters->setText(ql::formatCount(sums.characters, locale));
  const qint64 wmp = settings ? settings->preferences.wordPerMinute : wmpCombobox->currentData().toInt();
  labelHours->setText(ql::formatHours(ql::calculateHours(sums.characters, wmp)));

  if (!statistics) {
    chart->setDays({}, {});
    return;
  }
  const QDate today = statistics->now().date();
  QDate first = today;
  if (period == 1) first = today.addDays(-29);
  else if (period == 2) first = today.addDays(-6);
  else if (period == 0) {
    for (const QLCounter& c : statistics->last30Days)
      if (c.name.isValid() && c.name.date() < first) first = c.name.date();
    // Years of daily counts would make hair-thin bars; the last year is shown.
    first = std::max(first, today.addDays(-365));
  }
  chart->setDays(first, StatisticsChart::dailyCharacters(*statistics, first, today));
}

void StatisticsWindowController::actionWPMChanged() {
  if (!settings || !statistics) return;
  const int wmp = wmpCombobox->currentData().toInt();
  if (wmp <= 0) return;
  settings->preferences.wordPerMinute = wmp;
  actionPeriodChanged();
  // The preference would otherwise wait for the next change to the library
  // to be saved, and be lost if none came.
  if (delegate) delegate->statisticsWordPerMinuteChanged(this);
}
