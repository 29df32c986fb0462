#include "platform/x11/keyboard_hold.h"

#include "platform/log.h"
#include "platform/x11/x11_connection.h"

#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <cstdlib>

namespace ql {

KeyboardHold::KeyboardHold(X11Connection& connection, QObject* parent)
    : QObject(parent), connection_(connection) {}

KeyboardHold::~KeyboardHold() {
  end();
  forgetGrabResults();
  release(current_);
}

bool KeyboardHold::grab() {
  const int result = XGrabKeyboard(connection_.display(), connection_.root(), False,
                                   GrabModeAsync, GrabModeAsync, CurrentTime);
  release(current_);
  current_ = std::make_shared<GrabResult>(GrabResult{false, 0, result == GrabSuccess});
  ++markersSent_;
  grabResults_.push_back(current_);
  return current_->took;
}

void KeyboardHold::grabLater() {
  xcb_connection_t* c = XGetXCBConnection(connection_.display());
  const xcb_grab_keyboard_cookie_t cookie =
      xcb_grab_keyboard(c, 0, static_cast<xcb_window_t>(connection_.root()), XCB_CURRENT_TIME,
                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
  release(current_);
  current_ = std::make_shared<GrabResult>(GrabResult{true, cookie.sequence, false});
  ++markersSent_;
  grabResults_.push_back(current_);
}

bool KeyboardHold::resolve(GrabResult& result) const {
  if (!result.pending) return result.took;
  xcb_connection_t* c = XGetXCBConnection(connection_.display());
  xcb_grab_keyboard_reply_t* reply =
      xcb_grab_keyboard_reply(c, xcb_grab_keyboard_cookie_t{result.sequence}, nullptr);
  result.took = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
  std::free(reply);
  result.pending = false;
  return result.took;
}

void KeyboardHold::release(GrabPtr& result) const {
  if (result && result.use_count() == 1 && result->pending)
    xcb_discard_reply(XGetXCBConnection(connection_.display()), result->sequence);
  result.reset();
}

void KeyboardHold::ungrab() {
  XUngrabKeyboard(connection_.display(), CurrentTime);
  ++markersSent_;
  release(current_);
}

bool KeyboardHold::isGrabbed() const { return current_ && resolve(*current_); }

bool KeyboardHold::takeGrabResult() {
  if (grabResults_.empty()) return false;
  GrabPtr front = std::move(grabResults_.front());
  grabResults_.pop_front();
  const bool took = resolve(*front);
  return took;
}

void KeyboardHold::forgetGrabResults() {
  while (!grabResults_.empty()) {
    GrabPtr front = std::move(grabResults_.front());
    grabResults_.pop_front();
    release(front);
  }
}

bool KeyboardHold::begin() {
  if (active_) return isGrabbed();
  active_ = true;
  Q_EMIT activeChanged(true);
  const bool ok = grab();
  if (!ok) log(QStringLiteral("Could not hold the keyboard during an expansion"));
  return ok;
}

void KeyboardHold::end() {
  if (!active_) return;
  active_ = false;
  // A grab still under way is undone too; an ungrab without one is harmless.
  if (current_) {
    ungrab();
    XFlush(connection_.display());
  }
  Q_EMIT activeChanged(false);
}

KeyboardHold::Pause::Pause(KeyboardHold& hold)
    : hold_(hold), resumed_(hold.current_ && (hold.current_->pending || hold.current_->took)) {
  // A grab still under way counts as taken: ungrabbing is harmless if it
  // failed, and asking would cost a round trip.
  if (resumed_) hold_.ungrab();
}

KeyboardHold::Pause::~Pause() {
  if (resumed_ && hold_.active_) hold_.grabLater();
}

}  // namespace ql
