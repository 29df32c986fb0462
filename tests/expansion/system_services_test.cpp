#include "expansion/system_services.h"
#include "platform/sim/sim_desktop.h"
#include "support/log_capture.h"

#include <gtest/gtest.h>

using ql::ApplicationInfo;
using ql::KeyRequest;
using ql::SystemServices;
using ql::WindowDescription;
using ql::WindowInfo;
using ql::sim::PostedKey;
using ql::sim::SimDesktop;
namespace keys = ql::keys;
namespace mods = ql::mods;

namespace {

class SystemServicesTest : public testing::Test {
 protected:
  SimDesktop desktop;
  SystemServices services{desktop.platform()};
  LogCapture log;
};

}  // namespace

TEST_F(SystemServicesTest, WindowListDescribesSharedWindowsFrontToBack) {
  auto& all = desktop.windowList().all();
  all.clear();
  all.append(WindowInfo{7, QStringLiteral("Mail"), 300, QRectF(10.4, 20.6, 640, 480.5), 0, true});
  all.append(WindowInfo{8, QStringLiteral("Hidden"), 301, QRectF(0, 0, 1, 1), 0, false});
  all.append(WindowInfo{9, QString(), 302, QRectF(-5, 0, 100, 50), 25, true});
  all.append(WindowInfo{10, QStringLiteral("Mail"), 300, QRectF(1, 2, 3, 4), 0, true});

  const QList<WindowDescription> list = services.windowList(0);
  ASSERT_EQ(list.size(), 3);
  EXPECT_EQ(list[0].applicationName, QStringLiteral("Mail (300)"));
  EXPECT_EQ(list[0].windowOrigin, QStringLiteral("10/21"));
  EXPECT_EQ(list[0].windowSize, QStringLiteral("640*480"));
  EXPECT_EQ(list[0].windowID, 7u);
  EXPECT_EQ(list[0].windowOrder, 0);
  EXPECT_EQ(list[1].applicationName, QStringLiteral("((unknown)) (302)"));
  EXPECT_EQ(list[1].windowOrigin, QStringLiteral("-5/0"));
  EXPECT_EQ(list[1].windowLevel, 25);
  EXPECT_EQ(list[1].windowOrder, 1);
  EXPECT_EQ(list[2].windowOrder, 2);
  EXPECT_EQ(services.windowList(9).size(), 1);

  // The rearmost window of the application.
  const ApplicationInfo mail{QStringLiteral("Mail"), 300, 0};
  EXPECT_EQ(services.getWindowinfo(mail, std::nullopt)->windowID, 10u);
  EXPECT_EQ(services.getWindowinfo(mail, QList<WindowDescription>{list[0]})->windowID, 7u);
  EXPECT_FALSE(services.getWindowinfo(std::nullopt, std::nullopt).has_value());
  EXPECT_FALSE(services.getWindowinfo(ApplicationInfo{QStringLiteral("Mail"), 301, 0}, std::nullopt));
  EXPECT_FALSE(services.getWindowinfo(mail, QList<WindowDescription>{}).has_value());
}

TEST_F(SystemServicesTest, SelectionComesWithItsFrameFromTheBottomLeft) {
  desktop.workspace().setMainScreenGeometry(QRect(0, 0, 1000, 800));
  ql::sim::SimTextField& field = *desktop.focusedField();
  field.frame = QRectF(100, 200, 400, 300);
  field.setText(QStringLiteral("Dear sig"));
  field.select(5, 3);
  QString text;
  const QRectF r = services.getScreenSelectionAndFrame(&text);
  EXPECT_EQ(text, QStringLiteral("sig"));
  EXPECT_EQ(r, QRectF(140, 800 - 200 - 16, 24, 16));
  EXPECT_EQ(ql::SelectionService::flip(r, QRect(0, 0, 1000, 800)), field.boundsOf(5, 3));
  EXPECT_TRUE(log.lines.isEmpty());
}

TEST_F(SystemServicesTest, AnUnknownSoundBeeps) {
  services.playSound(QStringLiteral("complete"));
  services.playSound(QStringLiteral("Glass"));
  services.playSound(QString());
  EXPECT_EQ(desktop.sounds().played(), QStringList{QStringLiteral("complete")});
  EXPECT_EQ(desktop.sounds().beeps(), 2);
}
