#pragma once

#include "app/backup_schedule.h"
#include "app/restore_window_controller_delegate.h"

#include <QObject>

#include <functional>

class QCheckBox;
class QDialog;
class QLineEdit;
class QPushButton;
class QLSettings;
class QTableWidget;
class QWidget;

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

  QTableWidget* backupsTable = nullptr;
  QPushButton* restoreButton = nullptr;
  QPushButton* backupButton = nullptr;
  QLineEdit* backupNameTextField = nullptr;
  QDialog* restoreOptionsPanel = nullptr;

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

  QDialog* window_ = nullptr;
  QCheckBox* groupsBox_ = nullptr;
  QCheckBox* preferencesBox_ = nullptr;
  QCheckBox* backupFirstBox_ = nullptr;
  int sortColumn_ = 0;
  bool sortAscending_ = false;
};
