#include "platform/x11/x11_sound_player.h"

#include "platform/log.h"
#include "platform/x11/x11_connection.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <canberra.h>

#include <algorithm>

namespace ql {

X11SoundPlayer::X11SoundPlayer(X11Connection* connection, QStringList folders)
    : connection_(connection), folders_(std::move(folders)) {
  if (folders_.isEmpty()) {
    folders_ = QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                         QStringLiteral("sounds/freedesktop/stereo"),
                                         QStandardPaths::LocateDirectory);
  }
}

X11SoundPlayer::~X11SoundPlayer() {
  if (context_) ca_context_destroy(context_);
}

QHash<QString, QString> X11SoundPlayer::files() const {
  QHash<QString, QString> byName;
  for (const QString& folder : folders_) {
    const QFileInfoList entries =
        QDir(folder).entryInfoList({QStringLiteral("*.oga"), QStringLiteral("*.ogg"),
                                    QStringLiteral("*.wav")},
                                   QDir::Files | QDir::Readable);
    for (const QFileInfo& f : entries) {
      const QString name = f.completeBaseName();
      if (!byName.contains(name)) byName.insert(name, f.absoluteFilePath());
    }
  }
  return byName;
}

QStringList X11SoundPlayer::soundNames() const {
  QStringList names = files().keys();
  std::sort(names.begin(), names.end());
  return names;
}

bool X11SoundPlayer::play(const QString& name) {
  const QString path = files().value(name);
  if (path.isEmpty()) return false;
  if (!context_) {
    if (ca_context_create(&context_) != CA_SUCCESS) {
      context_ = nullptr;
    } else {
      ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, "Quillet",
                              CA_PROP_APPLICATION_ID, "quillet", nullptr);
    }
  }
  int result = CA_ERROR_NOTAVAILABLE;
  if (context_) {
    const QByteArray file = QFile::encodeName(path);
    const QByteArray id = name.toUtf8();
    result = ca_context_play(context_, 0, CA_PROP_MEDIA_FILENAME, file.constData(),
                             CA_PROP_EVENT_ID, id.constData(), CA_PROP_CANBERRA_CACHE_CONTROL,
                             "volatile", nullptr);
  }
  if (result != CA_SUCCESS) {
    // The name is known but there is no way to play it (no sound device):
    // the user still hears something.
    logError(QStringLiteral("playSound"), QString::fromUtf8(ca_strerror(result)));
    beep();
  }
  return true;
}

void X11SoundPlayer::beep() {
  if (!connection_) return;
  XkbBell(connection_->display(), None, 0, None);
  XFlush(connection_->display());
}

}  // namespace ql
