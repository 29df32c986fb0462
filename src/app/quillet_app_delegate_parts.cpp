// The main controller answering its parts: the tray menu's entries, the
// new-snippet flow, the settings windows, and backups and restore with what
// a restore replaces.
#include "app/quillet_app_delegate.h"

#include "app/frontmost_application.h"
#include "platform/keys.h"
#include "ui/library_outline_model.h"
#include "ui/snippet_view_controller.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QUndoStack>

namespace {
// The fill-in form gets this long to go after Escape before the menu opens.
constexpr int kFormDismissMs = 100;
}  // namespace

void QuilletAppDelegate::buildStatusMenu() {
  if (tray_.menu()) return;
  tray_.buildMenu();
  const std::pair<QAction*, void (QuilletAppDelegate::*)()> entries[] = {
      {tray_.searchSnippet, &QuilletAppDelegate::actionShowSearchWindow},
      {tray_.openQuillet, &QuilletAppDelegate::actionOpenOrHideQuillet},
      {tray_.disableQuillet, &QuilletAppDelegate::actionDisableQuillet},
      {tray_.newSnippetMenu, &QuilletAppDelegate::actionNewSnippetHotKey},
      {tray_.newSnippetFromSelectionMenu, &QuilletAppDelegate::actionNewSnippetFromSelectionHotKey},
      {tray_.newSnippetFromClipboardMenu, &QuilletAppDelegate::actionNewSnippetFromClipboardHotKey},
      {tray_.newSnippetFromApplicationMenu, &QuilletAppDelegate::actionNewSnippetFromApplicationHotKey},
      {tray_.preferencesMenuItem, &QuilletAppDelegate::actionPreferences},
      {tray_.statisticsMenuItem, &QuilletAppDelegate::actionStatistics},
      {tray_.backupMenuItem, &QuilletAppDelegate::actionBackup},
      {tray_.restoreMenuItem, &QuilletAppDelegate::actionRestore},
      {tray_.importMenuItem, &QuilletAppDelegate::actionImport},
      {tray_.helpMenuItem, &QuilletAppDelegate::helpAction},
      {tray_.quitMenuItem, &QuilletAppDelegate::actionQuit},
  };
  for (const auto& [action, command] : entries)
    connect(action, &QAction::triggered, this, [this, command = command] { (this->*command)(); });
}

void QuilletAppDelegate::statusItemCreated() {
  isQLEnabled = settings_ && settings_->preferences.isExtendAbbreviation;
  applyIndicators();
}

void QuilletAppDelegate::statusItemSelected() {
  // The search window opened from the menu: the second click puts it away.
  if (SearchSnippetWindowController* search = suggestions_.searchWindow(); search && search->isVisible()) {
    search->close();
    if (executor_.lastActiveApp) executor_.activteLastApp();
    return;
  }
  if (fillIn_.isVisible()) {
    services_.sendKeyboardEvent(ql::KeyRequest{ql::keys::Escape, 0, true});
    QTimer::singleShot(kFormDismissMs, &tray_, &TrayItem::popUpMenu);
    return;
  }
  tray_.popUpMenu();
}

void QuilletAppDelegate::menuWillOpen() {
  // Opened by a right click, the menu came without the Escape that a click
  // sends to the fill-in form first.
  fillIn_.cancel();
  ql::rememberFrontmostApplication(executor_, services_, *platform_.workspace);
  tray_.setNewSnippetEntriesEnabled(!services_.isAppForeGround());
  setLibraryWindowShown(window && window->isVisible());
}

void QuilletAppDelegate::newSnippetCreated() { setLibraryWindowShown(window && window->isVisible()); }

int QuilletAppDelegate::showAlert(QMessageBox::Icon icon, const QString& message, const QString& details) {
  return alertSheet ? alertSheet(window, icon, message, details, {tr("OK")}) : 0;
}

void QuilletAppDelegate::backupLabelsChanged() {
  if (!libraryWindow_) return;
  libraryWindow_->setBackupLabels(backups_.labelAutoBackupText(), backups_.labelNextBackupText(),
                                  backups_.isBackupFailed(), backups_.backupToolTip());
}

void QuilletAppDelegate::scheduledBackupFailed(const QString& error) {
  // The taskbar entry asks for attention until the user comes to look.
  if (window) QApplication::alert(window, 0);
  tray_.showWarning(tr("The scheduled backup failed. ") + error);
}

void QuilletAppDelegate::backupConfigChanged() {
  if (!settings_) return;
  backups_.configChanged();
  saveSettingsFile();
}

void QuilletAppDelegate::revealFolder(const QString& folder) {
  if (openUrl) openUrl(QUrl::fromLocalFile(folder));
}

void QuilletAppDelegate::libraryRestored(bool groups, bool preferences, bool previousIsShowDockIcon) {
  saveSettingsFile();
  if (groups) {
    reloadLibraryOutline();
    if (eventHandler_) eventHandler_->appChanged(platform_.workspace->frontmostApplication());
  }
  if (preferences) applyReplacedPreferences(previousIsShowDockIcon);
  settingsWindows_.followReplacedLibrary();
}

// A restore or an import replaced records under the outline: it reloads,
// and undo steps that refer to the old records are dropped.
void QuilletAppDelegate::reloadLibraryOutline() {
  if (!libraryWindow_) return;
  libraryWindow_->model()->setSettings(settings_.get());
  libraryWindow_->undoStack()->clear();
  libraryWindow_->resetView();
}

void QuilletAppDelegate::applyReplacedPreferences(bool previousIsShowDockIcon) {
  backupConfigChanged();
  resetPreferences(previousIsShowDockIcon);
  isQLEnabled = settings_->preferences.isExtendAbbreviation;
  applyIndicators();
  // The new combinations replace the old ones, which would otherwise stay grabbed.
  hotKeys_.releaseAll();
  resetHotKeys();
}

void QuilletAppDelegate::resetPreferences(bool previousIsShowDockIcon) {
  if (!settings_) return;
  const QLPreferences& p = settings_->preferences;
  tray_.toggle(p.isShowStatusBarIcon);
  settingsWindows_.toggleLoginItem(p.isLaunchAtLogin);
  if (previousIsShowDockIcon && !p.isShowDockIcon) setDockStatus(true);
  // Out of the taskbar at once, as from the preferences window; never
  // without a tray icon to come back by.
  if (!previousIsShowDockIcon && p.isShowDockIcon && !hideFromTaskbar()) {
    settings_->preferences.isShowDockIcon = false;
    saveSettingsFile();
    showAlert(QMessageBox::Warning, tr("The library window stays in the taskbar."),
              tr("The restored preferences hide it from the taskbar, but this desktop has no system "
                 "tray to hold Quillet's icon, and without either Quillet could not be reached."));
  }
}

// An open snippet editor follows the new font.
void QuilletAppDelegate::fontChanged() {
  if (libraryWindow_) libraryWindow_->snippetView()->resetView();
  saveSettingsFile();
}

void QuilletAppDelegate::importCompleted() {
  reloadLibraryOutline();
  // New abbreviations count from the next key in the application in front.
  if (eventHandler_) eventHandler_->appChanged(platform_.workspace->frontmostApplication());
}

QString QuilletAppDelegate::movedAsideSettingsPath() const {
  return settings_ ? settings_->movedAsideSettingsPath : QString();
}
