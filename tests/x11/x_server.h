#pragma once

#include "support/event_loop.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace ql::test {

// A private Xvfb for the test process: started with -displayfd, so no
// display number is guessed, and ended with the process.
class XServer final {
 public:
  XServer() = default;
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  bool start(QString* error);
  QByteArray display() const { return display_; }

 private:
  qint64 pid_ = 0;
  QByteArray display_;
};

// Runs the event loop until the condition holds or timeoutMs passes.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
  return ::test::waitFor(condition, timeoutMs);
}

// Runs the event loop for about ms milliseconds (only where nothing can be
// waited for, e.g. to show that an event does NOT come).
void settle(int ms);

// A third-party X client started for a test and ended with it.
class Client final {
 public:
  Client(const QString& program, const QStringList& arguments,
         const QStringList& extraEnvironment = {});
  ~Client();
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  bool isRunning() const;
  qint64 pid() const;
  QProcess& process() { return process_; }

 private:
  QProcess process_;
};

// Runs a tool to its end; its standard output, or none when it failed.
std::optional<QByteArray> run(const QString& program, const QStringList& arguments,
                              const QByteArray& input = {}, int timeoutMs = 10000);

// The first top-level client window whose WM_CLASS class is cls (0: none).
unsigned long findWindowByClass(const QByteArray& cls);

// Asks the window manager to activate window and waits until it names it
// the active window (it may take its time with a window it is still
// mapping, and a program started meanwhile reads the active window).
bool activateWindow(unsigned long window, int timeoutMs = 10000);

// A window manager for the test that needs one: openbox, or another from
// Debian (xfwm4, which prevents focus stealing).
class WindowManager final {
 public:
  explicit WindowManager(const QString& program = QStringLiteral("openbox"));
  ~WindowManager();
  bool isRunning() const;

 private:
  std::unique_ptr<Client> client_;
};

}  // namespace ql::test
