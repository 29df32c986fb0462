// Quillet, the desktop program: the main controller on the X11 backend.
#include "app/quillet_app_delegate.h"
#include "app/single_instance.h"
#include "platform/x11/sleep_inhibitor.h"
#include "platform/x11/x11_platform.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
  const char c = 1;
  [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &c, 1);
}

// SIGTERM and SIGINT end the program through its normal shut-down, so the
// hook lets go of the keyboard first.
void quitOnSignals(QApplication& app) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
    char c = 0;
    [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &c, 1);
    QCoreApplication::quit();
  });
  struct sigaction action = {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) {
    std::fputs("quillet: no X display (DISPLAY is not set): Quillet runs on an X11 desktop\n",
               stderr);
    return 2;
  }
  // The clipboard and the keyboard are the X server's, also under XWayland.
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Orrery Labs"));
  QCoreApplication::setApplicationName(QStringLiteral("Quillet"));
  QGuiApplication::setApplicationDisplayName(QStringLiteral("Quillet"));
  QGuiApplication::setDesktopFileName(QStringLiteral("com.orrerylabs.Quillet"));
  // The fill-in form closing is no reason to quit.
  QApplication::setQuitOnLastWindowClosed(false);

  // A second start shows the running Quillet's library window and ends.
  SingleInstance instance;
  if (instance.notifyRunningInstance()) {
    std::puts("Quillet is already running; its library window is shown.");
    return 0;
  }
  if (!instance.listen()) {
    // Two starts at once: the one that listened first stays.
    if (instance.notifyRunningInstance()) {
      std::puts("Quillet is already running; its library window is shown.");
      return 0;
    }
    std::fprintf(stderr, "quillet: cannot answer later starts at %s\n",
                 qPrintable(instance.serverName()));
  }

  QString error;
  std::unique_ptr<ql::X11Platform> x11 = ql::X11Platform::create({}, &error);
  if (!x11) {
    std::fprintf(stderr, "quillet: cannot use the X server: %s\n", qPrintable(error));
    return 1;
  }
  QuilletAppDelegate controller(x11->platform());
  if (!controller.awakeFromNib()) return 1;
  QObject::connect(&instance, &SingleInstance::reopenRequested, &controller,
                   [&controller] { controller.applicationShouldHandleReopen(false); });
  for (const QString& path : QCoreApplication::arguments().mid(1)) controller.applicationOpenFile(path);
  controller.applicationDidFinishLaunching();
  QObject::connect(&app, &QCoreApplication::aboutToQuit, &controller,
                   [&controller] { controller.applicationWillTerminate(); });
  quitOnSignals(app);
  // What is held back for the background writer goes to disk before a
  // suspend, as at quit and logout.
  ql::SleepInhibitor sleep;
  QObject::connect(&sleep, &ql::SleepInhibitor::aboutToSleep, &controller,
                   [&controller] { controller.flushSaves(); });
  std::printf("Quillet is running on %s; expansion is %s. Ctrl+C here quits.\n",
              qgetenv("DISPLAY").constData(), controller.isQLEnabled ? "on" : "off");
  std::fflush(stdout);
  return app.exec();
}
