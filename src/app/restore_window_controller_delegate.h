#pragma once

#include <QString>

class RestoreWindowController;

// What the restore window asks of the main controller.
class RestoreWindowControllerDelegate {
 public:
  virtual ~RestoreWindowControllerDelegate() = default;
  // The user chose a file and confirmed the options.
  virtual void restoreFileSelected(RestoreWindowController* controller, const QString& restoreFile) = 0;
  // "Backup Now" in the restore window.
  virtual void takeBackup() = 0;
};
