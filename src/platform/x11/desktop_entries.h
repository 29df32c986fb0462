#pragma once

#include "platform/workspace.h"

#include <QList>

namespace ql {

// The applications of the XDG desktop entries (applications folders of
// XDG_DATA_HOME and XDG_DATA_DIRS), by the name application rules compare:
// StartupWMClass when the entry has one, else its Name. Hidden entries and
// those not shown are left out; the user's entries win over system ones.
QList<InstalledApplication> desktopApplications();

}  // namespace ql
