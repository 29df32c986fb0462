#include "platform/x11/x11_window_list.h"

#include "platform/x11/x11_connection.h"

#include <X11/Xlib.h>

namespace ql {
namespace {

// Window levels as the design's window list reports them.
constexpr int kLayerBelow = -1;
constexpr int kLayerNormal = 0;
constexpr int kLayerAbove = 3;
constexpr int kLayerDock = 20;

}  // namespace

X11WindowList::X11WindowList(X11Connection& connection)
    : connection_(connection), props_(connection) {}

QList<Window> X11WindowList::stackingBottomToTop() const {
  if (props_.hasWindowManager())
    return props_.windows(connection_.root(), "_NET_CLIENT_LIST_STACKING");
  QList<Window> result;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (XQueryTree(connection_.display(), connection_.root(), &root, &parent, &children, &count)) {
    for (unsigned i = 0; i < count; ++i)
      if (props_.wmClass(children[i])) result.append(children[i]);
  }
  if (children) XFree(children);
  return result;
}

int X11WindowList::layerOf(Window w) const {
  const QList<Atom> types = props_.atoms(w, "_NET_WM_WINDOW_TYPE");
  if (types.contains(connection_.atom("_NET_WM_WINDOW_TYPE_DOCK"))) return kLayerDock;
  const QList<Atom> state = props_.atoms(w, "_NET_WM_STATE");
  if (state.contains(connection_.atom("_NET_WM_STATE_ABOVE"))) return kLayerAbove;
  if (state.contains(connection_.atom("_NET_WM_STATE_BELOW"))) return kLayerBelow;
  return kLayerNormal;
}

QList<WindowInfo> X11WindowList::windows(quint64 relativeTo) const {
  const QList<Window> stacking = stackingBottomToTop();
  const Atom desktop = connection_.atom("_NET_WM_WINDOW_TYPE_DESKTOP");
  const Atom hidden = connection_.atom("_NET_WM_STATE_HIDDEN");
  QList<WindowInfo> result;
  bool below = relativeTo == 0;
  for (auto it = stacking.crbegin(); it != stacking.crend(); ++it) {
    const Window w = *it;
    if (!below) {
      below = w == relativeTo;
      continue;
    }
    if (!props_.isViewable(w)) continue;
    if (props_.atoms(w, "_NET_WM_WINDOW_TYPE").contains(desktop)) continue;
    if (props_.atoms(w, "_NET_WM_STATE").contains(hidden)) continue;
    WindowInfo info;
    info.windowId = w;
    if (const auto cls = props_.wmClass(w)) info.ownerName = cls->second;
    info.ownerProcessId = props_.pid(w);
    info.bounds = props_.geometry(w);
    info.layer = layerOf(w);
    result.append(info);
  }
  return result;
}

}  // namespace ql
