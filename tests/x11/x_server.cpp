#include "x_server.h"

#include <QFile>
#include <QTemporaryDir>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcessEnvironment>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ql::test {

XServer::~XServer() {
  if (pid_ > 0) {
    kill(static_cast<pid_t>(pid_), SIGTERM);
    waitpid(static_cast<pid_t>(pid_), nullptr, 0);
  }
}

bool XServer::start(QString* error) {
  int fds[2];
  if (pipe(fds) != 0) {
    *error = QStringLiteral("pipe failed");
    return false;
  }
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) {
    // The server must not outlive a crashed test.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(1);
    close(fds[0]);
    const int devnull = open("/dev/null", O_RDWR);
    dup2(devnull, 1);
    dup2(devnull, 2);
    const QByteArray fd = QByteArray::number(fds[1]);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.constData(), "-screen", "0", "1280x1024x24",
           "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  if (pid < 0) {
    close(fds[0]);
    *error = QStringLiteral("fork failed");
    return false;
  }
  pid_ = pid;
  QByteArray number;
  pollfd p{fds[0], POLLIN, 0};
  QDeadlineTimer deadline(15000);
  while (!number.endsWith('\n') && !deadline.hasExpired()) {
    if (poll(&p, 1, static_cast<int>(deadline.remainingTime())) <= 0) break;
    char c;
    if (read(fds[0], &c, 1) != 1) break;
    number.append(c);
  }
  close(fds[0]);
  if (!number.endsWith('\n')) {
    *error = QStringLiteral("Xvfb did not start (is it installed?)");
    return false;
  }
  display_ = ":" + number.trimmed();
  return true;
}

void settle(int ms) { waitUntil([] { return false; }, ms); }

Client::Client(const QString& program, const QStringList& arguments,
               const QStringList& extraEnvironment) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const QString& kv : extraEnvironment) {
    const qsizetype eq = kv.indexOf(u'=');
    env.insert(kv.left(eq), kv.mid(eq + 1));
  }
  process_.setProcessEnvironment(env);
  process_.setStandardOutputFile(QProcess::nullDevice());
  process_.setStandardErrorFile(QProcess::nullDevice());
  process_.start(program, arguments);
  process_.waitForStarted(5000);
}

Client::~Client() {
  if (process_.state() != QProcess::NotRunning) {
    process_.terminate();
    if (!process_.waitForFinished(3000)) {
      process_.kill();
      process_.waitForFinished(3000);
    }
  }
}

bool Client::isRunning() const { return process_.state() == QProcess::Running; }

qint64 Client::pid() const { return process_.processId(); }

std::optional<QByteArray> run(const QString& program, const QStringList& arguments,
                              const QByteArray& input, int timeoutMs) {
  QProcess p;
  p.start(program, arguments);
  if (!p.waitForStarted(5000)) return std::nullopt;
  if (!input.isEmpty()) p.write(input);
  p.closeWriteChannel();
  // The event loop keeps running: the program under test reacts meanwhile,
  // as it would while a user types.
  if (!waitUntil([&] { return p.state() == QProcess::NotRunning; }, timeoutMs)) {
    p.kill();
    p.waitForFinished();
    return std::nullopt;
  }
  if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) return std::nullopt;
  return p.readAllStandardOutput();
}

namespace {

Window searchClass(Display* d, Window w, const QByteArray& cls, int depth) {
  XClassHint hint{};
  if (XGetClassHint(d, w, &hint)) {
    const bool match = hint.res_class && cls == hint.res_class;
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
    if (match) return w;
  }
  if (depth == 0) return 0;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(d, w, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && !found; ++i) found = searchClass(d, children[i], cls, depth - 1);
  if (children) XFree(children);
  return found;
}

}  // namespace

unsigned long findWindowByClass(const QByteArray& cls) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 0;
  const Window w = searchClass(d, DefaultRootWindow(d), cls, 3);
  XCloseDisplay(d);
  return w;
}

namespace {

Window wmCheckWindow(Display* d, Window w) {
  const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  Window result = 0;
  if (XGetWindowProperty(d, w, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after,
                         &data) == Success &&
      count == 1 && format == 32)
    result = static_cast<Window>(reinterpret_cast<long*>(data)[0]);
  if (data) XFree(data);
  return result;
}

int ignoreErrors(Display*, XErrorEvent*) { return 0; }

// Running: the root names a check window that names itself (a window
// manager that has gone may leave the root property behind).
bool windowManagerRunning() {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return false;
  auto previous = XSetErrorHandler(&ignoreErrors);
  const Window check = wmCheckWindow(d, DefaultRootWindow(d));
  // Openbox names its check window before it redirects the root window's
  // map requests; a window mapped in between would stay unmanaged.
  XWindowAttributes attrs{};
  XGetWindowAttributes(d, DefaultRootWindow(d), &attrs);
  const bool running = check && wmCheckWindow(d, check) == check &&
                       (attrs.all_event_masks & SubstructureRedirectMask);
  XSync(d, False);
  XSetErrorHandler(previous);
  XCloseDisplay(d);
  return running;
}

}  // namespace

bool activateWindow(unsigned long window, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < timeoutMs) {
    run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QString::number(window)});
    const bool active = waitUntil([&] {
      const auto id = run(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")});
      return id && id->trimmed().toULong() == window;
    }, 1000);
    if (active) return true;
  }
  return false;
}

WindowManager::WindowManager(const QString& program) {
  if (program != QStringLiteral("openbox")) {
    // No session manager, no compositor: a plain window manager.
    client_ = std::make_unique<Client>(
        program, QStringList{QStringLiteral("--compositor=off"), QStringLiteral("--sm-client-disable")});
    waitUntil([&] { return windowManagerRunning(); }, 10000);
    return;
  }
  // Openbox names its check window before it is ready to manage new
  // windows; the command it runs once started is the reliable signal.
  QTemporaryDir dir;
  const QString ready = dir.filePath(QStringLiteral("ready"));
  client_ = std::make_unique<Client>(
      QStringLiteral("openbox"),
      QStringList{QStringLiteral("--sm-disable"), QStringLiteral("--startup"),
                  QStringLiteral("touch '%1'").arg(ready)});
  waitUntil([&] { return QFile::exists(ready) && windowManagerRunning(); }, 10000);
}

WindowManager::~WindowManager() {
  client_.reset();
  // The root property outlives openbox only until the server notices the
  // check window is gone; wait so the next test starts clean.
  waitUntil([] { return !windowManagerRunning(); }, 5000);
}

bool WindowManager::isRunning() const { return windowManagerRunning(); }

}  // namespace ql::test
