#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>

#include "platform/x11/x11_types.h"

#include <functional>
#include <map>
#include <memory>

class QSocketNotifier;

namespace ql {

// One Xlib connection whose events are read on the Qt main loop: a socket
// notifier for what arrives, and a check before the loop sleeps for what
// Xlib already pulled into its queue during a round trip (the socket would
// not wake us for those). Services share it and subscribe to its events.
class X11Connection final : public QObject {
  Q_OBJECT

 public:
  // Empty name: $DISPLAY. Null when the server cannot be reached.
  static std::unique_ptr<X11Connection> open(const QByteArray& displayName = {});
  ~X11Connection() override;

  Display* display() const { return display_; }
  Window root() const { return root_; }
  int screenWidth() const;
  int screenHeight() const;
  QByteArray displayName() const { return name_; }
  Atom atom(const char* name);

  // First XKB event code, or -1 when the server has no XKB.
  int xkbEventBase() const { return xkbEventBase_; }

  using Handler = std::function<void(const XEvent&)>;
  int subscribe(Handler handler);
  void unsubscribe(int id);

  // Handles every event Xlib has read or can read without blocking.
  void dispatchPending();

  // The server's clock now (a property change round trip on a window of
  // ours). Events stamped up to this moment were generated before the call.
  Time serverTime();

  // A small unmapped window of ours, for property round trips and as a
  // selection or grab anchor.
  Window helperWindow() const { return helper_; }

 Q_SIGNALS:
  // The keyboard map changed (layout switch, remapped key); reread it.
  void keyboardMappingChanged();

 private:
  X11Connection(Display* display, QByteArray name);

  Display* display_;
  QByteArray name_;
  Window root_;
  Window helper_ = 0;
  int xkbEventBase_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  QHash<QByteArray, Atom> atoms_;
  std::map<int, Handler> handlers_;
  int nextId_ = 1;
  bool dispatching_ = false;
};

}  // namespace ql
