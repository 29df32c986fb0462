#pragma once

#include "platform/window_list.h"
#include "platform/workspace.h"

#include <QList>
#include <QString>

#include <optional>

namespace ql {

// One on-screen window as windowList describes it; the fields are the
// description's keys.
struct WindowDescription {
  QString applicationName;  // "Name (pid)", or "((unknown)) (pid)"
  QString windowOrigin;     // "x/y"
  QString windowSize;       // "width*height"
  quint64 windowID = 0;
  int windowLevel = 0;
  int windowOrder = 0;      // position among the listed windows, front first
  bool operator==(const WindowDescription&) const = default;
};

// The windows of the desktop and of one application.
class WindowService final {
 public:
  explicit WindowService(WindowList& windows) : windows_(windows) {}

  // The shared on-screen windows, front to back, relative to windowNumber
  // (0: all).
  QList<WindowDescription> windowList(quint64 windowNumber) const;
  // The rearmost window of the application among the given descriptions
  // (or all windows when none are given); none when it has none.
  std::optional<WindowDescription> getWindowinfo(
      const std::optional<ApplicationInfo>& application,
      const std::optional<QList<WindowDescription>>& windowLists) const;

 private:
  WindowList& windows_;
};

}  // namespace ql
