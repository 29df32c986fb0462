#pragma once

#include "app/backup_and_restore.h"
#include "app/fill_in_flow.h"
#include "app/hot_keys.h"
#include "app/import_window_controller_delegate.h"
#include "app/library_file.h"
#include "app/new_snippet_flow.h"
#include "app/preferences_sheet_controller_delegate.h"
#include "app/statistics_window_controller_delegate.h"
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

class PreferencesSheetController;
class StatisticsWindowController;
class ImportWindowController;

// The main controller: owns the library, the statistics, the keyboard hook,
// the executor and the windows for the whole run, starts them up and shuts
// them down. The tray, the new-snippet flow, backups and suggestions are
// parts of their own; the controller answers them, the hook and the windows.
class QuilletAppDelegate final : public QObject,
                                 public KeyboardHookDelegate,
                                 public ql::ExpansionExecutorDelegate,
                                 public LibraryWindowControllerDelegate,
                                 public PreferencesSheetControllerDelegate,
                                 public StatisticsWindowControllerDelegate,
                                 public ImportWindowControllerDelegate,
                                 private SuggestionsDelegate,
                                 private NewSnippetFlowDelegate,
                                 private TrayItemDelegate,
                                 private BackupAndRestoreDelegate,
                                 private LibraryFileDelegate {
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

  // The library file, followed while the program runs. Moving it: when a
  // library already lies in folder, useExisting says whether to take it.
  ql::LibraryFollower* libraryFollower() const { return libraryFile_.follower(); }
  ql::LibraryFileState* libraryFile() const { return libraryFile_.state(); }
  bool moveLibraryFile(const QString& folder, bool useExisting, QString* why = nullptr) {
    return libraryFile_.move(folder, useExisting, why);
  }

  // Commands of the tray menu, the library window and the hot keys.
  void actionDisableQuillet() override;
  void extenderChanged(bool status);
  void actionOpenQuillet();
  void actionShowQuillet();
  void actionOpenOrHideQuillet();
  void actionPreferences() override;
  void actionStatistics() override;
  void actionImport() override;
  void actionRestore() override;
  void actionBackup() { backups_.actionBackup(); }
  void actionBackupNow() override { actionBackup(); }
  void actionShowSearchWindow() { suggestions_.showSearchWindow(tray_.anchor()); }
  void showSearchWindow(const QPoint& at) { suggestions_.showSearchWindow(at); }
  void helpAction() override;
  void actionQuit();
  void setupVersion();
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

  // The tray item.
  TrayItem& trayItem() { return tray_; }
  bool toggleStatusItem(bool show) { return tray_.toggle(show); }
  QSystemTrayIcon* statusItem() const { return tray_.statusItem(); }
  QMenu* statusMenu() const { return tray_.menu(); }
  void statusItemSelected() override;
  void menuWillOpen() override;

  // Global hot keys.
  void resetHotKeys();
  bool unRegisterhotKey(quint16 keyCode, quint64 modifierFlags) override {
    return hotKeys_.unRegisterhotKey(keyCode, modifierFlags);
  }
  QString hotKeyTakenReason(quint16 keyCode, quint64 modifierFlags) override {
    return hotKeys_.takenReason(keyCode, modifierFlags);
  }
  DDHotKeyCenter& hotKeyCenter() { return hotKeys_.center(); }

  // Backups and restore.
  bool backup(QString* error) { return backups_.backup(error); }
  void backupConfigChanged();
  BackupTimer& backupTimer() { return backups_.backupTimer(); }
  RestoreWindowController* restoreSheet() const { return backups_.restoreSheet(); }
  bool isBackupFailed() const { return backups_.isBackupFailed(); }
  QString backupToolTip() const { return backups_.backupToolTip(); }

  // The keyboard hook's and the executor's delegate.
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
  void statisticsChanged() override;
  // The fill-in form losing the focus.
  void windowDeactivated() { fillIn_.windowDeactivated(); }
  // The library window's delegate.
  bool isExpansionEnabled() const override { return isQLEnabled; }
  void windowDidBecomeKey() override {}
  void libraryChanged() override {}
  // The preferences, statistics and import windows' delegate: each change
  // saved and applied at once.
  void preferencesChanged(PreferencesSheetController*) override { saveSettingsFile(); }
  void extenderChanged(PreferencesSheetController*, bool status) override { extenderChanged(status); }
  void statusBarIconStatusChanged(PreferencesSheetController* sender, bool status) override;
  void dockIconStatusChanged(PreferencesSheetController*, bool) override { saveSettingsFile(); }
  void plainFontChanged(PreferencesSheetController* sender, const QFont& font) override;
  void formattedFontChanged(PreferencesSheetController* sender, const QFont& font) override;
  void hotKeysChanged(PreferencesSheetController* sender) override;
  void backupConfigChanged(PreferencesSheetController*) override { backupConfigChanged(); }
  void libraryFolderChosen(PreferencesSheetController* sender, const QString& folder) override;
  void toggleLoginItem(bool add) override;
  void setDockStatus(bool status) override;
  bool hideFromTaskbar() override;
  void relaunch() override;
  void chooseApplications(PreferencesSheetController* sender, int exceptionType, const QString& title,
                          const QStringList& applications) override;
  void statisticsWordPerMinuteChanged(StatisticsWindowController*) override { saveSettingsFile(); }
  void ImportCompleted(ImportWindowController* controller) override;

  // The windows, once made.
  LibraryWindowController* libraryWindow() const override { return libraryWindow_.get(); }
  PreferencesSheetController* preferencesSheet() const { return preferencesSheet_.get(); }
  StatisticsWindowController* statisticSheet() const { return statisticSheet_.get(); }
  ImportWindowController* importDialogWindow() const { return importDialogWindow_.get(); }
  NewSnippetWindowController* newSnippetPanel() const { return newSnippet_.panel(); }
  FillInWindowController* fillInPanel() const { return fillIn_.panel(); }
  SearchSnippetPopupController* popupPanel() const { return suggestions_.popupPanel(); }
  SearchSnippetWindowController* searchWindow() const { return suggestions_.searchWindow(); }
  KeyboardHook* eventHandler() const override { return eventHandler_.get(); }
  ql::ExpansionExecutor& executor() { return executor_; }
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
  void saveSettingsFile();
  // Preferences replaced as a whole (a restore, another program's file):
  // the tray, the backup timer and the hot keys follow them.
  void applyReplacedPreferences(bool previousIsShowDockIcon);
  void resetPreferences(bool previousIsShowDockIcon);
  void reloadLibraryOutline();
  void windowsAfterRestore();
  void setLibraryWindowShown(bool shown) { tray_.setLibraryWindowShown(shown); }
  // The program's own windows are in the taskbar only while it has its
  // "dock icon"; one window, or all of them after a change.
  void updateTaskbarPresence(QWidget* window);
  void updateTaskbarPresence();
  int showAlert(QMessageBox::Icon icon, const QString& message, const QString& details) override;
  void foremostAppActivated(const ql::ApplicationInfo& application);

  // The parts' delegates.
  void newSnippetCreated() override;
  bool isTrayAvailable() override { return isSystemTrayAvailable && isSystemTrayAvailable(); }
  void statusItemCreated() override;
  QWidget* alertParent() const override { return window; }
  void windowCreated(QWidget* created) override { updateTaskbarPresence(created); }
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
  // Created on first use and kept; declared last so they go before the library.
  std::unique_ptr<PreferencesSheetController> preferencesSheet_;
  std::unique_ptr<StatisticsWindowController> statisticSheet_;
  std::unique_ptr<ImportWindowController> importDialogWindow_;
  NewSnippetFlow newSnippet_;
  Suggestions suggestions_;
};
