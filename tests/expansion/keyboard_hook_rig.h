#pragma once

// The keyboard hook on the simulated desktop, with a library and a main
// controller that records what the hook asks of it.
#include "expansion/keyboard_hook.h"
#include "model/ql_settings.h"
#include "platform/sim/sim_desktop.h"
#include "support/library_records.h"

#include <gtest/gtest.h>

#include <functional>

namespace ql::test {

class RecordingHookDelegate final : public KeyboardHookDelegate {
 public:
  struct Expansion {
    SnippetPtr snippet;
    QString delimiter;
    QString abbreviation;
    int removeLengtOffset = -1;
  };

  bool mouseMouseEvent(KeyboardHook*, const MouseEvent& event) override {
    mouseEvents.append(event);
    return false;
  }
  bool keyEvent(KeyboardHook*, const KeyEvent& event) override {
    return onKeyEvent ? onKeyEvent(event) : false;
  }
  QLSettings* settings() override { return library; }
  void closeSearchMenuWindow() override { calls.append(QStringLiteral("closeSearchMenuWindow")); }
  void closeSearchPopupWindow() override { calls.append(QStringLiteral("closeSearchPopupWindow")); }
  void closeFillInWindow() override { calls.append(QStringLiteral("closeFillInWindow")); }
  void processSuggestionsHotKey(const QString& text) override { suggestions.append(text); }
  bool processSnippet(const SnippetPtr& snippet, int, int, bool, const QString& delimiter,
                      const QString& abbreviation, int removeLengtOffset) override {
    expansions.append(Expansion{snippet, delimiter, abbreviation, removeLengtOffset});
    if (onExpand) onExpand(expansions.last());
    return true;
  }
  void showPopup(const QString& word, const QString& delimiter) override {
    popups.append(word + QLatin1Char('|') + delimiter);
  }

  // Whether the three floating windows were asked to close, in that order.
  bool closedWindows() const {
    return calls == QStringList{QStringLiteral("closeSearchMenuWindow"),
                                QStringLiteral("closeSearchPopupWindow"),
                                QStringLiteral("closeFillInWindow")};
  }
  void reset() {
    expansions.clear();
    popups.clear();
    suggestions.clear();
    calls.clear();
    mouseEvents.clear();
  }

  QLSettings* library = nullptr;
  std::function<bool(const KeyEvent&)> onKeyEvent;
  std::function<void(const Expansion&)> onExpand;
  QList<Expansion> expansions;
  QStringList popups;  // "word|delimiter"
  QStringList suggestions;
  QStringList calls;
  QList<MouseEvent> mouseEvents;
};

// A snippet as matching sees it, with its searchable text made.
inline SnippetPtr addSnippet(QLSettings& library, const GroupPtr& group, const QString& abbreviation,
                             const QString& content, int matchType = QLSnippet::MatchExact) {
  SnippetPtr s = ::test::addSnippet(library, group, abbreviation, content, matchType);
  s->content(false);
  return s;
}

// The hook installed on a simulated desktop whose front application is
// "TextEdit", following application switches as the main controller does.
class HookTest : public testing::Test {
 protected:
  HookTest() : hook(desktop.platform()) {
    delegate.library = &library;
    hook.delegate = &delegate;
    library.preferences.extendType = QLPreferences::Immediate;
    library.preferences.delimiters = {QStringLiteral("space")};
    group = ::test::addGroup(library, {});
    QObject::connect(&desktop.workspace(), &Workspace::applicationActivated, &hook,
                     [this](const ApplicationInfo& app) { hook.appChanged(app); });
  }

  // Installs the hook and tells it the front application, as start-up does.
  void start(bool canWithhold = true) {
    desktop.keySource().setCanWithholdKeys(canWithhold);
    ASSERT_TRUE(hook.installHook(true));
    hook.appChanged(desktop.workspace().frontmostApplication());
  }
  void delimiterMode(QStringList delimiters = {QStringLiteral("space")},
                     int extendType = QLPreferences::DelimiterRetyped) {
    library.preferences.extendType = extendType;
    library.preferences.delimiters = std::move(delimiters);
  }
  QString field() { return desktop.focusedField() ? desktop.focusedField()->string() : QString(); }
  SnippetPtr snippet(const QString& abbreviation, int matchType = QLSnippet::MatchExact) {
    return addSnippet(library, group, abbreviation, QStringLiteral("content"), matchType);
  }

  sim::SimDesktop desktop;
  QLSettings library;
  GroupPtr group;
  RecordingHookDelegate delegate;
  KeyboardHook hook;
};

}  // namespace ql::test
