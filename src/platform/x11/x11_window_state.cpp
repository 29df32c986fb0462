#include "platform/x11/x11_window_state.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QList>
#include <QPointer>
#include <QWindow>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace ql {
namespace {

constexpr long kRemove = 0;
constexpr long kAdd = 1;
constexpr long kSourceApplication = 1;

// Qt's own connection: the window's map request travels on it, and what is
// sent after it on the same connection reaches the server after it.
Display* qtDisplay() {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->display() : nullptr;
}

}  // namespace

void X11WindowState::setSkips(QWindow* window, bool skipTaskbar, bool skipPager) {
  if (!window) return;
  const Wanted wanted{skipTaskbar, skipPager};
  if (!wanted_.contains(window)) {
    window->installEventFilter(this);
    connect(window, &QObject::destroyed, this, [this, window] { wanted_.remove(window); });
  }
  wanted_.insert(window, wanted);
  if (!window->handle()) return;  // written when it is first shown
  if (window->isVisible())
    sendRequests(window, wanted);
  else
    writeProperty(window, wanted);
}

bool X11WindowState::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Show) return false;
  auto* window = qobject_cast<QWindow*>(watched);
  if (!window || !wanted_.contains(window)) return false;
  // The show event comes before Qt maps the window; the requests follow
  // once it has (the next turn of the event loop).
  writeProperty(window, wanted_.value(window));
  QMetaObject::invokeMethod(
      this,
      [this, guard = QPointer<QWindow>(window)] {
        if (guard && guard->isVisible() && wanted_.contains(guard))
          sendRequests(guard, wanted_.value(guard));
      },
      Qt::QueuedConnection);
  return false;
}

void X11WindowState::writeProperty(QWindow* window, const Wanted& wanted) {
  Display* d = qtDisplay();
  if (!d || !window->handle()) return;
  const auto w = static_cast<::Window>(window->winId());
  const Atom state = XInternAtom(d, "_NET_WM_STATE", False);
  const Atom taskbar = XInternAtom(d, "_NET_WM_STATE_SKIP_TASKBAR", False);
  const Atom pager = XInternAtom(d, "_NET_WM_STATE_SKIP_PAGER", False);
  // Other states (above, modal...) are Qt's; keep them.
  QList<Atom> atoms;
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, w, state, 0, 1024, False, XA_ATOM, &type, &format, &count, &after,
                         &data) == Success &&
      type == XA_ATOM && format == 32 && data) {
    const auto* list = reinterpret_cast<const Atom*>(data);
    for (unsigned long i = 0; i < count; ++i)
      if (list[i] != taskbar && list[i] != pager) atoms.append(list[i]);
  }
  if (data) XFree(data);
  if (wanted.taskbar) atoms.append(taskbar);
  if (wanted.pager) atoms.append(pager);
  XChangeProperty(d, w, state, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(atoms.constData()), int(atoms.size()));
  XFlush(d);
}

void X11WindowState::sendRequests(QWindow* window, const Wanted& wanted) {
  Display* d = qtDisplay();
  if (!d || !window->handle()) return;
  const auto w = static_cast<::Window>(window->winId());
  const Atom state = XInternAtom(d, "_NET_WM_STATE", False);
  const auto send = [&](const char* name, bool on) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = state;
    e.xclient.format = 32;
    e.xclient.data.l[0] = on ? kAdd : kRemove;
    e.xclient.data.l[1] = long(XInternAtom(d, name, False));
    e.xclient.data.l[2] = 0;
    e.xclient.data.l[3] = kSourceApplication;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &e);
  };
  send("_NET_WM_STATE_SKIP_TASKBAR", wanted.taskbar);
  send("_NET_WM_STATE_SKIP_PAGER", wanted.pager);
  XFlush(d);
}

}  // namespace ql
