#pragma once

#include "model/ql_counter.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <QTimer>

#include <functional>
#include <memory>

// Expansions and characters inserted, in total and per calendar day, kept in
// "statistics.plist" in the application folder.
class QLStatistics {
 public:
  using Clock = std::function<QDateTime()>;

  // clock gives "now" (local time unless it says otherwise); path is the
  // statistics file, by default in the application folder.
  explicit QLStatistics(Clock clock = {}, QString path = QString());
  // Writes an update still waiting.
  ~QLStatistics();

  QLCounter allTime;
  QList<QLCounter> last30Days;  // one per day with expansions, newest first

  // One expansion that inserted characters characters; saves the file.
  void updateCounters(qint64 characters);
  // Takes back one expansion counted by updateCounters at countedAt (an
  // expansion the user undid); saves the file.
  void revertCounters(qint64 characters, const QDateTime& countedAt);

  bool save() const;
  // A file that exists but cannot be read is moved aside first (see
  // movedAsidePath), so that the fresh counts saved next do not replace it.
  bool load();

  // From now on an update is written delayMs later, in the background, and
  // updates meanwhile share that write (negative: at once, the default).
  void setSaveDelay(int delayMs);
  // Writes what updates left unwritten and waits until it is on disk.
  void flushSave();

  // Where load() moved an unreadable statistics file, and why it could not
  // be read; empty when it did not.
  QString movedAsidePath;
  QString unreadableReason;

  const QString& path() const { return path_; }
  QDateTime now() const { return clock_(); }
  static QString defaultPath();

 private:
  void saveAfterUpdate();
  // The statistics file's root dictionary.
  ql::PlistDict fileRoot() const;
  void saveInBackground();

  Clock clock_;
  QString path_;
  int saveDelayMs_ = -1;
  bool saveFailing_ = false;
  std::unique_ptr<QTimer> saveTimer_;  // pending while active
};
