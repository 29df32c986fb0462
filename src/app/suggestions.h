#pragma once

#include "expansion/expansion_executor.h"
#include "expansion/system_services.h"
#include "platform/platform.h"
#include "suggest/search_snippet_popup_controller.h"
#include "suggest/search_snippet_window_controller.h"

#include <QObject>
#include <QPoint>
#include <QRectF>

#include <memory>

class KeyboardHook;
class QLSettings;

// What the suggestions ask of the main controller.
class SuggestionsDelegate {
 public:
  virtual ~SuggestionsDelegate() = default;
  // The library; null when there is none.
  virtual QLSettings* settings() = 0;
  // The hook, for the words typed; null when it is not installed.
  virtual KeyboardHook* eventHandler() const = 0;
  virtual void setHookEnabled(bool on) = 0;
};

// The suggestion popup at the caret and the search window of the tray menu,
// each made on first use and kept, and the keys and clicks that reach them
// while they are open.
class Suggestions final : public QObject,
                          public SearchSnippetPopupControllerDelegate,
                          public SearchSnippetWindowControllerDelegate {
  Q_OBJECT

 public:
  Suggestions(const ql::Platform& platform, ql::SystemServices& services,
              ql::ExpansionExecutor& executor, SuggestionsDelegate& delegate);
  ~Suggestions() override;

  // Several snippets matched the word: the list under it.
  void showPopup(const QString& word, const QString& delimiter);
  // The suggestion hot key (text empty) or a group's abbreviation (text: the words typed).
  void openSuggestions(bool fromHotKey, const QString& text);
  void showSearchWindow(const QPoint& at);
  // The search hot key: the window at the pointer.
  void processSearchSnippetHotKey();
  void foremostAppDeactivated(const ql::ApplicationInfo& application);
  // Expansion switched off: no list waits for a choice.
  void expansionSwitched(bool enabled);
  // A key while the popup or the search window is open; true when consumed.
  bool keyEvent(KeyboardHook* hook, const ql::KeyEvent& event);
  void mouseEvent(const ql::MouseEvent& event);

  SearchSnippetPopupController* popupPanel() const { return popupPanel_.get(); }
  SearchSnippetWindowController* searchWindow() const { return searchController_.get(); }

  // The popup's and the search window's delegate.
  QLSettings* settings() override { return delegate_.settings(); }
  void closeSearchPopupWindow() override;
  void closeSearchMenuWindow() override;
  bool hasLastActiveApp() const override { return executor_.lastActiveApp.has_value(); }
  void activteLastApp() override { executor_.activteLastApp(); }
  bool processSnippet(const SnippetPtr& snippet, int contentLength, int abbreviationCase,
                      bool clearAbbreviation, const QString& delimiter, const QString& abbreviation,
                      int removeLengtOffset) override;
  bool processSnippet(const SnippetPtr& snippet) override { return executor_.processSnippet(snippet); }

 private:
  SearchSnippetPopupController& popup();
  // Fills the popup with the library, narrowed to word (and to a group when given).
  SearchSnippetPopupController& preparePopup(const QString& word, const QString& delimiter,
                                             const QString& groupUuid = QString());
  void placePopup(const QRectF& frame, int shiftLeft);
  // The user's application was left: its keys and focus are no longer ours to give back.
  void forgetLastActiveApp();

  const ql::Platform platform_;
  ql::SystemServices& services_;
  ql::ExpansionExecutor& executor_;
  SuggestionsDelegate& delegate_;
  std::unique_ptr<SearchSnippetPopupController> popupPanel_;
  std::unique_ptr<SearchSnippetWindowController> searchController_;
};
