#include "platform/sim/sim_sound_player.h"

namespace ql::sim {

bool SimSoundPlayer::play(const QString& name) {
  if (!names_.contains(name)) return false;
  played_.append(name);
  return true;
}

void SimSoundPlayer::clearLog() {
  played_.clear();
  beeps_ = 0;
}

}  // namespace ql::sim
