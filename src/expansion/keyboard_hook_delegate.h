#pragma once

#include "model/ql_snippet.h"
#include "platform/key_source.h"

#include <QString>

class KeyboardHook;
class QLSettings;

// What the keyboard hook asks of the main controller.
class KeyboardHookDelegate {
 public:
  virtual ~KeyboardHookDelegate() = default;

  // Mouse moves and scrolls outside the program; the result is ignored.
  virtual bool mouseMouseEvent(KeyboardHook* hook, const ql::MouseEvent& event) = 0;
  // Every key press before the word buffer sees it; true consumes it.
  virtual bool keyEvent(KeyboardHook* hook, const ql::KeyEvent& event) = 0;
  // Every key press first of all: a BackSpace may take the last expansion
  // back. True consumes it.
  virtual bool undoExpansion(const ql::KeyEvent& event) {
    Q_UNUSED(event);
    return false;
  }

  // The library; null when there is none.
  virtual QLSettings* settings() = 0;

  virtual void closeSearchMenuWindow() = 0;
  virtual void closeSearchPopupWindow() = 0;
  virtual void closeFillInWindow() = 0;
  // A Shift tap asks for suggestions for the text typed so far.
  virtual void processSuggestionsHotKey(const QString& text) = 0;

  // The executor's first stage (expansion of one snippet).
  virtual bool processSnippet(const SnippetPtr& snippet, int contentLength, int abbreviationCase,
                              bool clearAbbreviation, const QString& delimiter,
                              const QString& abbreviation, int removeLengtOffset) = 0;
  // Several snippets share the typed abbreviation: the suggestion popup offers them.
  virtual void showPopup(const QString& word, const QString& delimiter) = 0;
};
