// From the delimiter key press to the last key the expansion posts: the
// keyboard hook, matching in a library of a thousand snippets, the
// executor's deletes, the pasteboard write, the paste chord, the retyped
// delimiter and the caret moves, on the simulated desktop. The designed
// pause after the part comes after the last key and is not counted.
#include "expansion/expansion_executor.h"
#include "expansion/keyboard_hook.h"
#include "model/ql_settings.h"
#include "model/ql_statistics.h"
#include "model/string_utilities.h"
#include "platform/log.h"
#include "platform/sim/sim_desktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

// Notes when the program posts each key.
class TimedInput final : public ql::InputSynthesiser {
 public:
  explicit TimedInput(ql::InputSynthesiser& inner) : inner_(inner) {}
  void postKey(quint16 keyCode, quint64 modifierFlags, bool down) override {
    inner_.postKey(keyCode, modifierFlags, down);
    last = Clock::now();
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
  QLStatistics* statistics() override { return nullptr; }
  void setHookEnabled(bool on) override { hook->setIsHook(on); }
  void showFillInForm(ql::FillInForm) override {}
  void cleanUp() override { hook->clearWords(); }
  bool isRestoreClipboard() const override { return true; }

  QLSettings library;
  KeyboardHook* hook = nullptr;
  ql::ExpansionExecutor* executor = nullptr;
};

void expandOnce(benchmark::State& state, bool canWithhold, int settleMs = 10) {
  ql::sim::SimDesktop desktop;
  desktop.keySource().setCanWithholdKeys(canWithhold);
  TimedInput input(desktop.input());
  ql::Platform platform = desktop.platform();
  platform.input = &input;
  ql::SystemServices services(platform);

  Controller controller;
  controller.library.preferences.extendType = QLPreferences::DelimiterRetyped;
  controller.library.preferences.delimiters = {QStringLiteral("space")};
  controller.library.preferences.isPlaySound = false;
  auto group = std::make_shared<QLGroup>();
  controller.library.groups.append(group);
  for (int i = 0; i < 1000; ++i) {
    auto s = std::make_shared<QLSnippet>();
    s->abbreviation = i == 0 ? QStringLiteral("sig") : QStringLiteral("ab%1").arg(i);
    s->plainText = QStringLiteral("Best regards,%|\nAnn Example, Example Ltd. #%1").arg(i);
    s->groupUuid = group->uuid;
    s->content(true);
    group->snippts.append(s->uuid);
    controller.library.snippets.append(s);
  }
  QDir().mkpath(ql::Utilities::getAppPath());

  KeyboardHook hook(platform);
  ql::ExpansionExecutor executor(platform, services, controller);
  executor.partPauseMs = 0;  // the designed pause follows the last key
  executor.fetchSettleMs = settleMs;
  controller.hook = &hook;
  controller.executor = &executor;
  hook.delegate = &controller;
  hook.installHook(true);
  hook.appChanged(desktop.frontmost()->info());

  for (auto _ : state) {
    desktop.focusedField()->setText(QString());
    desktop.typeText(QStringLiteral("Hi sig"));
    const Clock::time_point start = Clock::now();
    desktop.typeKey(ql::keys::Space);
    const double seconds = std::chrono::duration<double>(input.last - start).count();
    state.SetIterationTime(seconds);
    QCoreApplication::processEvents();  // the delayed restore
  }
  if (!desktop.focusedField()->string().startsWith(QStringLiteral("Hi Best regards,")))
    state.SkipWithError("the snippet did not expand");
}

void BM_DelimiterToLastKey_Withholding(benchmark::State& state) { expandOnce(state, true); }
void BM_DelimiterToLastKey_Erasing(benchmark::State& state) { expandOnce(state, false); }
// The program's own work, without the wait for the fetch answer to travel.
void BM_DelimiterToLastKey_NoSettle(benchmark::State& state) { expandOnce(state, false, 0); }
BENCHMARK(BM_DelimiterToLastKey_Withholding)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DelimiterToLastKey_NoSettle)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DelimiterToLastKey_Erasing)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  qputenv("HOME", home.path().toUtf8());
  qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/.local/share")).toUtf8());
  ql::setLogSink([](const QString&) {});
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
