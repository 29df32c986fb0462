#pragma once

#include "platform/x11/x11_platform.h"
#include "support/test_files.h"
#include "x_server.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ql::test {

// A fresh X11 platform per test on the process's Xvfb; tests that change
// the layout get the US one back.
class X11Test : public testing::Test {
 protected:
  void SetUp() override {
    QString error;
    x = X11Platform::create({}, &error);
    ASSERT_TRUE(x) << error.toStdString();
  }
  void TearDown() override {
    x.reset();
    if (layoutChanged) run(QStringLiteral("setxkbmap"), {QStringLiteral("us")});
  }

  std::unique_ptr<X11Platform> x;
  bool layoutChanged = false;
};

// An xterm running `cat > FILE`, so what reaches it can be read back.
// Ctrl+Shift+V pastes the clipboard, as in most terminal emulators.
class CatTerminal final {
 public:
  // pastes: Ctrl+Shift+V pastes the clipboard, as Quillet needs; without
  // it (xterm's default) the terminal never fetches an expansion.
  explicit CatTerminal(bool pastes = true)
      : path_(dir_.filePath(QStringLiteral("typed.txt"))), ready_(dir_.filePath(QStringLiteral("ready"))) {
    ::test::writeFile(path_, {});
    QStringList arguments{"-u8", "-geometry", "60x10+10+10"};
    if (pastes)
      arguments << "-xrm" << "*VT100.translations: #override Ctrl Shift <Key>V: insert-selection(CLIPBOARD)";
    arguments << "-e" << "sh" << "-c" << "stty -echo; : > '" + ready_ + "'; exec cat > '" + path_ + "'";
    client_ = std::make_unique<Client>(QStringLiteral("xterm"), arguments);
  }

  // Waits until the window is mapped and its terminal settings are final:
  // keys typed before that are dropped when they change.
  bool waitReady() {
    return waitUntil([&] {
      return (window_ = findWindowByClass("XTerm")) != 0 && QFile::exists(ready_);
    }, 10000);
  }
  unsigned long window() const { return window_; }

  QByteArray contents() const { return ::test::readFile(path_); }
  bool waitForContents(const QByteArray& expected, int timeoutMs = 5000) const {
    return waitUntil([&] { return contents() == expected; }, timeoutMs);
  }

 private:
  QTemporaryDir dir_;
  QString path_;
  QString ready_;
  std::unique_ptr<Client> client_;
  unsigned long window_ = 0;
};

// A private session bus for a test, with the accessibility bus that it
// starts on demand; the environment points at it while it lives.
class SessionBus final {
 public:
  SessionBus() {
    previous_ = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {"--session", "--nofork", "--print-address=1"});
    if (daemon_.waitForStarted(5000) &&
        waitUntil([&] { return daemon_.canReadLine(); }, 5000))
      address_ = daemon_.readLine().trimmed();
    if (!address_.isEmpty()) qputenv("DBUS_SESSION_BUS_ADDRESS", address_);
  }
  ~SessionBus() {
    if (previous_.isEmpty()) {
      qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    } else {
      qputenv("DBUS_SESSION_BUS_ADDRESS", previous_);
    }
    daemon_.terminate();
    daemon_.waitForFinished(3000);
  }
  bool isRunning() const { return !address_.isEmpty(); }

 private:
  QProcess daemon_;
  QByteArray address_;
  QByteArray previous_;
};

}  // namespace ql::test
