#include "platform/x11/keyboard_hold.h"

#include "platform/log.h"
#include "platform/x11/x11_connection.h"

#include <X11/Xlib.h>

namespace ql {

KeyboardHold::KeyboardHold(X11Connection& connection, QObject* parent)
    : QObject(parent), connection_(connection) {}

KeyboardHold::~KeyboardHold() { end(); }

bool KeyboardHold::grab() {
  const int result = XGrabKeyboard(connection_.display(), connection_.root(), False,
                                   GrabModeAsync, GrabModeAsync, CurrentTime);
  grabbed_ = result == GrabSuccess;
  ++markersSent_;
  grabResults_.push_back(grabbed_);
  return grabbed_;
}

void KeyboardHold::ungrab() {
  XUngrabKeyboard(connection_.display(), CurrentTime);
  ++markersSent_;
  grabbed_ = false;
}

bool KeyboardHold::takeGrabResult() {
  if (grabResults_.empty()) return false;
  const bool took = grabResults_.front();
  grabResults_.pop_front();
  return took;
}

bool KeyboardHold::begin() {
  if (active_) return grabbed_;
  active_ = true;
  Q_EMIT activeChanged(true);
  const bool ok = grab();
  if (!ok) log(QStringLiteral("Could not hold the keyboard during an expansion"));
  return ok;
}

void KeyboardHold::end() {
  if (!active_) return;
  active_ = false;
  if (grabbed_) {
    ungrab();
    XFlush(connection_.display());
  }
  Q_EMIT activeChanged(false);
}

KeyboardHold::Pause::Pause(KeyboardHold& hold) : hold_(hold), resumed_(hold.grabbed_) {
  if (resumed_) hold_.ungrab();
}

KeyboardHold::Pause::~Pause() {
  if (resumed_ && hold_.active_) hold_.grab();
}

}  // namespace ql
