#pragma once

#include "platform/sound_player.h"

#include <QString>

namespace ql {

// The expansion sound.
class SoundService final {
 public:
  explicit SoundService(SoundPlayer& player) : player_(player) {}

  // Plays the named system sound, or beeps when there is none of that name.
  void playSound(const QString& name);

 private:
  SoundPlayer& player_;
};

}  // namespace ql
