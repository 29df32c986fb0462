#pragma once

#include "app/import_window_controller_delegate.h"
#include "model/import_session.h"

#include <QDialog>
#include <QMessageBox>
#include <QObject>
#include <QPointer>

#include <memory>

class QLSettings;

namespace Ui {
class ImportWindow;
}  // namespace Ui

// The import window: the user picks a kind of file and a file, checks it
// ("Validate"), sees what it holds, what collides with the library and what
// would be imported, and merges it into the library. A large file is read
// with the window alive: the progress bar moves and Cancel stops the check.
class ImportWindowController final : public QObject {
  Q_OBJECT

 public:
  // settings is the live library; it must outlive the window.
  explicit ImportWindowController(QLSettings* settings, QWidget* parent = nullptr);
  ~ImportWindowController() override;

  ImportWindowControllerDelegate* delegate = nullptr;
  QLSettings* settings = nullptr;

  QDialog* window() const { return window_; }
  // Resets the window from the remembered choices and opens it, modal.
  void showWindow();

  // Sets the controls from the remembered choices, clears the counts.
  void resetView();
  void actionImportTypeChanged();
  void actionGroupOptionChanged();
  void actionSnippetOptionChanged();
  void actionConvertCodesChanged();
  void actionSelectImport();
  // "Validate": checks the chosen file; pressed again while checking, cancels.
  void actionImportImport();
  // Merges the checked file into the library and saves it.
  void actionSaveImport();
  void actionCloseImport();
  void enabledDisableUI(bool enabled);

  const ql::ImportSession& session() const { return session_; }
  // The alert on screen, if any.
  QMessageBox* alert() const { return alert_; }

  // Files larger than this are refused before they are read.
  static qint64 maximumFileSize();

 Q_SIGNALS:
  // Records read so far while a file is checked, of total (-1: not known yet).
  void progressed(qint64 read, qint64 total);

 private:
  void reloadTable();
  void showAlert(const QString& text, const QString& informative);
  // Why the file cannot be imported, before reading it; empty when it may be.
  QString refuseFile(const QString& path) const;
  // Counts what a merge with the current options would import.
  void trialMerge();
  void storeChoices() const;

  std::unique_ptr<Ui::ImportWindow> ui_;
  QPointer<QDialog> window_;
  QPointer<QMessageBox> alert_;
  ql::ImportSession session_;
  bool isLoading = false;
  bool closeAfterCheck_ = false;
};
