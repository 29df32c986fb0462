#include "platform/sim/sim_window_list.h"

namespace ql::sim {

QList<WindowInfo> SimWindowList::windows(quint64 relativeTo) const {
  if (relativeTo == 0) return windows_;
  for (qsizetype i = 0; i < windows_.size(); ++i)
    if (windows_[i].windowId == relativeTo) return windows_.mid(i + 1);
  return {};
}

void SimWindowList::removeWindowsOf(qint64 processId) {
  windows_.removeIf([processId](const WindowInfo& w) { return w.ownerProcessId == processId; });
}

void SimWindowList::raise(qint64 processId) {
  QList<WindowInfo> front;
  QList<WindowInfo> rest;
  for (const WindowInfo& w : windows_) (w.ownerProcessId == processId ? front : rest).append(w);
  windows_ = front + rest;
}

}  // namespace ql::sim
