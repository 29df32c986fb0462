#include "platform/x11/x11_connection.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace ql {
namespace {

// Xlib's default handler ends the process; a window that vanished between
// two requests is an everyday event here, not a fatal one.
int quietErrorHandler(Display*, XErrorEvent*) { return 0; }

Bool isPropertyOn(Display*, XEvent* event, XPointer arg) {
  return event->type == PropertyNotify &&
         event->xproperty.window == *reinterpret_cast<Window*>(arg);
}

}  // namespace

std::unique_ptr<X11Connection> X11Connection::open(const QByteArray& displayName) {
  Display* d = XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData());
  if (!d) return nullptr;
  XSetErrorHandler(&quietErrorHandler);
  return std::unique_ptr<X11Connection>(new X11Connection(d, DisplayString(d)));
}

X11Connection::X11Connection(Display* display, QByteArray name)
    : display_(display), name_(std::move(name)), root_(DefaultRootWindow(display)) {
  int opcode = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
  if (XkbQueryExtension(display_, &opcode, &xkbEventBase_, &error, &major, &minor) != True)
    xkbEventBase_ = -1;

  XSetWindowAttributes attrs{};
  attrs.event_mask = PropertyChangeMask;
  attrs.override_redirect = True;
  helper_ = XCreateWindow(display_, root_, -10, -10, 1, 1, 0, CopyFromParent, InputOnly,
                          CopyFromParent, CWEventMask | CWOverrideRedirect, &attrs);
  if (xkbEventBase_ >= 0) {
    const unsigned mask = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
    XkbSelectEvents(display_, XkbUseCoreKbd, mask, mask);
  }
  XFlush(display_);

  notifier_ = new QSocketNotifier(ConnectionNumber(display_), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &X11Connection::dispatchPending);
  if (auto* dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread()))
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
            &X11Connection::dispatchPending);
}

X11Connection::~X11Connection() {
  delete notifier_;
  if (helper_) XDestroyWindow(display_, helper_);
  XCloseDisplay(display_);
}

int X11Connection::screenWidth() const { return DisplayWidth(display_, DefaultScreen(display_)); }

int X11Connection::screenHeight() const {
  return DisplayHeight(display_, DefaultScreen(display_));
}

Atom X11Connection::atom(const char* name) {
  const QByteArray key(name);
  auto it = atoms_.constFind(key);
  if (it != atoms_.constEnd()) return *it;
  const Atom a = XInternAtom(display_, name, False);
  atoms_.insert(key, a);
  return a;
}

int X11Connection::subscribe(Handler handler) {
  const int id = nextId_++;
  handlers_.emplace(id, std::move(handler));
  return id;
}

void X11Connection::unsubscribe(int id) { handlers_.erase(id); }

void X11Connection::dispatchPending() {
  if (dispatching_) return;  // a handler's round trip must not re-enter
  dispatching_ = true;
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == MappingNotify) {
      XRefreshKeyboardMapping(&event.xmapping);
      Q_EMIT keyboardMappingChanged();
    } else if (xkbEventBase_ >= 0 && event.type == xkbEventBase_) {
      const auto& xkb = reinterpret_cast<const XkbAnyEvent&>(event);
      if (xkb.xkb_type == XkbNewKeyboardNotify || xkb.xkb_type == XkbMapNotify) {
        if (xkb.xkb_type == XkbMapNotify)
          XkbRefreshKeyboardMapping(reinterpret_cast<XkbMapNotifyEvent*>(&event));
        Q_EMIT keyboardMappingChanged();
      }
    }
    // Copy: a handler may unsubscribe itself or others.
    std::vector<int> ids;
    ids.reserve(handlers_.size());
    for (const auto& [id, h] : handlers_) ids.push_back(id);
    for (int id : ids) {
      auto it = handlers_.find(id);
      if (it != handlers_.end()) it->second(event);
    }
  }
  dispatching_ = false;
}

Time X11Connection::serverTime() {
  unsigned char dummy = 0;
  XChangeProperty(display_, helper_, atom("_QUILLET_TIME"), XA_CARDINAL, 8, PropModeReplace,
                  &dummy, 1);
  XEvent event;
  Window w = helper_;
  XIfEvent(display_, &event, &isPropertyOn, reinterpret_cast<XPointer>(&w));
  return event.xproperty.time;
}

}  // namespace ql
