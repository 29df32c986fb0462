#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <functional>

// A one-shot timer for a date on the wall clock. A plain timer counts
// monotonic time, which stands still while the machine sleeps and ignores
// changes of the clock; this one looks at the clock at least once a minute,
// so a backup that fell due during a suspend or a jump of the clock fires
// once, soon after, and never once per missed period.
class BackupTimer final : public QObject {
  Q_OBJECT

 public:
  using Clock = std::function<QDateTime()>;

  explicit BackupTimer(QObject* parent = nullptr);

  void schedule(const QDateTime& due);
  void cancel();
  bool isActive() const { return active_; }
  QDateTime dueDate() const { return due_; }

  // Tests replace the clock and call check() as the minute ticks would.
  Clock clock;
  void check();
  static constexpr int kCheckIntervalMs = 60 * 1000;

 Q_SIGNALS:
  void fired();

 private:
  void arm();

  QTimer timer_;
  QDateTime due_;
  QDateTime lastCheck_;
  bool active_ = false;
};
