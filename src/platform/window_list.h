#pragma once

#include <QList>
#include <QRectF>
#include <QString>

namespace ql {

// One on-screen window of some application.
struct WindowInfo {
  quint64 windowId = 0;
  QString ownerName;     // empty when the owner has no name
  qint64 ownerProcessId = 0;
  QRectF bounds;         // screen coordinates, top-left origin
  int layer = 0;         // 0 for normal windows, higher above them
  bool isShared = true;  // false: the window must not be listed to others
  bool operator==(const WindowInfo&) const = default;
};

class WindowList {
 public:
  virtual ~WindowList() = default;

  // On-screen windows front to back, without desktop elements. With
  // relativeTo non-zero, only the windows below that one.
  virtual QList<WindowInfo> windows(quint64 relativeTo = 0) const = 0;
};

}  // namespace ql
