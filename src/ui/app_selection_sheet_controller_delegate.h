#pragma once

class AppSelectionSheetController;

// Whoever opened the application picker: told once, when it was confirmed
// or cancelled (sheet->isCancel()).
class AppSelectionSheetControllerDelegate {
 public:
  virtual ~AppSelectionSheetControllerDelegate() = default;
  virtual void AppSelectionSheetControllerDidFinish(AppSelectionSheetController* sheet) = 0;
};
