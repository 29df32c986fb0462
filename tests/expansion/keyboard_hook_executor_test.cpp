// Typing sessions through the hook and the executor together: what the user
// finally sees in the simulated field.
#include "content/text/flat_rtfd.h"
#include "expansion/expansion_executor.h"
#include "keyboard_hook_rig.h"

#include <QEventLoop>
#include <QTimer>

using ql::test::HookTest;
using ql::test::addSnippet;
namespace keys = ql::keys;

namespace {

// The main controller's part in an expansion: the hook's matches go to the
// executor, the executor switches the hook.
class Bridge final : public ql::ExpansionExecutorDelegate {
 public:
  Bridge(KeyboardHook& hook, QLSettings& library) : hook_(hook), library_(library) {}
  QLSettings* settings() override { return &library_; }
  QLStatistics* statistics() override { return nullptr; }
  void setHookEnabled(bool on) override { hook_.setIsHook(on); }
  void showFillInForm(ql::FillInForm form) override { forms.append(std::move(form)); }
  void cleanUp() override { hook_.clearWords(); }
  bool isRestoreClipboard() const override { return true; }
  QList<ql::FillInForm> forms;

 private:
  KeyboardHook& hook_;
  QLSettings& library_;
};

void spin(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

class HookAndExecutor : public HookTest, public testing::WithParamInterface<bool> {
 protected:
  HookAndExecutor()
      : services(desktop.platform()),
        bridge(hook, library),
        executor(desktop.platform(), services, bridge) {
    executor.partPauseMs = 2;
    delegate.onExpand = [this](const auto& e) {
      executor.processSnippet(e.snippet, e.contentLength, e.abbreviationCase, e.clearAbbreviation,
                              e.delimiter, e.abbreviation, e.removeLengtOffset);
    };
    delegate.onKeyEvent = [this](const ql::KeyEvent& e) {
      executor.noteKeyPress(e.keyCode, e.modifierFlags);
      return false;
    };
  }
  // Types text, then lets the delayed restore run.
  QString typed(const QString& text) {
    desktop.focusedField()->setText(QString());
    hook.clearWords();
    desktop.typeText(text);
    spin(150);
    return field();
  }

  ql::SystemServices services;
  Bridge bridge;
  ql::ExpansionExecutor executor;
};

}  // namespace

TEST_P(HookAndExecutor, EveryModeWithPlainAndFormattedSnippets) {
  addSnippet(library, group, QStringLiteral("sig"), QStringLiteral("Best regards"));
  const SnippetPtr rich = addSnippet(library, group, QStringLiteral("bo"), QString());
  ql::AttributedText text;
  ql::TextAttributes bold;
  bold.bold = true;
  text.append(QStringLiteral("Bold"), bold);
  rich->snippetType = QLSnippet::Formatted;
  rich->formattedText = ql::writeFlatRtfd(text);
  rich->content(false);
  desktop.pasteboard().setContent({{ql::pasteboard_types::String, QByteArrayLiteral("mine")}},
                                  QStringLiteral("Editor"));
  start(GetParam());

  EXPECT_EQ(typed(QStringLiteral("Hi sig ok")), QStringLiteral("Hi Best regards ok"));
  EXPECT_EQ(typed(QStringLiteral("a bo")), QStringLiteral("a Bold"));
  delimiterMode({QStringLiteral("space"), QStringLiteral(".")});
  EXPECT_EQ(typed(QStringLiteral("Hi sig ok")), QStringLiteral("Hi Best regards ok"));
  EXPECT_EQ(typed(QStringLiteral("Hi bo.")), QStringLiteral("Hi Bold."));
  delimiterMode({QStringLiteral("space")}, QLPreferences::DelimiterDropped);
  EXPECT_EQ(typed(QStringLiteral("Hi sig ok")), QStringLiteral("Hi Best regardsok"));
  // The user's clipboard is back after each expansion.
  EXPECT_EQ(desktop.pasteboard().data(ql::pasteboard_types::String), QByteArrayLiteral("mine"));
}

TEST_P(HookAndExecutor, KeyCodesCursorMarkerAndCaseAdaptation) {
  addSnippet(library, group, QStringLiteral("ad"), QStringLiteral("Name:{key:tab}City"));
  addSnippet(library, group, QStringLiteral("dr"), QStringLiteral("Dear %|, thanks"));
  addSnippet(library, group, QStringLiteral("br"), QStringLiteral("best regards"),
             QLSnippet::MatchAdaptingCase);
  delimiterMode();
  start(GetParam());
  EXPECT_EQ(typed(QStringLiteral("ad ")), QStringLiteral("Name:\tCity "));
  EXPECT_EQ(typed(QStringLiteral("BR ")), QStringLiteral("BEST REGARDS "));
  EXPECT_EQ(typed(QStringLiteral("br ")), QStringLiteral("best regards "));
  // The caret went back to the marker (and over the retyped Space).
  typed(QStringLiteral("dr "));
  desktop.typeText(QStringLiteral("Kim"));
  EXPECT_EQ(field(), QStringLiteral("Dear Kim, thanks "));
}

TEST_P(HookAndExecutor, FastTypingDuringAnExpansionLandsAfterIt) {
  addSnippet(library, group, QStringLiteral("sig"), QStringLiteral("Best regards"));
  delimiterMode();
  desktop.setPasteLatency(5);
  executor.partPauseMs = 20;
  start(GetParam());
  QTimer::singleShot(1, &desktop, [this] { desktop.typeText(QStringLiteral("ok")); });
  EXPECT_EQ(typed(QStringLiteral("Hi sig ")), QStringLiteral("Hi Best regards ok"));
  EXPECT_TRUE(hook.isHook());
}

INSTANTIATE_TEST_SUITE_P(BothKeySources, HookAndExecutor, testing::Bool(),
                         [](const auto& info) { return info.param ? "Withholding" : "Erasing"; });
