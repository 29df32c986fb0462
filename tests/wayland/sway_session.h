#pragma once

// A headless sway for the test, as an unprivileged user (sway refuses
// root), with the Wayland clients the tests drive.
#include "support/event_loop.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QRegularExpression>

#include <functional>
#include <optional>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ql::test {

// Runs the event loop until condition holds (the test may serve the
// clipboard meanwhile).
inline bool spinUntil(const std::function<bool()>& condition, int timeoutMs = 10000) {
  return ::test::waitFor(condition, timeoutMs);
}

// A program run to its end with the event loop running; its output or none.
inline std::optional<QByteArray> runSpinning(const QString& program, const QStringList& arguments,
                                             const QStringList& environment, int* exitCode = nullptr,
                                             QByteArray* errors = nullptr, int timeoutMs = 10000) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const QString& e : environment) env.insert(e.section('=', 0, 0), e.section('=', 1));
  p.setProcessEnvironment(env);
  p.start(program, arguments);
  if (!p.waitForStarted(5000)) return std::nullopt;
  if (!spinUntil([&] { return p.state() == QProcess::NotRunning; }, timeoutMs)) {
    p.kill();
    p.waitForFinished(2000);
    return std::nullopt;
  }
  if (exitCode) *exitCode = p.exitCode();
  if (errors) *errors = p.readAllStandardError();
  if (p.exitStatus() != QProcess::NormalExit) return std::nullopt;
  return p.readAllStandardOutput();
}

class SwaySession final {
 public:
  static constexpr const char* kUser = "quillet-wl-test";

  // False with the reason the session cannot be had here.
  bool start(QString* whyNot) {
    if (QStandardPaths::findExecutable(QStringLiteral("sway")).isEmpty()) {
      *whyNot = QStringLiteral("sway is not installed (scripts/packages.txt lists it)");
      return false;
    }
    if (!runtime_.isValid() || !clientRuntime_.isValid()) {
      *whyNot = QStringLiteral("no temporary folder");
      return false;
    }
    const QString config = runtime_.filePath(QStringLiteral("sway.conf"));
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write("output HEADLESS-1 resolution 1280x720\nxwayland disable\ndefault_border none\n"
            "focus_follows_mouse no\n");
    f.close();
    ::chmod(QFile::encodeName(config).constData(), 0644);
    ::chmod(QFile::encodeName(runtime_.path()).constData(), 0700);
    QStringList command;
    if (::geteuid() == 0) {
      // Sway will not run as root: a system user of the test's own.
      if (!::getpwnam(kUser)) {
        QProcess::execute(QStringLiteral("useradd"),
                          {"--system", "--no-create-home", "--shell", "/usr/sbin/nologin", kUser});
      }
      const passwd* user = ::getpwnam(kUser);
      if (!user) {
        *whyNot = QStringLiteral("running as root and no unprivileged user could be created for sway");
        return false;
      }
      if (::chown(QFile::encodeName(runtime_.path()).constData(), user->pw_uid, user->pw_gid) != 0) {
        *whyNot = QStringLiteral("cannot hand the runtime folder to the sway user");
        return false;
      }
      if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty()) {
        *whyNot = QStringLiteral("setpriv (util-linux) is missing to start sway as another user");
        return false;
      }
      command << QStringLiteral("setpriv") << QStringLiteral("--reuid=%1").arg(user->pw_uid)
              << QStringLiteral("--regid=%1").arg(user->pw_gid) << QStringLiteral("--clear-groups");
    }
    command << QStringLiteral("env") << QStringLiteral("-i") << "XDG_RUNTIME_DIR=" + runtime_.path()
            << "HOME=" + runtime_.path() << QStringLiteral("WLR_BACKENDS=headless")
            << QStringLiteral("WLR_LIBINPUT_NO_DEVICES=1") << QStringLiteral("WLR_RENDERER=pixman")
            << QStringLiteral("PATH=/usr/bin:/bin") << QStringLiteral("sway") << QStringLiteral("-c")
            << config;
    sway_.setProcessChannelMode(QProcess::MergedChannels);
    sway_.start(command.takeFirst(), command);
    if (!sway_.waitForStarted(5000)) {
      *whyNot = QStringLiteral("sway did not start");
      return false;
    }
    const bool up = spinUntil(
        [&] {
          return sway_.state() != QProcess::Running ||
                 !QDir(runtime_.path()).entryList({"wayland-*"}, QDir::System).filter(QRegularExpression("^wayland-\\d+$")).isEmpty();
        },
        15000);
    const QStringList sockets =
        QDir(runtime_.path()).entryList({"wayland-*"}, QDir::System).filter(QRegularExpression("^wayland-\\d+$"));
    if (!up || sockets.isEmpty()) {
      *whyNot = QStringLiteral("sway did not come up: ") + QString::fromUtf8(sway_.readAll().right(400));
      return false;
    }
    socket_ = runtime_.filePath(sockets.first());
    return true;
  }

  ~SwaySession() {
    if (sway_.state() == QProcess::Running) {
      sway_.terminate();
      if (!sway_.waitForFinished(3000)) sway_.kill();
      sway_.waitForFinished(2000);
    }
  }

  // The compositor's socket by its full path, so clients of any user reach it.
  QString socket() const { return socket_; }
  QStringList environment() const {
    return {"WAYLAND_DISPLAY=" + socket_, "XDG_RUNTIME_DIR=" + clientRuntime_.path()};
  }

 private:
  QTemporaryDir runtime_{QDir::tempPath() + QStringLiteral("/quillet-sway-XXXXXX")};
  QTemporaryDir clientRuntime_{QDir::tempPath() + QStringLiteral("/quillet-clients-XXXXXX")};
  QProcess sway_;
  QString socket_;
};

}  // namespace ql::test
