// Quillet, the desktop program: the main controller on the X11 or the
// Wayland backend.
#include "app/quillet_app_delegate.h"
#include "app/single_instance.h"
#include "app/translations.h"
#include "platform/x11/sleep_inhibitor.h"
#include "platform/x11/x11_platform.h"
#include "quillet_actions.h"
#ifdef QUILLET_WAYLAND
#include "platform/wayland/wayland_platform.h"
#endif

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>

#include <csignal>
#include <optional>
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


// A line for the terminal, already in the user's language.
void say(FILE* stream, const QString& line) {
  std::fputs(qPrintable(line), stream);
  std::fputc('\n', stream);
}

void complain(const QString& line) { say(stderr, QStringLiteral("quillet: ") + line); }

// A refusal said before the application exists: a bare core application
// carries the translation for it.
int refuse(int argc, char** argv, const char* text, int code) {
  QCoreApplication app(argc, argv);
  ql::Translations translations;
  translations.load(QLocale());
  complain(QCoreApplication::translate("QuilletMain", text));
  return code;
}

enum class Backend { X11, Wayland };

// WAYLAND_DISPLAY set means a Wayland session, where an X11 program sees
// only the other X11 programs; QUILLET_PLATFORM overrides.
std::optional<Backend> chooseBackend(const char** error) {
  const QByteArray forced = qgetenv("QUILLET_PLATFORM");
  if (forced == "x11") return Backend::X11;
  if (forced == "wayland") return Backend::Wayland;
  if (!forced.isEmpty()) {
    *error = QT_TRANSLATE_NOOP("QuilletMain", "QUILLET_PLATFORM must be x11 or wayland");
    return std::nullopt;
  }
  return qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? Backend::X11 : Backend::Wayland;
}

