#include "expansion/sound_service.h"

namespace ql {

void SoundService::playSound(const QString& name) {
  if (!player_.play(name)) player_.beep();
}

}  // namespace ql
