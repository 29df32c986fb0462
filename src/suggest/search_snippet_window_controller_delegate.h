#pragma once

#include "model/ql_snippet.h"

class QLSettings;

// What the search window asks of the main controller.
class SearchSnippetWindowControllerDelegate {
 public:
  virtual ~SearchSnippetWindowControllerDelegate() = default;

  // The library; null when there is none.
  virtual QLSettings* settings() = 0;
  // Closes the search window when it is open.
  virtual void closeSearchMenuWindow() = 0;
  // Whether an application the user typed in is recorded, and bringing it back.
  virtual bool hasLastActiveApp() const = 0;
  virtual void activteLastApp() = 0;
  // Pastes the snippet at the caret of the application in front, deleting nothing.
  virtual bool processSnippet(const SnippetPtr& snippet) = 0;
};
