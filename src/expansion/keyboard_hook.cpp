#include "expansion/keyboard_hook.h"

#include "expansion/matching_eligible.h"
#include "expansion/matching_rules.h"
#include "expansion/matching_words.h"
#include "model/plist.h"
#include "model/ql_settings.h"
#include "platform/log.h"

#include <QFile>

#include <cstdio>
#include <exception>

namespace keys = ql::keys;
namespace mods = ql::mods;

namespace {

const QString kIllegalCharactersResource = QStringLiteral(":/illegalCharacters.plist");

QString reasonOf(const std::exception& e) { return QString::fromUtf8(e.what()); }

// A delimiter token matches the key named by it, or the key that types it.
bool delimiterMatches(const QString& token, const ql::KeyEvent& event) {
  if (token == event.characters) return true;
  const int code = QLPreferences::delimiterKeyCode(token);
  if (code < 0 || code != event.keyCode) return false;
  // Shift-Tab moves backwards; it is no delimiter.
  return code != keys::Tab || !mods::isShiftOnly(event.modifierFlags);
}

}  // namespace

KeyboardHook::KeyboardHook(const ql::Platform& platform, QObject* parent)
    : QObject(parent), platform_(platform) {
  loadIllegalCharacters();
}

KeyboardHook::~KeyboardHook() {
  // The key source outlives the hook and must not call into it afterwards.
  uninstallHook();
  delegate = nullptr;
}

void KeyboardHook::loadIllegalCharacters() {
  QFile file(kIllegalCharactersResource);
  QString error;
  std::optional<ql::PlistValue> value;
  if (file.open(QIODevice::ReadOnly)) {
    value = ql::plist::parse(file.readAll(), &error);
  } else {
    error = file.errorString();
  }
  const ql::PlistDict* dict = value ? value->dict() : nullptr;
  if (!dict) {
    ql::logError(QStringLiteral("init"), QStringLiteral("illegalCharacters: ") + error);
    return;
  }
  for (const QString& key : dict->keys()) {
    bool ok = false;
    const int code = key.toInt(&ok);
    if (!ok || code < 0 || code >= int(illegalKeys_.size())) continue;
    illegalKeys_.set(size_t(code));
    illegalCharacters_.insert(key);
  }
}

bool KeyboardHook::isIllegalKey(quint16 keyCode) const { return illegalKeys_.test(keyCode); }

bool KeyboardHook::installHook(bool enable) {
  try {
    ql::KeySource* source = platform_.keySource;
    if (!installed_) {
      if (!source->start()) {
        std::fputs("CGEventTapCreate failed!\n", stdout);
        std::fflush(stdout);
        return false;
      }
      source->setKeyDownHandler([this](const ql::KeyEvent& e) { return eventTapFunction(e); });
      connections_.append(connect(source, &ql::KeySource::flagsChanged, this, &KeyboardHook::flagsChanged));
      connections_.append(connect(source, &ql::KeySource::mouseEvent, this, &KeyboardHook::eventHandler));
      connections_.append(connect(platform_.passwordFocus, &ql::PasswordFocus::passwordFieldChanged, this,
                                  &KeyboardHook::passwordFieldChanged));
      installed_ = true;
    }
    setIsHook(enable);
    return true;
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("register keytapping"), reasonOf(e));
    return false;
  }
}

void KeyboardHook::uninstallHook() {
  setIsHook(false);
  if (!installed_) return;
  ql::KeySource* source = platform_.keySource;
  source->setKeyDownHandler(nullptr);
  for (const QMetaObject::Connection& c : std::as_const(connections_)) disconnect(c);
  connections_.clear();
  source->stop();
  installed_ = false;
}

void KeyboardHook::setIsHook(bool on) {
  isHook_ = on;
  ql::KeySource* source = platform_.keySource;
  if (installed_ && source->isEnabled() != on) source->setEnabled(on);
  if (on) {
    installMouseHook();
  } else {
    uninstallMouseHook();
    // Off for an expansion or for good: nothing typed now can expand.
    releaseDelimiterReservation();
  }
}

