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
namespace {

// The system sounds the stored preferences and groups name, each with the
// theme sounds that come closest, best first (older themes lack some).
const QList<std::pair<QString, QStringList>>& systemSounds() {
  static const QList<std::pair<QString, QStringList>> table{
      {QStringLiteral("Basso"), {QStringLiteral("dialog-error"), QStringLiteral("bell")}},
      {QStringLiteral("Blow"), {QStringLiteral("message-new-instant"), QStringLiteral("message")}},
      {QStringLiteral("Bottle"), {QStringLiteral("dialog-information"), QStringLiteral("message")}},
      {QStringLiteral("Frog"), {QStringLiteral("dialog-warning"), QStringLiteral("bell")}},
      {QStringLiteral("Funk"), {QStringLiteral("suspend-error"), QStringLiteral("dialog-error")}},
      {QStringLiteral("Glass"), {QStringLiteral("complete"), QStringLiteral("bell")}},
      {QStringLiteral("Hero"), {QStringLiteral("service-login"), QStringLiteral("complete")}},
      {QStringLiteral("Morse"), {QStringLiteral("message"), QStringLiteral("message-new-instant")}},
      {QStringLiteral("Ping"), {QStringLiteral("bell"), QStringLiteral("complete")}},
      {QStringLiteral("Pop"), {QStringLiteral("audio-volume-change"), QStringLiteral("message")}},
      {QStringLiteral("Purr"), {QStringLiteral("device-added"), QStringLiteral("power-plug")}},
      {QStringLiteral("Sosumi"), {QStringLiteral("window-question"), QStringLiteral("dialog-warning")}},
      {QStringLiteral("Submarine"),
       {QStringLiteral("network-connectivity-established"), QStringLiteral("device-added")}},
      {QStringLiteral("Tink"), {QStringLiteral("camera-shutter"), QStringLiteral("audio-volume-change")}},
  };
  return table;
}

const QStringList* themeSoundsFor(const QString& systemName) {
  for (const auto& [name, candidates] : systemSounds())
    if (name == systemName) return &candidates;
  return nullptr;
}

}  // namespace

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

QString X11SoundPlayer::fileFor(const QString& name, const QHash<QString, QString>& files) {
  if (const auto it = files.constFind(name); it != files.cend()) return *it;
  if (const QStringList* candidates = themeSoundsFor(name)) {
    for (const QString& candidate : *candidates)
      if (const auto it = files.constFind(candidate); it != files.cend()) return *it;
  }
  return {};
}

bool X11SoundPlayer::isSystemSoundName(const QString& name) {
  return themeSoundsFor(name) != nullptr;
}

QStringList X11SoundPlayer::soundNames() const {
  const QHash<QString, QString> byName = files();
  QStringList names;
  for (const auto& entry : systemSounds())
    if (!fileFor(entry.first, byName).isEmpty()) names.append(entry.first);
  QStringList theme = byName.keys();
  std::sort(theme.begin(), theme.end());
  return names + theme;
}

bool X11SoundPlayer::play(const QString& name) {
  const QString path = fileFor(name, files());
  // A system sound the theme lacks is silence, not the bell: the user did
  // not choose a bell.
  if (path.isEmpty()) return isSystemSoundName(name);
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
  if (result != CA_SUCCESS && !reportedFailure_) {
    // No sound device: nothing is heard and nothing else happens. Said
    // once, not at every expansion.
    reportedFailure_ = true;
    logError(QStringLiteral("playSound"), QString::fromUtf8(ca_strerror(result)));
  }
  return true;
}

void X11SoundPlayer::beep() {
  if (!connection_) return;
  XkbBell(connection_->display(), None, 0, None);
  XFlush(connection_->display());
}

}  // namespace ql
