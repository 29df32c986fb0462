#pragma once

#include "app/import_window_controller_delegate.h"
#include "app/preferences_sheet_controller_delegate.h"
#include "app/statistics_window_controller_delegate.h"
#include "platform/platform.h"

#include <QList>
#include <QObject>

#include <memory>

class HotKeys;
class ImportWindowController;
class PreferencesSheetController;
class QLSettings;
class QLStatistics;
class QWidget;
class StatisticsWindowController;

// What the preferences, statistics and import windows ask of the main
// controller: each change is saved and applied at once.
class SettingsWindowsDelegate {
 public:
  virtual ~SettingsWindowsDelegate() = default;
  // The library and the counts; null when there is none.
  virtual QLSettings* settings() = 0;
  virtual QLStatistics* statistics() = 0;
  // A secondary window was made: it joins the taskbar or stays out of it.
  virtual void windowCreated(QWidget* window) = 0;
  // A preference that only needs saving.
  virtual void preferenceSaved() = 0;
  virtual void extenderChanged(bool status) = 0;
  virtual void statusBarIconStatusChanged(bool show) = 0;
  // A snippet font: the open editor follows it.
  virtual void fontChanged() = 0;
  virtual void hotKeysChanged() = 0;
  virtual void backupConfigChanged() = 0;
  // Moves the library file to folder, asking on parent first when a library lies there.
  virtual void moveLibraryFileTo(QWidget* parent, const QString& folder) = 0;
  virtual void setDockStatus(bool shown) = 0;
  virtual bool hideFromTaskbar() = 0;
  virtual void relaunch() = 0;
  // The import merged into the live library.
  virtual void importCompleted() = 0;
};

// The preferences, statistics and import windows, each made on first use
// and kept, and what they ask for while open (the application picker,
// the hot keys, the login item).
class SettingsWindows final : public QObject,
                              public PreferencesSheetControllerDelegate,
                              public StatisticsWindowControllerDelegate,
                              public ImportWindowControllerDelegate {
  Q_OBJECT

 public:
  SettingsWindows(const ql::Platform& platform, HotKeys& hotKeys, SettingsWindowsDelegate& delegate);
  ~SettingsWindows() override;

  void showPreferences();
  void showStatistics();
  void showImport();
  // Preferences or counts replaced as a whole (a restore, another program's file).
  void followReplacedLibrary();
  // Expansion switched from elsewhere: the check box follows.
  void expansionSwitched();
  void statisticsChanged();
  // The windows made so far, for the taskbar.
  QList<QWidget*> windows() const;

  PreferencesSheetController* preferencesWindow() const { return preferences_.get(); }
  StatisticsWindowController* statisticsWindow() const { return statistics_.get(); }
  ImportWindowController* importWindow() const { return import_.get(); }

  // The preferences window's delegate.
  void preferencesChanged(PreferencesSheetController*) override { delegate_.preferenceSaved(); }
  void extenderChanged(PreferencesSheetController*, bool status) override { delegate_.extenderChanged(status); }
  void statusBarIconStatusChanged(PreferencesSheetController*, bool status) override {
    delegate_.statusBarIconStatusChanged(status);
  }
  void dockIconStatusChanged(PreferencesSheetController*, bool) override { delegate_.preferenceSaved(); }
  void plainFontChanged(PreferencesSheetController*, const QFont&) override { delegate_.fontChanged(); }
  void formattedFontChanged(PreferencesSheetController*, const QFont&) override { delegate_.fontChanged(); }
  void hotKeysChanged(PreferencesSheetController*) override { delegate_.hotKeysChanged(); }
  void backupConfigChanged(PreferencesSheetController*) override { delegate_.backupConfigChanged(); }
  void libraryFolderChosen(PreferencesSheetController* sender, const QString& folder) override;
  void toggleLoginItem(bool add) override;
  void setDockStatus(bool status) override { delegate_.setDockStatus(status); }
  bool hideFromTaskbar() override { return delegate_.hideFromTaskbar(); }
  void relaunch() override { delegate_.relaunch(); }
  bool unRegisterhotKey(quint16 keyCode, quint64 modifierFlags) override;
  QString hotKeyTakenReason(quint16 keyCode, quint64 modifierFlags) override;
  void chooseApplications(PreferencesSheetController* sender, int exceptionType, const QString& title,
                          const QStringList& applications) override;
  // The statistics and import windows' delegate.
  void statisticsWordPerMinuteChanged(StatisticsWindowController*) override { delegate_.preferenceSaved(); }
  void ImportCompleted(ImportWindowController*) override { delegate_.importCompleted(); }

 private:
  const ql::Platform platform_;
  HotKeys& hotKeys_;
  SettingsWindowsDelegate& delegate_;
  std::unique_ptr<PreferencesSheetController> preferences_;
  std::unique_ptr<StatisticsWindowController> statistics_;
  std::unique_ptr<ImportWindowController> import_;
};