void KeyboardHook::clearWords() {
  words_ = QStringList();
  joined_ = QString();
  releaseDelimiterReservation();
}

void KeyboardHook::releaseDelimiterReservation() {
  if (!delimitersReserved_) return;
  delimitersReserved_ = false;
  platform_.keySource->reserveKeys(ql::KeySource::Reserver::Delimiters, {});
}

void KeyboardHook::updateDelimiterReservation() {
  ql::KeySource* source = platform_.keySource;
  const QLSettings* settings = getGlobalSettings();
  if (!installed_ || source->canWithholdKeys() || !settings || words_.isEmpty() ||
      !settings->preferences.isExtendAbbreviation ||
      settings->preferences.extendType == QLPreferences::Immediate) {
    releaseDelimiterReservation();
    return;
  }
  QList<quint16> wanted;
  for (const QString& token : settings->preferences.delimiters) {
    const int code = QLPreferences::delimiterKeyCode(token);
    if (code >= 0 && keys::hasSideEffects(quint16(code)) && !wanted.contains(quint16(code)))
      wanted.append(quint16(code));
  }
  if (!wanted.isEmpty()) {
    // A hash lookup: what the delimiter's match would find, before its rules.
    const QString word = ql::matching::delimiterWord(joined_);
    if (index().findWord(word).count == 0) wanted.clear();
  }
  if (wanted.isEmpty()) {
    releaseDelimiterReservation();
    return;
  }
  delimitersReserved_ = true;
  source->reserveKeys(ql::KeySource::Reserver::Delimiters, wanted);
}

void KeyboardHook::appendWord(const QString& characters) {
  words_.append(characters);
  joined_.append(characters);
}

QLSettings* KeyboardHook::getGlobalSettings() { return delegate ? delegate->settings() : nullptr; }

bool KeyboardHook::eventTapFunction(const ql::KeyEvent& event) {
  // Nothing typed into the program's own windows is buffered or consumed.
  if (platform_.workspace->isProgramFrontmost()) return false;
  oldShiftState_ = false;
  // Nothing typed into a password field is kept, matched or consumed.
  if (platform_.passwordFocus->isPasswordField()) {
    if (!words_.isEmpty()) clearWords();
    return false;
  }
  try {
    if (delegate && delegate->undoExpansion(event)) return true;
    // Shortcuts (Ctrl+V, ...) leave the word as it is. They act on the
    // application's text, so a suggestion list open for it goes.
    if (mods::isCommandOnly(event.modifierFlags)) {
      if (delegate) delegate->closeSearchPopupWindow();
      return false;
    }
    if (delegate && delegate->keyEvent(this, event)) return true;
    return getCharacter(event);
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("eventTapFunction"), reasonOf(e));
    return false;
  }
}

void KeyboardHook::passwordFieldChanged(bool isPassword) {
  if (!isPassword) return;
  // Whatever was collected just before the field said what it is goes, and
  // no list stays open over it.
  clearWords();
  if (delegate) delegate->closeSearchPopupWindow();
}

void KeyboardHook::flagsChanged(quint64 modifierFlags) {
  if (platform_.workspace->isProgramFrontmost()) return;
  const bool shiftOnly = mods::isShiftOnly(modifierFlags);
  if (!oldShiftState_ && shiftOnly) {
    oldShiftState_ = true;
  } else if (oldShiftState_ && !shiftOnly) {
    oldShiftState_ = false;
    groupSuggestions();
  }
}

