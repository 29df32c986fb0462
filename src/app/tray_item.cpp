#include "app/tray_item.h"

#include <QAction>
#include <QCursor>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

namespace {
// Two minutes of looking for a tray that comes up after Quillet.
constexpr int kTrayWatchMs = 2000;
constexpr int kTrayWatches = 60;
}  // namespace

TrayItem::TrayItem(TrayItemDelegate& delegate) : delegate_(delegate) {
  trayWatch_.setInterval(kTrayWatchMs);
  connect(&trayWatch_, &QTimer::timeout, this, &TrayItem::watchForTray);
}

TrayItem::~TrayItem() { remove(); }

void TrayItem::buildMenu() {
  if (menu_) return;
  menu_ = std::make_unique<QMenu>();
  QMenu* menu = menu_.get();
  // A menu cannot hold a search field: the first entry opens the search window.
  searchSnippet = menu->addAction(tr("Search Snippets…"));
  menu->addSeparator();
  openQuillet = menu->addAction(tr("Open Quillet"));
  disableQuillet = menu->addAction(tr("Disable Quillet"));
  menu->addSeparator();
  newSnippetMenu = menu->addAction(tr("New Snippet…"));
  newSnippetFromSelectionMenu = menu->addAction(tr("New Snippet from Selection…"));
  newSnippetFromClipboardMenu = menu->addAction(tr("New Snippet from Clipboard…"));
  newSnippetFromApplicationMenu = menu->addAction(tr("New Snippet for Application…"));
  menu->addSeparator();
  preferencesMenuItem = menu->addAction(tr("Preferences…"));
  statisticsMenuItem = menu->addAction(tr("Statistics…"));
  backupMenuItem = menu->addAction(tr("Back Up Now"));
  restoreMenuItem = menu->addAction(tr("Restore Backup…"));
  importMenuItem = menu->addAction(tr("Import…"));
  menu->addSeparator();
  helpMenuItem = menu->addAction(tr("Quillet Help"));
  menu->addSeparator();
  quitMenuItem = menu->addAction(tr("Quit Quillet"));
  connect(menu, &QMenu::aboutToShow, this, [this] { delegate_.menuWillOpen(); });
}

bool TrayItem::toggle(bool show) {
  if (show) {
    if (create()) return true;
    trayWatchesLeft_ = kTrayWatches;
    if (!trayWatch_.isActive()) trayWatch_.start();
    return false;
  }
  trayWatch_.stop();
  remove();
  return true;
}

void TrayItem::watchForTray() {
  if (--trayWatchesLeft_ <= 0 || statusItem_) {
    trayWatch_.stop();
    return;
  }
  if (delegate_.isTrayAvailable()) {
    trayWatch_.stop();
    create();
  }
}

bool TrayItem::create() {
  remove();
  if (!delegate_.isTrayAvailable()) return false;
  buildMenu();
  statusItem_ = new QSystemTrayIcon(this);
  delegate_.statusItemCreated();
  statusItem_->setContextMenu(menu_.get());
  connect(statusItem_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::MiddleClick)
      delegate_.statusItemSelected();
  });
  statusItem_->show();
  return true;
}

void TrayItem::remove() {
  if (!statusItem_) return;
  statusItem_->hide();
  statusItem_->setContextMenu(nullptr);
  delete statusItem_;
  statusItem_ = nullptr;
}

void TrayItem::closeMenu() {
  if (menu_ && menu_->isVisible()) menu_->hide();
}

QPoint TrayItem::anchor() const {
  if (statusItem_ && statusItem_->geometry().isValid()) return statusItem_->geometry().bottomLeft();
  return QCursor::pos();
}

void TrayItem::popUpMenu() {
  if (menu_) menu_->popup(anchor());
}

void TrayItem::showExpansionState(bool enabled, const QIcon& icon) {
  if (disableQuillet) disableQuillet->setText(enabled ? tr("Disable Quillet") : tr("Enable Quillet"));
  if (!statusItem_) return;
  statusItem_->setIcon(icon);
  statusItem_->setToolTip(enabled ? tr("Quillet: expansion is on") : tr("Quillet: expansion is off"));
}

void TrayItem::setLibraryWindowShown(bool shown) {
  if (openQuillet) openQuillet->setText(shown ? tr("Hide Quillet") : tr("Open Quillet"));
}

void TrayItem::setNewSnippetEntriesEnabled(bool enabled) {
  for (QAction* item : {newSnippetMenu, newSnippetFromSelectionMenu, newSnippetFromClipboardMenu,
                        newSnippetFromApplicationMenu})
    if (item) item->setEnabled(enabled);
}

bool TrayItem::showWarning(const QString& message) {
  if (!statusItem_) return false;
  statusItem_->showMessage(QStringLiteral("Quillet"), message, QSystemTrayIcon::Warning);
  return true;
}
