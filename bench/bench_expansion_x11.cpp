// From the delimiter key press at the X server to the last key the
// expansion posts, with a real xterm as the target: RECORD, the hook,
// matching, the deletes, the clipboard handed to xterm, the paste chord,
// the retyped delimiter and the caret moves. Also how long the keyboard is
// held for each expansion (held_median_ms, held_max_ms). Runs on a private
// Xvfb with a window manager.
#include "bench_main.h"
#include "expansion_rig.h"
#include "model/string_utilities.h"
#include "platform/log.h"
#include "platform/x11/keyboard_hold.h"
#include "platform/x11/x11_platform.h"
#include "x_server.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <vector>

namespace {

using bench::Clock;

// The user's keyboard: XTEST on a connection of its own, so the key source
// takes its presses for the user's.
class Keyboard final {
 public:
  Keyboard() : display_(XOpenDisplay(nullptr)) {}
  ~Keyboard() {
    if (display_) XCloseDisplay(display_);
  }
  bool isOpen() const { return display_ != nullptr; }
  Clock::time_point tap(KeySym sym) {
    const unsigned code = XKeysymToKeycode(display_, sym);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XFlush(display_);
    const Clock::time_point pressed = Clock::now();
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    XFlush(display_);
    return pressed;
  }

 private:
  Display* display_;
};

void BM_DelimiterToLastKeyInXterm(benchmark::State& state) {
  ql::test::WindowManager wm;
  QTemporaryDir dir;
  ql::test::Client xterm(
      QStringLiteral("xterm"),
      {"-u8", "-xrm", "*VT100.translations: #override Ctrl Shift <Key>V: insert-selection(CLIPBOARD)",
       "-e", "sh", "-c", "stty -echo; cat > '" + dir.filePath(QStringLiteral("typed")) + "'"});
  if (!ql::test::waitUntil([] { return ql::test::findWindowByClass("XTerm") != 0; }, 10000)) {
    state.SkipWithError("xterm did not start");
    return;
  }
  ql::test::settle(300);
  QString error;
  auto x11 = ql::X11Platform::create({}, &error);
  Keyboard keyboard;
  if (!x11 || !keyboard.isOpen()) {
    state.SkipWithError("no X server");
    return;
  }
  bench::TimedInput input(*x11->platform().input);
  ql::Platform platform = x11->platform();
  platform.input = &input;
  ql::SystemServices services(platform);
  bench::Controller controller;
  controller.library.preferences.extendType = QLPreferences::DelimiterRetyped;
  controller.library.preferences.delimiters = {QStringLiteral("space")};
  controller.library.preferences.isPlaySound = false;
  bench::fillLibrary(controller.library, 1000);
  QDir().mkpath(ql::Utilities::getAppPath());
  KeyboardHook hook(platform);
  ql::ExpansionExecutor executor(platform, services, controller);
  controller.hook = &hook;
  controller.executor = &executor;
  hook.delegate = &controller;
  if (!hook.installHook(true)) {
    state.SkipWithError("no RECORD");
    return;
  }
  hook.appChanged(platform.workspace->frontmostApplication());
  int finished = 0;
  QObject::connect(&executor, &ql::ExpansionExecutor::expansionFinished, [&] { ++finished; });
  // How long the user's typing waits behind each expansion.
  Clock::time_point heldSince;
  std::vector<double> held;
  QObject::connect(&x11->hold(), &ql::KeyboardHold::activeChanged, [&](bool active) {
    if (active)
      heldSince = Clock::now();
    else
      held.push_back(std::chrono::duration<double, std::milli>(Clock::now() - heldSince).count());
  });

  for (auto _ : state) {
    for (KeySym k : {XK_x, XK_space, XK_s, XK_i, XK_g}) keyboard.tap(k);
    const int before = finished;
    const Clock::time_point pressed = keyboard.tap(XK_space);
    if (!ql::test::waitUntil([&] { return finished > before; }, 3000)) {
      state.SkipWithError("the snippet did not expand");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(input.last - pressed).count());
    ql::test::settle(150);  // the restore, before the next line
    keyboard.tap(XK_Return);
  }
  hook.uninstallHook();
  if (!held.empty()) {
    std::sort(held.begin(), held.end());
    state.counters["held_median_ms"] = held[held.size() / 2];
    state.counters["held_max_ms"] = held.back();
  }
}
BENCHMARK(BM_DelimiterToLastKeyInXterm)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

// What a keystroke pays when it makes the word end in an abbreviation that
// Return or Tab would expand, or stop doing so: the grabs of those keys in
// every lock combination and their release, on the real server. Keystrokes
// that change nothing pay only the word's lookup (bench_matching).
void BM_ReturnAndTabReservedAndReleased(benchmark::State& state) {
  QString error;
  auto x11 = ql::X11Platform::create({}, &error);
  if (!x11 || !x11->platform().keySource->start()) {
    state.SkipWithError("no X server");
    return;
  }
  ql::KeySource& source = *x11->platform().keySource;
  using Reserver = ql::KeySource::Reserver;
  for (auto _ : state) {
    source.reserveKeys(Reserver::Delimiters, {ql::keys::Return, ql::keys::Tab});
    source.reserveKeys(Reserver::Delimiters, {});
  }
  source.stop();
}
BENCHMARK(BM_ReturnAndTabReservedAndReleased)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  const QByteArray h = home.path().toUtf8();
  qputenv("HOME", h);
  qputenv("XDG_DATA_HOME", h + "/.local/share");
  qputenv("XDG_CONFIG_HOME", h + "/.config");
  qputenv("LC_ALL", "C.UTF-8");
  ql::test::XServer server;
  QString error;
  if (!server.start(&error)) {
    std::fprintf(stderr, "cannot start Xvfb: %s\n", qPrintable(error));
    return 1;
  }
  qputenv("DISPLAY", server.display());
  qputenv("QT_QPA_PLATFORM", "xcb");
  return runBenchmarks<QGuiApplication>(argc, argv);
}
