#include "platform/log.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

// Widget tests need a QApplication (offscreen); otherwise as the shared
// main: a temporary HOME for the whole run and a silent log.
int main(int argc, char** argv) {
  QTemporaryDir home;
  const QByteArray h = home.path().toUtf8();
  setenv("HOME", h.constData(), 1);
  setenv("XDG_DATA_HOME", (h + "/.local/share").constData(), 1);
  setenv("XDG_CONFIG_HOME", (h + "/.config").constData(), 1);
  setenv("XDG_CACHE_HOME", (h + "/.cache").constData(), 1);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QStandardPaths::setTestModeEnabled(false);
  ql::setLogSink([](const QString&) {});
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
