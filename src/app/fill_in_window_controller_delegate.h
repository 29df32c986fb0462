#pragma once

class FillInWindowController;

// Where the fill-in form reports the user's answer: the main controller.
class FillInWindowControllerDelegate {
 public:
  virtual ~FillInWindowControllerDelegate() = default;
  // OK: the form's data holds the filled-in content; contentLength is the
  // length of what will be inserted.
  virtual void fillInOk(FillInWindowController* form, int contentLength) = 0;
  // Cancel: nothing is expanded.
  virtual void fillInCancel(FillInWindowController* form) = 0;
};
