#pragma once

#include "model/ql_snippet.h"

#include <QString>

class QLSettings;

// What the suggestion popup asks of the main controller.
class SearchSnippetPopupControllerDelegate {
 public:
  virtual ~SearchSnippetPopupControllerDelegate() = default;

  // The library; null when there is none.
  virtual QLSettings* settings() = 0;
  // Closes the popup's window when it is open.
  virtual void closeSearchPopupWindow() = 0;
  // Whether an application the user typed in is recorded, and bringing it back.
  virtual bool hasLastActiveApp() const = 0;
  virtual void activteLastApp() = 0;
  // The executor's first stage.
  virtual bool processSnippet(const SnippetPtr& snippet, int contentLength, int abbreviationCase,
                              bool clearAbbreviation, const QString& delimiter,
                              const QString& abbreviation, int removeLengtOffset) = 0;
};
