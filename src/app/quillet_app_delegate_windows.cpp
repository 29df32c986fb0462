// The main controller and its secondary windows: preferences, statistics and
// import. Each window is created on first use and kept; the controller saves
// and applies what the windows change.
#include "app/quillet_app_delegate.h"

#include "app/import_window_controller.h"
#include "app/preferences_sheet_controller.h"
#include "app/statistics_window_controller.h"
#include "platform/log.h"
#include "ui/app_selection_sheet_controller.h"
#include "ui/snippet_view_controller.h"

#include <QDialog>
#include <QPointer>

void QuilletAppDelegate::actionPreferences() {
  // Without a library there is no record to edit.
  if (!settings_) return;
  if (!preferencesSheet_) {
    preferencesSheet_ = std::make_unique<PreferencesSheetController>();
    preferencesSheet_->delegate = this;
    updateTaskbarPresence(preferencesSheet_->window());
  }
  preferencesSheet_->soundNames = platform_.sounds->soundNames();
  preferencesSheet_->keySourceCanWithholdKeys = platform_.keySource->canWithholdKeys();
  preferencesSheet_->setHotKeysByCommand(!platform_.hotKeys->registersKeys());
  preferencesSheet_->showWindow(&settings_->preferences);
  platform_.workspace->activateProgram();
}

void QuilletAppDelegate::actionStatistics() {
  if (!statisticSheet_) {
    statisticSheet_ = std::make_unique<StatisticsWindowController>(settings_.get(), statistics_.get());
    statisticSheet_->delegate = this;
    updateTaskbarPresence(statisticSheet_->window());
  }
  statisticSheet_->showWindow();
  platform_.workspace->activateProgram();
}

void QuilletAppDelegate::actionImport() {
  // An import merges into the library; without one there is nowhere to put it.
  if (!settings_) return;
  if (!importDialogWindow_) {
    importDialogWindow_ = std::make_unique<ImportWindowController>(settings_.get());
    importDialogWindow_->delegate = this;
    updateTaskbarPresence(importDialogWindow_->window());
  }
  // Opened again from the tray while open: a reset would throw away the file
  // checked, or pull the data from under a check still reading.
  QDialog* dialog = importDialogWindow_->window();
  if (dialog && dialog->isVisible()) {
    dialog->raise();
    dialog->activateWindow();
  } else {
    importDialogWindow_->showWindow();
  }
  platform_.workspace->activateProgram();
}

void QuilletAppDelegate::windowsAfterRestore() {
  if (preferencesSheet_) preferencesSheet_->resetView();
  if (statisticSheet_) {
    statisticSheet_->refresh();
    statisticSheet_->resetView();
  }
}

// An open snippet editor follows the new font.
void QuilletAppDelegate::plainFontChanged(PreferencesSheetController*, const QFont&) {
  if (libraryWindow_) libraryWindow_->snippetView()->resetView();
  saveSettingsFile();
}

void QuilletAppDelegate::formattedFontChanged(PreferencesSheetController*, const QFont&) {
  if (libraryWindow_) libraryWindow_->snippetView()->resetView();
  saveSettingsFile();
}

namespace {

// Hands the picker's answer to the preferences window that asked, if it is
// still there, and lets the picker go.
class PreferencesAppSelection final : public QObject, public AppSelectionSheetControllerDelegate {
 public:
  PreferencesAppSelection(AppSelectionSheetController* sheet, PreferencesSheetController* window)
      : QObject(sheet), window_(window) {}

  void AppSelectionSheetControllerDidFinish(AppSelectionSheetController* sheet) override {
    if (window_)
      window_->AppSelectionSheetControllerDidFinish(sheet->isCancel(), sheet->exceptionType(),
                                                    sheet->selectedAppNames());
    sheet->deleteLater();
  }

 private:
  QPointer<PreferencesSheetController> window_;
};

}  // namespace

void QuilletAppDelegate::chooseApplications(PreferencesSheetController* sender, int exceptionType,
                                            const QString& title, const QStringList& applications) {
  if (!sender) return;
  auto* sheet = new AppSelectionSheetController(
      sender->window(), [workspace = platform_.workspace] { return workspace->installedApplications(); },
      sender);
  sheet->delegate = new PreferencesAppSelection(sheet, sender);
  sheet->setSelectedAppViewTitle(title);
  sheet->setExceptionType(exceptionType);
  sheet->setIsCancel(false);
  sheet->setExceptions(applications);
  sheet->showSheet();
}

void QuilletAppDelegate::ImportCompleted(ImportWindowController*) {
  reloadLibraryOutline();
  // New abbreviations count from the next key in the application in front.
  if (eventHandler_) eventHandler_->appChanged(platform_.workspace->frontmostApplication());
}

void QuilletAppDelegate::statisticsChanged() {
  if (statisticSheet_ && statisticSheet_->window() && statisticSheet_->window()->isVisible())
    statisticSheet_->refresh();
}
