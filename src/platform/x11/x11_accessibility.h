#pragma once

#include "platform/accessibility.h"
#include "platform/x11/atspi_reader.h"
#include "platform/x11/window_properties.h"

#include <QMetaObject>

#include <chrono>

namespace ql {

class X11Connection;
class XTestKeyboard;

// The focused element's selection on X11: its text is the PRIMARY
// selection, which toolkits publish as soon as something is selected (the
// caller selects with the selection keys first). Its place on screen comes
// from AT-SPI where the application takes part, else it is a best
// estimate: the pointer when it is over the focused window, else the
// middle of that window.
class X11Accessibility final : public Accessibility {
 public:
  X11Accessibility(X11Connection& connection, XTestKeyboard& keyboard);
  ~X11Accessibility() override;
  X11Accessibility(const X11Accessibility&) = delete;
  X11Accessibility& operator=(const X11Accessibility&) = delete;

  bool hasAssistiveAccess() const override;
  QString missingAccess() const override;
  FocusedSelection focusedSelection() override;
  // From AT-SPI where the application takes part, else the estimate.
  CaretPlace focusedCaret(int before) override;

 private:
  Window focusedClient() const;
  // The pointer when it is over the client's window, else the window's
  // middle; empty when the window's place is unknown.
  QRectF estimate(Window client) const;
  void waitForFreshSelection();

  X11Connection& connection_;
  XTestKeyboard& keyboard_;
  WindowProperties props_;
  AtSpiReader atspi_;
  QMetaObject::Connection clipboardWatch_;
  quint64 selectionChanges_ = 0;
  std::chrono::steady_clock::time_point lastChange_{};
};

}  // namespace ql
