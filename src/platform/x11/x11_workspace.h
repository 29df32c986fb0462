#pragma once

#include "platform/workspace.h"
#include "platform/x11/window_properties.h"
#include "platform/x11/x11_window_state.h"

class QTimer;

namespace ql {

class X11Connection;

// The workspace on EWMH: the frontmost application is the owner of
// _NET_ACTIVE_WINDOW (name: WM_CLASS class, pid: _NET_WM_PID), and changes
// of that root property are the activation notifications. Without a
// window manager the input focus stands in, looked at on a short timer.
class X11Workspace final : public Workspace {
  Q_OBJECT

 public:
  explicit X11Workspace(X11Connection& connection, QObject* parent = nullptr);
  ~X11Workspace() override;

  ApplicationInfo frontmostApplication() const override;
  qint64 ownProcessId() const override;
  bool activate(const ApplicationInfo& application) override;
  void activateProgram() override;
  QRect mainScreenGeometry() const override;
  QList<InstalledApplication> installedApplications() const override;
  void setSkipsTaskbar(QObject* window, bool skipTaskbar, bool skipPager) override;

  // The application owning a top-level client window.
  ApplicationInfo applicationOf(Window client) const;

 private:
  ApplicationInfo current() const;
  void refresh();
  bool activateWindow(Window w);

  X11Connection& connection_;
  WindowProperties props_;
  int subscription_ = 0;
  QTimer* focusPoll_ = nullptr;
  ApplicationInfo front_;
  X11WindowState windowState_;
};

}  // namespace ql
