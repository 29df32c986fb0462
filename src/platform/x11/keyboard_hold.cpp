#include "platform/x11/keyboard_hold.h"

#include "platform/log.h"
#include "platform/x11/x11_connection.h"

#include <X11/Xlib.h>

namespace ql {

KeyboardHold::KeyboardHold(X11Connection& connection, QObject* parent)
    : QObject(parent), connection_(connection) {
  subscription_ = connection_.subscribe([this](const XEvent& e) { onEvent(e); });
}

KeyboardHold::~KeyboardHold() {
  end();
  connection_.unsubscribe(subscription_);
}

bool KeyboardHold::grab() {
  const int result = XGrabKeyboard(connection_.display(), connection_.root(), False,
                                   GrabModeAsync, GrabModeAsync, CurrentTime);
  grabbed_ = result == GrabSuccess;
  return grabbed_;
}

bool KeyboardHold::begin() {
  if (active_) return grabbed_;
  active_ = true;
  const bool ok = grab();
  // Stamped after the grab: every later key event came to us.
  spans_.push_back({connection_.serverTime(), 0});
  if (spans_.size() > 32) spans_.erase(spans_.begin());
  if (!ok) log(QStringLiteral("Could not hold the keyboard during an expansion"));
  return ok;
}

void KeyboardHold::end() {
  if (!active_) return;
  if (grabbed_) XUngrabKeyboard(connection_.display(), CurrentTime);
  grabbed_ = false;
  // Everything the grab caught is now in Xlib's queue or on the socket.
  spans_.back().end = connection_.serverTime();
  connection_.dispatchPending();
  active_ = false;
}

bool KeyboardHold::covers(Time t) const {
  for (const Span& s : spans_) {
    if (t >= s.start && (s.end == 0 || t <= s.end)) return true;
  }
  return false;
}

void KeyboardHold::onEvent(const XEvent& event) {
  if (!active_ || (event.type != KeyPress && event.type != KeyRelease)) return;
  const XKeyEvent& k = event.xkey;
  if (sink_) sink_(Key{static_cast<int>(k.keycode), event.type == KeyPress, k.state, k.time});
}

KeyboardHold::Pause::Pause(KeyboardHold& hold) : hold_(hold), resumed_(hold.grabbed_) {
  if (resumed_) {
    XUngrabKeyboard(hold_.connection_.display(), CurrentTime);
    hold_.grabbed_ = false;
  }
}

KeyboardHold::Pause::~Pause() {
  if (resumed_ && hold_.active_) hold_.grab();
}

}  // namespace ql
