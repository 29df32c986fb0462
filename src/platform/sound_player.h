#pragma once

#include <QString>
#include <QStringList>

namespace ql {

// Named system sounds (on Linux: the freedesktop sound theme's files).
class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;

  // The names that play() knows, for the sound menus.
  virtual QStringList soundNames() const = 0;
  // Starts the sound and returns at once. False when the name is unknown.
  virtual bool play(const QString& name) = 0;
  // The system beep.
  virtual void beep() = 0;
};

}  // namespace ql
