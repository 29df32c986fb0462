#pragma once

#include "app/backup_timer.h"
#include "app/dd_hot_key_center.h"
#include "model/library_follower.h"
#include "model/library_saver.h"
#include "app/fill_in_window_controller.h"
#include "app/import_window_controller_delegate.h"
#include "app/preferences_sheet_controller_delegate.h"
#include "app/restore_window_controller_delegate.h"
#include "app/statistics_window_controller_delegate.h"
#include "expansion/expansion_executor.h"
#include "expansion/keyboard_hook.h"
#include "expansion/keyboard_hook_delegate.h"
#include "expansion/system_services.h"
#include "model/ql_settings.h"
#include "model/ql_statistics.h"
#include "platform/platform.h"
#include "suggest/search_snippet_popup_controller.h"
#include "suggest/search_snippet_window_controller.h"
#include "ui/library_window_controller.h"
#include "ui/library_window_controller_delegate.h"
#include "ui/new_snippet_window_controller.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;
class RestoreWindowController;
class PreferencesSheetController;
class StatisticsWindowController;
class ImportWindowController;

// The main controller: owns the library, the statistics, the keyboard hook,
// the executor and the fill-in form for the whole run, starts them up and
// shuts them down, and answers the hook, the executor and the form.
class QuilletAppDelegate final : public QObject,
                                 public KeyboardHookDelegate,
                                 public ql::ExpansionExecutorDelegate,
                                 public FillInWindowControllerDelegate,
                                 public RestoreWindowControllerDelegate,
                                 public LibraryWindowControllerDelegate,
                                 public PreferencesSheetControllerDelegate,
                                 public StatisticsWindowControllerDelegate,
                                 public ImportWindowControllerDelegate,
                                 public SearchSnippetPopupControllerDelegate,
                                 public SearchSnippetWindowControllerDelegate,
                                 public NewSnippetWindowControllerDelegate {
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

  // Start-up: the application folder, the library and its start-up copy,
  // the "Backups" folder, the expansion switch, the notifications, the
  // assistive-access check, the keyboard hook and the statistics. False when
  // the program is to quit (the user chose so at the access alert).
  bool awakeFromNib();
  // Shut-down: the hook lets go of the keyboard. Nothing needs saving.
  void applicationWillTerminate();
  // Writes every change still held back (quit, logout, suspend).
  void flushSaves();

  // The library file, followed while the program runs.
  ql::LibraryFollower* libraryFollower() const { return follower_.get(); }
  ql::LibraryFileState* libraryFile() const { return libraryFile_.get(); }
  // A new library read from the file: merged with the changes not yet
  // written, then put in place.
  void libraryFileLoaded(std::unique_ptr<QLSettings> library);
  // Moves the library file to folder (empty: the application folder). When
  // a library already lies there, useExisting says whether to take it (true)
  // or replace it with this one. False, with why, when it could not.
  bool moveLibraryFile(const QString& folder, bool useExisting, QString* why = nullptr);
  // Start-up, part two: the library window in front, menu titles to match.
  void applicationDidFinishLaunching();
  // Another start of quillet while this one runs: show the library window.
  bool applicationShouldHandleReopen(bool hasVisibleWindows);
  bool applicationShouldTerminateAfterLastWindowClosed();
  // A file handed to the program on its command line: noted, not opened.
  bool applicationOpenFile(const QString& path);

  // Switching expansion on and off (menu, hot key, preferences window).
  void actionDisableQuillet();
  void extenderChanged(bool status);
  // The library window.
  void actionOpenQuillet();
  void actionShowQuillet();
  // The tray menu's entry: hides the window when it is shown, wherever the
  // focus is, else opens it.
  void actionOpenOrHideQuillet();
  void setupVersion();
  void helpAction();
  // The secondary windows; those that are not built yet do nothing.
  void actionPreferences();
  void actionStatistics();
  void actionRestore();
  void actionImport();
  void actionShowSearchWindow();
  void actionQuit();
  // After the preferences window changed a setting.
  void preferencesChanged();
  void statusBarIconStatusChanged(bool status);
  void dockIconStatusChanged(bool status);
  void hotKeysChanged();
  void backupConfigChanged();

  // The tray item and its menu.
  bool toggleStatusItem(bool show);
  bool createStatusItem();
  void removeStatusItem();
  void processStatusMenu();
  void statusItemSelected();
  void statusItemDeselected();
  void menuWillOpen();
  void menuDidClose();
  void closeMenu();
  QSystemTrayIcon* statusItem() const { return statusItem_; }
  QMenu* statusMenu() const { return statusMenu_.get(); }

  // Global hot keys.
  bool registerhotKey(quint16 keyCode, quint64 modifierFlags, DDHotKey::Task task);
  bool unRegisterhotKey(quint16 keyCode, quint64 modifierFlags);
  void resetHotKeys();
  DDHotKeyCenter& hotKeyCenter() { return hotKeyCenter_; }
  void processSuggestionsHotKey(const ql::KeyEvent& event);
  void processOpenQuilletHotKey();
  void processEnableDisabledQuilletHotKey();
  void processNewSnippetHotKey();
  void processNewSnippetFromSelectionHotKey();
  void processNewSnippetFromClipboardHotKey();
  void processNewSnippetFromApplicationHotKey();
  void processSearchSnippetHotKey();
  void actionNewSnippetHotKey();
  void actionNewSnippetFromSelectionHotKey();
  void actionNewSnippetFromClipboardHotKey();
  void actionNewSnippetFromApplicationHotKey();
  void processNewSnippetFromSelection();
  void processNewSnippetFromApplication();
  // The new-snippet window closed: the clipboard saved before the copy goes back.
  void newSnippetWindowDidFinish();
  // The new-snippet window's delegate, and the window losing the focus.
  void createNewSnippet(NewSnippetWindowController* sender) override;
  void cancelNewSnippet(NewSnippetWindowController* sender) override;
  void windowDeactivatedNewSnippet();
  NewSnippetWindowController* newSnippetPanel() const { return newSnippetPanel_.get(); }

  // Backups and restore.
  void toggleBackup(bool on);
  void timerFireMethod();
  // Writes one backup and prunes; keep names files pruning must spare (the
  // backup about to be restored), besides the one just written.
  bool backup(QString* error, const QString& suffix = QString(), const QStringList& keep = {});
  void cleanBackups(const QStringList& keep = {});
  void actionBackup();
  void takeBackup() override;
  void restoreFileSelected(RestoreWindowController* controller, const QString& restoreFile) override;
  bool restoreSettings(const QString& path, const QString& destFile, bool alertError);
  void resetPreferences(bool previousIsShowDockIcon);
  // Preferences replaced as a whole (a restore, another program's file):
  // the tray, the backup timer and the hot keys follow them.
  void applyReplacedPreferences(bool previousIsShowDockIcon);
  void restoreAlertDidEnd();
  BackupTimer& backupTimer() { return backupTimer_; }
  RestoreWindowController* restoreSheet() const { return restoreSheet_.get(); }
  // The backup label pair of the library window.
  QString labelAutoBackupText() const { return labelAutoBackupText_; }
  QString labelNextBackupText() const { return labelNextBackupText_; }
  bool isBackupFailed() const { return backupFailed_; }
  QString backupToolTip() const { return backupToolTip_; }

  // Taskbar presence, login item, relaunch.
  void setDockStatus(bool status);
  bool hideFromTaskbar() override;
  void toggleLoginItem(bool add);
  void relaunch();

  // Makes sure application folder + name exists.
  bool createApplicationUsersFolder(const QString& name, QString* error = nullptr);

  // Workspace and window notifications.
  void foremostAppActivated(const ql::ApplicationInfo& application);
  void windowDeactivated();

  // Brings back the application the user typed in before the form opened.
  void activteLastApp() override;
  bool hasLastActiveApp() const override { return executor_.lastActiveApp.has_value(); }
  // The second stage with the form's content, 0.1 s after OK; 1 when done
  // (or when there is no form).
  int executeSnippetFill(int contentLength);

  // The keyboard hook's delegate.
  bool mouseMouseEvent(KeyboardHook* hook, const ql::MouseEvent& event) override;
  bool keyEvent(KeyboardHook* hook, const ql::KeyEvent& event) override;
  bool undoExpansion(const ql::KeyEvent& event) override { return executor_.undoOnKey(event); }
  QLSettings* settings() override { return settings_.get(); }
  // Where an unreadable settings file was moved at start-up; empty if none.
  QString movedAsideSettingsPath() const {
    return settings_ ? settings_->movedAsideSettingsPath : QString();
  }
  void closeSearchMenuWindow() override;
  void closeSearchPopupWindow() override;
  void closeFillInWindow() override { activteLastApp(); }
  void processSuggestionsHotKey(const QString& text) override;
  bool processSnippet(const SnippetPtr& snippet, int contentLength, int abbreviationCase,
                      bool clearAbbreviation, const QString& delimiter,
                      const QString& abbreviation, int removeLengtOffset) override;
  void showPopup(const QString& word, const QString& delimiter) override;
  // The search window pastes its choice: nothing is deleted.
  bool processSnippet(const SnippetPtr& snippet) override;

  // The suggestion popup and the search window, once opened.
  SearchSnippetPopupController* popupPanel() const { return popupPanel_.get(); }
  SearchSnippetWindowController* searchWindow() const { return searchController_.get(); }
  void showSearchWindow(const QPoint& at);
  void foremostAppDeactivated(const ql::ApplicationInfo& application);

  // The executor's delegate.
  QLStatistics* statistics() override { return statistics_.get(); }
  void setHookEnabled(bool on) override;
  void showFillInForm(ql::FillInForm form) override;
  void cleanUp() override;
  bool isRestoreClipboard() const override;

  // The fill-in form's delegate.
  void fillInOk(FillInWindowController* form, int contentLength) override;
  void fillInCancel(FillInWindowController* form) override;

  // The library window's delegate (the other commands are declared above).
  void actionBackupNow() override { actionBackup(); }
  bool isExpansionEnabled() const override { return isQLEnabled; }
  void windowDidBecomeKey() override {}
  void libraryChanged() override {}
  LibraryWindowController* libraryWindow() const { return libraryWindow_.get(); }
  // The preferences window's delegate: each change saved and applied at once.
  void preferencesChanged(PreferencesSheetController* sender) override;
  void extenderChanged(PreferencesSheetController* sender, bool status) override;
  void statusBarIconStatusChanged(PreferencesSheetController* sender, bool status) override;
  void dockIconStatusChanged(PreferencesSheetController* sender, bool status) override;
  void plainFontChanged(PreferencesSheetController* sender, const QFont& font) override;
  void formattedFontChanged(PreferencesSheetController* sender, const QFont& font) override;
  void hotKeysChanged(PreferencesSheetController* sender) override;
  void backupConfigChanged(PreferencesSheetController* sender) override;
  void libraryFolderChosen(PreferencesSheetController* sender, const QString& folder) override;
  QString hotKeyTakenReason(quint16 keyCode, quint64 modifierFlags) override;
  void chooseApplications(PreferencesSheetController* sender, int exceptionType, const QString& title,
                          const QStringList& applications) override;
  // The statistics and import windows' delegate.
  void statisticsWordPerMinuteChanged(StatisticsWindowController* controller) override;
  void ImportCompleted(ImportWindowController* controller) override;
  void statisticsChanged() override;
  PreferencesSheetController* preferencesSheet() const { return preferencesSheet_.get(); }
  StatisticsWindowController* statisticSheet() const { return statisticSheet_.get(); }
  ImportWindowController* importDialogWindow() const { return importDialogWindow_.get(); }

  KeyboardHook* eventHandler() const { return eventHandler_.get(); }
  ql::ExpansionExecutor& executor() { return executor_; }
  ql::SystemServices& services() { return services_; }
  FillInWindowController* fillInPanel() const { return fillInPanel_.get(); }

  // Whether expansion is switched on (mirrors isExtendAbbreviation).
  bool isQLEnabled = false;
  // Started by the autostart entry: the library window stays hidden while
  // the tray icon is there to open it.
  bool isStartedAtLogin = false;
  // The alert of the access check; tests replace it.
  AlertPanel alertPanel;
  // The library window, once there is one.
  QPointer<QWidget> window;
  // What the desktop offers; tests replace these.
  AlertSheet alertSheet;
  std::function<bool()> isSystemTrayAvailable;
  std::function<bool(const QUrl& url)> openUrl;
  std::function<void()> terminate;
  std::function<int()> randomDigit;
  // Where the help document is looked for; the first that exists opens.
  QStringList helpDocumentPaths;

 Q_SIGNALS:
  // labelAutoBackupText, labelNextBackupText, isBackupFailed or backupToolTip changed.
  void backupLabelsChanged();
  // Windows that come with their own code: the controller asks, they answer.
  void searchWindowRequested(const QPoint& at);
  void preferencesWindowRequested();
  void statisticsWindowRequested();
  void importWindowRequested();
  // kind: "new", "clipboard", "selection" or "application".
  void newSnippetWindowRequested(const QString& kind);
  void expansionSwitched(bool enabled);
  // A restore replaced groups and snippets: the library outline reloads.
  void libraryRestored();
  // An import added groups and snippets: the library outline reloads.
  void libraryImported();
  // plainSnippetFont or formattedSnippetFont changed: an open snippet editor follows.
  void snippetFontsChanged();
  // Another program changed the library file and the library now holds it:
  // the windows follow, keeping their selection where it still exists.
  void libraryReloaded();
  // What the user was told about the library file (once per spell).
  void libraryFileNotice(const QString& message);

 private:
  bool checkAccessAndInstallHook();
  bool warnAboutAccess(const QString& details);
  void applyIndicators();
  void saveSettingsFile();
  void setBackupLabels(const QString& autoBackup, const QString& next);
  void rememberFrontmostApplication();
  void buildStatusMenu();
  void watchForTray();
  void copySelectionThen(void (QuilletAppDelegate::*next)());
  void saveClipboard();
  void noteCopied();
  void restoreClipboard();
  bool isClipboardStillOurs() const;
  void giveBackClipboard(bool later);
  void copySelectionForNewSnippet(const QString& operation, std::function<void()> then);
  void findOrCreateApplicationGroup();
  void openNewSnippetWindow(const QString& kind);
  void newSnippetWillTerminate();
  int showAlert(QMessageBox::Icon icon, const QString& message, const QString& details,
                const QStringList& buttons = {QStringLiteral("OK")});

  ql::Platform platform_;
  ql::SystemServices services_;
  std::unique_ptr<QLSettings> settings_;
  // Declared after the library it saves, so it goes (and flushes) first.
  std::unique_ptr<ql::LibrarySaver> saver_;
  std::shared_ptr<ql::LibraryFileState> libraryFile_;
  std::unique_ptr<ql::LibraryFollower> follower_;
  void followLibraryFile();
  void libraryFileUnreadable(const QString& why);
  std::unique_ptr<QLStatistics> statistics_;
  std::unique_ptr<KeyboardHook> eventHandler_;
  ql::ExpansionExecutor executor_;
  std::unique_ptr<FillInWindowController> fillInPanel_;
  std::unique_ptr<LibraryWindowController> libraryWindow_;
  bool typedSinceExpansion_ = false;
  DDHotKeyCenter hotKeyCenter_;
  BackupTimer backupTimer_;
  std::unique_ptr<RestoreWindowController> restoreSheet_;
  std::unique_ptr<QMenu> statusMenu_;
  QSystemTrayIcon* statusItem_ = nullptr;
  // At login the panel may come up after Quillet: look for a tray a while longer.
  QTimer trayWatch_;
  int trayWatchesLeft_ = 0;
  QString labelAutoBackupText_;
  QString labelNextBackupText_;
  QString backupToolTip_;
  bool backupFailed_ = false;
  bool hasDockIcon_ = false;
  // The user's clipboard around the copy of a new-snippet hot key.
  QList<ql::PasteboardItem> savedClipboard_;
  quint64 clipboardCountAtSave_ = 0;
  quint64 clipboardCountAfterCopy_ = 0;
  bool clipboardSaved_ = false;
  bool clipboardClearedForRestore_ = false;
  bool clipboardInUse_ = false;  // saved, and the window it was saved for not done
  quint64 clipboardRestoreGeneration_ = 0;
  // The application the selection is copied from, and the copy under way.
  std::optional<ql::ApplicationInfo> newSnippetSource_;
  bool newSnippetCopyPending_ = false;
  bool newSnippetNothingCopied_ = false;
  QMetaObject::Connection newSnippetCopyWatch_;
  // Created on first use and kept; declared last so they go before the library.
  std::unique_ptr<PreferencesSheetController> preferencesSheet_;
  std::unique_ptr<StatisticsWindowController> statisticSheet_;
  std::unique_ptr<ImportWindowController> importDialogWindow_;
  std::unique_ptr<NewSnippetWindowController> newSnippetPanel_;
  void windowsAfterRestore();
  // The program's own windows are in the taskbar only while it has its
  // "dock icon"; one window, or all of them after a change.
  void updateTaskbarPresence(QWidget* window);
  void updateTaskbarPresence();
  std::unique_ptr<SearchSnippetPopupController> popupPanel_;
  std::unique_ptr<SearchSnippetWindowController> searchController_;
  SearchSnippetPopupController& popup();
  void openSuggestions(bool fromHotKey, const QString& text);
  void placePopup(const QRectF& frame, int shiftLeft);

 public:
  // Entries of the status menu the controller adjusts.
  QAction* searchSnippet = nullptr;
  QAction* openQuillet = nullptr;
  QAction* disableQuillet = nullptr;
  QAction* newSnippetMenu = nullptr;
  QAction* newSnippetFromSelectionMenu = nullptr;
  QAction* newSnippetFromClipboardMenu = nullptr;
  QAction* newSnippetFromApplicationMenu = nullptr;
  QAction* preferencesMenuItem = nullptr;
  QAction* statisticsMenuItem = nullptr;
  QAction* aboutMenuItem = nullptr;
  QAction* helpMenuItem = nullptr;
  QAction* quitMenuItem = nullptr;
  bool hasDockIcon() const { return hasDockIcon_; }
};
