#pragma once

#include "platform/window_list.h"
#include "platform/x11/window_properties.h"

namespace ql {

class X11Connection;

// The window list on _NET_CLIENT_LIST_STACKING (the top-level children of
// the root window without a window manager), front to back, with the
// WM_CLASS class and _NET_WM_PID of each window's owner.
class X11WindowList final : public WindowList {
 public:
  explicit X11WindowList(X11Connection& connection);

  QList<WindowInfo> windows(quint64 relativeTo = 0) const override;

 private:
  QList<Window> stackingBottomToTop() const;
  int layerOf(Window w) const;

  X11Connection& connection_;
  WindowProperties props_;
};

}  // namespace ql
