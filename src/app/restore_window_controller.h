#pragma once

#include "app/backup_schedule.h"
#include "app/restore_window_controller_delegate.h"

#include <QObject>

#include <functional>
#include <memory>

class QDialog;
class QLSettings;
class QWidget;

namespace Ui {
class RestoreOptionsPanel;
class RestoreWindow;
}  // namespace Ui

// The restore window: the backups of the backup folder, newest first, a
// field with the chosen file, and the options panel that asks what to
// restore. The three options live in the per-user defaults.
class RestoreWindowController final : public QObject {
  Q_OBJECT

 public:
  RestoreWindowController(RestoreWindowControllerDelegate* delegate, QLSettings* settings,
                          QWidget* parent = nullptr);
  ~RestoreWindowController() override;

  QDialog* window() const { return window_; }
  void showWindow();

  void loadBackupFiles();
  void actionOpenBackup();
  void actionRestore();
  void actionBackup();
  void sheetClosed();
  // Column 0 by date, column 1 by count; a second click turns the order.
  void sortByColumn(int column);

  RestoreWindowControllerDelegate* delegate;
  QLSettings* settings;
  QString restoreFile;
  QList<ql::backups::BackupEntry> backupFiles;
  bool isRestoreGroupsAndSnippets = false;
  bool isRestorePreferences = false;
  bool isTakeBackupBeforeRestore = false;

  // Tests answer these instead of a person: the file dialog (empty: cancelled),
  // the options panel (1: OK, 0: closed) and the alert.
  std::function<QString(QWidget* parent, const QString& folder)> chooseBackupFile;
  std::function<int(QDialog* panel)> runOptionsPanel;
  std::function<void(QWidget* parent, const QString& message, const QString& details)> alert;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildWindow(QWidget* parent);
  void buildOptionsPanel();
  void applySort();
  void reloadTable();
  void selectionChanged();
  void showFileName(const QString& path);

  std::unique_ptr<Ui::RestoreWindow> ui_;
  std::unique_ptr<Ui::RestoreOptionsPanel> panelUi_;
  QDialog* window_ = nullptr;
  // Asks what to restore; its answers are kept for the next time.
  QDialog* restoreOptionsPanel_ = nullptr;
  int sortColumn_ = 0;
  bool sortAscending_ = false;
};
