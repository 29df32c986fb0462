// What following the library file costs, at 10,000 and 100,000 generated
// snippets of about 1 KB: a look at the file after a change in its folder
// that was not the library's (a stat), a touch (the file read and hashed),
// a save that first checks the file is still the one known, and taking in
// another program's file (read, merged with one unsaved edit, put in place)
// on the main thread.
#include "bench_main.h"
#include "library_generator.h"
#include "model/background_writer.h"
#include "model/library_file_state.h"
#include "model/library_merge.h"
#include "model/library_saver.h"
#include "model/ql_settings.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/time.h>

namespace {

struct Library {
  QTemporaryDir dir;
  QString path;
  QLSettings live;
  QByteArray bytes;
  std::shared_ptr<ql::LibraryFileState> state;
  explicit Library(int count) {
    path = dir.filePath(QStringLiteral("settings.qlxdoc"));
    bench::generateLibrary(live, count);
    bytes = ql::plist::toXml(live.libraryDictionary());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    f.close();
    state = std::make_shared<ql::LibraryFileState>(path);
    ql::FileSignature s = ql::FileSignature::stat(path);
    s.hash = ql::FileSignature::hashOf(bytes);
    state->setKnown(s);
  }
};

void BM_LookUnchanged(benchmark::State& state) {
  Library l(int(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(l.state->isKnownOnDisk());
}
BENCHMARK(BM_LookUnchanged)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_LookTouched(benchmark::State& state) {
  Library l(int(state.range(0)));
  long second = 1'700'000'000;
  for (auto _ : state) {
    state.PauseTiming();
    struct timeval t[2] = {{++second, 0}, {second, 0}};
    utimes(QFile::encodeName(l.path).constData(), t);
    state.ResumeTiming();
    benchmark::DoNotOptimize(l.state->isKnownOnDisk());
  }
}
BENCHMARK(BM_LookTouched)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The writer's whole save, with the check before the rename (range 1 = 1)
// or without (0).
void BM_SaveChecked(benchmark::State& state) {
  Library l(int(state.range(0)));
  ql::LibrarySaver saver(&l.live, l.path);
  if (state.range(1)) saver.setFileState(l.state);
  for (auto _ : state) {
    saver.libraryChanged();
    saver.flush();
  }
}
BENCHMARK(BM_SaveChecked)
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Unit(benchmark::kMillisecond);

// Another program's file taken in while one edit waits to be written.
void BM_TakeIn(benchmark::State& state) {
  Library l(int(state.range(0)));
  ql::LibrarySaver saver(nullptr, l.dir.filePath(QStringLiteral("unused.qlxdoc")));
  saver.reloaded(l.live);
  l.live.snippets[0]->label = QStringLiteral("edited here");
  for (auto _ : state) {
    auto file = QLSettings::fromBytes(l.bytes);
    ql::mergeUnsavedChanges(*file, l.live, saver.saved());
    ql::adoptLibrary(l.live, *file);
  }
}
BENCHMARK(BM_TakeIn)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runBenchmarks(argc, argv); }
