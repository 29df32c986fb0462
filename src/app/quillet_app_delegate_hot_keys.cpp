// The seven global hot keys and what their presses do.
#include "app/quillet_app_delegate.h"

#include <QTimer>

namespace {
// How long an application takes to be done with a hot key before it copies.
constexpr int kHotKeySettleMs = 500;
}  // namespace

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

void QuilletAppDelegate::hotKeysChanged() {
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

// The application in front is still busy with the hot key (its grab took
// the focus for the press): a copy sent now is lost, one half a second
// later reaches it.
void QuilletAppDelegate::processNewSnippetFromSelectionHotKey() {
  if (services_.isAppForeGround()) return;
  QTimer::singleShot(kHotKeySettleMs, &newSnippet_, &NewSnippetFlow::newSnippetFromSelection);
}

void QuilletAppDelegate::processNewSnippetFromApplicationHotKey() {
  if (services_.isAppForeGround()) return;
  QTimer::singleShot(kHotKeySettleMs, &newSnippet_, &NewSnippetFlow::newSnippetForApplication);
}
