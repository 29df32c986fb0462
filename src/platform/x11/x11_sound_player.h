#pragma once

#include "platform/sound_player.h"

#include <QHash>

struct ca_context;

namespace ql {

class X11Connection;

// Sounds of the freedesktop sound theme folder, played through libcanberra;
// the beep is the X server's bell. The system sound names stored in
// preferences and groups ("Basso", "Glass"...) play the theme sound closest
// to them; theme names play as they are.
class X11SoundPlayer final : public SoundPlayer {
 public:
  // folders: where the sound files are; empty means the theme's folders
  // in the XDG data directories.
  explicit X11SoundPlayer(X11Connection* connection, QStringList folders = {});
  ~X11SoundPlayer() override;

  // The playable names: the system names the theme can stand in for, then
  // the theme's own.
  QStringList soundNames() const override;
  // False only for a name that is neither a system name nor a theme sound.
  bool play(const QString& name) override;
  void beep() override;

  static bool isSystemSoundName(const QString& name);

 private:
  QHash<QString, QString> files() const;
  static QString fileFor(const QString& name, const QHash<QString, QString>& files);

  X11Connection* connection_;
  QStringList folders_;
  ca_context* context_ = nullptr;
  bool reportedFailure_ = false;
};

}  // namespace ql
