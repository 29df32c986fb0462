// The seven global hot keys.
#include "app/quillet_app_delegate.h"

#include "app/shortcut_recorder.h"
#include "expansion/input_service.h"
#include "platform/keys.h"
#include "platform/log.h"

#include <QApplication>

#include <exception>

namespace {

// A description counts with both numbers present.
bool readHotKey(const ql::PlistDict& description, quint16* keyCode, quint64* modifierFlags) {
  if (description.isEmpty()) return false;
  const ql::PlistValue* code = description.value(QStringLiteral("keyCode"));
  const ql::PlistValue* flags = description.value(QStringLiteral("modifierFlags"));
  if (!code || !flags || !code->toInteger() || !flags->toInteger()) return false;
  *keyCode = static_cast<quint16>(*code->toInteger());
  *modifierFlags = static_cast<quint32>(*flags->toInteger());
  return true;
}

}  // namespace

bool QuilletAppDelegate::registerhotKey(quint16 keyCode, quint64 modifierFlags, DDHotKey::Task task) {
  try {
    if (hotKeyCenter_.registerHotKeyWithKeyCode(keyCode, modifierFlags, std::move(task))) return true;
    ql::log(QStringLiteral("Unable to register hotkey!"));
    return false;
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("registerhotKey"), QString::fromUtf8(e.what()));
    return false;
  }
}

bool QuilletAppDelegate::unRegisterhotKey(quint16 keyCode, quint64 modifierFlags) {
  try {
    hotKeyCenter_.unregisterHotKeyWithKeyCode(keyCode, modifierFlags);
    return true;
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("unRegisterhotKey"), QString::fromUtf8(e.what()));
    return false;
  }
}

void QuilletAppDelegate::resetHotKeys() {
  if (!settings_) return;
  const QLPreferences& p = settings_->preferences;
  const std::pair<const ql::PlistDict*, DDHotKey::Task> table[] = {
      {&p.suggestionHotkey, [this](const ql::KeyEvent& e) { processSuggestionsHotKey(e); }},
      {&p.openQuilletHotKey, [this](const ql::KeyEvent&) { processOpenQuilletHotKey(); }},
      {&p.enableDisabledQuilletHotKey,
       [this](const ql::KeyEvent&) { processEnableDisabledQuilletHotKey(); }},
      {&p.newSnippetHotKey, [this](const ql::KeyEvent&) { processNewSnippetHotKey(); }},
      {&p.newSnippetFromSelectionHotKey,
       [this](const ql::KeyEvent&) { processNewSnippetFromSelectionHotKey(); }},
      {&p.newSnippetFromClipboardHotKey,
       [this](const ql::KeyEvent&) { processNewSnippetFromClipboardHotKey(); }},
      {&p.newSnippetFromApplicationHotKey,
       [this](const ql::KeyEvent&) { processNewSnippetFromApplicationHotKey(); }},
      {&p.searchSnippetHotKey, [this](const ql::KeyEvent&) { processSearchSnippetHotKey(); }},
  };
  for (const auto& [description, handler] : table) {
    quint16 keyCode = 0;
    quint64 flags = 0;
    if (!readHotKey(*description, &keyCode, &flags)) continue;
    registerhotKey(keyCode, flags, [handler, keyCode, flags](const ql::KeyEvent& e) {
      // The grab takes the press before a recorder sees it: a recorder
      // waiting for a combination gets it instead.
      if (auto* recorder = qobject_cast<ShortcutRecorder*>(QApplication::focusWidget());
          recorder && recorder->isRecording()) {
        recorder->takeCombination(keyCode, flags);
        return;
      }
      handler(e);
    });
  }
}

void QuilletAppDelegate::processOpenQuilletHotKey() {
  if (services_.isAppForeGround()) return;
  actionOpenQuillet();
}

void QuilletAppDelegate::processEnableDisabledQuilletHotKey() {
  if (services_.isAppForeGround()) return;
  actionDisableQuillet();
}

void QuilletAppDelegate::processNewSnippetHotKey() {
  if (services_.isAppForeGround()) return;
  newSnippet_.newSnippet();
}

void QuilletAppDelegate::processNewSnippetFromClipboardHotKey() {
  if (services_.isAppForeGround()) return;
  newSnippet_.newSnippetFromClipboard();
}

void QuilletAppDelegate::processNewSnippetFromSelectionHotKey() {
  if (services_.isAppForeGround()) return;
  newSnippet_.newSnippetFromSelection();
}

void QuilletAppDelegate::processNewSnippetFromApplicationHotKey() {
  if (services_.isAppForeGround()) return;
  newSnippet_.newSnippetForApplication();
}
