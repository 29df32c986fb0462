#pragma once

#include "model/ql_counter.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

// Expansions and characters inserted, in total and per calendar day, kept in
// "statistics.plist" in the application folder.
class QLStatistics {
 public:
  using Clock = std::function<QDateTime()>;

  // clock gives "now" (local time unless it says otherwise); path is the
  // statistics file, by default in the application folder.
  explicit QLStatistics(Clock clock = {}, QString path = QString());

  QLCounter allTime;
  QList<QLCounter> last30Days;  // one per day with expansions, newest first

  // One expansion that inserted characters characters; saves the file.
  void updateCounters(qint64 characters);

  bool save() const;
  // A file that exists but cannot be read is moved aside first (see
  // movedAsidePath), so that the fresh counts saved next do not replace it.
  bool load();

  // Where load() moved an unreadable statistics file, and why it could not
  // be read; empty when it did not.
  QString movedAsidePath;
  QString unreadableReason;

  const QString& path() const { return path_; }
  QDateTime now() const { return clock_(); }
  static QString defaultPath();

 private:
  Clock clock_;
  QString path_;
};
