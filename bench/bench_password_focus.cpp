// What telling password fields apart costs. The key path: a word and a
// Space typed through the hook with no service (the flag of a desktop that
// tells nothing), with the AT-SPI focus watch attached to a bus while a
// plain field has the focus, and while a password field of an application
// that is not in front had it last (the answer is checked against the
// front). A focus change: from the application's focus event to the
// watch's settled answer, over a private bus (the event, the role asked and
// answered, four trips through the bus daemon), with the main thread's own
// CPU time beside the wall time.
#include "bench_main.h"
#include "expansion/keyboard_hook.h"
#include "fake_atspi_bus.h"
#include "model/ql_settings.h"
#include "platform/sim/sim_desktop.h"
#include "platform/x11/atspi_focus_watch.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <ctime>

namespace {

constexpr uint kPasswordText = 40;
constexpr uint kEntry = 79;
const QString kPassword = QStringLiteral("/org/a11y/atspi/accessible/1");
const QString kPlain = QStringLiteral("/org/a11y/atspi/accessible/2");

double threadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

class Delegate final : public KeyboardHookDelegate {
 public:
  bool mouseMouseEvent(KeyboardHook*, const ql::MouseEvent&) override { return false; }
  bool keyEvent(KeyboardHook*, const ql::KeyEvent&) override { return false; }
  QLSettings* settings() override { return &library; }
  void closeSearchMenuWindow() override {}
  void closeSearchPopupWindow() override {}
  void closeFillInWindow() override {}
  void processSuggestionsHotKey(const QString&) override {}
  bool processSnippet(const SnippetPtr&, int, int, bool, const QString&, const QString&, int) override {
    return true;
  }
  void showPopup(const QString&, const QString&) override {}
  QLSettings library;
};

// Runs the event loop until done() holds, at most timeoutMs.
template <typename Done>
bool spin(Done done, int timeoutMs = 3000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

// Arg 0: no service; 1: the watch, a plain field focused; 2: the watch, a
// password field of another application focused last.
void BM_KeyPath(benchmark::State& state) {
  bench::FakeAtSpiBus bus;
  if (!bus.isRunning()) return state.SkipWithError("no dbus-daemon");
  bus.application().roles = {{kPassword, kPasswordText}, {kPlain, kEntry}};
  ql::sim::SimDesktop desktop;
  ql::AtSpiFocusWatch watch(desktop.workspace());
  ql::NoPasswordFocus none;
  ql::Platform platform = desktop.platform();
  platform.passwordFocus = &none;
  if (state.range(0) > 0) {
    platform.passwordFocus = &watch;
    if (!spin([&] { return watch.isWatching(); })) return state.SkipWithError("the watch did not start");
    bus.focus(state.range(0) == 1 ? kPlain : kPassword, true);
    spin([] { return false; }, 200);  // the role and the process id answered
  }
  Delegate delegate;
  delegate.library.preferences.extendType = QLPreferences::DelimiterRetyped;
  delegate.library.preferences.delimiters = {QStringLiteral("space")};
  KeyboardHook hook(platform);
  hook.delegate = &delegate;
  hook.installHook(true);
  hook.appChanged(desktop.workspace().frontmostApplication());
  const QString word = QStringLiteral("word ");
  for (auto _ : state) desktop.typeText(word);
  state.SetItemsProcessed(state.iterations() * word.size());
  state.counters["ns_per_key"] = benchmark::Counter(double(state.iterations() * word.size()),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_KeyPath)->Arg(0)->Arg(1)->Arg(2);

class OwnFront final : public ql::Workspace {
 public:
  ql::ApplicationInfo frontmostApplication() const override {
    return {QStringLiteral("Fake"), QCoreApplication::applicationPid(), 1};
  }
  qint64 ownProcessId() const override { return 1; }
  bool activate(const ql::ApplicationInfo&) override { return true; }
  void activateProgram() override {}
  QRect mainScreenGeometry() const override { return {}; }
  QList<ql::InstalledApplication> installedApplications() const override { return {}; }
};

void BM_FocusChange(benchmark::State& state) {
  bench::FakeAtSpiBus bus;
  if (!bus.isRunning()) return state.SkipWithError("no dbus-daemon");
  bus.application().roles = {{kPassword, kPasswordText}, {kPlain, kEntry}};
  OwnFront front;
  ql::AtSpiFocusWatch watch(front);
  if (!spin([&] { return watch.isWatching(); })) return state.SkipWithError("the watch did not start");
  bool password = false;
  double cpu = 0;
  for (auto _ : state) {
    password = !password;
    const double before = threadCpuSeconds();
    bus.focus(password ? kPassword : kPlain, true);
    if (!spin([&] { return watch.isPasswordField() == password; })) {
      state.SkipWithError("no answer");
      break;
    }
    cpu += threadCpuSeconds() - before;
  }
  state.counters["cpu_us"] = benchmark::Counter(cpu * 1e6 / double(qMax<qint64>(1, state.iterations())));
}
BENCHMARK(BM_FocusChange)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return runBenchmarks(argc, argv); }
