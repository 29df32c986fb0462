// The program's save and backup paths, driven as fast as they go, to be
// killed with SIGKILL at random moments by scripts/kill-soak.
//
//   kill_soak_driver run N     changes the library N times, one save each,
//                              and takes a backup every 10th change; prints
//                              each change's number once it is on disk
//   kill_soak_driver burst     changes the library without end, the way
//                              typing does: bursts of expansions (use
//                              counts) and of window edits (labels), saved
//                              in the background as the program saves them;
//                              prints each change's number and the time it
//                              was made (not when it reached the disk), and
//                              on SIGTERM quits as the program does
//   kill_soak_driver verify    exits 0 when the settings file and every
//                              backup load; prints the last change found
//
// HOME (and the XDG folders) choose where the files go.
#include "app/quillet_app_delegate.h"
#include "app/backup_schedule.h"
#include "model/ql_settings.h"
#include "platform/log.h"
#include "platform/sim/sim_desktop.h"

#include "model/library_saver.h"

#include <QApplication>
#include <QDateTime>
#include <QSocketNotifier>
#include <QTimer>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The change counter lives in a preference that nothing else touches.
qint64 lastChange(const QLSettings& library) { return library.preferences.characterSaved; }

int verify() {
  QLSettings library;
  // Killed before the first save: there is nothing yet to have lost.
  if (!QFileInfo::exists(QLSettings::settingsPath())) {
    std::puts("0 0");
    return 0;
  }
  if (!library.loadSettings()) {
    std::puts("settings file does not load");
    return 1;
  }
  int backups = 0;
  for (const auto& entry : ql::backups::listBackups(library.preferences.backupFolderPath)) {
    QLSettings backup;
    if (!backup.loadBackup(entry.path)) {
      std::printf("backup does not load: %s\n", qPrintable(entry.path));
      return 1;
    }
    ++backups;
  }
  std::printf("%lld %d\n", static_cast<long long>(lastChange(library)), backups);
  return 0;
}

int run(int count) {
  ql::sim::SimDesktop desktop;
  QuilletAppDelegate controller(desktop.platform());
  controller.isSystemTrayAvailable = [] { return false; };
  controller.alertSheet = [](auto&&...) { return 0; };
  if (!controller.awakeFromNib() || !controller.settings()) return 1;
  QLSettings& library = *controller.settings();
  library.preferences.maximumBackups = QStringLiteral("20");
  for (int i = 0; i < count; ++i) {
    const qint64 change = lastChange(library) + 1;
    library.preferences.characterSaved = change;
    auto snippet = std::make_shared<QLSnippet>();
    snippet->abbreviation = QStringLiteral("s%1").arg(change);
    snippet->plainText = QString(200, QLatin1Char('x'));
    if (!library.groups.isEmpty()) {
      snippet->groupUuid = library.groups.first()->uuid;
      library.groups.first()->snippts.append(snippet->uuid);
    }
    library.snippets.append(snippet);
    if (!library.saveSettings()) return 1;
    std::printf("%lld\n", static_cast<long long>(change));
    std::fflush(stdout);
    if (change % 10 == 0) {
      QString error;
      if (!controller.backup(&error)) return 1;
    }
  }
  return 0;
}

int signalPipe[2] = {-1, -1};

void onSignal(int) {
  const char c = 1;
  [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &c, 1);
}

int burst() {
  ql::sim::SimDesktop desktop;
  QuilletAppDelegate controller(desktop.platform());
  controller.isSystemTrayAvailable = [] { return false; };
  controller.alertSheet = [](auto&&...) { return 0; };
  if (!controller.awakeFromNib() || !controller.settings() || !controller.settings()->saver) return 1;
  QLSettings& library = *controller.settings();
  ql::LibrarySaver& saver = *library.saver;
  if (library.groups.isEmpty()) library.groups.append(std::make_shared<QLGroup>());
  // A library of some size, so that writes take a while.
  while (library.snippets.size() < 2000) {
    auto s = std::make_shared<QLSnippet>();
    s->abbreviation = QStringLiteral("s%1").arg(library.snippets.size());
    s->plainText = QString(500, QLatin1Char('x'));
    s->groupUuid = library.groups.first()->uuid;
    library.groups.first()->snippts.append(s->uuid);
    library.snippets.append(s);
  }
  saver.libraryChanged();

  // SIGTERM ends the program through its normal shut-down.
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &desktop);
    QObject::connect(notifier, &QSocketNotifier::activated, [] { QCoreApplication::quit(); });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
  }
  QObject::connect(qApp, &QCoreApplication::aboutToQuit, &controller,
                   [&controller] { controller.applicationWillTerminate(); });

  // Every 2 ms a change: twenty expansions, then twenty keystrokes in the
  // window, and so on.
  QTimer tick;
  int n = 0;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const qint64 change = lastChange(library) + 1;
    library.preferences.characterSaved = change;
    const SnippetPtr& s = library.snippets[n % library.snippets.size()];
    if ((n / 20) % 2 == 0) {
      s->useCount += 1;
      saver.recordsChanged(ql::LibrarySaver::Kind::Usage, s.get());
    } else {
      s->label = QStringLiteral("edit %1").arg(change);
      saver.recordsChanged(ql::LibrarySaver::Kind::Edit, s.get());
    }
    ++n;
    std::printf("%lld %lld\n", static_cast<long long>(change),
                static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
    std::fflush(stdout);
  });
  tick.start(2);
  return QCoreApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ql::setLogSink([](const QString&) {});
  const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
  if (mode == QLatin1String("verify")) return verify();
  if (mode == QLatin1String("burst")) return burst();
  if (mode == QLatin1String("run") && argc > 2) return run(QString::fromLocal8Bit(argv[2]).toInt());
  std::fputs("usage: kill_soak_driver run N | burst | verify\n", stderr);
  return 2;
}
