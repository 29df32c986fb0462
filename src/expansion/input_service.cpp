#include "expansion/input_service.h"

namespace ql {

void InputService::sendKeyboardEvent(const KeyRequest& request) {
  const auto code = quint16(request.keyCode & 0xFFFF);
  input_.postKey(code, request.modifierFlags, true);
  if (request.sendPress) input_.postKey(code, request.modifierFlags, false);
}

bool InputService::waitForModifiersReleased(int timeoutMs) {
  return input_.waitForModifiersReleased(timeoutMs);
}

}  // namespace ql