// --action NAME and --help are answered without starting anything.
std::optional<int> handleCommandLine(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const QByteArray arg(argv[i]);
    const bool help = arg == "--help" || arg == "-h";
    const bool action = arg == "--action" || arg.startsWith("--action=");
    if (!help && !action) continue;
    QCoreApplication app(argc, argv);
    ql::Translations translations;
    translations.load(QLocale());
    if (help) {
      std::fputs(qPrintable(quillet_actions::helpText()), stdout);
      return 0;
    }
    const QString name = arg.startsWith("--action=") ? QString::fromUtf8(arg.mid(9))
                         : i + 1 < argc             ? QString::fromUtf8(argv[i + 1])
                                                    : QString();
    if (!quillet_actions::isKnown(name)) {
      complain(QCoreApplication::translate("QuilletMain", "unknown action \"%1\"; quillet --help lists them")
                      .arg(name));
      return 2;
    }
    QCoreApplication::setOrganizationName(QStringLiteral("Orrery Labs"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillet"));
    switch (SingleInstance().sendAction(name)) {
      case SingleInstance::ActionAnswer::Done: return 0;
      case SingleInstance::ActionAnswer::Unknown:
        complain(QCoreApplication::translate("QuilletMain", "the running Quillet does not know the action \"%1\"")
                        .arg(name));
        return 2;
      case SingleInstance::ActionAnswer::NoInstance: break;
    }
    complain(QCoreApplication::translate("QuilletMain", "Quillet is not running; start it first"));
    return 1;
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  if (const std::optional<int> done = handleCommandLine(argc, argv)) return *done;
  const char* refusal = nullptr;
  const std::optional<Backend> backend = chooseBackend(&refusal);
  if (!backend) return refuse(argc, argv, refusal, 2);
  if (*backend == Backend::X11 && qEnvironmentVariableIsEmpty("DISPLAY"))
    return refuse(argc, argv,
                  QT_TRANSLATE_NOOP("QuilletMain", "no X display (DISPLAY is not set): Quillet runs on an X11 desktop"),
                  2);
#ifndef QUILLET_WAYLAND
  if (*backend == Backend::Wayland)
    return refuse(argc, argv,
                  QT_TRANSLATE_NOOP("QuilletMain", "this Quillet was built without Wayland support; "
                                                   "QUILLET_PLATFORM=x11 uses XWayland"),
                  2);
#endif
  if (*backend == Backend::X11) {
    // The clipboard and the keyboard are the X server's, also under XWayland.
    qputenv("QT_QPA_PLATFORM", "xcb");
  } else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    // The windows on XWayland where it runs, so floating ones can be placed.
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "wayland" : "xcb");
  }
  QApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Orrery Labs"));
  QCoreApplication::setApplicationName(QStringLiteral("Quillet"));
  QGuiApplication::setApplicationDisplayName(QStringLiteral("Quillet"));
  QGuiApplication::setDesktopFileName(QStringLiteral("com.orrerylabs.Quillet"));
  ql::Translations translations;
  translations.load(QLocale());
  // The fill-in form closing is no reason to quit.
  QApplication::setQuitOnLastWindowClosed(false);

  // A second start shows the running Quillet's library window and ends.
  SingleInstance instance;
  if (instance.notifyRunningInstance()) {
    say(stdout, QCoreApplication::translate("QuilletMain", "Quillet is already running; its library window is shown."));
    return 0;
  }
  if (!instance.listen()) {
    // Two starts at once: the one that listened first stays.
    if (instance.notifyRunningInstance()) {
      say(stdout, QCoreApplication::translate("QuilletMain", "Quillet is already running; its library window is shown."));
      return 0;
    }
    complain(QCoreApplication::translate("QuilletMain", "cannot answer later starts at %1")
                    .arg(instance.serverName()));
  }

  std::unique_ptr<ql::X11Platform> x11;
#ifdef QUILLET_WAYLAND
  std::unique_ptr<ql::WaylandPlatform> wayland;
#endif
  ql::Platform platform;
  QString session;
  QString error;
  if (*backend == Backend::X11) {
    x11 = ql::X11Platform::create({}, &error);
    if (!x11) {
      complain(QCoreApplication::translate("QuilletMain", "cannot use the X server: %1").arg(error));
      return 1;
    }
    platform = x11->platform();
    session = qEnvironmentVariable("DISPLAY");
  }
#ifdef QUILLET_WAYLAND
  if (*backend == Backend::Wayland) {
    wayland = ql::WaylandPlatform::create({}, qEnvironmentVariable("QUILLET_INPUT_EVENTS"), &error);
    if (!wayland) {
      complain(QCoreApplication::translate("QuilletMain", "cannot use the Wayland compositor: %1").arg(error));
      return 1;
    }
    platform = wayland->platform();
    session = QStringLiteral("Wayland ") + qEnvironmentVariable("WAYLAND_DISPLAY");
  }
#endif
  QuilletAppDelegate controller(platform);
  if (!controller.awakeFromNib()) return 1;
  QObject::connect(&instance, &SingleInstance::reopenRequested, &controller,
                   [&controller] { controller.applicationShouldHandleReopen(false); });
  instance.setActionHandler(
      [&controller](const QString& name) { return quillet_actions::run(controller, name); });
  QStringList files = QCoreApplication::arguments().mid(1);
  // The autostart entry's mark: at login Quillet waits in the tray.
  controller.isStartedAtLogin = files.removeAll(QStringLiteral("--autostart")) > 0;
  for (const QString& path : files) controller.applicationOpenFile(path);
  controller.applicationDidFinishLaunching();
  QObject::connect(&app, &QCoreApplication::aboutToQuit, &controller,
                   [&controller] { controller.applicationWillTerminate(); });
  quitOnSignals(app);
#ifdef QUILLET_WAYLAND
  if (wayland) {
    // What this compositor lacks, said on the terminal and once in an alert;
    // Quillet runs on with what there is.
    const QStringList missing = wayland->missingPieces();
    for (const QString& line : missing) complain(line);
    if (!missing.isEmpty() && qEnvironmentVariableIsEmpty("QUILLET_NO_ALERTS")) {
      auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Quillet"),
                                  QCoreApplication::translate("QuilletMain",
                                                              "Quillet cannot expand everywhere in this Wayland session."),
                                  QMessageBox::Ok);
      box->setInformativeText(missing.join(QStringLiteral("\n\n")));
      box->setAttribute(Qt::WA_DeleteOnClose);
      box->open();
    }
  }
#endif
  // What is held back for the background writer goes to disk before a
  // suspend, as at quit and logout.
  ql::SleepInhibitor sleep;
  QObject::connect(&sleep, &ql::SleepInhibitor::aboutToSleep, &controller,
                   [&controller] { controller.flushSaves(); });
  say(stdout, controller.isQLEnabled
                  ? QCoreApplication::translate("QuilletMain", "Quillet is running on %1; expansion is on. Ctrl+C here quits.")
                        .arg(session)
                  : QCoreApplication::translate("QuilletMain", "Quillet is running on %1; expansion is off. Ctrl+C here quits.")
                        .arg(session));
  std::fflush(stdout);
  return app.exec();
}
