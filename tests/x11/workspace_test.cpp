// The workspace under a real window manager: the active application, the
// window list, and the program's own windows kept out of the taskbar (the
// manager drops that hint whenever a window is hidden).
#include "platform/x11/window_properties.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_window_list.h"
#include "platform/x11/x11_workspace.h"
#include "x11_fixture.h"

#include <QWindow>

#include <X11/Xlib.h>

namespace ql {
namespace {

using test::Client;
using test::waitUntil;

std::unique_ptr<Client> xterm(const QString& cls, const QString& geometry) {
  return std::make_unique<Client>(QStringLiteral("xterm"),
                                  QStringList{"-class", cls, "-geometry", geometry, "-e", "sleep", "60"});
}

class WorkspaceTest : public test::X11Test {
 protected:
  Workspace& workspace() { return x->workspace(); }
  bool frontIs(const QString& name) { return workspace().frontmostApplication().name == name; }
};

TEST_F(WorkspaceTest, FollowsTheActiveApplicationAcrossTwoWindows) {
  test::WindowManager wm;
  ASSERT_TRUE(wm.isRunning());
  QList<ApplicationInfo> activated, deactivated;
  QObject::connect(&workspace(), &Workspace::applicationActivated,
                   [&](const ApplicationInfo& a) { activated.append(a); });
  QObject::connect(&workspace(), &Workspace::applicationDeactivated,
                   [&](const ApplicationInfo& a) { deactivated.append(a); });

  auto one = xterm(QStringLiteral("FirstTerm"), QStringLiteral("40x5+0+0"));
  ASSERT_TRUE(waitUntil([&] { return frontIs(QStringLiteral("FirstTerm")); }));
  const ApplicationInfo first = workspace().frontmostApplication();
  EXPECT_EQ(first.processId, one->pid());
  EXPECT_NE(first.windowId, 0u);

  auto two = xterm(QStringLiteral("SecondTerm"), QStringLiteral("40x5+300+200"));
  ASSERT_TRUE(waitUntil([&] { return frontIs(QStringLiteral("SecondTerm")); }));
  const ApplicationInfo second = workspace().frontmostApplication();
  EXPECT_EQ(second.processId, two->pid());
  EXPECT_FALSE(workspace().isProgramFrontmost());

  // The window list runs front to back, placed where the windows asked to be.
  const QList<WindowInfo> windows = x->windowList().windows();
  ASSERT_GE(windows.size(), 2);
  EXPECT_EQ(windows[0].ownerName, QStringLiteral("SecondTerm"));
  EXPECT_EQ(windows[0].ownerProcessId, two->pid());
  EXPECT_EQ(windows[1].ownerName, QStringLiteral("FirstTerm"));
  EXPECT_EQ(windows[0].layer, 0);
  EXPECT_TRUE(windows[0].bounds.intersects(QRectF(300, 200, 50, 50)));
  const QList<WindowInfo> below = x->windowList().windows(windows[0].windowId);
  ASSERT_FALSE(below.isEmpty());
  EXPECT_EQ(below[0].ownerName, QStringLiteral("FirstTerm"));

  // The program's own window in front, and the other application back.
  QWindow own;
  own.setGeometry(400, 400, 200, 100);
  own.show();
  workspace().activateProgram();
  ASSERT_TRUE(waitUntil([&] { return workspace().isProgramFrontmost(); }));
  EXPECT_EQ(workspace().frontmostApplication().processId, workspace().ownProcessId());
  ASSERT_TRUE(workspace().activate(second));
  ASSERT_TRUE(waitUntil([&] { return frontIs(QStringLiteral("SecondTerm")); }));
  own.hide();

  // Bringing the first back, as after a popup of the program.
  ASSERT_TRUE(workspace().activate(first));
  ASSERT_TRUE(waitUntil([&] { return frontIs(QStringLiteral("FirstTerm")); }));
  ASSERT_TRUE(waitUntil([&] { return !activated.isEmpty() && activated.last() == first; }));
  EXPECT_TRUE(deactivated.contains(second));

  // The recorded window is gone: another of the same process stands in,
  // and with none left the activation fails.
  ApplicationInfo stale = second;
  stale.windowId = 0x7fffff;
  EXPECT_TRUE(workspace().activate(stale));
  ASSERT_TRUE(waitUntil([&] { return frontIs(QStringLiteral("SecondTerm")); }));
  two.reset();
  // The server lets go of a client's windows a moment after the client ended.
  ASSERT_TRUE(waitUntil([] { return test::findWindowByClass("SecondTerm") == 0; }));
  EXPECT_FALSE(workspace().activate(second));
}

TEST_F(WorkspaceTest, UsesTheInputFocusWithoutAWindowManager) {
  auto one = xterm(QStringLiteral("LoneTerm"), QStringLiteral("40x5+0+0"));
  unsigned long window = 0;
  ASSERT_TRUE(waitUntil([&] { return (window = test::findWindowByClass("LoneTerm")) != 0; }));
  // Focusing fails until the window is mapped.
  ASSERT_TRUE(waitUntil([&] {
    return test::run(QStringLiteral("xdotool"), {"windowfocus", QString::number(window)}) &&
           frontIs(QStringLiteral("LoneTerm"));
  }));
  EXPECT_EQ(workspace().frontmostApplication().processId, one->pid());
}

class WindowStateTest : public test::X11Test {
 protected:
  QList<Atom> states(const QWindow& w) const {
    return WindowProperties(x->connection()).atoms(w.winId(), "_NET_WM_STATE");
  }
  bool managed(const QWindow& w) const {
    const WindowProperties props(x->connection());
    return props.windows(x->connection().root(), "_NET_CLIENT_LIST").contains(w.winId()) &&
           props.isViewable(w.winId());
  }
  // Has the manager rewrite the property from what it holds: once the
  // change to "above" shows, the other states shown are the manager's too.
  bool setAboveThroughTheManager(const QWindow& w, bool above) {
    X11Connection& c = x->connection();
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w.winId();
    e.xclient.message_type = c.atom("_NET_WM_STATE");
    e.xclient.format = 32;
    e.xclient.data.l[0] = above ? 1 : 0;
    e.xclient.data.l[1] = long(c.atom("_NET_WM_STATE_ABOVE"));
    e.xclient.data.l[3] = 2;
    XSendEvent(c.display(), c.root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(c.display());
    return waitUntil([&] { return states(w).contains(c.atom("_NET_WM_STATE_ABOVE")) == above; });
  }
};

TEST_F(WindowStateTest, TheTaskbarHintHoldsAfterShowAndAfterHideAndShow) {
  test::WindowManager wm;
  ASSERT_TRUE(wm.isRunning());
  X11Connection& c = x->connection();
  const Atom skipTaskbar = c.atom("_NET_WM_STATE_SKIP_TASKBAR");
  const Atom skipPager = c.atom("_NET_WM_STATE_SKIP_PAGER");

  QWindow window;
  window.setTitle(QStringLiteral("Quillet"));
  window.resize(240, 120);
  x->workspace().setSkipsTaskbar(&window, true, false);
  window.show();
  ASSERT_TRUE(waitUntil([&] { return managed(window); }, 10000));
  ASSERT_TRUE(setAboveThroughTheManager(window, true));
  EXPECT_TRUE(states(window).contains(skipTaskbar));
  EXPECT_FALSE(states(window).contains(skipPager));
  // Still a normal window that takes the focus.
  EXPECT_EQ(WindowProperties(c).atoms(window.winId(), "_NET_WM_WINDOW_TYPE"),
            QList<Atom>{c.atom("_NET_WM_WINDOW_TYPE_NORMAL")});
  EXPECT_TRUE(test::activateWindow(window.winId()));

  window.hide();
  ASSERT_TRUE(waitUntil([&] { return !managed(window); }));
  window.show();
  ASSERT_TRUE(waitUntil([&] { return managed(window); }, 10000));
  ASSERT_TRUE(setAboveThroughTheManager(window, false));
  EXPECT_TRUE(states(window).contains(skipTaskbar));

  // Back in the taskbar while shown, and both hints on another window.
  x->workspace().setSkipsTaskbar(&window, false, false);
  EXPECT_TRUE(waitUntil([&] { return !states(window).contains(skipTaskbar); }));
  QWindow prompt;
  prompt.resize(200, 80);
  prompt.show();
  ASSERT_TRUE(waitUntil([&] { return managed(prompt); }, 10000));
  x->workspace().setSkipsTaskbar(&prompt, true, true);
  EXPECT_TRUE(waitUntil([&] {
    const QList<Atom> s = states(prompt);
    return s.contains(skipTaskbar) && s.contains(skipPager);
  }));
}

}  // namespace
}  // namespace ql
