// The seven global hot keys and what their presses do.
#include "app/quillet_app_delegate.h"

void QuilletAppDelegate::resetHotKeys() {
  if (!settings_) return;
  const QLPreferences& p = settings_->preferences;
  hotKeys_.registerAll({
      {&p.suggestionHotkey, [this](const ql::KeyEvent& e) { processSuggestionsHotKey(e); }},
      {&p.openQuilletHotKey, [this](const ql::KeyEvent&) { processOpenQuilletHotKey(); }},
      {&p.enableDisabledQuilletHotKey, [this](const ql::KeyEvent&) { processEnableDisabledQuilletHotKey(); }},
      {&p.newSnippetHotKey, [this](const ql::KeyEvent&) { processNewSnippetHotKey(); }},
      {&p.newSnippetFromSelectionHotKey, [this](const ql::KeyEvent&) { processNewSnippetFromSelectionHotKey(); }},
      {&p.newSnippetFromClipboardHotKey, [this](const ql::KeyEvent&) { processNewSnippetFromClipboardHotKey(); }},
      {&p.newSnippetFromApplicationHotKey,
       [this](const ql::KeyEvent&) { processNewSnippetFromApplicationHotKey(); }},
      {&p.searchSnippetHotKey, [this](const ql::KeyEvent&) { processSearchSnippetHotKey(); }},
  });
}

void QuilletAppDelegate::hotKeysChanged(PreferencesSheetController*) {
  hotKeys_.releaseAll();
  saveSettingsFile();
  resetHotKeys();
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
