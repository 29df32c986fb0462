#pragma once

// A headless KWin for the test (kwin_wayland --virtual), under a D-Bus
// session of its own, as the unprivileged user the sway tests use.
//
// KWin hands org_kde_kwin_fake_input only to some clients. As KWin 5.27
// decides it (src/wayland_server.cpp, KWinDisplay::allowInterface, and
// src/utils/serviceutils.h): it takes the client's pid from the socket,
// reads /proc/PID/exe (possible only for processes of its own user, so
// every client that types runs as that user), and looks for an application
// desktop entry, through KService in its XDG data folders, whose Exec's first
// word resolves to that very path; that entry's X-KDE-Wayland-Interfaces
// (comma-separated) must name the interface. It then checks that the file
// at the path is the running executable (same SHA-256). The entries are
// written before KWin starts, which reads them into its service cache.
#include "sway_session.h"

#include <QFileInfo>

namespace ql::test {

class KwinSession final {
 public:
  static constexpr const char* kUser = SwaySession::kUser;

  // False with the reason the session cannot be had here.
  bool start(QString* whyNot) {
    const QString kwin = QStandardPaths::findExecutable(QStringLiteral("kwin_wayland"));
    if (kwin.isEmpty()) {
      *whyNot = QStringLiteral("kwin_wayland is not installed (scripts/packages.txt lists kwin-wayland)");
      return false;
    }
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-run-session")).isEmpty()) {
      *whyNot = QStringLiteral("dbus-run-session is missing (package dbus)");
      return false;
    }
    if (!runtime_.isValid() || !clientRuntime_.isValid()) {
      *whyNot = QStringLiteral("no temporary folder");
      return false;
    }
    // The installed binary carries a file capability (cap_sys_resource)
    // that a sandbox without new privileges refuses to start; a copy has
    // none. It keeps its name: KWin finds its platform plugin by it.
    const QString copy = runtime_.filePath(QStringLiteral("bin/kwin_wayland"));
    QDir().mkpath(runtime_.filePath(QStringLiteral("bin")));
    if (!QFile::copy(kwin, copy)) {
      *whyNot = QStringLiteral("cannot copy kwin_wayland");
      return false;
    }
    const QString applications = runtime_.filePath(QStringLiteral(".local/share/applications"));
    QDir().mkpath(applications);
    QFile entry(QStringLiteral(QUILLET_KWIN_DESKTOP_ENTRY));
    if (!entry.open(QIODevice::ReadOnly)) {
      *whyNot = QStringLiteral("the package's KWin desktop entry is missing");
      return false;
    }
    // The package's own entry, naming the program under test.
    QByteArray quilletEntry = entry.readAll();
    quilletEntry.replace("@QUILLET_BINDIR@/quillet", QFile::encodeName(canonical(QStringLiteral(QUILLET_PROGRAM))));
    writeFile(applications + QStringLiteral("/com.orrerylabs.Quillet.kwin.desktop"), quilletEntry);
    writeFile(applications + QStringLiteral("/quillet-fake-keys.desktop"),
              "[Desktop Entry]\nType=Application\nName=Quillet test keyboard\nNoDisplay=true\nExec=" +
                  QFile::encodeName(canonical(QStringLiteral(QUILLET_FAKE_KEYS))) +
                  "\nX-KDE-Wayland-Interfaces=org_kde_kwin_fake_input\n");
    if (::geteuid() == 0) {
      if (!::getpwnam(kUser)) {
        QProcess::execute(QStringLiteral("useradd"),
                          {"--system", "--no-create-home", "--shell", "/usr/sbin/nologin", kUser});
      }
      const passwd* user = ::getpwnam(kUser);
      if (!user) {
        *whyNot = QStringLiteral("running as root and no unprivileged user could be created for KWin");
        return false;
      }
      if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty()) {
        *whyNot = QStringLiteral("setpriv (util-linux) is missing to start KWin as another user");
        return false;
      }
      uid_ = user->pw_uid;
      gid_ = user->pw_gid;
      asUser_ = {QStringLiteral("setpriv"), QStringLiteral("--reuid=%1").arg(uid_),
                 QStringLiteral("--regid=%1").arg(gid_), QStringLiteral("--clear-groups")};
    }
    // KWin runs Quillet and the test keyboard as its own user, and finds
    // them by their paths: a build inside a folder only root may enter
    // (a clone under /root) cannot be tested here.
    if (!asUser_.isEmpty()) {
      QStringList check = asUser_;
      check << QStringLiteral("test") << QStringLiteral("-x") << canonical(QStringLiteral(QUILLET_PROGRAM))
            << QStringLiteral("-a") << QStringLiteral("-x") << canonical(QStringLiteral(QUILLET_FAKE_KEYS));
      if (QProcess::execute(check.takeFirst(), check) != 0) {
        *whyNot = QStringLiteral("KWin's test user cannot run the programs under test in %1: build in a folder "
                                 "other users may enter")
                      .arg(QFileInfo(canonical(QStringLiteral(QUILLET_PROGRAM))).path());
        return false;
      }
    }
    giveToUser(runtime_.path());
    giveToUser(clientRuntime_.path());
    ::chmod(QFile::encodeName(runtime_.path()).constData(), 0700);
    ::chmod(QFile::encodeName(clientRuntime_.path()).constData(), 0700);
    const QString bus = runtime_.filePath(QStringLiteral("bus"));
    QStringList command = asUser_;
    command << QStringLiteral("env") << QStringLiteral("-i") << "XDG_RUNTIME_DIR=" + runtime_.path()
            << "HOME=" + runtime_.path() << QStringLiteral("PATH=/usr/bin:/bin") << QStringLiteral("dbus-run-session")
            << QStringLiteral("--") << QStringLiteral("sh") << QStringLiteral("-c")
            << QStringLiteral("echo \"$DBUS_SESSION_BUS_ADDRESS\" > \"$0\"; exec \"$1\" --virtual --no-lockscreen "
                              "--no-global-shortcuts --no-kactivities --socket wayland-quillet "
                              "--width 1280 --height 720")
            << bus << copy;
    kwin_.setProcessChannelMode(QProcess::MergedChannels);
    kwin_.start(command.takeFirst(), command);
    if (!kwin_.waitForStarted(5000)) {
      *whyNot = QStringLiteral("KWin did not start");
      return false;
    }
    socket_ = runtime_.filePath(QStringLiteral("wayland-quillet"));
    const bool up = spinUntil(
        [&] {
          return kwin_.state() != QProcess::Running ||
                 (QFileInfo(socket_).exists() && QFileInfo(bus).size() > 0);
        },
        30000);
    if (!up || kwin_.state() != QProcess::Running) {
      *whyNot = QStringLiteral("KWin did not come up: ") + QString::fromUtf8(kwin_.readAll().right(600));
      return false;
    }
    QFile busFile(bus);
    busFile.open(QIODevice::ReadOnly);
    busAddress_ = QString::fromUtf8(busFile.readAll().trimmed());
    return true;
  }

  ~KwinSession() {
    if (kwin_.state() == QProcess::Running) {
      // dbus-run-session ends its bus once KWin, its child, is gone.
      kwin_.terminate();
      if (!kwin_.waitForFinished(5000)) kwin_.kill();
      kwin_.waitForFinished(2000);
    }
  }

  QString socket() const { return socket_; }
  QString busAddress() const { return busAddress_; }
  // What runs a program as KWin's user (nothing when the test is that user).
  QStringList asUser() const { return asUser_; }
  void giveToUser(const QString& path) const {
    if (::geteuid() != 0 || asUser_.isEmpty()) return;
    QProcess::execute(QStringLiteral("chown"), {"-R", QStringLiteral("%1:%2").arg(uid_).arg(gid_), path});
  }
  QStringList environment() const {
    return {"WAYLAND_DISPLAY=" + socket_, "XDG_RUNTIME_DIR=" + clientRuntime_.path(),
            "DBUS_SESSION_BUS_ADDRESS=" + busAddress_};
  }

 private:
  static QString canonical(const QString& path) { return QFileInfo(path).canonicalFilePath(); }
  static void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(data);
  }

  QTemporaryDir runtime_{QDir::tempPath() + QStringLiteral("/quillet-kwin-XXXXXX")};
  QTemporaryDir clientRuntime_{QDir::tempPath() + QStringLiteral("/quillet-clients-XXXXXX")};
  QProcess kwin_;
  QStringList asUser_;
  uid_t uid_ = 0;
  gid_t gid_ = 0;
  QString socket_;
  QString busAddress_;
};

}  // namespace ql::test
