#include "expansion/system_services.h"

namespace ql {

SystemServices::SystemServices(const Platform& platform)
    : workspace_(*platform.workspace),
      pasteboard_(*platform.pasteboard),
      input_(*platform.input),
      selection_(*platform.accessibility, *platform.workspace),
      windows_(*platform.windowList),
      sound_(*platform.sounds) {}

}  // namespace ql
