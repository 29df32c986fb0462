#pragma once

#include <QList>
#include <QRect>
#include <QString>

#include <optional>

#include "platform/x11/x11_types.h"

namespace ql {

class X11Connection;

// Reading the properties of other clients' windows. Every call copes with a
// window that vanished meanwhile (the answer is then empty).
class WindowProperties final {
 public:
  explicit WindowProperties(X11Connection& connection) : connection_(connection) {}

  std::optional<Window> window(Window w, const char* property) const;
  QList<Window> windows(Window w, const char* property) const;
  std::optional<unsigned long> cardinal(Window w, const char* property) const;
  QList<Atom> atoms(Window w, const char* property) const;
  // WM_CLASS: the instance name and the class.
  std::optional<std::pair<QString, QString>> wmClass(Window w) const;
  QString title(Window w) const;
  qint64 pid(Window w) const;

  bool exists(Window w) const;
  bool isViewable(Window w) const;
  // The window's frame on screen, root coordinates (the WM frame around
  // it is left out).
  QRect geometry(Window w) const;
  // Walks up from w (e.g. the focus window) to the top-level client window,
  // the one carrying WM_CLASS; 0 when there is none.
  Window clientWindow(Window w) const;

  // Whether an EWMH window manager runs.
  bool hasWindowManager() const;

 private:
  QByteArray raw(Window w, const char* property, Atom type, int* format,
                 unsigned long* count) const;

  X11Connection& connection_;
};

}  // namespace ql
