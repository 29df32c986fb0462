// The suggestion popup at the caret and the search window of the tray menu.
#include "app/quillet_app_delegate.h"

#include "expansion/selection_service.h"
#include "platform/keys.h"
#include "platform/log.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include <exception>

namespace keys = ql::keys;
namespace mods = ql::mods;

namespace {

// The last space-separated piece of a selection, with line breaks as spaces.
QString lastWordOf(QString selection) {
  selection.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return selection.mid(selection.lastIndexOf(QLatin1Char(' ')) + 1);
}

// The last piece after line breaks and tabs.
QString lastLineOf(QString text) {
  text.replace(QLatin1Char('\n'), QLatin1Char('\r')).replace(QLatin1Char('\t'), QLatin1Char('\r'));
  return text.mid(text.lastIndexOf(QLatin1Char('\r')) + 1);
}

// Holds the user's typing while the word is selected and read (which may wait
// for the application), so keys typed meanwhile come after the delimiter
// given back, or reach the popup, in order. Restores the state it found.
class TypingHold final {
 public:
  explicit TypingHold(ql::KeySource* source)
      : source_(source), previous_(source && source->isHoldingInput()) {
    if (source_) source_->setHoldingInput(true);
  }
  ~TypingHold() {
    if (source_) source_->setHoldingInput(previous_);
  }
  TypingHold(const TypingHold&) = delete;
  TypingHold& operator=(const TypingHold&) = delete;

 private:
  ql::KeySource* source_;
  bool previous_;
};

}  // namespace

SearchSnippetPopupController& QuilletAppDelegate::popup() {
  if (!popupPanel_) {
    popupPanel_ = std::make_unique<SearchSnippetPopupController>();
    popupPanel_->delegate = this;
  }
  return *popupPanel_;
}

// Selects the word before the caret, reads it and where it is, and puts the
// caret back after it.
static QRectF readWordBeforeCaret(ql::SystemServices& services, QString* word) {
  services.sendKeyboardEvent(ql::KeyRequest{keys::Left, mods::Shift | mods::Option, true});
  QString selected;
  const QRectF frame = services.getScreenSelectionAndFrame(&selected);
  services.sendKeyboardEvent(ql::KeyRequest{keys::Right, 0, true});
  *word = lastWordOf(selected);
  return frame;
}

void QuilletAppDelegate::placePopup(const QRectF& frame, int shiftLeft) {
  if (frame.isNull() || frame.isEmpty()) {
    popup().showAt(std::nullopt);
    return;
  }
  // The selection's bounds come with the origin at the bottom left.
  const QRectF word = ql::SelectionService::flip(frame, platform_.workspace->mainScreenGeometry());
  popup().showAt(QPoint(int(word.left()) - shiftLeft, int(word.bottom())), int(word.height()));
}

void QuilletAppDelegate::showPopup(const QString& word, const QString& delimiter) {
  // Where keys reach the application before the program sees them, the
  // arrows and Return meant for the list would move its caret or submit its
  // form, and the selection keys garble a terminal: until those keys can be
  // kept from it, the text stays as typed.
  if (!platform_.keySource || !platform_.keySource->canWithholdKeys()) {
    executor_.retypeDelimiter(delimiter);
    return;
  }
  const TypingHold hold(platform_.keySource);
  QString selected;
  const QRectF frame = readWordBeforeCaret(services_, &selected);
  executor_.lastActiveAppInfo.reset();
  executor_.lastActiveApp = platform_.workspace->frontmostApplication();
  if (services_.isAppForeGround()) {
    executor_.lastActiveApp.reset();
    executor_.retypeDelimiter(delimiter);
    return;
  }
  if (frame.isNull() || frame.isEmpty() || word.isEmpty()) {
    // Nowhere to show the choice: the text stays as typed.
    executor_.lastActiveApp.reset();
    executor_.retypeDelimiter(delimiter);
    return;
  }
  SearchSnippetPopupController& panel = popup();
  const QString typed = word.trimmed();
  panel.close();
  panel.hasSnippets = settings_ != nullptr;
  panel.snippets = settings_ ? settings_->snippets : QList<SnippetPtr>();
  panel.groupUuid.clear();
  panel.setSearchString(typed);
  panel.clearAbbreviation = true;
  panel.delimiter = delimiter;
  placePopup(frame, int(typed.size()));
}

void QuilletAppDelegate::processSuggestionsHotKey(const ql::KeyEvent&) {
  openSuggestions(true, QString());
}

void QuilletAppDelegate::processSuggestionsHotKey(const QString& text) {
  ql::log(QStringLiteral("GROUP"));
  openSuggestions(false, text);
}

