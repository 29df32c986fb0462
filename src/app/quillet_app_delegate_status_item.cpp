// The tray item and its menu.
#include "app/quillet_app_delegate.h"

#include "expansion/input_service.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {
// The fill-in form gets this long to go after Escape before the menu opens.
constexpr int kFormDismissMs = 100;
// Two minutes of looking for a tray that comes up after Quillet.
constexpr int kTrayWatchMs = 2000;
constexpr int kTrayWatches = 60;
}  // namespace

void QuilletAppDelegate::processStatusMenu() {
  if (!statusMenu_) buildStatusMenu();
}

void QuilletAppDelegate::buildStatusMenu() {
  statusMenu_ = std::make_unique<QMenu>();
  QMenu* menu = statusMenu_.get();
  // A menu cannot hold a search field: the first entry opens the search window.
  searchSnippet = menu->addAction(QStringLiteral("Search Snippets…"), this,
                                  &QuilletAppDelegate::actionShowSearchWindow);
  menu->addSeparator();
  openQuillet = menu->addAction(QStringLiteral("Open Quillet"), this,
                                &QuilletAppDelegate::actionOpenOrHideQuillet);
  disableQuillet = menu->addAction(QStringLiteral("Disable Quillet"), this,
                                   &QuilletAppDelegate::actionDisableQuillet);
  menu->addSeparator();
  newSnippetMenu = menu->addAction(QStringLiteral("New Snippet…"), this,
                                   &QuilletAppDelegate::actionNewSnippetHotKey);
  newSnippetFromSelectionMenu = menu->addAction(QStringLiteral("New Snippet from Selection…"), this,
                                                &QuilletAppDelegate::actionNewSnippetFromSelectionHotKey);
  newSnippetFromClipboardMenu = menu->addAction(QStringLiteral("New Snippet from Clipboard…"), this,
                                                &QuilletAppDelegate::actionNewSnippetFromClipboardHotKey);
  newSnippetFromApplicationMenu =
      menu->addAction(QStringLiteral("New Snippet for Application…"), this,
                      &QuilletAppDelegate::actionNewSnippetFromApplicationHotKey);
  menu->addSeparator();
  preferencesMenuItem = menu->addAction(QStringLiteral("Preferences…"), this,
                                        &QuilletAppDelegate::actionPreferences);
  statisticsMenuItem = menu->addAction(QStringLiteral("Statistics…"), this,
                                       &QuilletAppDelegate::actionStatistics);
  menu->addAction(QStringLiteral("Back Up Now"), this, &QuilletAppDelegate::actionBackup);
  menu->addAction(QStringLiteral("Restore Backup…"), this, &QuilletAppDelegate::actionRestore);
  menu->addAction(QStringLiteral("Import…"), this, &QuilletAppDelegate::actionImport);
  menu->addSeparator();
  helpMenuItem = menu->addAction(QStringLiteral("Quillet Help"), this, &QuilletAppDelegate::helpAction);
  menu->addSeparator();
  quitMenuItem = menu->addAction(QStringLiteral("Quit Quillet"), this, &QuilletAppDelegate::actionQuit);
  connect(menu, &QMenu::aboutToShow, this, &QuilletAppDelegate::menuWillOpen);
  connect(menu, &QMenu::aboutToHide, this, &QuilletAppDelegate::menuDidClose);
}

bool QuilletAppDelegate::toggleStatusItem(bool show) {
  if (show) {
    if (createStatusItem()) return true;
    trayWatchesLeft_ = kTrayWatches;
    if (!trayWatch_.isActive()) {
      trayWatch_.setInterval(kTrayWatchMs);
      connect(&trayWatch_, &QTimer::timeout, this, &QuilletAppDelegate::watchForTray,
              Qt::UniqueConnection);
      trayWatch_.start();
    }
    return false;
  }
  trayWatch_.stop();
  removeStatusItem();
  return true;
}

void QuilletAppDelegate::watchForTray() {
  if (--trayWatchesLeft_ <= 0 || statusItem_) {
    trayWatch_.stop();
    return;
  }
  if (isSystemTrayAvailable && isSystemTrayAvailable()) {
    trayWatch_.stop();
    createStatusItem();
  }
}

bool QuilletAppDelegate::createStatusItem() {
  removeStatusItem();
  if (!isSystemTrayAvailable || !isSystemTrayAvailable()) return false;
  processStatusMenu();
  statusItem_ = new QSystemTrayIcon(this);
  isQLEnabled = settings_ && settings_->preferences.isExtendAbbreviation;
  applyIndicators();
  statusItem_->setContextMenu(statusMenu_.get());
  connect(statusItem_, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::MiddleClick)
              statusItemSelected();
          });
  statusItem_->show();
  return true;
}

void QuilletAppDelegate::removeStatusItem() {
  if (!statusItem_) return;
  statusItem_->hide();
  statusItem_->setContextMenu(nullptr);
  delete statusItem_;
  statusItem_ = nullptr;
}

void QuilletAppDelegate::statusItemSelected() {
  auto popUp = [this] {
    if (!statusMenu_) return;
    QPoint at = QCursor::pos();
    if (statusItem_) {
      const QRect icon = statusItem_->geometry();
      if (icon.isValid()) at = icon.bottomLeft();
    }
    statusMenu_->popup(at);
  };
  // The search window opened from the menu: the second click puts it away.
  if (searchController_ && searchController_->isVisible()) {
    statusItemDeselected();
    return;
  }
  if (fillInPanel_ && fillInPanel_->isVisible()) {
    services_.sendKeyboardEvent(ql::KeyRequest{53, 0, true});
    QTimer::singleShot(kFormDismissMs, this, popUp);
    return;
  }
  popUp();
}

void QuilletAppDelegate::statusItemDeselected() {
  if (!searchController_ || !searchController_->isVisible()) return;
  searchController_->close();
  if (executor_.lastActiveApp) activteLastApp();
}

void QuilletAppDelegate::rememberFrontmostApplication() {
  executor_.lastActiveAppInfo.reset();
  if (services_.isAppForeGround())
    executor_.lastActiveApp.reset();
  else
    executor_.lastActiveApp = platform_.workspace->frontmostApplication();
}

void QuilletAppDelegate::menuWillOpen() {
  // Opened by a right click, the menu came without the Escape that a click
  // sends to the fill-in form first.
  if (fillInPanel_ && fillInPanel_->isVisible()) fillInCancel(fillInPanel_.get());
  rememberFrontmostApplication();
  const bool elsewhere = !services_.isAppForeGround();
  for (QAction* item : {newSnippetMenu, newSnippetFromSelectionMenu, newSnippetFromClipboardMenu,
                        newSnippetFromApplicationMenu})
    if (item) item->setEnabled(elsewhere);
  if (openQuillet)
    openQuillet->setText(window && window->isVisible() ? QStringLiteral("Hide Quillet")
                                                       : QStringLiteral("Open Quillet"));
}

void QuilletAppDelegate::menuDidClose() {}

void QuilletAppDelegate::closeMenu() {
  if (statusMenu_ && statusMenu_->isVisible()) statusMenu_->hide();
}

void QuilletAppDelegate::actionShowSearchWindow() {
  QPoint at = QCursor::pos();
  if (statusItem_ && statusItem_->geometry().isValid()) at = statusItem_->geometry().bottomLeft();
  Q_EMIT searchWindowRequested(at);
}
