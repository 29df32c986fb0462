#include "support/test_home.h"

#include <QApplication>

#include <gtest/gtest.h>

// Widget tests need a QApplication, on the offscreen platform unless told otherwise.
int main(int argc, char** argv) {
  QTemporaryDir home;
  test::useTemporaryHome(home);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
