#include "app/suggestions.h"

#include "app/frontmost_application.h"
#include "expansion/keyboard_hook.h"
#include "model/ql_settings.h"
#include "platform/keys.h"
#include "platform/log.h"

#include <QCursor>

#include <exception>

namespace keys = ql::keys;
namespace mods = ql::mods;

namespace {

// The last piece after line breaks and tabs.
QString lastLineOf(QString text) {
  text.replace(QLatin1Char('\n'), QLatin1Char('\r')).replace(QLatin1Char('\t'), QLatin1Char('\r'));
  return text.mid(text.lastIndexOf(QLatin1Char('\r')) + 1);
}

// The word before the caret: the last piece after spaces and line breaks.
QString lastWordOf(const QString& text) {
  const QString line = lastLineOf(text);
  return line.mid(line.lastIndexOf(QLatin1Char(' ')) + 1);
}

// The keys the popup takes for itself while it is open.
const QList<quint16> kPopupKeys = {keys::Up,  keys::Down, keys::Return, keys::KeypadEnter,
                                   keys::Tab, keys::Escape};

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

// Where the word before the caret is. Asked of the focused element; nothing
// is posted to it (selection keys would garble a terminal).
ql::CaretPlace caretPlace(const ql::Platform& platform, int wordLength) {
  return platform.accessibility ? platform.accessibility->focusedCaret(wordLength) : ql::CaretPlace();
}

}  // namespace

Suggestions::Suggestions(const ql::Platform& platform, ql::SystemServices& services,
                         ql::ExpansionExecutor& executor, SuggestionsDelegate& delegate)
    : platform_(platform), services_(services), executor_(executor), delegate_(delegate) {}

Suggestions::~Suggestions() = default;

SearchSnippetPopupController& Suggestions::popup() {
  if (!popupPanel_) {
    popupPanel_ = std::make_unique<SearchSnippetPopupController>();
    popupPanel_->delegate = this;
    // Whichever way the popup closes, the application gets its keys back.
    connect(popupPanel_.get(), &SearchSnippetPopupController::visibilityChanged, this, [this](bool shown) {
      if (!platform_.keySource) return;
      platform_.keySource->reserveKeys(ql::KeySource::Reserver::SuggestionList,
                                       shown ? kPopupKeys : QList<quint16>());
    });
  }
  return *popupPanel_;
}

SearchSnippetPopupController& Suggestions::preparePopup(const QString& word, const QString& delimiter,
                                                        const QString& groupUuid) {
  QLSettings* library = delegate_.settings();
  SearchSnippetPopupController& panel = popup();
  panel.close();
  panel.hasSnippets = library != nullptr;
  panel.snippets = library ? library->snippets : QList<SnippetPtr>();
  panel.groupUuid = groupUuid;
  panel.setSearchString(word);
  panel.clearAbbreviation = true;
  panel.delimiter = delimiter;
  return panel;
}

// frame: the word's box, top-left origin; empty: centred on the screen.
void Suggestions::placePopup(const QRectF& frame, int shiftLeft) {
  if (frame.isNull() || frame.isEmpty()) {
    popup().showAt(std::nullopt);
    return;
  }
  popup().showAt(QPoint(int(frame.left()) - shiftLeft, int(frame.bottom())), int(frame.height()));
}

void Suggestions::forgetLastActiveApp() {
  executor_.lastActiveApp.reset();
  executor_.lastActiveAppInfo.reset();
}

void Suggestions::showPopup(const QString& word, const QString& delimiter) {
  // Keys typed meanwhile reach the list or the application once it is up.
  const TypingHold hold(platform_.keySource);
  const QString typed = word.trimmed();
  const ql::CaretPlace place = caretPlace(platform_, int(typed.size()));
  executor_.lastActiveAppInfo.reset();
  executor_.lastActiveApp = platform_.workspace->frontmostApplication();
  if (services_.isAppForeGround() || place.bounds.isEmpty() || word.isEmpty()) {
    // Nowhere to show the choice (or it would be over our own window): the
    // text stays as typed.
    executor_.lastActiveApp.reset();
    executor_.retypeDelimiter(delimiter);
    return;
  }
  preparePopup(typed, delimiter);
  placePopup(place.bounds, int(typed.size()));
}

