#include "platform/x11/x11_error_trap.h"

#include <X11/Xlib.h>

namespace ql {
namespace {

// The innermost live trap's connection and error; one thread, so plain
// variables do.
X11ErrorTrap* current = nullptr;
Display* currentDisplay = nullptr;
int* currentError = nullptr;

using Handler = int (*)(Display*, XErrorEvent*);

int trapHandler(Display* display, XErrorEvent* event) {
  // Only the innermost trap is consulted; an error on another connection
  // has nobody to report to, and Xlib's default handler would end the process.
  if (currentError && display == currentDisplay && *currentError == 0)
    *currentError = event->error_code;
  return 0;
}

}  // namespace

X11ErrorTrap::X11ErrorTrap(Display* display) : display_(display), outer_(current) {
  XSync(display_, False);  // errors of earlier requests are not ours
  current = this;
  currentDisplay = display_;
  currentError = &error_;
  previous_ = reinterpret_cast<void*>(XSetErrorHandler(&trapHandler));
}

X11ErrorTrap::~X11ErrorTrap() {
  XSync(display_, False);
  XSetErrorHandler(reinterpret_cast<Handler>(previous_));
  current = outer_;
  currentDisplay = outer_ ? outer_->display_ : nullptr;
  currentError = outer_ ? &outer_->error_ : nullptr;
}

int X11ErrorTrap::sync() {
  XSync(display_, False);
  return error_;
}

}  // namespace ql
