#include "app/backup_and_restore.h"

#include "app/backup_schedule.h"
#include "app/restore_window_controller.h"
#include "model/ql_settings.h"
#include "platform/log.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>

#include <exception>

namespace {

// The integer value of a text, as the preference is read: leading blanks,
// a sign, the digits that follow; 0 without digits.
int integerValue(const QString& text) {
  const QString t = text.trimmed();
  qsizetype end = (t.startsWith(u'-') || t.startsWith(u'+')) ? 1 : 0;
  while (end < t.size() && t[end].isDigit() && end < 10) ++end;
  bool ok = false;
  const int value = t.left(end).toInt(&ok);
  return ok ? value : 0;
}

// Medium date and time: "5 Dec 2026, 13:02" in the user's language.
QString mediumDateTime(const QDateTime& when) {
  const QLocale locale;
  return locale.toString(when.date(), QStringLiteral("d MMM yyyy")) + QStringLiteral(", ") +
         locale.toString(when.time(), QLocale::ShortFormat);
}

QString startupCopyPath() {
  return QLSettings::settingsPath(QLSettings::kStartupCopyName + QLatin1Char('.') +
                                  QLSettings::kDefaultSettingExtension);
}

}  // namespace

BackupAndRestore::BackupAndRestore(BackupAndRestoreDelegate& delegate) : delegate_(delegate) {
  connect(&timer_, &BackupTimer::fired, this, &BackupAndRestore::timerFireMethod);
}

BackupAndRestore::~BackupAndRestore() = default;

void BackupAndRestore::setBackupLabels(const QString& autoBackup, const QString& next) {
  labelAutoBackupText_ = autoBackup;
  labelNextBackupText_ = next;
  delegate_.backupLabelsChanged();
}

void BackupAndRestore::toggleBackup(bool on) {
  timer_.cancel();
  const QLSettings* settings = delegate_.settings();
  const int type = settings ? settings->preferences.backupType : QLPreferences::Daily;
  const QString period = ql::backups::periodLabel(type);
  if (!on) {
    setBackupLabels(tr("Auto Backup %1 :").arg(period), tr("Disabled"));
    return;
  }
  const QDateTime next = ql::backups::nextBackupDate(type, timer_.clock());
  timer_.schedule(next);
  setBackupLabels(tr("Next Backup %1 :").arg(period), mediumDateTime(next));
}

void BackupAndRestore::configChanged() {
  backupFailed_ = false;
  backupToolTip_.clear();
  if (const QLSettings* settings = delegate_.settings()) toggleBackup(settings->preferences.isAutomaticBackup);
}

void BackupAndRestore::timerFireMethod() {
  QString error;
  bool ok = false;
  try {
    ok = backup(&error);
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("timerFireMethod"), QString::fromUtf8(e.what()));
  }
  backupFailed_ = !ok;
  backupToolTip_ = ok ? QString() : error;
  if (!ok) delegate_.scheduledBackupFailed(error);
  if (const QLSettings* settings = delegate_.settings())
    toggleBackup(settings->preferences.isAutomaticBackup);
  else
    delegate_.backupLabelsChanged();
}

bool BackupAndRestore::backup(QString* error, const QString& suffix, const QStringList& keep) {
  try {
    QLSettings* settings = delegate_.settings();
    if (!settings) return false;
    const QString folder = settings->preferences.backupFolderPath;
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.exists()) {
      if (error) *error = tr("Unable to find backup folder path [%1]!").arg(folder);
      return false;
    }
    if (!info.isDir() || !info.isWritable()) {
      if (error) *error = tr("Unable to write backup in folder path [%1]!").arg(folder);
      return false;
    }
    const QString name = ql::backups::backupFileName(timer_.clock(), delegate_.backupDigit(),
                                                     int(settings->snippets.size()), suffix);
    const QString path = QDir(folder).filePath(name);
    ql::log(path);
    if (!settings->saveBackup(path)) {
      if (error) *error = tr("Unable to create backup in folder path [%1]!").arg(folder);
      return false;
    }
    ql::log(QStringLiteral("Backuped"));
    cleanBackups(QStringList(keep) << path);
    return true;
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("backup"), QString::fromUtf8(e.what()));
    return false;
  }
}

