#include "app/backup_schedule.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

namespace ql::backups {

QDateTime nextBackupDate(int backupType, const QDateTime& now) {
  switch (backupType) {
    case 0:
      return now.addSecs(3600);
    case 2:
      return now.addDays(7);
    case 3:
      return now.addMonths(1);
    default:
      // Days keep the wall-clock time across a daylight-saving change.
      return now.addDays(1);
  }
}

QString periodLabel(int backupType) {
  switch (backupType) {
    case 0:
      return QStringLiteral("(H)");
    case 2:
      return QStringLiteral("(W)");
    case 3:
      return QStringLiteral("(M)");
    default:
      return QStringLiteral("(D)");
  }
}

QString backupFileName(const QDateTime& when, int randomDigit, int snippetCount,
                       const QString& suffix) {
  // Digits and the underscore are literal text to the date formatter.
  const QString pattern =
      QStringLiteral("yyyy-MM-dd-HHmmss%1_%2").arg(randomDigit).arg(snippetCount);
  return QStringLiteral("Quillet Backup %1").arg(QLocale::c().toString(when, pattern)) + suffix +
         QStringLiteral(".qlxdoc");
}

QList<BackupEntry> listBackups(const QString& folder) {
  QList<BackupEntry> entries;
  const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden);
  for (const QFileInfo& file : files) {
    if (file.suffix() != QLatin1String("qlxdoc")) continue;
    entries.append({file.absoluteFilePath(), file.lastModified()});
  }
  return entries;
}

QStringList backupsBeyondMaximum(QList<BackupEntry> entries, int maximum, const QStringList& keep) {
  if (maximum < 1 || entries.size() <= maximum) return {};
  std::stable_sort(entries.begin(), entries.end(),
                   [](const BackupEntry& a, const BackupEntry& b) { return a.date < b.date; });
  QStringList kept;
  for (const QString& path : keep)
    if (!path.isEmpty()) kept.append(QFileInfo(path).absoluteFilePath());
  QStringList doomed;
  qsizetype excess = entries.size() - maximum;
  for (const BackupEntry& entry : entries) {
    if (excess == 0) break;
    if (kept.contains(QFileInfo(entry.path).absoluteFilePath())) continue;
    doomed.append(entry.path);
    --excess;
  }
  return doomed;
}

QString backupColumnText(const BackupEntry& entry) {
  const QString date = QLocale::c().toString(entry.date, QStringLiteral("dd MMM yyyy h:mm:ss AP"));
  const QStringList parts = QFileInfo(entry.path).completeBaseName().split(QLatin1Char('_'));
  if (parts.size() == 3) return QStringLiteral("%1 [%2]").arg(date, parts[2]);
  return date;
}

int countColumnValue(const BackupEntry& entry) {
  const QStringList parts = QFileInfo(entry.path).completeBaseName().split(QLatin1Char('_'));
  if (parts.size() < 2) return 0;
  // The integer value of the text: leading digits, 0 when there are none.
  qsizetype digits = 0;
  while (digits < parts[1].size() && parts[1][digits].isDigit()) ++digits;
  return parts[1].left(digits).toInt();
}

}  // namespace ql::backups
