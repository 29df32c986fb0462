#pragma once

#include "app/backup_timer.h"
#include "app/restore_window_controller_delegate.h"

#include <QMessageBox>
#include <QObject>
#include <QStringList>

#include <memory>

class QLSettings;
class QWidget;
class RestoreWindowController;

// What backups and restore ask of the main controller.
class BackupAndRestoreDelegate {
 public:
  virtual ~BackupAndRestoreDelegate() = default;
  // The library; null when there is none.
  virtual QLSettings* settings() = 0;
  // The window alerts and the restore window sit on.
  virtual QWidget* alertParent() const = 0;
  // A secondary window was made: it joins the taskbar or stays out of it.
  virtual void windowCreated(QWidget* window) = 0;
  virtual int showAlert(QMessageBox::Icon icon, const QString& message, const QString& details) = 0;
  // The labels, the failure or its tool tip changed.
  virtual void backupLabelsChanged() = 0;
  // A scheduled backup failed; error says why.
  virtual void scheduledBackupFailed(const QString& error) = 0;
  // The digit that tells apart backups of the same second.
  virtual int backupDigit() = 0;
  // Shows a folder in the file manager.
  virtual void revealFolder(const QString& folder) = 0;
  // A backup was loaded into the live library (groups and snippets, the
  // preferences, or both); nothing is saved yet.
  virtual void libraryRestored(bool groups, bool preferences, bool previousIsShowDockIcon) = 0;
};

// The scheduled backup with its labels, the backup on request, and the
// restore window with the restore it asks for.
class BackupAndRestore final : public QObject, public RestoreWindowControllerDelegate {
  Q_OBJECT

 public:
  explicit BackupAndRestore(BackupAndRestoreDelegate& delegate);
  ~BackupAndRestore() override;

  // Schedules the next backup (on) or none, and sets the labels to match.
  void toggleBackup(bool on);
  // A backup setting changed: the failure is forgotten and the schedule made again.
  void configChanged();
  // Writes one backup and prunes; keep names files pruning must spare (the
  // backup about to be restored), besides the one just written.
  bool backup(QString* error, const QString& suffix = QString(), const QStringList& keep = {});
  // "Back Up Now": a failure is shown.
  void actionBackup();
  void showRestoreWindow();
  void cancel() { timer_.cancel(); }

  BackupTimer& backupTimer() { return timer_; }
  RestoreWindowController* restoreSheet() const { return restoreSheet_.get(); }
  QString labelAutoBackupText() const { return labelAutoBackupText_; }
  QString labelNextBackupText() const { return labelNextBackupText_; }
  bool isBackupFailed() const { return backupFailed_; }
  QString backupToolTip() const { return backupToolTip_; }

  // The restore window's delegate.
  void takeBackup() override;
  void restoreFileSelected(RestoreWindowController* controller, const QString& restoreFile) override;

 private:
  void timerFireMethod();
  void cleanBackups(const QStringList& keep);
  bool restoreSettings(const QString& path, bool alertError);
  void restoreAlertDidEnd();
  void setBackupLabels(const QString& autoBackup, const QString& next);

  BackupAndRestoreDelegate& delegate_;
  BackupTimer timer_;
  std::unique_ptr<RestoreWindowController> restoreSheet_;
  QString labelAutoBackupText_;
  QString labelNextBackupText_;
  QString backupToolTip_;
  bool backupFailed_ = false;
};
