#pragma once

#include "platform/log.h"

#include <QByteArray>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdlib>

namespace test {

// Tests never touch the real user's files: HOME and the XDG folders point
// into home for the whole run, and the log stays quiet unless a test
// captures it.
inline void useTemporaryHome(const QTemporaryDir& home) {
  const QByteArray h = home.path().toUtf8();
  setenv("HOME", h.constData(), 1);
  setenv("XDG_DATA_HOME", (h + "/.local/share").constData(), 1);
  setenv("XDG_CONFIG_HOME", (h + "/.config").constData(), 1);
  setenv("XDG_CACHE_HOME", (h + "/.cache").constData(), 1);
  QStandardPaths::setTestModeEnabled(false);
  ql::setLogSink([](const QString&) {});
}

}  // namespace test