bool KeyboardHook::getCharacter(const ql::KeyEvent& event) {
  try {
    QLSettings* settings = getGlobalSettings();
    if (!settings || !settings->preferences.isExtendAbbreviation) return false;
    const QLPreferences& preferences = settings->preferences;
    // Alt and Super type nothing on Linux: they open menus or act on the
    // text (readline's Alt+B moves back a word), so the word ends there.
    if (event.modifierFlags & (mods::Option | mods::Control)) {
      clearWords();
      return false;
    }
    if (event.keyCode == keys::Delete) {
      // One entry is one earlier press, whatever it typed.
      if (!words_.isEmpty()) {
        joined_.chop(words_.last().size());
        words_.removeLast();
      }
      updateDelimiterReservation();
      return false;
    }
    const bool illegal = isIllegalKey(event.keyCode);

    if (preferences.extendType == QLPreferences::Immediate) {
      if (illegal) {
        clearWords();
        return false;
      }
      appendWord(event.characters);
      // A copy for the call, dropped before the next append so the buffer
      // is never copied as a whole.
      const QString text = joined_;
      return processWord(text, event, QString());
    }

    for (const QString& token : preferences.delimiters) {
      if (!delimiterMatches(token, event)) continue;
      if (words_.isEmpty()) return false;
      const QString text = joined_;
      const bool consumed = processWord(text, event, QString::number(event.keyCode));
      clearWords();
      return consumed;
    }
    if (illegal) {
      clearWords();
    } else {
      appendWord(event.characters);
    }
    // A Space always ends the word, delimiter or not.
    if (event.keyCode == keys::Space) {
      if (delegate) delegate->closeSearchPopupWindow();
      clearWords();
    }
    updateDelimiterReservation();
    return false;
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("getCharacter"), reasonOf(e));
    return false;
  }
}

void KeyboardHook::groupSuggestions() {
  if (words_.isEmpty()) return;
  const QString text = joined_;
  QString lines = text;
  lines.replace(QLatin1Char('\n'), QLatin1Char('\r')).replace(QLatin1Char('\t'), QLatin1Char('\r'));
  const QString last = lines.mid(lines.lastIndexOf(QLatin1Char('\r')) + 1);
  if (!last.isEmpty() && delegate) delegate->processSuggestionsHotKey(text);
}

void KeyboardHook::eventHandler(const ql::MouseEvent& event) {
  if (!mouseMonitor_) return;
  switch (event.type) {
    case ql::MouseEventType::LeftDown:
    case ql::MouseEventType::RightDown:
    case ql::MouseEventType::OtherDown:
      getMouse(event);
      break;
    case ql::MouseEventType::Moved:
    case ql::MouseEventType::Scroll:
      if (delegate) delegate->mouseMouseEvent(this, event);
      break;
  }
}

void KeyboardHook::getMouse(const ql::MouseEvent& event) {
  // A click elsewhere moves the caret: the word typed so far is no longer
  // before it.
  if (event.position != lastMousePosition_) {
    lastMousePosition_ = event.position;
    clearWords();
  }
  closeFloatingWindows();
}

void KeyboardHook::closeFloatingWindows() {
  if (!delegate) return;
  delegate->closeSearchMenuWindow();
  delegate->closeSearchPopupWindow();
  delegate->closeFillInWindow();
}

void KeyboardHook::appChanged(const std::optional<ql::ApplicationInfo>& activated) {
  eligible_.reset();
  clearWords();
  if (platform_.workspace->isProgramFrontmost()) {
    setIsHook(false);
    return;
  }
  setIsHook(true);
  if (!activated || !activated->isValid()) return;
  QLSettings* settings = getGlobalSettings();
  if (!settings) return;
  eligible_ = matching_.prepare(*settings, activated->name);
}

const QList<SnippetPtr>& KeyboardHook::snippets() const {
  static const QList<SnippetPtr> none;
  return eligible_ ? eligible_->snippets : none;
}

const ql::MatchingIndex& KeyboardHook::index() const {
  static const ql::MatchingIndex none;
  return eligible_ ? eligible_->index : none;
}

