// Scheduled and manual backups, and restoring one.
#include "app/quillet_app_delegate.h"

#include "app/backup_schedule.h"
#include "app/restore_window_controller.h"
#include "platform/log.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSystemTrayIcon>

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

}  // namespace

void QuilletAppDelegate::setBackupLabels(const QString& autoBackup, const QString& next) {
  labelAutoBackupText_ = autoBackup;
  labelNextBackupText_ = next;
  Q_EMIT backupLabelsChanged();
}

void QuilletAppDelegate::toggleBackup(bool on) {
  backupTimer_.cancel();
  const int type = settings_ ? settings_->preferences.backupType : QLPreferences::Daily;
  const QString period = ql::backups::periodLabel(type);
  if (!on) {
    setBackupLabels(QStringLiteral("Auto Backup %1 :").arg(period), QStringLiteral("Disabled"));
    return;
  }
  const QDateTime next = ql::backups::nextBackupDate(type, backupTimer_.clock());
  backupTimer_.schedule(next);
  setBackupLabels(QStringLiteral("Next Backup %1 :").arg(period),
                  mediumDateTime(next));
}

void QuilletAppDelegate::timerFireMethod() {
  QString error;
  bool ok = false;
  try {
    ok = backup(&error);
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("timerFireMethod"), QString::fromUtf8(e.what()));
  }
  backupFailed_ = !ok;
  backupToolTip_ = ok ? QString() : error;
  // The taskbar entry asks for attention until the user comes to look.
  if (!ok && window) QApplication::alert(window, 0);
  if (!ok && statusItem_)
    statusItem_->showMessage(QStringLiteral("Quillet"),
                             QStringLiteral("The scheduled backup failed. ") + error,
                             QSystemTrayIcon::Warning);
  if (settings_)
    toggleBackup(settings_->preferences.isAutomaticBackup);
  else
    Q_EMIT backupLabelsChanged();
}

