#include "app/settings_windows.h"

#include "app/hot_keys.h"
#include "app/import_window_controller.h"
#include "app/preferences_sheet_controller.h"
#include "app/statistics_window_controller.h"
#include "model/ql_settings.h"
#include "ui/app_selection_sheet_controller.h"

#include <QDialog>
#include <QPointer>

SettingsWindows::SettingsWindows(const ql::Platform& platform, HotKeys& hotKeys,
                                 SettingsWindowsDelegate& delegate)
    : platform_(platform), hotKeys_(hotKeys), delegate_(delegate) {}

SettingsWindows::~SettingsWindows() = default;

void SettingsWindows::showPreferences() {
  QLSettings* settings = delegate_.settings();
  // Without a library there is no record to edit.
  if (!settings) return;
  if (!preferences_) {
    preferences_ = std::make_unique<PreferencesSheetController>();
    preferences_->delegate = this;
    delegate_.windowCreated(preferences_->window());
  }
  preferences_->soundNames = platform_.sounds->soundNames();
  preferences_->keySourceCanWithholdKeys = platform_.keySource->canWithholdKeys();
  preferences_->setHotKeysByCommand(!platform_.hotKeys->registersKeys());
  preferences_->showWindow(&settings->preferences);
  platform_.workspace->activateProgram();
}

void SettingsWindows::showStatistics() {
  if (!statistics_) {
    statistics_ = std::make_unique<StatisticsWindowController>(delegate_.settings(), delegate_.statistics());
    statistics_->delegate = this;
    delegate_.windowCreated(statistics_->window());
  }
  statistics_->showWindow();
  platform_.workspace->activateProgram();
}

void SettingsWindows::showImport() {
  // An import merges into the library; without one there is nowhere to put it.
  QLSettings* settings = delegate_.settings();
  if (!settings) return;
  if (!import_) {
    import_ = std::make_unique<ImportWindowController>(settings);
    import_->delegate = this;
    delegate_.windowCreated(import_->window());
  }
  // Opened again from the tray while open: a reset would throw away the file
  // checked, or pull the data from under a check still reading.
  QDialog* dialog = import_->window();
  if (dialog && dialog->isVisible()) {
    dialog->raise();
    dialog->activateWindow();
  } else {
    import_->showWindow();
  }
  platform_.workspace->activateProgram();
}

void SettingsWindows::followReplacedLibrary() {
  if (preferences_) preferences_->resetView();
  if (statistics_) {
    statistics_->refresh();
    statistics_->resetView();
  }
}

void SettingsWindows::expansionSwitched() {
  if (preferences_) preferences_->resetView();
}

void SettingsWindows::statisticsChanged() {
  if (statistics_ && statistics_->window() && statistics_->window()->isVisible()) statistics_->refresh();
}

QList<QWidget*> SettingsWindows::windows() const {
  QList<QWidget*> made;
  if (preferences_) made.append(preferences_->window());
  if (statistics_) made.append(statistics_->window());
  if (import_) made.append(import_->window());
  return made;
}

void SettingsWindows::libraryFolderChosen(PreferencesSheetController* sender, const QString& folder) {
  delegate_.moveLibraryFileTo(sender ? sender->window() : nullptr, folder);
}

void SettingsWindows::toggleLoginItem(bool add) {
  if (add)
    platform_.loginItems->add();
  else
    platform_.loginItems->remove();
}

bool SettingsWindows::unRegisterhotKey(quint16 keyCode, quint64 modifierFlags) {
  return hotKeys_.unRegisterhotKey(keyCode, modifierFlags);
}

QString SettingsWindows::hotKeyTakenReason(quint16 keyCode, quint64 modifierFlags) {
  return hotKeys_.takenReason(keyCode, modifierFlags);
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

void SettingsWindows::chooseApplications(PreferencesSheetController* sender, int exceptionType,
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
