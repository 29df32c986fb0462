#include "platform/x11/x11_workspace.h"

#include "platform/x11/desktop_entries.h"
#include "platform/x11/x11_connection.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <X11/Xlib.h>

#include <unistd.h>

namespace ql {
namespace {

constexpr int kFocusPollMs = 150;
constexpr long kSourcePager = 2;  // EWMH: the request comes from a pager-like tool

}  // namespace

X11Workspace::X11Workspace(X11Connection& connection, QObject* parent)
    : Workspace(parent), connection_(connection), props_(connection) {
  Display* d = connection_.display();
  XWindowAttributes attrs{};
  XGetWindowAttributes(d, connection_.root(), &attrs);
  XSelectInput(d, connection_.root(), attrs.your_event_mask | PropertyChangeMask);
  XFlush(d);
  const Atom active = connection_.atom("_NET_ACTIVE_WINDOW");
  const Atom check = connection_.atom("_NET_SUPPORTING_WM_CHECK");
  subscription_ = connection_.subscribe([this, active, check](const XEvent& e) {
    if (e.type == PropertyNotify && e.xproperty.window == connection_.root() &&
        (e.xproperty.atom == active || e.xproperty.atom == check)) {
      refresh();
    }
  });
  // Without a window manager nothing announces focus changes to others.
  focusPoll_ = new QTimer(this);
  focusPoll_->setInterval(kFocusPollMs);
  connect(focusPoll_, &QTimer::timeout, this, &X11Workspace::refresh);
  refresh();
}

X11Workspace::~X11Workspace() { connection_.unsubscribe(subscription_); }

ApplicationInfo X11Workspace::applicationOf(Window client) const {
  ApplicationInfo info;
  if (!client) return info;
  info.windowId = client;
  info.processId = props_.pid(client);
  if (const auto cls = props_.wmClass(client)) info.name = cls->second;
  return info;
}

ApplicationInfo X11Workspace::current() const {
  if (props_.hasWindowManager()) {
    const auto active = props_.window(connection_.root(), "_NET_ACTIVE_WINDOW");
    return applicationOf(active ? props_.clientWindow(*active) : 0);
  }
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(connection_.display(), &focus, &revert);
  if (focus == PointerRoot || focus == None) return {};
  return applicationOf(props_.clientWindow(focus));
}

void X11Workspace::refresh() {
  const bool managed = props_.hasWindowManager();
  if (managed && focusPoll_->isActive()) focusPoll_->stop();
  if (!managed && !focusPoll_->isActive()) focusPoll_->start();
  const ApplicationInfo now = current();
  if (now == front_) return;
  const ApplicationInfo previous = front_;
  front_ = now;
  if (previous.isValid()) Q_EMIT applicationDeactivated(previous);
  if (now.isValid()) Q_EMIT applicationActivated(now);
}

ApplicationInfo X11Workspace::frontmostApplication() const {
  // The cached answer follows the notifications; between two of them (and
  // without a window manager) ask the server.
  return focusPoll_->isActive() ? current() : front_;
}

qint64 X11Workspace::ownProcessId() const { return QCoreApplication::applicationPid(); }

bool X11Workspace::activateWindow(Window w) {
  Display* d = connection_.display();
  if (props_.hasWindowManager()) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = connection_.atom("_NET_ACTIVE_WINDOW");
    e.xclient.format = 32;
    e.xclient.data.l[0] = kSourcePager;
    e.xclient.data.l[1] = static_cast<long>(connection_.serverTime());
    XSendEvent(d, connection_.root(), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &e);
  } else {
    XRaiseWindow(d, w);
    XSetInputFocus(d, w, RevertToParent, CurrentTime);
  }
  XFlush(d);
  return true;
}

bool X11Workspace::activate(const ApplicationInfo& application) {
  Window target = 0;
  if (application.windowId && props_.exists(application.windowId)) {
    target = application.windowId;
  } else if (application.processId) {
    // The recorded window is gone: any window of the same process will do.
    const QList<Window> clients = props_.windows(connection_.root(), "_NET_CLIENT_LIST_STACKING");
    for (auto it = clients.crbegin(); it != clients.crend() && !target; ++it)
      if (props_.pid(*it) == application.processId) target = *it;
  }
  if (!target) return false;
  return activateWindow(target);
}

void X11Workspace::activateProgram() {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
  QWindow* chosen = QGuiApplication::focusWindow();
  if (!chosen) {
    for (QWindow* w : QGuiApplication::topLevelWindows())
      if (w->isVisible() && !(w->flags() & Qt::ToolTip)) chosen = w;
  }
  if (chosen) activateWindow(static_cast<Window>(chosen->winId()));
}

void X11Workspace::setSkipsTaskbar(QObject* window, bool skipTaskbar, bool skipPager) {
  windowState_.setSkips(qobject_cast<QWindow*>(window), skipTaskbar, skipPager);
}

QRect X11Workspace::mainScreenGeometry() const {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    if (const QScreen* screen = QGuiApplication::primaryScreen()) return screen->geometry();
  return QRect(0, 0, connection_.screenWidth(), connection_.screenHeight());
}

QList<InstalledApplication> X11Workspace::installedApplications() const {
  // The windows open now name the programs that started them, and add the
  // programs no desktop entry lists.
  QList<RunningApplication> running;
  QList<Window> clients = props_.windows(connection_.root(), "_NET_CLIENT_LIST");
  if (clients.isEmpty()) {
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(connection_.display(), connection_.root(), &rootReturn, &parent, &children,
                   &count)) {
      for (unsigned int i = 0; i < count; ++i)
        if (props_.isViewable(children[i])) clients.append(children[i]);
      if (children) XFree(children);
    }
  }
  const qint64 own = ownProcessId();
  for (const Window w : clients) {
    const auto cls = props_.wmClass(w);
    if (!cls || cls->second.isEmpty()) continue;
    const qint64 pid = props_.pid(w);
    if (pid == own) continue;
    QString program;
    if (pid > 0)
      program = QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid))).fileName();
    running.append({cls->second, cls->first, program});
  }
  return desktopApplications(running);
}

}  // namespace ql
