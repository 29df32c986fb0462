#pragma once

#include "app/backup_and_restore.h"
#include "app/fill_in_flow.h"
#include "app/hot_keys.h"
#include "app/library_file.h"
#include "app/new_snippet_flow.h"
#include "app/settings_windows.h"
#include "app/suggestions.h"
#include "app/tray_item.h"
#include "expansion/expansion_executor.h"
#include "expansion/keyboard_hook.h"
#include "expansion/keyboard_hook_delegate.h"
#include "expansion/system_services.h"
#include "model/ql_settings.h"
#include "model/ql_statistics.h"
#include "ui/library_window_controller.h"
#include "ui/library_window_controller_delegate.h"

#include <QPointer>
#include <QUrl>

#include <functional>
#include <memory>

// The main controller: owns the library, the statistics, the keyboard hook,
// the executor and the library window for the whole run, starts them up and
// shuts them down. The tray, the hot keys, the new-snippet flow, backups,
// suggestions, the fill-in form and the settings windows are parts of their
// own; the controller answers them, the hook and the library window.
class QuilletAppDelegate final : public QObject,
                                 public KeyboardHookDelegate,
                                 public ql::ExpansionExecutorDelegate,
                                 public LibraryWindowControllerDelegate,
                                 private SuggestionsDelegate,
                                 private NewSnippetFlowDelegate,
                                 private TrayItemDelegate,
                                 private BackupAndRestoreDelegate,
                                 private LibraryFileDelegate,
                                 private SettingsWindowsDelegate {
  Q_OBJECT

 public:
  // A critical alert with one button; answers 1 when that button was chosen.
  using AlertPanel = std::function<int(const QString& title, const QString& message,
                                       const QString& details, const QString& button)>;
  // A critical alert (a sheet on parent when there is one) with buttons, the
  // first the default; answers the index of the button chosen.
  using AlertSheet = std::function<int(QWidget* parent, QMessageBox::Icon icon, const QString& message,
                                       const QString& details, const QStringList& buttons)>;

  explicit QuilletAppDelegate(const ql::Platform& platform, QObject* parent = nullptr);
  ~QuilletAppDelegate() override;

  // Start-up, part one: the application folder, the library and its start-up
  // copy, the "Backups" folder, the tray, the access check, the hook and the
  // statistics. False when the program is to quit (the user chose so).
  bool awakeFromNib();
  // Start-up, part two: the library window in front, menu titles to match.
  void applicationDidFinishLaunching();
  // Another start of quillet while this one runs: show the library window.
  bool applicationShouldHandleReopen(bool hasVisibleWindows);
  // A file handed to the program on its command line: noted, not opened.
  bool applicationOpenFile(const QString& path);
  // Shut-down: the hook lets go of the keyboard, the clipboard goes back.
  void applicationWillTerminate();
  // Writes every change still held back (quit, logout, suspend).
  void flushSaves();

  // Commands of the tray menu, the library window, the hot keys and --action.
  void actionDisableQuillet() override;
  void actionOpenQuillet();
  void actionShowQuillet();
  void actionOpenOrHideQuillet();
  void actionPreferences() override { settingsWindows_.showPreferences(); }
  void actionStatistics() override { settingsWindows_.showStatistics(); }
  void actionImport() override { settingsWindows_.showImport(); }
  void actionRestore() override;
  void actionBackup() { backups_.actionBackup(); }
  void actionBackupNow() override { actionBackup(); }
  void actionShowSearchWindow() { suggestions_.showSearchWindow(tray_.anchor()); }
  void helpAction() override;
  void actionQuit();
  void processOpenQuilletHotKey();
  void processEnableDisabledQuilletHotKey();
  void processSuggestionsHotKey(const ql::KeyEvent&) { suggestions_.openSuggestions(true, QString()); }
  void processSearchSnippetHotKey() { suggestions_.processSearchSnippetHotKey(); }
  void processNewSnippetHotKey();
  void processNewSnippetFromSelectionHotKey();
  void processNewSnippetFromClipboardHotKey();
  void processNewSnippetFromApplicationHotKey();
  void actionNewSnippetHotKey() { newSnippet_.newSnippet(); }
  void actionNewSnippetFromSelectionHotKey() { newSnippet_.newSnippetFromSelection(); }
  void actionNewSnippetFromClipboardHotKey() { newSnippet_.newSnippetFromClipboard(); }
  void actionNewSnippetFromApplicationHotKey() { newSnippet_.newSnippetForApplication(); }
  void resetHotKeys();
  void backupConfigChanged() override;

  // The hook's and the executor's delegate.
  bool keyEvent(KeyboardHook* hook, const ql::KeyEvent& event) override;
  bool mouseMouseEvent(KeyboardHook*, const ql::MouseEvent& event) override;
  bool undoExpansion(const ql::KeyEvent& event) override { return executor_.undoOnKey(event); }
  QLSettings* settings() override { return settings_.get(); }
  QLStatistics* statistics() override { return statistics_.get(); }
  void closeSearchMenuWindow() override { suggestions_.closeSearchMenuWindow(); }
  void closeSearchPopupWindow() override { suggestions_.closeSearchPopupWindow(); }
  void closeFillInWindow() override { executor_.activteLastApp(); }
  void processSuggestionsHotKey(const QString& text) override;
  bool processSnippet(const SnippetPtr& snippet, int contentLength, int abbreviationCase,
                      bool clearAbbreviation, const QString& delimiter, const QString& abbreviation,
                      int removeLengtOffset) override;
  void showPopup(const QString& word, const QString& delimiter) override {
    suggestions_.showPopup(word, delimiter);
  }
  void setHookEnabled(bool on) override;
  void showFillInForm(ql::FillInForm form) override { fillIn_.show(std::move(form)); }
  void cleanUp() override;
  bool isRestoreClipboard() const override;
  void statisticsChanged() override { settingsWindows_.statisticsChanged(); }
  // The library window's delegate.
  bool isExpansionEnabled() const override { return isQLEnabled; }
  void windowDidBecomeKey() override {}
  void libraryChanged() override {}

  // The parts and windows, for tests and the windows that reach each other.
  LibraryWindowController* libraryWindow() const override { return libraryWindow_.get(); }
  KeyboardHook* eventHandler() const override { return eventHandler_.get(); }
  ql::ExpansionExecutor& executor() { return executor_; }
  TrayItem& trayItem() { return tray_; }
  QSystemTrayIcon* statusItem() const { return tray_.statusItem(); }
  QMenu* statusMenu() const { return tray_.menu(); }
  bool toggleStatusItem(bool show) { return tray_.toggle(show); }
  void statusItemSelected() override;
  void menuWillOpen() override;
  DDHotKeyCenter& hotKeyCenter() { return hotKeys_.center(); }
  bool unRegisterhotKey(quint16 keyCode, quint64 modifiers) { return hotKeys_.unRegisterhotKey(keyCode, modifiers); }
  QString hotKeyTakenReason(quint16 keyCode, quint64 modifiers) { return hotKeys_.takenReason(keyCode, modifiers); }
  bool backup(QString* error) { return backups_.backup(error); }
  BackupTimer& backupTimer() { return backups_.backupTimer(); }
  RestoreWindowController* restoreSheet() const { return backups_.restoreSheet(); }
  bool isBackupFailed() const { return backups_.isBackupFailed(); }
  QString backupToolTip() const { return backups_.backupToolTip(); }
  ql::LibraryFollower* libraryFollower() const { return libraryFile_.follower(); }
  ql::LibraryFileState* libraryFile() const { return libraryFile_.state(); }
  void libraryFolderChosen(PreferencesSheetController* sender, const QString& folder) {
    settingsWindows_.libraryFolderChosen(sender, folder);
  }
  PreferencesSheetController* preferencesSheet() const { return settingsWindows_.preferencesWindow(); }
  StatisticsWindowController* statisticSheet() const { return settingsWindows_.statisticsWindow(); }
  ImportWindowController* importDialogWindow() const { return settingsWindows_.importWindow(); }
  NewSnippetWindowController* newSnippetPanel() const { return newSnippet_.panel(); }
  FillInWindowController* fillInPanel() const { return fillIn_.panel(); }
  // The fill-in form losing the focus.
  void windowDeactivated() { fillIn_.windowDeactivated(); }
  SearchSnippetPopupController* popupPanel() const { return suggestions_.popupPanel(); }
  SearchSnippetWindowController* searchWindow() const { return suggestions_.searchWindow(); }
  void showSearchWindow(const QPoint& at) { suggestions_.showSearchWindow(at); }
  // Where an unreadable settings file was moved at start-up; empty if none.
  QString movedAsideSettingsPath() const;

  // Whether expansion is switched on (mirrors isExtendAbbreviation).
  bool isQLEnabled = false;
  // Started by the autostart entry: the library window stays hidden while
  // the tray icon is there to open it.
  bool isStartedAtLogin = false;
  // The library window, once there is one.
  QPointer<QWidget> window;
  // What the desktop offers; tests replace these.
  AlertPanel alertPanel;
  AlertSheet alertSheet;
  std::function<bool()> isSystemTrayAvailable;
  std::function<bool(const QUrl& url)> openUrl;
  std::function<void()> terminate;
  std::function<int()> randomDigit;
  // Where the help document is looked for; the first that exists opens.
  QStringList helpDocumentPaths;

 Q_SIGNALS:
  // Another program changed the library file and the library now holds it:
  // the windows follow, keeping their selection where it still exists.
  void libraryReloaded();

 private:
  bool createApplicationUsersFolder(const QString& name, QString* error = nullptr);
  bool checkAccessAndInstallHook();
  bool warnAboutAccess(const QString& details);
  void applyIndicators();
  void buildStatusMenu();
  void setupVersion();
  void saveSettingsFile();
  void foremostAppActivated(const ql::ApplicationInfo& application);
  // Preferences replaced as a whole (a restore, another program's file):
  // the tray, the backup timer and the hot keys follow them.
  void applyReplacedPreferences(bool previousIsShowDockIcon);
  void resetPreferences(bool previousIsShowDockIcon);
  void reloadLibraryOutline();
  void setLibraryWindowShown(bool shown) { tray_.setLibraryWindowShown(shown); }
  // The program's own windows are in the taskbar only while it has its
  // "dock icon"; one window, or all of them after a change.
  void updateTaskbarPresence(QWidget* window);
  void updateTaskbarPresence();

  // The parts' delegates.
  void newSnippetCreated() override;
  bool isTrayAvailable() override { return isSystemTrayAvailable && isSystemTrayAvailable(); }
  void statusItemCreated() override;
  QWidget* alertParent() const override { return window; }
  void windowCreated(QWidget* created) override { updateTaskbarPresence(created); }
  int showAlert(QMessageBox::Icon icon, const QString& message, const QString& details) override;
  void backupLabelsChanged() override;
  void scheduledBackupFailed(const QString& error) override;
  int backupDigit() override { return randomDigit ? randomDigit() : 1; }
  void revealFolder(const QString& folder) override;
  void libraryRestored(bool groups, bool preferences, bool previousIsShowDockIcon) override;
  void libraryFileWillLoad() override;
  void libraryFileLoaded(bool preferencesChanged, bool previousIsShowDockIcon) override;
  void libraryFileUnreadable(const QString& message) override;
  int askAboutExistingLibrary(QWidget* parent) override;
  void libraryFileNotMoved(const QString& why) override;
  void preferenceSaved() override { saveSettingsFile(); }
  void extenderChanged(bool status) override;
  void statusBarIconStatusChanged(bool show) override;
  void fontChanged() override;
  void hotKeysChanged() override;
  void moveLibraryFileTo(QWidget* parent, const QString& folder) override;
  void setDockStatus(bool status) override;
  bool hideFromTaskbar() override;
  void relaunch() override;
  void importCompleted() override;

  ql::Platform platform_;
  ql::SystemServices services_;
  std::unique_ptr<QLSettings> settings_;
  // Declared after the library it saves, so it goes (and flushes) first.
  LibraryFile libraryFile_;
  std::unique_ptr<QLStatistics> statistics_;
  std::unique_ptr<KeyboardHook> eventHandler_;
  ql::ExpansionExecutor executor_;
  std::unique_ptr<LibraryWindowController> libraryWindow_;
  bool typedSinceExpansion_ = false;
  bool hasDockIcon_ = false;
  HotKeys hotKeys_;
  FillInFlow fillIn_;
  TrayItem tray_;
  BackupAndRestore backups_;
  // Their windows are made on first use; declared last so they go before the library.
  SettingsWindows settingsWindows_;
  NewSnippetFlow newSnippet_;
  Suggestions suggestions_;
};
