#pragma once

#include "platform/window_list.h"

namespace ql::sim {

// On-screen windows, front to back. The desktop adds one window per
// application and raises an application's windows when it comes to the front.
class SimWindowList final : public WindowList {
 public:
  QList<WindowInfo> windows(quint64 relativeTo = 0) const override;

  // Puts a window in front of all others.
  void addWindow(const WindowInfo& window) { windows_.prepend(window); }
  void removeWindowsOf(qint64 processId);
  // Moves every window of the process to the front, keeping their order.
  void raise(qint64 processId);
  QList<WindowInfo>& all() { return windows_; }

 private:
  QList<WindowInfo> windows_;
};

}  // namespace ql::sim