void Suggestions::openSuggestions(bool fromHotKey, const QString& text) {
  // A list over a password field would show what was typed there.
  if (services_.isAppForeGround() || platform_.passwordFocus->isPasswordField()) return;
  const TypingHold hold(platform_.keySource);
  delegate_.setHookEnabled(false);
  try {
    KeyboardHook* hook = delegate_.eventHandler();
    // The word: what the element says is before the caret, else what the
    // user typed; for a group, the abbreviation just typed.
    QString word = lastWordOf(fromHotKey && hook ? hook->joinedWords() : text);
    ql::CaretPlace place = caretPlace(platform_, int(word.size()));
    if (fromHotKey && place.lineBefore) {
      const QString told = lastWordOf(*place.lineBefore);
      if (place.lineBefore->isEmpty()) {
        // The caret stands at the start of a line: nothing to look up.
        place.bounds = QRectF();
      } else if (told.size() != word.size() && place.exact) {
        place = caretPlace(platform_, int(told.size()));
      }
      word = told;
    } else if (fromHotKey && word.isEmpty() && !place.exact) {
      place.bounds = QRectF();  // a guess is no place for an empty list
    }
    executor_.lastActiveAppInfo.reset();
    executor_.lastActiveApp = platform_.workspace->frontmostApplication();
    if (services_.isAppForeGround()) {
      executor_.lastActiveApp.reset();
    } else if (fromHotKey) {
      SearchSnippetPopupController& panel = preparePopup(word, QString());
      if (word.isEmpty()) panel.resetView();
      placePopup(place.bounds, 0);
    } else {
      const QString abbreviation = lastLineOf(text);
      QLSettings* library = delegate_.settings();
      const GroupPtr group = library ? library->getGroupByAbbreviation(abbreviation) : GroupPtr();
      if (group && !group->snippts.isEmpty()) {
        preparePopup(abbreviation, QString(), group->uuid);
        placePopup(place.bounds, 0);
        if (hook) hook->clearWords();
      }
    }
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("processSuggestionsHotKey"), QString::fromUtf8(e.what()));
  }
  delegate_.setHookEnabled(true);
}

void Suggestions::expansionSwitched(bool enabled) {
  if (!enabled) closeSearchPopupWindow();
}

void Suggestions::closeSearchPopupWindow() {
  if (popupPanel_ && popupPanel_->isVisible()) popupPanel_->close();
}

void Suggestions::closeSearchMenuWindow() {
  if (searchController_ && searchController_->isVisible()) searchController_->close();
}

bool Suggestions::processSnippet(const SnippetPtr& snippet, int contentLength, int abbreviationCase,
                                 bool clearAbbreviation, const QString& delimiter,
                                 const QString& abbreviation, int removeLengtOffset) {
  return executor_.processSnippet(snippet, contentLength, abbreviationCase, clearAbbreviation,
                                  delimiter, abbreviation, removeLengtOffset);
}

void Suggestions::showSearchWindow(const QPoint& at) {
  if (!searchController_) {
    searchController_ = std::make_unique<SearchSnippetWindowController>();
    searchController_->delegate = this;
  }
  if (!executor_.lastActiveApp) ql::rememberFrontmostApplication(executor_, services_, *platform_.workspace);
  QLSettings* library = delegate_.settings();
  searchController_->snippets = library ? library->snippets : QList<SnippetPtr>();
  platform_.workspace->activateProgram();
  searchController_->showAt(at);
}

void Suggestions::processSearchSnippetHotKey() {
  if (services_.isAppForeGround()) return;
  ql::rememberFrontmostApplication(executor_, services_, *platform_.workspace);
  showSearchWindow(QCursor::pos());
}

void Suggestions::foremostAppDeactivated(const ql::ApplicationInfo& application) {
  if (!executor_.lastActiveApp || !application.isValid()) return;
  // The popup never has the keyboard here, so the user's own application
  // going to the back means they went elsewhere.
  if (!popupPanel_ || !popupPanel_->isVisible()) return;
  forgetLastActiveApp();
  popupPanel_->close();
}

bool Suggestions::keyEvent(KeyboardHook* hook, const ql::KeyEvent& event) {
  bool consumed = false;
  if (popupPanel_ && popupPanel_->isVisible()) {
    SearchSnippetPopupController& panel = *popupPanel_;
    const quint16 key = event.keyCode;
    const bool commandOnly = mods::isCommandOnly(event.modifierFlags);
    const bool illegal = hook && hook->isIllegalKey(key);
    const bool navigation = key == keys::Up || key == keys::Down || key == keys::Return ||
                            key == keys::KeypadEnter || key == keys::Tab;
    if (navigation && !event.delivered) {
      panel.deliverKey(key, event.modifierFlags);
      return true;
    }
    if (navigation || (key == keys::Escape && event.delivered)) {
      // It reached the application anyway (with Alt, say): the caret moved
      // or the line went, and the list no longer belongs to the word.
      forgetLastActiveApp();
      panel.close();
    } else if (key == keys::Delete && !commandOnly) {
      panel.setSearchString(panel.searchString().chopped(panel.searchString().isEmpty() ? 0 : 1));
    } else if (!illegal && !commandOnly) {
      panel.setSearchString(panel.searchString() + event.characters);
    }
    if (panel.isVisible() && (key == keys::Escape || key == keys::Left || key == keys::Right ||
                              illegal || panel.searchString().isEmpty() || commandOnly)) {
      forgetLastActiveApp();
      panel.close();
    }
    consumed = key == keys::Escape && !event.delivered;
  }
  if (searchController_ && searchController_->isVisible() && event.keyCode == keys::Escape) {
    forgetLastActiveApp();
    searchController_->close();
  }
  return consumed;
}

void Suggestions::mouseEvent(const ql::MouseEvent& event) {
  if (!popupPanel_ || !popupPanel_->isVisible()) return;
  if (event.type == ql::MouseEventType::Moved)
    popupPanel_->deliverMouseMove(event.position);
  else if (event.type == ql::MouseEventType::Scroll)
    popupPanel_->deliverScroll(event.position, event.scrollDelta);
}
