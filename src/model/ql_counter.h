#pragma once

#include "model/plist.h"

#include <QDateTime>

// One day's counts (or the all-time totals): expansions and characters inserted.
class QLCounter {
 public:
  QLCounter();  // the start of today, local time
  explicit QLCounter(const QDateTime& day) : name(day) {}

  QDateTime name;  // the day the counts belong to, as the moment it started
  qint64 expanded = 0;
  qint64 characters = 0;

  ql::PlistDict getData() const;
  // Takes the fields found in the dictionary; nullptr does nothing.
  void setData(const ql::PlistDict* dict);

  // 00:00 of the calendar day of at, in at's own time zone. A day that starts
  // inside a daylight-saving gap starts at its first existing moment.
  static QDateTime startOfDay(const QDateTime& at);
};