bool KeyboardHook::processWord(const QString& text, const ql::KeyEvent& event, const QString& delimiter) {
  QLSettings* settings = getGlobalSettings();
  // The buffer is cleared after a delimiter whatever happens, and the
  // expansion's own keys (the delimiter typed again) must not meet the grabs.
  if (!delimiter.isEmpty()) releaseDelimiterReservation();
  // Off while matching. The key source itself is left as it is: it reports
  // nothing while its handler runs anyway, and switching it would make it
  // forget a pending dead key at every press. The executor switches it off
  // for an expansion.
  isHook_ = false;
  uninstallMouseHook();
  bool result = false;
  try {
    if (!settings) {
      closeFloatingWindows();
    } else if (delimiter.isEmpty()) {
      result = matchImmediate(*settings, text, event);
    } else {
      result = matchDelimited(*settings, text, event, delimiter);
    }
  } catch (const std::exception&) {
    // Matching failures pass the key on; the hook comes back on below.
  }
  setIsHook(true);
  return result;
}

bool KeyboardHook::matchDelimited(const QLSettings& settings, const QString& text,
                                  const ql::KeyEvent& event, const QString& delimiter) {
  const QString word = ql::matching::delimiterWord(text);
  const ql::MatchingIndex::WordMatches found = index().findWord(word);
  if (found.count == 0) {
    closeFloatingWindows();
    return false;
  }
  if (found.count == 1) {
    const SnippetPtr snippet = index().entry(found.first).snippet;
    if (!ql::matching::caseRuleAllows(snippet->abbreviationMatchType, word, snippet->abbreviation))
      return false;
    return expand(snippet, event, delimiter, word, 0);
  }
  // Several snippets share the abbreviation: the popup offers them.
  if (settings.preferences.extendType == QLPreferences::Immediate) return false;
  if (!consume(event)) return false;
  if (delegate) delegate->showPopup(word, delimiter);
  return true;
}

bool KeyboardHook::matchImmediate(const QLSettings& settings, const QString& text,
                                  const ql::KeyEvent& event) {
  const ql::matching::ImmediateWord word(text);
  const ql::MatchingIndex::SuffixMatch found = index().findSuffix(text, word);
  if (found.entry < 0) {
    closeFloatingWindows();
    return false;
  }
  // The press consumed below must be the abbreviation's last character; one
  // that was trimmed off the word (a trailing line separator) is not, and
  // the deletes would leave a character of the abbreviation behind.
  if (word.end() != text.size()) return false;
  const SnippetPtr snippet = index().entry(found.entry).snippet;
  const QString abbreviation = snippet->abbreviation;
  // Exactly what the match covered, whatever its length: the executor
  // deletes that much.
  const QString typed = text.mid(found.start, word.end() - found.start);
  if (!word.isBoundaryAt(found.start - 1)) {
    // Typed after other characters of the same word: the group says whether
    // the character before the abbreviation allows it.
    const GroupPtr group = settings.getGroupByUUID(snippet->groupUuid.value_or(QString()));
    if (!group) return false;
    const int mode = ql::matching::positionMode(*group, settings.preferences);
    if (!ql::matching::positionAllows(mode, text, found.start - 1)) return false;
  }
  if (!ql::matching::caseRuleAllows(snippet->abbreviationMatchType, typed, abbreviation)) return false;
  // The last character of the abbreviation is consumed: one Delete fewer.
  return expand(snippet, event, QString(), typed, 1);
}

bool KeyboardHook::expand(const SnippetPtr& snippet, const ql::KeyEvent& event,
                          const QString& delimiter, const QString& typed, int removeLengthOffset) {
  if (!consume(event)) return false;
  if (delegate) delegate->processSnippet(snippet, 0, 0, true, delimiter, typed, removeLengthOffset);
  clearWords();
  return true;
}

bool KeyboardHook::consume(const ql::KeyEvent& event) {
  // Where the press already reached the application it is erased now, before
  // anything the expansion posts, so the expansion's counts hold. When the
  // user typed on in a way that cannot be erased, the text stays as typed.
  ql::KeySource* source = platform_.keySource;
  if (source->canWithholdKeys()) return true;
  // A Return or Tab that got there first (typed before its reservation
  // reached the server) has acted already: the text stays as typed.
  if (event.delivered && keys::hasSideEffects(event.keyCode)) return false;
  return source->eraseDeliveredKey();
}
