#pragma once

#include <QRect>
#include <QString>

#include <optional>

namespace ql {

// The session bus as the environment names it now, never a bus started
// for the purpose (libdbus would try to launch one for this X display).
// Empty when there is none.
QString atSpiSessionBusAddress();

// Asks the accessibility bus (AT-SPI over D-Bus) where the focused text
// element of a process has its selection, or its caret when nothing is
// selected. Every call is bounded: a slow or huge accessible tree, a
// missing bus or an application that does not take part all mean "not
// known", and the caller estimates instead.
class AtSpiReader final {
 public:
  explicit AtSpiReader(int budgetMs = 300) : budgetMs_(budgetMs) {}

  // Screen rectangle (top-left origin) of the selection or caret of the
  // focused element of process pid.
  std::optional<QRect> focusedTextBounds(qint64 pid) const;

  struct Caret {
    QRect bounds;  // the `before` characters ahead of the caret, or the caret
    std::optional<QString> lineBefore;  // the caret's line up to it
  };
  // The caret of the focused text element of process pid, read without
  // touching the text.
  std::optional<Caret> focusedCaret(qint64 pid, int before) const;

 private:
  int budgetMs_;
};

}  // namespace ql
