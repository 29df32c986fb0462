// From the delimiter key press to the last key the expansion posts: the
// keyboard hook, matching in a library of a thousand snippets, the
// executor's deletes, the pasteboard write, the paste chord, the retyped
// delimiter and the caret moves, on the simulated desktop. The designed
// pause after the part comes after the last key and is not counted.
#include "bench_main.h"
#include "expansion_rig.h"
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

using bench::Clock;
using bench::Controller;
using bench::TimedInput;

void expandOnce(benchmark::State& state, bool canWithhold) {
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
  bench::fillLibrary(controller.library, 1000);
  QDir().mkpath(ql::Utilities::getAppPath());

  KeyboardHook hook(platform);
  ql::ExpansionExecutor executor(platform, services, controller);
  executor.partPauseMs = 0;  // the designed pause follows the last key
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
BENCHMARK(BM_DelimiterToLastKey_Withholding)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DelimiterToLastKey_Erasing)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  qputenv("HOME", home.path().toUtf8());
  qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/.local/share")).toUtf8());
  return runBenchmarks(argc, argv);
}
