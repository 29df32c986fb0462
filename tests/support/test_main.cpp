#include "platform/log.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

// Tests never touch the real user's files: HOME and the XDG folders point
// into a temporary folder for the whole run.
int main(int argc, char** argv) {
  QTemporaryDir home;
  const QByteArray h = home.path().toUtf8();
  setenv("HOME", h.constData(), 1);
  setenv("XDG_DATA_HOME", (h + "/.local/share").constData(), 1);
  setenv("XDG_CONFIG_HOME", (h + "/.config").constData(), 1);
  setenv("XDG_CACHE_HOME", (h + "/.cache").constData(), 1);
  QStandardPaths::setTestModeEnabled(false);
  // Keep test output free of syslog traffic unless a test captures it.
  ql::setLogSink([](const QString&) {});
  QCoreApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
