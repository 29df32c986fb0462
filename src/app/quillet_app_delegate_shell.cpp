// The main controller's application-level commands: the library window,
// switching expansion, help, the restore window, taskbar presence and
// relaunching.
#include "app/quillet_app_delegate.h"

#include "app/restore_window_controller.h"
#include "model/ql_statistics.h"
#include "platform/log.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>
#include <QWindow>

#include <exception>

void QuilletAppDelegate::applicationDidFinishLaunching() {
  if (libraryWindow_) libraryWindow_->resetView();
  // At login only the tray icon appears; without one the window is the
  // only way in, so it shows.
  const bool waitInTray = isStartedAtLogin && tray_.statusItem();
  if (window && !waitInTray) {
    if (libraryWindow_) libraryWindow_->showWindow();
    else window->show();
    window->raise();
    window->activateWindow();
    platform_.workspace->activateProgram();
  }
  setLibraryWindowShown(window && window->isVisible());
  if (libraryWindow_ && !movedAsideSettingsPath().isEmpty())
    libraryWindow_->showDamagedSettingsAlert(movedAsideSettingsPath());
  if (libraryWindow_ && statistics_ && !statistics_->movedAsidePath.isEmpty())
    libraryWindow_->showAlert(tr("The statistics file could not be read."),
                              tr("It was moved aside to \"%1\" and the counts start again from zero.")
                                  .arg(QDir::toNativeSeparators(statistics_->movedAsidePath)));
}

bool QuilletAppDelegate::applicationShouldHandleReopen(bool hasVisibleWindows) {
  if (hasVisibleWindows && window && window->isVisible()) {
    // Visible but perhaps buried under other windows: bring it up all the same.
    window->raise();
    window->activateWindow();
    return false;
  }
  tray_.closeMenu();
  if (fillIn_.isVisible()) fillIn_.panel()->hide();
  newSnippet_.windowDeactivated();
  suggestions_.closeSearchMenuWindow();
  suggestions_.closeSearchPopupWindow();
  setLibraryWindowShown(true);
  if (window) {
    window->show();
    window->raise();
    window->activateWindow();
    platform_.workspace->activateProgram();
  }
  return true;
}

bool QuilletAppDelegate::applicationOpenFile(const QString& path) {
  ql::log(path);
  return true;
}

void QuilletAppDelegate::applyIndicators() {
  QIcon full;
  const QString base = isQLEnabled ? QStringLiteral(":/icons/quillet-%1.png")
                                   : QStringLiteral(":/icons/quillet-disabled-%1.png");
  for (int size : {16, 22, 24, 32, 48, 64}) full.addFile(base.arg(size), QSize(size, size));
  QApplication::setWindowIcon(full);
  tray_.showExpansionState(isQLEnabled, full);
  suggestions_.expansionSwitched(isQLEnabled);
  // The check box follows a switch made by the menu or the hot key.
  settingsWindows_.expansionSwitched();
}

void QuilletAppDelegate::saveSettingsFile() {
  if (libraryFile_.libraryChanged()) return;
  if (settings_ && !settings_->saveSettings())
    ql::logError(QStringLiteral("saveSettings"), QStringLiteral("the settings file was not written"));
}

void QuilletAppDelegate::actionDisableQuillet() {
  isQLEnabled = !isQLEnabled;
  if (settings_) settings_->preferences.isExtendAbbreviation = isQLEnabled;
  applyIndicators();
  saveSettingsFile();
}

void QuilletAppDelegate::extenderChanged(bool status) {
  isQLEnabled = status;
  applyIndicators();
  saveSettingsFile();
}

void QuilletAppDelegate::actionOpenQuillet() {
  if (window && window->isVisible() && window->isActiveWindow()) {
    window->hide();
    setLibraryWindowShown(false);
    return;
  }
  setLibraryWindowShown(true);
  if (!window) return;
  window->show();
  window->raise();
  window->activateWindow();
  platform_.workspace->activateProgram();
}

void QuilletAppDelegate::actionOpenOrHideQuillet() {
  // The menu said "Hide Quillet": with another application in front the
  // window is not active, and it goes all the same.
  if (window && window->isVisible() && !window->isMinimized()) {
    window->hide();
    setLibraryWindowShown(false);
    return;
  }
  actionOpenQuillet();
}

void QuilletAppDelegate::actionShowQuillet() {
  setLibraryWindowShown(true);
  if (!window) return;
  window->show();
  window->raise();
}

void QuilletAppDelegate::setupVersion() {
  const QString name = QGuiApplication::applicationDisplayName();
  if (name.isEmpty() || name == QLatin1String("Quillet") || !tray_.menu()) return;
  for (QAction* action : tray_.menu()->actions()) {
    QString title = action->text();
    if (title.endsWith(QLatin1String("Quillet")))
      action->setText(title.left(title.size() - 7) + name);
    else if (title.startsWith(QLatin1String("Quillet")))
      action->setText(name + title.mid(7));
  }
}

void QuilletAppDelegate::helpAction() {
  try {
    for (const QString& path : std::as_const(helpDocumentPaths)) {
      const QFileInfo file(path);
      if (!file.isFile()) continue;
      const QString page = file.canonicalFilePath();
      if (openUrl && !openUrl(QUrl::fromLocalFile(page))) {
        ql::logError(QStringLiteral("[helpAction:]"), QStringLiteral("no viewer opened the help document"));
        showAlert(QMessageBox::Warning, tr("No viewer opened the Quillet help."),
                  tr("Open \"%1\" in a web browser.").arg(QDir::toNativeSeparators(page)));
      }
      return;
    }
    ql::logError(QStringLiteral("[helpAction:]"), QStringLiteral("the help document is not installed"));
    showAlert(QMessageBox::Warning, tr("The Quillet help is not installed."),
              tr("It was looked for at \"%1\".")
                  .arg(helpDocumentPaths.isEmpty() ? QString()
                                                   : QDir::toNativeSeparators(helpDocumentPaths.first())));
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("[helpAction:]"), QString::fromUtf8(e.what()));
  }
}

void QuilletAppDelegate::actionRestore() {
  backups_.showRestoreWindow();
  platform_.workspace->activateProgram();
}

void QuilletAppDelegate::actionQuit() {
  if (terminate) terminate();
}

void QuilletAppDelegate::statusBarIconStatusChanged(bool show) {
  tray_.toggle(show);
  saveSettingsFile();
}

// Taskbar presence stands in for the dock icon: the library window shows in
// the taskbar and the task switcher only once the program "has" its icon.
void QuilletAppDelegate::setDockStatus(bool status) {
  if (!status) return;
  hasDockIcon_ = true;
  updateTaskbarPresence();
}

bool QuilletAppDelegate::hideFromTaskbar() {
  // The tray icon is then the only way back to the windows.
  if (!tray_.statusItem()) tray_.toggle(true);
  if (!tray_.statusItem()) return false;
  hasDockIcon_ = false;
  updateTaskbarPresence();
  return true;
}

void QuilletAppDelegate::updateTaskbarPresence(QWidget* w) {
  if (!w) return;
  w->winId();  // the native window the hints are kept on
  platform_.workspace->setSkipsTaskbar(w->windowHandle(), !hasDockIcon_, false);
}

void QuilletAppDelegate::updateTaskbarPresence() {
  updateTaskbarPresence(window);
  for (QWidget* made : settingsWindows_.windows()) updateTaskbarPresence(made);
  if (backups_.restoreSheet()) updateTaskbarPresence(backups_.restoreSheet()->window());
}

void QuilletAppDelegate::relaunch() {
  platform_.relauncher->startRelaunchHelper();
  if (terminate) terminate();
}
