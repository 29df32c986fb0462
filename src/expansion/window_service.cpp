#include "expansion/window_service.h"

#include <cstdio>


namespace ql {
namespace {

// Exactly as printf writes "%.0f" (halves round to even).
QString whole(double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.0f", v);
  return QString::fromLatin1(buffer);
}

QString applicationLabel(const QString& name, qint64 processId) {
  const QString pid = QString::number(processId);
  return name.isEmpty() ? QStringLiteral("((unknown)) (%1)").arg(pid)
                        : QStringLiteral("%1 (%2)").arg(name, pid);
}

}  // namespace

QList<WindowDescription> WindowService::windowList(quint64 windowNumber) const {
  QList<WindowDescription> list;
  for (const WindowInfo& w : windows_.windows(windowNumber)) {
    if (!w.isShared) continue;
    WindowDescription d;
    d.applicationName = applicationLabel(w.ownerName, w.ownerProcessId);
    d.windowOrigin = whole(w.bounds.x()) + u'/' + whole(w.bounds.y());
    d.windowSize = whole(w.bounds.width()) + u'*' + whole(w.bounds.height());
    d.windowID = w.windowId;
    d.windowLevel = w.layer;
    d.windowOrder = int(list.size());
    list.append(d);
  }
  return list;
}

std::optional<WindowDescription> WindowService::getWindowinfo(
    const std::optional<ApplicationInfo>& application,
    const std::optional<QList<WindowDescription>>& windowLists) const {
  if (!application) return std::nullopt;
  const QString label = QStringLiteral("%1 (%2)").arg(application->name).arg(application->processId);
  const QList<WindowDescription> all = windowLists ? *windowLists : windowList(0);
  std::optional<WindowDescription> found;
  for (const WindowDescription& d : all)
    if (d.applicationName == label) found = d;
  return found;
}

}  // namespace ql
