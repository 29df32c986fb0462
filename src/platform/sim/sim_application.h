#pragma once

#include "platform/sim/sim_text_field.h"
#include "platform/workspace.h"

#include <QString>

namespace ql::sim {

// A running simulated application with its focused text field.
struct SimApplication {
  QString name;
  qint64 processId = 0;
  quint64 windowId = 0;  // its main window in the window list
  bool hasTextField = true;  // false: nothing focused accepts text (e.g. a terminal-less viewer)
  SimTextField field;

  ApplicationInfo info() const { return ApplicationInfo{name, processId, windowId}; }
};

}  // namespace ql::sim
