#pragma once

class ImportWindowController;

// Where the import window reports a finished import: the main controller,
// which reloads the library outline.
class ImportWindowControllerDelegate {
 public:
  virtual ~ImportWindowControllerDelegate() = default;
  // The file was merged into the live library and the library saved.
  virtual void ImportCompleted(ImportWindowController* controller) = 0;
};
