#pragma once

// The application-wide commands the library window's menus and toolbar
// offer; the main controller carries them out.
class LibraryWindowControllerDelegate {
 public:
  virtual ~LibraryWindowControllerDelegate() = default;
  virtual void actionPreferences() = 0;
  virtual void actionStatistics() = 0;
  virtual void actionImport() = 0;
  virtual void actionBackupNow() = 0;
  virtual void actionRestore() = 0;
  virtual void helpAction() = 0;
  // Switches expansion on or off.
  virtual void actionDisableQuillet() = 0;
  virtual bool isExpansionEnabled() const = 0;
  // The library window became the active window.
  virtual void windowDidBecomeKey() = 0;
  // The library was changed and saved by the window.
  virtual void libraryChanged() = 0;
};
