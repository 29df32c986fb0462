#pragma once

#include "platform/x11/x11_types.h"

namespace ql {

// Catches the X errors of the requests made while it lives, instead of the
// process-wide handler (which may be Xlib's default one that exits). Used
// where an error is an answer, e.g. BadAccess for a key another client holds.
class X11ErrorTrap final {
 public:
  explicit X11ErrorTrap(Display* display);
  ~X11ErrorTrap();
  X11ErrorTrap(const X11ErrorTrap&) = delete;
  X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

  // Waits until the server has handled every request so far; returns the
  // first error code seen since the trap was set, or 0 (Success).
  int sync();

 private:
  Display* display_;
  void* previous_;  // the handler to restore
  X11ErrorTrap* outer_;
  int error_ = 0;
};

}  // namespace ql
