#pragma once

#include "expansion/expansion_executor.h"
#include "expansion/system_services.h"
#include "platform/workspace.h"

namespace ql {

// Notes the application in front as the one to give the focus back to,
// unless it is the program itself.
inline void rememberFrontmostApplication(ExpansionExecutor& executor, SystemServices& services,
                                         Workspace& workspace) {
  executor.lastActiveAppInfo.reset();
  if (services.isAppForeGround())
    executor.lastActiveApp.reset();
  else
    executor.lastActiveApp = workspace.frontmostApplication();
}

}  // namespace ql
