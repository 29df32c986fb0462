// The program's own windows kept out of the taskbar under a real window
// manager, which drops the hint whenever a window is hidden.
#include "platform/x11/window_properties.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_workspace.h"
#include "x11_fixture.h"

#include <QWindow>

#include <X11/Xlib.h>

namespace ql {
namespace {

using test::waitUntil;

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
