// Saving and restoring the user's pasteboard around an expansion, and the
// simulated desktop's typing speed (what every expansion test pays).
#include "bench_main.h"
#include "expansion/pasteboard_service.h"
#include "platform/log.h"
#include "platform/pasteboard_types.h"
#include "platform/sim/sim_desktop.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

namespace types = ql::pasteboard_types;

// A large text and a large image, as a user may have copied them; each
// round trip copies the bytes as a real backend's read would.
void BM_BackupAndRestoreLargeContent(benchmark::State& state) {
  ql::sim::SimDesktop desktop;
  const QByteArray text(10 * 1024 * 1024, 'x');
  const QByteArray image(5 * 1024 * 1024, '\x7f');
  ql::PasteboardService service(desktop.pasteboard());
  for (auto _ : state) {
    desktop.pasteboard().setContent({{types::String, QByteArray(text.constData(), text.size())},
                                     {QStringLiteral("image/png"),
                                      QByteArray(image.constData(), image.size())}},
                                    QStringLiteral("Gimp"));
    service.backupPasteBoard();
    service.writeStringToPasteBoard(QStringLiteral("snippet"));
    service.restorePasteBoard();
    benchmark::DoNotOptimize(desktop.pasteboard().changeCount());
  }
  state.SetBytesProcessed(state.iterations() * (text.size() + image.size()));
}
BENCHMARK(BM_BackupAndRestoreLargeContent)->Unit(benchmark::kMillisecond);

void BM_SimulatedTyping(benchmark::State& state) {
  ql::sim::SimDesktop desktop;
  desktop.keySource().start();
  desktop.keySource().setEnabled(true);
  desktop.keySource().setKeyDownHandler([](const ql::KeyEvent&) { return false; });
  const QString line = QStringLiteral("The quick brown Fox jumps over the lazy dog. ");
  for (auto _ : state) {
    desktop.focusedField()->setText(QString());
    for (int i = 0; i < 20; ++i) desktop.typeText(line);
    benchmark::DoNotOptimize(desktop.focusedField()->string().size());
  }
  state.SetItemsProcessed(state.iterations() * 20 * line.size());
}
BENCHMARK(BM_SimulatedTyping)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return runBenchmarks(argc, argv);
}
