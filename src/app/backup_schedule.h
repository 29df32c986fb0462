#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The calendar and file rules of the backups: when the next one is due, what
// a backup file is called, which files count as backups, and which go when
// there are too many.
namespace ql::backups {

// One file of the backup folder: its full path and modification date.
struct BackupEntry {
  QString path;
  QDateTime date;
};

// now plus one hour, day, week or month of the calendar (backupType 0 to 3);
// any other type counts as daily.
QDateTime nextBackupDate(int backupType, const QDateTime& now);
// "(H)", "(D)", "(W)" or "(M)".
QString periodLabel(int backupType);

// "Quillet Backup yyyy-MM-dd-HHmmssR_N" + suffix + ".qlxdoc".
QString backupFileName(const QDateTime& when, int randomDigit, int snippetCount,
                       const QString& suffix = QString());

// Every ".qlxdoc" file directly in folder, in no particular order.
QList<BackupEntry> listBackups(const QString& folder);
// The files to delete so that at most maximum stay, oldest first; none when
// maximum is below 1. The files in keep count but are never chosen, so fewer
// may go than the maximum asks.
QStringList backupsBeyondMaximum(QList<BackupEntry> entries, int maximum,
                                 const QStringList& keep = {});

// The restore window's columns for a backup file.
QString backupColumnText(const BackupEntry& entry);
int countColumnValue(const BackupEntry& entry);

}  // namespace ql::backups
