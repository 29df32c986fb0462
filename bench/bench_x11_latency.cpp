// How long a key press takes from the X server to the key source: another
// client posts it through XTEST (as a keyboard would), the key source reads
// it through RECORD on its own connection. Starts a private Xvfb when no
// display is set.

#include "bench_main.h"
#include "platform/x11/keyboard_hold.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_key_source.h"
#include "platform/x11/xkb_keymap.h"
#include "platform/x11/xtest_keyboard.h"
#include "x_server.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

void BM_XTestPressToKeySource(benchmark::State& state) {
  auto connection = ql::X11Connection::open();
  if (!connection) {
    state.SkipWithError("no X server");
    return;
  }
  ql::XkbKeymap keymap(connection->display());
  ql::KeyboardHold hold(*connection);
  ql::XTestKeyboard keyboard(connection->display(), keymap, &hold);
  ql::X11KeySource source(*connection, keymap, hold, keyboard);
  int seen = 0;
  source.setKeyDownHandler([&](const ql::KeyEvent&) {
    ++seen;
    return false;
  });
  if (!source.start()) {
    state.SkipWithError("no RECORD");
    return;
  }
  source.setEnabled(true);

  // The typing client: a connection of its own, like a keyboard driver.
  Display* typist = XOpenDisplay(nullptr);
  const unsigned key = XKeysymToKeycode(typist, XK_a);
  std::vector<double> latencies;
  for (auto _ : state) {
    const int before = seen;
    const quint64 events = source.keyEventsSeen();
    const auto start = Clock::now();
    XTestFakeKeyEvent(typist, key, True, CurrentTime);
    // A round trip, as a real press has: the server sends recorded data
    // when it flushes output to clients, and a press nobody receives
    // would otherwise wait for the next flush.
    XSync(typist, False);
    while (seen == before) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    latencies.push_back(seconds);
    XTestFakeKeyEvent(typist, key, False, CurrentTime);
    XSync(typist, False);
    while (source.keyEventsSeen() < events + 2)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  XCloseDisplay(typist);
  if (latencies.empty()) return;
  std::sort(latencies.begin(), latencies.end());
  state.counters["median_ms"] = latencies[latencies.size() / 2] * 1000;
  state.counters["p90_ms"] = latencies[latencies.size() * 9 / 10] * 1000;
  state.counters["max_ms"] = latencies.back() * 1000;
}
BENCHMARK(BM_XTestPressToKeySource)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);

}  // namespace

int main(int argc, char** argv) {
  ql::test::XServer server;
  if (!std::getenv("DISPLAY")) {
    QString error;
    if (!server.start(&error)) return 1;
    setenv("DISPLAY", server.display().constData(), 1);
  }
  return runBenchmarks(argc, argv);
}
