// The main controller answering the library file: another program's library
// taken in, a file that does not read, and moving the file elsewhere.
#include "app/quillet_app_delegate.h"

void QuilletAppDelegate::libraryFileWillLoad() {
  if (libraryWindow_) libraryWindow_->finishEditing();
}

void QuilletAppDelegate::libraryFileLoaded(bool preferencesChanged, bool previousIsShowDockIcon) {
  Q_EMIT libraryReloaded();
  if (eventHandler_) eventHandler_->appChanged(platform_.workspace->frontmostApplication());
  if (!preferencesChanged) return;
  // The other computer's preferences apply here as a restore's would.
  applyReplacedPreferences(previousIsShowDockIcon);
  settingsWindows_.followReplacedLibrary();
}

void QuilletAppDelegate::libraryFileUnreadable(const QString& message) {
  if (!tray_.showWarning(message)) showAlert(QMessageBox::Warning, tr("The library file cannot be read."), message);
}

int QuilletAppDelegate::askAboutExistingLibrary(QWidget* parent) {
  if (!alertSheet) return 2;
  return alertSheet(parent, QMessageBox::Question, tr("A library already exists in this folder."),
                    tr("Use the library that is there, or replace it with the one Quillet has now?"),
                    {tr("Use It"), tr("Replace It"), tr("Cancel")});
}

void QuilletAppDelegate::libraryFileNotMoved(const QString& why) {
  showAlert(QMessageBox::Critical, tr("The library could not be moved."), why);
}

void QuilletAppDelegate::moveLibraryFileTo(QWidget* parent, const QString& folder) {
  libraryFile_.folderChosen(parent ? parent : window.data(), folder);
}
