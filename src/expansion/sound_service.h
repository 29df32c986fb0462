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
  // The names playSound plays, for the sound menus (group editor,
  // preferences).
  QStringList soundNames() const { return player_.soundNames(); }

 private:
  SoundPlayer& player_;
};

}  // namespace ql
