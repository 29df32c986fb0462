#include "app/backup_timer.h"

#include <algorithm>

BackupTimer::BackupTimer(QObject* parent)
    : QObject(parent), clock([] { return QDateTime::currentDateTime(); }) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::VeryCoarseTimer);
  connect(&timer_, &QTimer::timeout, this, &BackupTimer::check);
}

void BackupTimer::schedule(const QDateTime& due) {
  due_ = due;
  active_ = true;
  lastCheck_ = clock();
  arm();
}

void BackupTimer::cancel() {
  active_ = false;
  timer_.stop();
}

void BackupTimer::check() {
  if (!active_) return;
  const QDateTime now = clock();
  // The clock went back (by hand or by a time sync): keep the time that was
  // still to wait instead of waiting the jump out on top.
  if (now < lastCheck_) due_ = due_.addMSecs(lastCheck_.msecsTo(now));
  lastCheck_ = now;
  if (now >= due_) {
    active_ = false;
    Q_EMIT fired();
    return;
  }
  arm();
}

void BackupTimer::arm() {
  const qint64 left = std::max<qint64>(0, clock().msecsTo(due_));
  timer_.start(static_cast<int>(std::min<qint64>(left, kCheckIntervalMs)));
}