bool QuilletAppDelegate::backup(QString* error, const QString& suffix, const QStringList& keep) {
  try {
    if (!settings_) return false;
    const QString folder = settings_->preferences.backupFolderPath;
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.exists()) {
      if (error) *error = QStringLiteral("Unable to find backup folder path [%1]!").arg(folder);
      return false;
    }
    if (!info.isDir() || !info.isWritable()) {
      if (error) *error = QStringLiteral("Unable to write backup in folder path [%1]!").arg(folder);
      return false;
    }
    const int digit = randomDigit ? randomDigit() : 1;
    const QString name = ql::backups::backupFileName(backupTimer_.clock(), digit,
                                                     int(settings_->snippets.size()), suffix);
    const QString path = QDir(folder).filePath(name);
    ql::log(path);
    if (!settings_->saveBackup(path)) {
      if (error) *error = QStringLiteral("Unable to create backup in folder path [%1]!").arg(folder);
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

void QuilletAppDelegate::cleanBackups(const QStringList& keep) {
  try {
    if (!settings_) return;
    const int maximum = integerValue(settings_->preferences.maximumBackups);
    if (maximum < 1) return;
    auto entries = ql::backups::listBackups(settings_->preferences.backupFolderPath);
    // A backup folder set to the application folder must not cost the
    // library itself or its start-up copy.
    const QString live = QFileInfo(QLSettings::settingsPath()).absoluteFilePath();
    const QString startupCopy = QFileInfo(QLSettings::settingsPath(
        QLSettings::kStartupCopyName + QLatin1Char('.') + QLSettings::kDefaultSettingExtension)).absoluteFilePath();
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

void QuilletAppDelegate::backupConfigChanged() {
  if (!settings_) return;
  backupFailed_ = false;
  backupToolTip_.clear();
  toggleBackup(settings_->preferences.isAutomaticBackup);
  saveSettingsFile();
}

int QuilletAppDelegate::showAlert(QMessageBox::Icon icon, const QString& message,
                                  const QString& details, const QStringList& buttons) {
  return alertSheet ? alertSheet(window, icon, message, details, buttons) : 0;
}

void QuilletAppDelegate::actionBackup() {
  QString error;
  if (!backup(&error))
    showAlert(QMessageBox::Critical, QStringLiteral("Unable to create Quillet backup!"), error);
}

void QuilletAppDelegate::takeBackup() {
  const QString name = QGuiApplication::applicationDisplayName();
  QString error;
  // The backup selected in the restore window is about to be restored.
  const QStringList keep = restoreSheet_ ? QStringList{restoreSheet_->restoreFile} : QStringList{};
  if (backup(&error, QString(), keep))
    showAlert(QMessageBox::Information, name + QStringLiteral(" backup created successfully."), QString());
  else
    showAlert(QMessageBox::Critical, QStringLiteral("Unable to create %1 backup!").arg(name), error);
}

bool QuilletAppDelegate::restoreSettings(const QString& path, const QString&, bool alertError) {
  try {
    if (!QFileInfo(path).isFile()) return false;
    QLSettings trial;
    if (trial.loadBackup(path)) return true;
    if (alertError)
      showAlert(QMessageBox::Critical, QStringLiteral("Quillet Backup Restore:"),
                QStringLiteral("Unable to load selected backup file!"));
    return false;
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("restoreSettings"), QString::fromUtf8(e.what()));
    return false;
  }
}

void QuilletAppDelegate::restoreFileSelected(RestoreWindowController* controller,
                                             const QString& restoreFile) {
  if (!settings_ || !controller) return;
  const bool previousIsShowDockIcon = settings_->preferences.isShowDockIcon;
  if (!restoreSettings(restoreFile, QLSettings::settingsPath(), true)) return;
  if (controller->isTakeBackupBeforeRestore) {
    QString error;
    if (!backup(&error, QStringLiteral("_Restore Point"), {restoreFile})) {
      showAlert(QMessageBox::Critical, QStringLiteral("Unable to create Quillet backup!"), error);
      return;
    }
  }
  const bool groups = controller->isRestoreGroupsAndSnippets;
  const bool prefs = controller->isRestorePreferences;
  if (!settings_->loadSettings(restoreFile, groups, prefs)) {
    showAlert(QMessageBox::Critical, QStringLiteral("Quillet Backup Restore:"),
              QStringLiteral("Unable to restore backup!\r\n\r\nTo restore previous data, please "
                             "manually restore it from default backup file.\r\n\r\n[%1].\r\n\r\n"
                             "Click [OK] to reveal file in finder.")
                  .arg(QLSettings::settingsPath(QLSettings::kStartupCopyName + QLatin1Char('.') +
                                                QLSettings::kDefaultSettingExtension)));
    restoreAlertDidEnd();
    return;
  }
  ql::log(QStringLiteral("Restored"));
  saveSettingsFile();
  if (groups) {
    Q_EMIT libraryRestored();
    if (eventHandler_) eventHandler_->appChanged(platform_.workspace->frontmostApplication());
  }
  if (prefs) applyReplacedPreferences(previousIsShowDockIcon);
  windowsAfterRestore();
}

void QuilletAppDelegate::applyReplacedPreferences(bool previousIsShowDockIcon) {
  backupConfigChanged();
  resetPreferences(previousIsShowDockIcon);
  isQLEnabled = settings_->preferences.isExtendAbbreviation;
  applyIndicators();
  // The new combinations replace the old ones, which would otherwise stay grabbed.
  for (const DDHotKey& hotKey : hotKeyCenter_.registeredHotKeys())
    unRegisterhotKey(hotKey.keyCode, hotKey.modifierFlags);
  resetHotKeys();
}

void QuilletAppDelegate::restoreAlertDidEnd() {
  // Show the start-up copy in the file manager: its folder is what opens.
  const QString folder = QFileInfo(QLSettings::settingsPath()).absolutePath();
  if (openUrl) openUrl(QUrl::fromLocalFile(folder));
}

void QuilletAppDelegate::resetPreferences(bool previousIsShowDockIcon) {
  if (!settings_) return;
  const QLPreferences& p = settings_->preferences;
  toggleStatusItem(p.isShowStatusBarIcon);
  toggleLoginItem(p.isLaunchAtLogin);
  if (previousIsShowDockIcon && !p.isShowDockIcon) setDockStatus(true);
  // Out of the taskbar at once, as from the preferences window; never
  // without a tray icon to come back by.
  if (!previousIsShowDockIcon && p.isShowDockIcon && !hideFromTaskbar()) {
    settings_->preferences.isShowDockIcon = false;
    saveSettingsFile();
    showAlert(QMessageBox::Warning, QStringLiteral("The library window stays in the taskbar."),
              QStringLiteral("The restored preferences hide it from the taskbar, but this desktop has "
                             "no system tray to hold Quillet's icon, and without either Quillet could "
                             "not be reached."));
  }
}