void BackupAndRestore::cleanBackups(const QStringList& keep) {
  try {
    const QLSettings* settings = delegate_.settings();
    if (!settings) return;
    const int maximum = integerValue(settings->preferences.maximumBackups);
    if (maximum < 1) return;
    auto entries = ql::backups::listBackups(settings->preferences.backupFolderPath);
    // A backup folder set to the application folder must not cost the
    // library itself or its start-up copy.
    const QString live = QFileInfo(QLSettings::settingsPath()).absoluteFilePath();
    const QString startupCopy = QFileInfo(startupCopyPath()).absoluteFilePath();
    entries.removeIf([&](const ql::backups::BackupEntry& e) {
      const QString path = QFileInfo(e.path).absoluteFilePath();
      return path == live || path == startupCopy;
    });
    for (const QString& path : ql::backups::backupsBeyondMaximum(entries, maximum, keep))
      if (!QFile::remove(path)) ql::logError(QStringLiteral("cleanBackups"), QStringLiteral("cannot delete ") + path);
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("cleanBackups"), QString::fromUtf8(e.what()));
  }
}

void BackupAndRestore::actionBackup() {
  QString error;
  if (!backup(&error)) delegate_.showAlert(QMessageBox::Critical, tr("Unable to create Quillet backup!"), error);
}

void BackupAndRestore::showRestoreWindow() {
  if (!restoreSheet_) {
    restoreSheet_ = std::make_unique<RestoreWindowController>(this, delegate_.settings(), delegate_.alertParent());
    delegate_.windowCreated(restoreSheet_->window());
  }
  restoreSheet_->showWindow();
}

void BackupAndRestore::takeBackup() {
  const QString name = QGuiApplication::applicationDisplayName();
  QString error;
  // The backup selected in the restore window is about to be restored.
  const QStringList keep = restoreSheet_ ? QStringList{restoreSheet_->restoreFile} : QStringList{};
  if (backup(&error, QString(), keep))
    delegate_.showAlert(QMessageBox::Information, tr("%1 backup created successfully.").arg(name), QString());
  else
    delegate_.showAlert(QMessageBox::Critical, tr("Unable to create %1 backup!").arg(name), error);
}

bool BackupAndRestore::restoreSettings(const QString& path, bool alertError) {
  try {
    if (!QFileInfo(path).isFile()) return false;
    QLSettings trial;
    if (trial.loadBackup(path)) return true;
    if (alertError)
      delegate_.showAlert(QMessageBox::Critical, tr("Quillet Backup Restore:"),
                          tr("Unable to load selected backup file!"));
    return false;
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("restoreSettings"), QString::fromUtf8(e.what()));
    return false;
  }
}

void BackupAndRestore::restoreFileSelected(RestoreWindowController* controller, const QString& restoreFile) {
  QLSettings* settings = delegate_.settings();
  if (!settings || !controller) return;
  const bool previousIsShowDockIcon = settings->preferences.isShowDockIcon;
  if (!restoreSettings(restoreFile, true)) return;
  if (controller->isTakeBackupBeforeRestore) {
    QString error;
    if (!backup(&error, QStringLiteral("_Restore Point"), {restoreFile})) {
      delegate_.showAlert(QMessageBox::Critical, tr("Unable to create Quillet backup!"), error);
      return;
    }
  }
  const bool groups = controller->isRestoreGroupsAndSnippets;
  const bool prefs = controller->isRestorePreferences;
  if (!settings->loadSettings(restoreFile, groups, prefs)) {
    delegate_.showAlert(QMessageBox::Critical, tr("Quillet Backup Restore:"),
                        tr("Unable to restore backup!\r\n\r\nTo restore previous data, please "
                           "manually restore it from default backup file.\r\n\r\n[%1].\r\n\r\n"
                           "Click [OK] to reveal file in finder.")
                            .arg(startupCopyPath()));
    restoreAlertDidEnd();
    return;
  }
  ql::log(QStringLiteral("Restored"));
  delegate_.libraryRestored(groups, prefs, previousIsShowDockIcon);
}

void BackupAndRestore::restoreAlertDidEnd() {
  // Show the start-up copy in the file manager: its folder is what opens.
  delegate_.revealFolder(QFileInfo(QLSettings::settingsPath()).absolutePath());
}
