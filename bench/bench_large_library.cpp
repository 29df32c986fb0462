// What a large library costs on the typing path and in its files, at 10,000
// and 100,000 generated snippets of about 1 KB: loading and saving the
// settings file, the main thread's share of a save, the keyboard held per
// expansion (from the delimiter to the end of the work it leaves on the main
// loop), and switching to an application with other rules. Targets: load
// 60 ms at 10,000 and 600 ms at 100,000; a save's main-thread work 5 ms,
// the keyboard held 10 ms and an application switch 5 ms at 100,000.
#include "bench_main.h"
#include "expansion_rig.h"
#include "library_generator.h"
#include "model/background_writer.h"
#include "model/ql_settings.h"
#include "model/ql_statistics.h"
#include "model/string_utilities.h"
#include "platform/sim/sim_desktop.h"

#if __has_include("model/library_saver.h")
#include "model/library_saver.h"
#define HAVE_SAVER 1
#endif

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <chrono>
#include <ctime>
#include <utility>
#include <map>

namespace {

using bench::Clock;

// The calling thread's own CPU time: what the main thread spent, however
// busy the machine (the wall clock counts waiting for a core too).
double threadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct Env {
  QTemporaryDir home;
  Env() {
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/.local/share")).toUtf8());
    QDir().mkpath(ql::Utilities::getAppPath());
  }
};

Env& env() {
  static Env e;
  return e;
}

// One settings file per size, written once.
QString fileFor(int count) {
  env();
  static std::map<int, QString> files;
  auto& path = files[count];
  if (path.isEmpty()) {
    QLSettings library;
    bench::generateLibrary(library, count);
    path = ql::Utilities::getAppPath() + QStringLiteral("/library-%1.qlxdoc").arg(count);
    library.saveBackup(path);
  }
  return path;
}

void BM_Load(benchmark::State& state) {
  const QString path = fileFor(int(state.range(0)));
  for (auto _ : state) {
    QLSettings loaded;
    benchmark::DoNotOptimize(loaded.loadBackup(path));
  }
  malloc_trim(0);
  const long base = statusKb("VmRSS:");
  QLSettings loaded;
  loaded.loadBackup(path);
  state.counters["held_MB"] = double(statusKb("VmRSS:") - base) / 1024.0;
  state.counters["file_MB"] = double(QFile(path).size()) / 1e6;
}
BENCHMARK(BM_Load)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The whole save on the calling thread, as every save was before saves
// moved to the writer.
void BM_SaveWhole(benchmark::State& state) {
  QLSettings library;
  library.loadBackup(fileFor(int(state.range(0))));
  const QString path = ql::Utilities::getAppPath() + QStringLiteral("/whole.qlxdoc");
  for (auto _ : state) benchmark::DoNotOptimize(library.saveBackup(path));
}
BENCHMARK(BM_SaveWhole)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

#ifdef HAVE_SAVER
// The main thread's share of a save after an expansion changed one snippet
// (range 1 = 0) or after the outline changed (range 1 = 1: every record is
// compared with its copy) or its structure (2: records moved); the write
// itself runs on the writer, untimed.
void BM_SaveMainThread(benchmark::State& state) {
  QLSettings library;
  library.loadBackup(fileFor(int(state.range(0))));
  ql::LibrarySaver saver(&library, ql::Utilities::getAppPath() + QStringLiteral("/saver.qlxdoc"));
  saver.libraryChanged();
  saver.flush();
  int i = 0;
  double cpu = 0;
  for (auto _ : state) {
    const SnippetPtr s = std::as_const(library.snippets)[(i += 7919) % library.snippets.size()];
    const auto start = Clock::now();
    const double cpuStart = threadCpuSeconds();
    s->useCount += 1;
    if (state.range(1) == 1)
      saver.libraryChanged();
    else if (state.range(1) == 2)
      saver.structureChanged();
    else
      saver.recordsChanged(ql::LibrarySaver::Kind::Usage, s.get());
    saver.saveNow();
    cpu += threadCpuSeconds() - cpuStart;
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    saver.flush();
  }
  state.counters["writes"] = saver.snapshotsTaken();
  state.counters["main_cpu_ms"] = benchmark::Counter(cpu * 1e3 / double(state.iterations()));
}
BENCHMARK(BM_SaveMainThread)
    ->Args({10000, 0})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({100000, 2})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
#endif

// The keyboard held per one-part expansion: from the delimiter to the end of
// everything the expansion leaves on the main loop (the save, the
// statistics), so the next key could be handled. The program's own
// library saver and delayed statistics are used where they exist.
void BM_KeyboardHeldPerExpansion(benchmark::State& state) {
  env();
  ql::sim::SimDesktop desktop;
  desktop.keySource().setCanWithholdKeys(true);
  bench::TimedInput input(desktop.input());
  ql::Platform platform = desktop.platform();
  platform.input = &input;
  ql::SystemServices services(platform);

  bench::Controller controller;
  controller.library.preferences.extendType = QLPreferences::DelimiterRetyped;
  controller.library.preferences.delimiters = {QStringLiteral("space")};
  controller.library.preferences.isPlaySound = false;
  bench::fillLibrary(controller.library, 1);
  bench::generateLibrary(controller.library, int(state.range(0)));
  controller.library.saveSettings();
  QLStatistics statistics;
  controller.stats = &statistics;
#ifdef HAVE_SAVER
  ql::LibrarySaver saver(&controller.library);
  controller.library.saver = &saver;
  statistics.setSaveDelay(1000);
#endif

  KeyboardHook hook(platform);
  ql::ExpansionExecutor executor(platform, services, controller);
  executor.partPauseMs = 0;  // the designed pause follows the last key
  controller.hook = &hook;
  controller.executor = &executor;
  hook.delegate = &controller;
  hook.installHook(true);
  hook.appChanged(desktop.frontmost()->info());

  double cpu = 0;
  for (auto _ : state) {
    desktop.focusedField()->setText(QString());
    desktop.typeText(QStringLiteral("Hi sig"));
    const Clock::time_point start = Clock::now();
    const double cpuStart = threadCpuSeconds();
    desktop.typeKey(ql::keys::Space);
    QCoreApplication::processEvents();
    cpu += threadCpuSeconds() - cpuStart;
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  }
  state.counters["main_cpu_ms"] = benchmark::Counter(cpu * 1e3 / double(state.iterations()));
  if (!desktop.focusedField()->string().startsWith(QStringLiteral("Hi Best regards,")))
    state.SkipWithError("the snippet did not expand");
#ifdef HAVE_SAVER
  saver.flush();
  state.counters["writes"] = saver.snapshotsTaken();
  controller.library.saver = nullptr;
#endif
}
BENCHMARK(BM_KeyboardHeldPerExpansion)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Switching between two applications whose rules let different groups
// expand, with a library the program saves (and so announces its edits).
void BM_ApplicationSwitch(benchmark::State& state) {
  env();
  ql::sim::SimDesktop desktop;
  bench::Controller controller;
  bench::generateLibrary(controller.library, int(state.range(0)));
#ifdef HAVE_SAVER
  ql::LibrarySaver saver(&controller.library);
  controller.library.saver = &saver;
#endif
  KeyboardHook hook(desktop.platform());
  hook.delegate = &controller;
  hook.installHook(true);
  const ql::ApplicationInfo ruled{bench::kRuledApplication, 4242};
  const ql::ApplicationInfo other{QStringLiteral("XTerm"), 4343};
  int i = 0;
  for (auto _ : state) hook.appChanged(++i % 2 ? ruled : other);
  state.counters["eligible"] = double(hook.snippets().size());
#ifdef HAVE_SAVER
  controller.library.saver = nullptr;
#endif
}
BENCHMARK(BM_ApplicationSwitch)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runBenchmarks(argc, argv); }
