#pragma once

#include <QObject>
#include <QPoint>
#include <QTimer>

#include <memory>

class QAction;
class QIcon;
class QMenu;
class QSystemTrayIcon;

// What the tray item asks of the main controller.
class TrayItemDelegate {
 public:
  virtual ~TrayItemDelegate() = default;
  virtual bool isTrayAvailable() = 0;
  // The icon is there: it shows the state of expansion.
  virtual void statusItemCreated() = 0;
  // A left or middle click on the icon.
  virtual void statusItemSelected() = 0;
  virtual void menuWillOpen() = 0;
};

// The tray icon and its menu, and the watch for a tray that comes up after
// the program (at login the panel may start later).
class TrayItem final : public QObject {
  Q_OBJECT

 public:
  explicit TrayItem(TrayItemDelegate& delegate);
  ~TrayItem() override;

  // Builds the menu once; the owner connects its entries.
  void buildMenu();
  // Shows or hides the icon; false when there is no tray yet (it is looked
  // for a while longer).
  bool toggle(bool show);
  bool create();
  void remove();
  void closeMenu();
  // The menu under the icon, or at the pointer.
  void popUpMenu();
  // Where windows opened from the tray go: under the icon, else at the pointer.
  QPoint anchor() const;
  void showExpansionState(bool enabled, const QIcon& icon);
  // "Hide Quillet" while the library window is shown, else "Open Quillet".
  void setLibraryWindowShown(bool shown);
  void setNewSnippetEntriesEnabled(bool enabled);
  // A balloon from the icon; false when there is no icon to show it.
  bool showWarning(const QString& message);

  QSystemTrayIcon* statusItem() const { return statusItem_; }
  QMenu* menu() const { return menu_.get(); }

  // Entries of the menu, once built.
  QAction* searchSnippet = nullptr;
  QAction* openQuillet = nullptr;
  QAction* disableQuillet = nullptr;
  QAction* newSnippetMenu = nullptr;
  QAction* newSnippetFromSelectionMenu = nullptr;
  QAction* newSnippetFromClipboardMenu = nullptr;
  QAction* newSnippetFromApplicationMenu = nullptr;
  QAction* preferencesMenuItem = nullptr;
  QAction* statisticsMenuItem = nullptr;
  QAction* backupMenuItem = nullptr;
  QAction* restoreMenuItem = nullptr;
  QAction* importMenuItem = nullptr;
  QAction* helpMenuItem = nullptr;
  QAction* quitMenuItem = nullptr;

 private:
  void watchForTray();

  TrayItemDelegate& delegate_;
  std::unique_ptr<QMenu> menu_;
  QSystemTrayIcon* statusItem_ = nullptr;
  QTimer trayWatch_;
  int trayWatchesLeft_ = 0;
};
