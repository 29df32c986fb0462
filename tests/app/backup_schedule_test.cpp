// The backup calendar, file names, pruning and the wall-clock timer.
#include "app/backup_schedule.h"
#include "app/backup_timer.h"
#include "support/test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace ql::backups;

namespace {

void touch(const QString& path, const QDateTime& modified) {
  ASSERT_TRUE(test::writeFileDated(path, "x", modified));
}

}  // namespace

TEST(BackupSchedule, CalendarArithmeticAcrossMonthEndsAndDaylightSaving) {
  const QTimeZone berlin("Europe/Berlin");
  ASSERT_TRUE(berlin.isValid());
  // The night clocks went forward: 29 March 2026, 02:00 became 03:00.
  const QDateTime beforeChange(QDate(2026, 3, 28), QTime(13, 0), berlin);
  EXPECT_EQ(nextBackupDate(1, beforeChange), QDateTime(QDate(2026, 3, 29), QTime(13, 0), berlin));
  EXPECT_EQ(beforeChange.secsTo(nextBackupDate(1, beforeChange)), 23 * 3600);
  // An hour is an hour of real time, also across the change.
  const QDateTime oneThirty(QDate(2026, 3, 29), QTime(1, 30), berlin);
  EXPECT_EQ(nextBackupDate(0, oneThirty).time(), QTime(3, 30));
  EXPECT_EQ(nextBackupDate(2, beforeChange), QDateTime(QDate(2026, 4, 4), QTime(13, 0), berlin));
  // A month from 31 January ends on the last day of February.
  const QDateTime endOfJanuary(QDate(2026, 1, 31), QTime(9, 15), berlin);
  EXPECT_EQ(nextBackupDate(3, endOfJanuary), QDateTime(QDate(2026, 2, 28), QTime(9, 15), berlin));
  // A type the preferences never offer is treated as daily, not as "never".
  EXPECT_EQ(nextBackupDate(7, endOfJanuary), endOfJanuary.addDays(1));
}

TEST(BackupSchedule, FileNamesAndTheCountReadBackFromThem) {
  const QDateTime when(QDate(2026, 12, 5), QTime(13, 2, 15));
  EXPECT_EQ(backupFileName(when, 5, 120), QStringLiteral("Quillet Backup 2026-12-05-1302155_120.qlxdoc"));
  const QString point = backupFileName(when, 7, 120, QStringLiteral("_Restore Point"));
  EXPECT_EQ(point, QStringLiteral("Quillet Backup 2026-12-05-1302157_120_Restore Point.qlxdoc"));

  const BackupEntry plain{QStringLiteral("/b/Quillet Backup 2026-12-05-1302155_120.qlxdoc"), when};
  const BackupEntry restorePoint{QStringLiteral("/b/") + point, when};
  const BackupEntry other{QStringLiteral("/b/settings.qlxdoc"), when};
  EXPECT_EQ(countColumnValue(plain), 120);
  EXPECT_EQ(countColumnValue(restorePoint), 120);
  EXPECT_EQ(countColumnValue(other), 0);
}

TEST(BackupSchedule, PruningDropsTheOldestDocumentsWhateverTheirNames) {
  QTemporaryDir dir;
  const QDateTime base(QDate(2026, 1, 1), QTime(12, 0));
  // Eleven documents; the oldest one is not named like a backup.
  touch(dir.filePath(QStringLiteral("my library.qlxdoc")), base);
  for (int i = 1; i <= 10; ++i)
    touch(dir.filePath(QStringLiteral("Quillet Backup %1_3.qlxdoc").arg(i)), base.addSecs(i * 60));
  touch(dir.filePath(QStringLiteral("notes.txt")), base.addDays(-30));
  const QList<BackupEntry> entries = listBackups(dir.path());
  ASSERT_EQ(entries.size(), 11);
  EXPECT_EQ(backupsBeyondMaximum(entries, 10), QStringList{dir.filePath(QStringLiteral("my library.qlxdoc"))});
  EXPECT_EQ(backupsBeyondMaximum(entries, 9).size(), 2);
  EXPECT_TRUE(backupsBeyondMaximum(entries, 11).isEmpty());
  EXPECT_TRUE(backupsBeyondMaximum(entries, 0).isEmpty());
  EXPECT_TRUE(backupsBeyondMaximum(entries, -3).isEmpty());
}

TEST(BackupTimer, FiresOnceForMissedPeriodsAndSurvivesClockJumps) {
  QDateTime now(QDate(2026, 6, 1), QTime(10, 0));
  BackupTimer timer;
  timer.clock = [&now] { return now; };
  int fired = 0;
  QObject::connect(&timer, &BackupTimer::fired, [&] { ++fired; });

  // Asleep for three hours with an hourly backup: one backup on waking.
  timer.schedule(now.addSecs(3600));
  now = now.addSecs(3 * 3600 + 42);
  timer.check();
  timer.check();
  EXPECT_EQ(fired, 1);
  EXPECT_FALSE(timer.isActive());

  // The clock set back by a day: the hour still to wait stays an hour.
  timer.schedule(now.addSecs(3600));
  now = now.addSecs(600);
  timer.check();
  now = now.addDays(-1);
  timer.check();
  EXPECT_EQ(fired, 1);
  now = now.addSecs(3000);
  timer.check();
  EXPECT_EQ(fired, 2);

  // Cancelled means silent, however late it gets.
  timer.schedule(now.addSecs(60));
  timer.cancel();
  now = now.addDays(2);
  timer.check();
  EXPECT_EQ(fired, 2);
}
