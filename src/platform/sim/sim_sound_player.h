#pragma once

#include "platform/sound_player.h"

namespace ql::sim {

// Plays nothing; remembers what was asked.
class SimSoundPlayer final : public SoundPlayer {
 public:
  QStringList soundNames() const override { return names_; }
  bool play(const QString& name) override;
  void beep() override { ++beeps_; }

  void setSoundNames(const QStringList& names) { names_ = names; }
  const QStringList& played() const { return played_; }
  int beeps() const { return beeps_; }
  void clearLog();

 private:
  QStringList names_{QStringLiteral("bell"), QStringLiteral("complete"),
                     QStringLiteral("message"), QStringLiteral("dialog-information")};
  QStringList played_;
  int beeps_ = 0;
};

}  // namespace ql::sim