void QuilletAppDelegate::openSuggestions(bool fromHotKey, const QString& text) {
  if (services_.isAppForeGround()) return;
  const TypingHold hold(platform_.keySource);
  setHookEnabled(false);
  try {
    QString selected;
    services_.sendKeyboardEvent(ql::KeyRequest{keys::Left, mods::Shift, true});
    QRectF frame = services_.getScreenSelectionAndFrame(&selected);
    services_.sendKeyboardEvent(ql::KeyRequest{keys::Right, 0, true});
    if (selected == QLatin1String("\n") && !frame.isNull()) {
      // The caret stands at the start of a line: nothing to look up.
      frame = QRectF();
    } else {
      frame = readWordBeforeCaret(services_, &selected);
    }
    executor_.lastActiveAppInfo.reset();
    executor_.lastActiveApp = platform_.workspace->frontmostApplication();
    if (services_.isAppForeGround()) {
      executor_.lastActiveApp.reset();
    } else if (fromHotKey) {
      SearchSnippetPopupController& panel = popup();
      const QString word = lastLineOf(selected);
      panel.close();
      panel.hasSnippets = settings_ != nullptr;
      panel.snippets = settings_ ? settings_->snippets : QList<SnippetPtr>();
      panel.groupUuid.clear();
      panel.setSearchString(word);
      panel.clearAbbreviation = true;
      panel.delimiter.clear();
      if (word.isEmpty()) panel.resetView();
      placePopup(frame, 0);
    } else {
      const QString word = lastLineOf(text);
      const GroupPtr group = settings_ ? settings_->getGroupByAbbreviation(word) : GroupPtr();
      if (group && !group->snippts.isEmpty()) {
        SearchSnippetPopupController& panel = popup();
        panel.close();
        panel.groupUuid = group->uuid;
        panel.hasSnippets = true;
        panel.snippets = settings_->snippets;
        panel.setSearchString(word);
        panel.clearAbbreviation = true;
        panel.delimiter.clear();
        placePopup(frame, 0);
        if (eventHandler_) eventHandler_->clearWords();
      }
    }
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("processSuggestionsHotKey"), QString::fromUtf8(e.what()));
  }
  setHookEnabled(true);
}

void QuilletAppDelegate::closeSearchPopupWindow() {
  if (popupPanel_ && popupPanel_->isVisible()) popupPanel_->close();
}

void QuilletAppDelegate::closeSearchMenuWindow() {
  if (searchController_ && searchController_->isVisible()) searchController_->close();
}

bool QuilletAppDelegate::processSnippet(const SnippetPtr& snippet) {
  return executor_.processSnippet(snippet);
}

void QuilletAppDelegate::showSearchWindow(const QPoint& at) {
  if (!searchController_) {
    searchController_ = std::make_unique<SearchSnippetWindowController>();
    searchController_->delegate = this;
  }
  if (!executor_.lastActiveApp) rememberFrontmostApplication();
  searchController_->snippets = settings_ ? settings_->snippets : QList<SnippetPtr>();
  platform_.workspace->activateProgram();
  searchController_->showAt(at);
}

// The search window wherever the user is: at the pointer.
void QuilletAppDelegate::processSearchSnippetHotKey() {
  if (services_.isAppForeGround()) return;
  rememberFrontmostApplication();
  showSearchWindow(QCursor::pos());
}

void QuilletAppDelegate::foremostAppDeactivated(const ql::ApplicationInfo& application) {
  if (!executor_.lastActiveApp || !application.isValid()) return;
  // The popup never has the keyboard here, so the user's own application
  // going to the back means they went elsewhere.
  if (!popupPanel_ || !popupPanel_->isVisible()) return;
  executor_.lastActiveApp.reset();
  executor_.lastActiveAppInfo.reset();
  popupPanel_->close();
}

bool QuilletAppDelegate::keyEvent(KeyboardHook* hook, const ql::KeyEvent& event) {
  executor_.noteKeyPress(event.keyCode, event.modifierFlags, event.characters);
  typedSinceExpansion_ = true;
  bool consumed = false;
  if (popupPanel_ && popupPanel_->isVisible()) {
    SearchSnippetPopupController& panel = *popupPanel_;
    const quint16 key = event.keyCode;
    const bool commandOnly = mods::isCommandOnly(event.modifierFlags);
    const bool illegal = hook && hook->isIllegalKey(key);
    if (key == keys::Up || key == keys::Down || key == keys::Return || key == keys::KeypadEnter ||
        key == keys::Tab) {
      panel.deliverKey(key, event.modifierFlags);
      return true;
    }
    if (key == keys::Delete && !commandOnly) {
      panel.setSearchString(panel.searchString().chopped(panel.searchString().isEmpty() ? 0 : 1));
    } else if (!illegal && !commandOnly) {
      panel.setSearchString(panel.searchString() + event.characters);
    }
    if (key == keys::Escape || key == keys::Left || key == keys::Right || illegal ||
        panel.searchString().isEmpty() || commandOnly) {
      executor_.lastActiveApp.reset();
      executor_.lastActiveAppInfo.reset();
      panel.close();
    }
    consumed = key == keys::Escape;
  }
  if (searchController_ && searchController_->isVisible() && event.keyCode == keys::Escape) {
    executor_.lastActiveApp.reset();
    executor_.lastActiveAppInfo.reset();
    searchController_->close();
  }
  return consumed;
}

bool QuilletAppDelegate::mouseMouseEvent(KeyboardHook*, const ql::MouseEvent& event) {
  if (!popupPanel_ || !popupPanel_->isVisible()) return false;
  if (event.type == ql::MouseEventType::Moved)
    popupPanel_->deliverMouseMove(event.position);
  else if (event.type == ql::MouseEventType::Scroll)
    popupPanel_->deliverScroll(event.position, event.scrollDelta);
  return false;
}
