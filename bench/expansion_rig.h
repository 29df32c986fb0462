#pragma once

// What an expansion needs around the hook and the executor in a benchmark:
// a main controller reduced to the expansion, and an input synthesiser that
// notes when the last key went out.
#include "expansion/expansion_executor.h"
#include "expansion/keyboard_hook.h"
#include "model/ql_settings.h"

#include <chrono>

namespace bench {

using Clock = std::chrono::steady_clock;

// Notes when the program posts each key.
class TimedInput final : public ql::InputSynthesiser {
 public:
  explicit TimedInput(ql::InputSynthesiser& inner) : inner_(inner) {}
  void postKey(quint16 keyCode, quint64 modifierFlags, bool down) override {
    inner_.postKey(keyCode, modifierFlags, down);
    last = Clock::now();
  }
  void postTaps(const QList<ql::KeyTap>& taps) override {
    inner_.postTaps(taps);
    last = Clock::now();
  }
  bool typeCharacter(const QString& character) override {
    const bool typed = inner_.typeCharacter(character);
    last = Clock::now();
    return typed;
  }
  quint64 heldModifiers() const override { return inner_.heldModifiers(); }
  bool waitForModifiersReleased(int timeoutMs) override {
    return inner_.waitForModifiersReleased(timeoutMs);
  }
  Clock::time_point last;

 private:
  ql::InputSynthesiser& inner_;
};

// The main controller, as far as an expansion needs it.
class Controller final : public KeyboardHookDelegate, public ql::ExpansionExecutorDelegate {
 public:
  bool mouseMouseEvent(KeyboardHook*, const ql::MouseEvent&) override { return false; }
  bool keyEvent(KeyboardHook*, const ql::KeyEvent& e) override {
    executor->noteKeyPress(e.keyCode, e.modifierFlags);
    return false;
  }
  QLSettings* settings() override { return &library; }
  void closeSearchMenuWindow() override {}
  void closeSearchPopupWindow() override {}
  void closeFillInWindow() override {}
  void processSuggestionsHotKey(const QString&) override {}
  bool processSnippet(const SnippetPtr& s, int length, int caseMode, bool clear,
                      const QString& delimiter, const QString& typed, int offset) override {
    return executor->processSnippet(s, length, caseMode, clear, delimiter, typed, offset);
  }
  void showPopup(const QString&, const QString&) override {}
  QLStatistics* statistics() override { return stats; }
  void setHookEnabled(bool on) override { hook->setIsHook(on); }
  void showFillInForm(ql::FillInForm) override {}
  void cleanUp() override { hook->clearWords(); }
  bool isRestoreClipboard() const override { return true; }

  QLSettings library;
  QLStatistics* stats = nullptr;
  KeyboardHook* hook = nullptr;
  ql::ExpansionExecutor* executor = nullptr;
};

// A library of count one-part snippets; "sig" is the first.
inline void fillLibrary(QLSettings& library, int count) {
  auto group = std::make_shared<QLGroup>();
  library.groups.append(group);
  for (int i = 0; i < count; ++i) {
    auto s = std::make_shared<QLSnippet>();
    s->abbreviation = i == 0 ? QStringLiteral("sig") : QStringLiteral("ab%1").arg(i);
    s->plainText = QStringLiteral("Best regards,\nAnn Example, Example Ltd. #%1").arg(i);
    s->groupUuid = group->uuid;
    s->content(true);
    group->snippts.append(s->uuid);
    library.snippets.append(s);
  }
}

}  // namespace bench
