#include "support/test_home.h"
#include "x_server.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

// The X11 tests need a QApplication on a real X server, so they have
// their own main: a private Xvfb per test process (CTest may run several at
// once), the xcb platform on it, and a temporary HOME as everywhere else.
int main(int argc, char** argv) {
  bool listing = false;
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--gtest_list_tests", 18) == 0) listing = true;
  testing::InitGoogleTest(&argc, argv);
  if (listing) return RUN_ALL_TESTS();

  QTemporaryDir home;
  test::useTemporaryHome(home);
  setenv("XDG_RUNTIME_DIR", home.path().toUtf8().constData(), 1);
  // Clients and the program share one UTF-8 locale, and the program speaks
  // English whatever language the developer's desktop has.
  setenv("LC_ALL", "C.UTF-8", 1);
  unsetenv("LANGUAGE");

  ql::test::XServer server;
  QString error;
  if (!server.start(&error)) {
    std::fprintf(stderr, "cannot start Xvfb: %s\n", qPrintable(error));
    return 1;
  }
  setenv("DISPLAY", server.display().constData(), 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  unsetenv("WAYLAND_DISPLAY");
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
