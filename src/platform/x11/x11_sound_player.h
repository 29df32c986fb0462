#pragma once

#include "platform/sound_player.h"

#include <QHash>

struct ca_context;

namespace ql {

class X11Connection;

// Sounds of the freedesktop sound theme folder, played through libcanberra;
// the beep is the X server's bell.
class X11SoundPlayer final : public SoundPlayer {
 public:
  // folders: where the sound files are; empty means the theme's folders
  // in the XDG data directories.
  explicit X11SoundPlayer(X11Connection* connection, QStringList folders = {});
  ~X11SoundPlayer() override;

  QStringList soundNames() const override;
  bool play(const QString& name) override;
  void beep() override;

 private:
  QHash<QString, QString> files() const;

  X11Connection* connection_;
  QStringList folders_;
  ca_context* context_ = nullptr;
};

}  // namespace ql
