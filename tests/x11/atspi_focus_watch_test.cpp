// The AT-SPI focus watch against a fake application on a private bus: the
// answer follows the last focus event, a late or missing answer never
// leaves a stale one, and it holds only while its application is in front.
#include "fake_atspi_bus.h"
#include "platform/log.h"
#include "platform/workspace.h"
#include "platform/x11/atspi_focus_watch.h"
#include "x_server.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace ql::test {
namespace {

constexpr uint kPasswordText = 40;
constexpr uint kEntry = 79;
const QString kPassword = QStringLiteral("/org/a11y/atspi/accessible/1");
const QString kPlain = QStringLiteral("/org/a11y/atspi/accessible/2");
const QString kSilent = QStringLiteral("/org/a11y/atspi/accessible/3");

class FrontWorkspace final : public Workspace {
 public:
  ApplicationInfo front{QStringLiteral("Fake"), QCoreApplication::applicationPid(), 1};
  ApplicationInfo frontmostApplication() const override { return front; }
  qint64 ownProcessId() const override { return 1; }
  bool activate(const ApplicationInfo&) override { return true; }
  void activateProgram() override {}
  QRect mainScreenGeometry() const override { return {}; }
  QList<InstalledApplication> installedApplications() const override { return {}; }
  void bringToFront(const ApplicationInfo& application) {
    front = application;
    Q_EMIT applicationActivated(application);
  }
};

class FocusWatchTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bus.isRunning());
    bus.application().roles = {{kPassword, kPasswordText}, {kPlain, kEntry}};
    watch = std::make_unique<AtSpiFocusWatch>(workspace, 250);
    ASSERT_TRUE(waitUntil([&] { return watch->isWatching(); }));
    QObject::connect(watch.get(), &PasswordFocus::passwordFieldChanged, [this](bool p) { changes.append(p); });
  }
  // The focus event went out; true once the watch says password.
  bool focusAndWait(const QString& path, bool focused, bool expected) {
    bus.focus(path, focused);
    return waitUntil([&] { return watch->isPasswordField() == expected; }, 3000);
  }

  FakeAtSpiBus bus;
  FrontWorkspace workspace;
  std::unique_ptr<AtSpiFocusWatch> watch;
  QList<bool> changes;
};

TEST_F(FocusWatchTest, TheAnswerFollowsTheFocusAndItsApplication) {
  EXPECT_FALSE(watch->isPasswordField());
  ASSERT_TRUE(focusAndWait(kPassword, true, true));
  ASSERT_TRUE(focusAndWait(kPlain, true, false));
  ASSERT_TRUE(focusAndWait(kPassword, true, true));
  // Leaving it says so; a focus lost elsewhere changes nothing.
  bus.focus(kPlain, false);
  ASSERT_TRUE(focusAndWait(kPassword, false, false));
  EXPECT_EQ(changes, (QList<bool>{true, false, true, false}));

  // Another application in front takes no part in AT-SPI: the field's
  // answer is not its answer, and it is again once its own comes back.
  ASSERT_TRUE(focusAndWait(kPassword, true, true));
  const ApplicationInfo own = workspace.front;
  workspace.bringToFront({QStringLiteral("XTerm"), own.processId + 1, 2});
  EXPECT_FALSE(watch->isPasswordField());
  workspace.bringToFront(own);
  EXPECT_TRUE(watch->isPasswordField());
  // A front without a process id (Wayland) cannot be matched: the answer
  // goes with the front.
  workspace.bringToFront({QStringLiteral("foot"), 0, 0});
  EXPECT_FALSE(watch->isPasswordField());
  workspace.bringToFront(own);
  EXPECT_FALSE(watch->isPasswordField());
}

TEST_F(FocusWatchTest, LateAnswersOfAnEarlierFocusAndElementsThatNeverAnswerLeaveNoPassword) {
  bus.application().holdReplies = true;
  bus.focus(kPlain, true);
  bus.focus(kPassword, true);
  bus.focus(kPlain, true);
  ASSERT_TRUE(waitUntil([&] { return bus.application().heldCount() == 3; }, 3000));
  // The password field's answer comes last, after the focus has moved on.
  bus.application().release({0, 2, 1});
  QCoreApplication::processEvents();
  EXPECT_FALSE(waitUntil([&] { return watch->isPasswordField(); }, 300));
  EXPECT_TRUE(changes.isEmpty());

  bus.application().holdReplies = false;
  ASSERT_TRUE(focusAndWait(kPassword, true, true));
  // An element that never answers counts as no password once the bound
  // has passed; the keys were never held for it.
  ASSERT_TRUE(focusAndWait(kSilent, true, false));
  EXPECT_FALSE(waitUntil([&] { return watch->isPasswordField(); }, 500));
  EXPECT_EQ(changes.size(), 2);
}

TEST(FocusWatchWithoutBus, SaysOnceThatPasswordFieldsAreNotToldApart) {
  const QByteArray previous = qgetenv("DBUS_SESSION_BUS_ADDRESS");
  qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quillet-test-bus");
  QStringList lines;
  const LogSink before = setLogSink([&](const QString& line) { lines.append(line); });
  FrontWorkspace workspace;
  {
    AtSpiFocusWatch watch(workspace);
    QList<bool> ready;
    QObject::connect(&watch, &AtSpiFocusWatch::ready, [&](bool watching) { ready.append(watching); });
    ASSERT_TRUE(waitUntil([&] { return !ready.isEmpty(); }));
    EXPECT_EQ(ready, QList<bool>{false});
    EXPECT_FALSE(watch.isWatching());
    EXPECT_FALSE(watch.isPasswordField());
  }
  setLogSink(before);
  qputenv("DBUS_SESSION_BUS_ADDRESS", previous);
  EXPECT_EQ(lines.size(), 1) << lines.join(QLatin1Char('\n')).toStdString();
}

}  // namespace
}  // namespace ql::test
