#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

class PreferencesSheetController;

// The main controller, told of every change the preferences window makes to
// the live preferences record. Each call follows the change; the controller
// saves the settings file and applies the change at once.
class PreferencesSheetControllerDelegate {
 public:
  virtual ~PreferencesSheetControllerDelegate() = default;

  // Any preference without a call of its own.
  virtual void preferencesChanged(PreferencesSheetController* sender) = 0;
  // Expansion switched on or off.
  virtual void extenderChanged(PreferencesSheetController* sender, bool status) = 0;
  // Create or remove the tray icon.
  virtual void statusBarIconStatusChanged(PreferencesSheetController* sender, bool status) = 0;
  // isShowDockIcon changed (true: the library window leaves the taskbar).
  virtual void dockIconStatusChanged(PreferencesSheetController* sender, bool status) = 0;
  virtual void plainFontChanged(PreferencesSheetController* sender, const QFont& font) = 0;
  virtual void formattedFontChanged(PreferencesSheetController* sender, const QFont& font) = 0;
  // A hot key was recorded or cleared: register the preferences' hot keys again.
  virtual void hotKeysChanged(PreferencesSheetController* sender) = 0;
  // Reschedule the backup timer.
  virtual void backupConfigChanged(PreferencesSheetController* sender) = 0;
  // The user chose where the library file lives ("" for the application
  // folder); the controller moves it there, asking first when a library is
  // already there.
  virtual void libraryFolderChosen(PreferencesSheetController* sender, const QString& folder) = 0;

  // The login item (autostart entry) on or off.
  virtual void toggleLoginItem(bool enabled) = 0;
  // Show the library window in the taskbar at once.
  virtual void setDockStatus(bool shown) = 0;
  // Takes the windows out of the taskbar at once, the tray icon staying to
  // reach them; false (and left in) when there is no tray to hold the icon.
  virtual bool hideFromTaskbar() = 0;
  // Start the program again.
  virtual void relaunch() = 0;
  // Releases a hot key this program holds, before it is replaced; false
  // when it could not.
  virtual bool unRegisterhotKey(quint16 keyCode, quint64 modifierFlags) = 0;
  // Why another program's hold on the combination keeps it from us, or
  // empty when it is free (combinations this program holds count as free).
  virtual QString hotKeyTakenReason(quint16 keyCode, quint64 modifierFlags) = 0;
  // Shows the application picker for the global rule (type 2: all but these,
  // 3: only these) with the applications chosen so far; the picker answers
  // with PreferencesSheetController::AppSelectionSheetControllerDidFinish.
  virtual void chooseApplications(PreferencesSheetController* sender, int exceptionType, const QString& title,
                                  const QStringList& applications) = 0;
};
