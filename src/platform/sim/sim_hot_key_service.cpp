#include "platform/sim/sim_hot_key_service.h"

#include "platform/keys.h"

namespace ql::sim {

SimHotKeyService::Combination SimHotKeyService::combination(quint16 keyCode, quint64 modifierFlags) {
  constexpr quint64 kRoles = mods::Command | mods::Option | mods::Control | mods::Shift;
  return Combination{keyCode, modifierFlags & kRoles};
}

bool SimHotKeyService::registerHotKey(quint32 id, quint16 keyCode, quint64 modifierFlags) {
  const Combination c = combination(keyCode, modifierFlags);
  if (registered_.contains(id) || reserved_.contains(c)) return false;
  registered_.insert(id, c);
  return true;
}

void SimHotKeyService::unregisterHotKey(quint32 id) { registered_.remove(id); }

void SimHotKeyService::reserve(quint16 keyCode, quint64 modifierFlags) {
  reserved_.append(combination(keyCode, modifierFlags));
}

bool SimHotKeyService::press(quint16 keyCode, quint64 modifierFlags, qint64 timestamp) {
  const Combination c = combination(keyCode, modifierFlags);
  for (auto it = registered_.cbegin(); it != registered_.cend(); ++it) {
    if (it.value() == c) {
      Q_EMIT hotKeyPressed(it.key(), modifierFlags, timestamp);
      return true;
    }
  }
  return false;
}

}  // namespace ql::sim
