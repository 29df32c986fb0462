#pragma once

#include <QDBusUnixFileDescriptor>
#include <QObject>

namespace ql {

// Tells the program when the machine is about to suspend or hibernate, early
// enough to write what it still holds: a "delay" lock taken from logind
// keeps the suspend waiting (a few seconds at most) until it is let go,
// which the lock's holder does once aboutToSleep's handlers have returned.
// Without logind on the system bus it does nothing.
class SleepInhibitor final : public QObject {
  Q_OBJECT

 public:
  explicit SleepInhibitor(QObject* parent = nullptr);

 Q_SIGNALS:
  void aboutToSleep();

 private Q_SLOTS:
  void prepareForSleep(bool starting);

 private:
  void takeLock();

  QDBusUnixFileDescriptor lock_;
};

}  // namespace ql
