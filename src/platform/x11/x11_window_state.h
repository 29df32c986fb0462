#pragma once

#include <QHash>
#include <QObject>

class QWindow;

namespace ql {

// The EWMH taskbar and pager hints (_NET_WM_STATE_SKIP_TASKBAR,
// _NET_WM_STATE_SKIP_PAGER) of the program's own windows. The window
// manager drops _NET_WM_STATE when a window is hidden, so the hints are
// written again each time the window is shown: into the property while the
// window is still unmapped (the manager reads it when it takes the window
// on), and as a _NET_WM_STATE request to the root window once it is mapped,
// for managers that only listen to requests. Both go out on Qt's own
// connection, so they reach the server after the map request.
class X11WindowState final : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  void setSkips(QWindow* window, bool skipTaskbar, bool skipPager);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Wanted {
    bool taskbar = false;
    bool pager = false;
  };
  void writeProperty(QWindow* window, const Wanted& wanted);
  void sendRequests(QWindow* window, const Wanted& wanted);

  QHash<QWindow*, Wanted> wanted_;
};

}  // namespace ql
