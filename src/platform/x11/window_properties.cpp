#include "platform/x11/window_properties.h"

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_error_trap.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace ql {

QByteArray WindowProperties::raw(Window w, const char* property, Atom type, int* format,
                                 unsigned long* count) const {
  Display* d = connection_.display();
  Atom actualType = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  *count = 0;
  *format = 0;
  if (!w || XGetWindowProperty(d, w, connection_.atom(property), 0, 1 << 16, False, type,
                               &actualType, format, count, &after, &data) != Success) {
    return {};
  }
  QByteArray bytes;
  if (data && *count > 0) {
    // Xlib hands 32-bit items as longs.
    const int unit = *format == 32 ? sizeof(long) : *format / 8;
    bytes = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(*count) * unit);
  }
  if (data) XFree(data);
  if (type != AnyPropertyType && actualType != type) {
    *count = 0;
    return {};
  }
  return bytes;
}

std::optional<Window> WindowProperties::window(Window w, const char* property) const {
  const QList<Window> all = windows(w, property);
  if (all.isEmpty()) return std::nullopt;
  return all.first();
}

QList<Window> WindowProperties::windows(Window w, const char* property) const {
  int format = 0;
  unsigned long count = 0;
  const QByteArray bytes = raw(w, property, XA_WINDOW, &format, &count);
  QList<Window> result;
  if (format != 32) return result;
  const auto* items = reinterpret_cast<const long*>(bytes.constData());
  for (unsigned long i = 0; i < count; ++i) result.append(static_cast<Window>(items[i]));
  return result;
}

std::optional<unsigned long> WindowProperties::cardinal(Window w, const char* property) const {
  int format = 0;
  unsigned long count = 0;
  const QByteArray bytes = raw(w, property, XA_CARDINAL, &format, &count);
  if (format != 32 || count < 1) return std::nullopt;
  return static_cast<unsigned long>(reinterpret_cast<const long*>(bytes.constData())[0]);
}

QList<Atom> WindowProperties::atoms(Window w, const char* property) const {
  int format = 0;
  unsigned long count = 0;
  const QByteArray bytes = raw(w, property, XA_ATOM, &format, &count);
  QList<Atom> result;
  if (format != 32) return result;
  const auto* items = reinterpret_cast<const long*>(bytes.constData());
  for (unsigned long i = 0; i < count; ++i) result.append(static_cast<Atom>(items[i]));
  return result;
}

std::optional<std::pair<QString, QString>> WindowProperties::wmClass(Window w) const {
  int format = 0;
  unsigned long count = 0;
  const QByteArray bytes = raw(w, "WM_CLASS", XA_STRING, &format, &count);
  if (format != 8 || bytes.isEmpty()) return std::nullopt;
  const QList<QByteArray> parts = bytes.split('\0');
  const QString instance = QString::fromLocal8Bit(parts.value(0));
  const QString cls = QString::fromLocal8Bit(parts.value(1));
  return std::make_pair(instance, cls.isEmpty() ? instance : cls);
}

QString WindowProperties::title(Window w) const {
  int format = 0;
  unsigned long count = 0;
  QByteArray bytes = raw(w, "_NET_WM_NAME", connection_.atom("UTF8_STRING"), &format, &count);
  if (!bytes.isEmpty()) return QString::fromUtf8(bytes);
  bytes = raw(w, "WM_NAME", AnyPropertyType, &format, &count);
  return QString::fromLocal8Bit(bytes);
}

qint64 WindowProperties::pid(Window w) const {
  const auto p = cardinal(w, "_NET_WM_PID");
  return p ? static_cast<qint64>(*p) : 0;
}

bool WindowProperties::exists(Window w) const {
  if (!w) return false;
  XWindowAttributes attrs{};
  X11ErrorTrap trap(connection_.display());
  return XGetWindowAttributes(connection_.display(), w, &attrs) != 0 && trap.sync() == 0;
}

bool WindowProperties::isViewable(Window w) const {
  XWindowAttributes attrs{};
  if (!w || !XGetWindowAttributes(connection_.display(), w, &attrs)) return false;
  return attrs.map_state == IsViewable;
}

QRect WindowProperties::geometry(Window w) const {
  Display* d = connection_.display();
  XWindowAttributes attrs{};
  if (!w || !XGetWindowAttributes(d, w, &attrs)) return {};
  int x = 0, y = 0;
  Window child = 0;
  if (!XTranslateCoordinates(d, w, connection_.root(), 0, 0, &x, &y, &child)) return {};
  return QRect(x, y, attrs.width, attrs.height);
}

Window WindowProperties::clientWindow(Window w) const {
  Display* d = connection_.display();
  for (int depth = 0; w && w != connection_.root() && depth < 32; ++depth) {
    if (wmClass(w)) return w;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count)) return 0;
    if (children) XFree(children);
    w = parent;
  }
  return 0;
}

bool WindowProperties::hasWindowManager() const {
  const auto check = window(connection_.root(), "_NET_SUPPORTING_WM_CHECK");
  if (!check || !*check) return false;
  // A stale property from a window manager that has gone points nowhere.
  const auto self = window(*check, "_NET_SUPPORTING_WM_CHECK");
  return self && *self == *check;
}

}  // namespace ql
