// Saving and loading a large library: 10,000 plain snippets of 200
// characters in 1,000 groups.
#include "bench_main.h"
#include "model/ql_settings.h"
#include "model/string_utilities.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstring>

namespace {

QLSettings makeLibrary() {
  QLSettings s;
  for (int g = 0; g < 1000; ++g) {
    auto group = std::make_shared<QLGroup>();
    group->name = QStringLiteral("Group %1").arg(g);
    s.groups.append(group);
  }
  const QString body = QString(200, QLatin1Char('x'));
  for (int i = 0; i < 10000; ++i) {
    auto sn = std::make_shared<QLSnippet>();
    sn->abbreviation = QStringLiteral("ab%1").arg(i);
    sn->label = QStringLiteral("Snippet %1").arg(i);
    sn->plainText = body;
    const GroupPtr& g = s.groups[i % 1000];
    sn->groupUuid = g->uuid;
    g->snippts.append(sn->uuid);
    s.snippets.append(sn);
  }
  return s;
}

struct Env {
  QTemporaryDir home;
  Env() {
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    QDir().mkpath(ql::Utilities::getAppPath());
  }
};

Env& env() {
  static Env e;
  return e;
}

void resetPeak() {
  QFile f(QStringLiteral("/proc/self/clear_refs"));
  if (f.open(QIODevice::WriteOnly)) f.write("5");
}

void BM_SaveSettings(benchmark::State& state) {
  env();
  const QLSettings s = makeLibrary();
  for (auto _ : state) benchmark::DoNotOptimize(s.saveSettings());
  state.counters["file_MB"] = double(QFile(QLSettings::settingsPath()).size()) / 1e6;
}
BENCHMARK(BM_SaveSettings)->Unit(benchmark::kMillisecond);

void BM_LoadSettings(benchmark::State& state) {
  env();
  makeLibrary().saveSettings();
  for (auto _ : state) {
    QLSettings loaded;
    benchmark::DoNotOptimize(loaded.loadSettings());
  }
  // Memory: what a loaded library holds, and the peak while loading it, both
  // above what the process held before.
  malloc_trim(0);
  const long base = statusKb("VmRSS:");
  resetPeak();
  {
    QLSettings loaded;
    loaded.loadSettings();
    state.counters["held_MB"] = double(statusKb("VmRSS:") - base) / 1024.0;
    state.counters["peak_MB"] = double(statusKb("VmHWM:") - base) / 1024.0;
  }
}
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return runBenchmarks(argc, argv);
}
