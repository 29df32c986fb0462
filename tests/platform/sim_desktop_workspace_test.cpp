// Applications, windows, mouse, hot keys, accessibility and sounds.
#include "platform/sim/sim_desktop.h"

#include <gtest/gtest.h>

using ql::ApplicationInfo;
using ql::FocusedSelection;
using ql::MouseEvent;
using ql::MouseEventType;
using ql::sim::SimDesktop;
namespace keys = ql::keys;
namespace mods = ql::mods;

TEST(SimDesktopWorkspace, SwitchingNotifiesAndRaisesWindows) {
  SimDesktop d;
  ql::Workspace& ws = *d.platform().workspace;
  const auto& mail = d.addApplication(QStringLiteral("Mail"));
  QStringList events;
  QObject::connect(&ws, &ql::Workspace::applicationDeactivated,
                   [&](const ApplicationInfo& a) { events << QStringLiteral("off ") + a.name; });
  QObject::connect(&ws, &ql::Workspace::applicationActivated,
                   [&](const ApplicationInfo& a) { events << QStringLiteral("on ") + a.name; });

  EXPECT_EQ(ws.frontmostApplication().name, QStringLiteral("TextEdit"));
  d.switchTo(QStringLiteral("Mail"));
  d.switchTo(QStringLiteral("Mail"));  // already in front: nothing
  EXPECT_EQ(events, (QStringList{QStringLiteral("off TextEdit"), QStringLiteral("on Mail")}));
  EXPECT_EQ(ws.frontmostApplication().processId, mail.processId);
  EXPECT_EQ(d.windowList().windows().first().ownerName, QStringLiteral("Mail"));
  EXPECT_FALSE(ws.isProgramFrontmost());

  ws.activateProgram();
  EXPECT_TRUE(ws.isProgramFrontmost());
  EXPECT_TRUE(ws.activate(mail.info()));
  EXPECT_EQ(ws.frontmostApplication().name, QStringLiteral("Mail"));
}

TEST(SimDesktopWorkspace, AQuitApplicationCannotBeActivated) {
  SimDesktop d;
  d.addApplication(QStringLiteral("Mail"));
  d.switchTo(QStringLiteral("Mail"));
  const ApplicationInfo mail = d.workspace().frontmostApplication();
  d.quitApplication(QStringLiteral("Mail"));
  EXPECT_EQ(d.workspace().frontmostApplication().name, QStringLiteral("TextEdit"));
  EXPECT_FALSE(d.workspace().activate(mail));
  for (const ql::WindowInfo& w : d.windowList().windows())
    EXPECT_NE(w.ownerProcessId, mail.processId);
}

TEST(SimDesktopWorkspace, WindowsBelowAGivenOne) {
  SimDesktop d;
  d.addApplication(QStringLiteral("Mail"));
  const QList<ql::WindowInfo> all = d.windowList().windows();
  ASSERT_EQ(all.size(), 2);
  EXPECT_EQ(d.windowList().windows(all[0].windowId), all.mid(1));
  EXPECT_TRUE(d.windowList().windows(all[1].windowId).isEmpty());
  EXPECT_TRUE(d.windowList().windows(999999).isEmpty());
}

TEST(SimDesktopWorkspace, MouseEventsOutsideTheProgramOnly) {
  SimDesktop d;
  d.keySource().start();
  d.keySource().setEnabled(true);
  QList<MouseEvent> seen;
  QObject::connect(&d.keySource(), &ql::KeySource::mouseEvent,
                   [&](const MouseEvent& e) { seen.append(e); });
  d.click(QPointF(10, 20));
  d.moveMouse(QPointF(11, 21));
  d.scroll(QPointF(11, 21), QPointF(0, -1));
  d.click(QPointF(1, 2), MouseEventType::RightDown);
  d.switchTo(SimDesktop::kProgramName);
  d.click(QPointF(5, 5));
  ASSERT_EQ(seen.size(), 4);
  EXPECT_EQ(seen[0].type, MouseEventType::LeftDown);
  EXPECT_EQ(seen[0].position, QPointF(10, 20));
  EXPECT_EQ(seen[1].type, MouseEventType::Moved);
  EXPECT_EQ(seen[2].scrollDelta, QPointF(0, -1));
  EXPECT_EQ(seen[3].type, MouseEventType::RightDown);
}

TEST(SimDesktopWorkspace, HotKeysFireForTheirCombinationOnly) {
  SimDesktop d;
  ql::HotKeyService& hk = *d.platform().hotKeys;
  QList<quint32> fired;
  QObject::connect(&hk, &ql::HotKeyService::hotKeyPressed,
                   [&](quint32 id, quint64, qint64) { fired.append(id); });
  EXPECT_TRUE(hk.registerHotKey(1, keys::S, mods::Command | mods::Option | mods::CapsLock));
  EXPECT_FALSE(hk.registerHotKey(1, keys::T, mods::Command));  // id in use
  d.hotKeys().reserve(keys::K, mods::Control);
  EXPECT_FALSE(hk.registerHotKey(2, keys::K, mods::Control));
  EXPECT_TRUE(d.pressHotKey(keys::S, mods::Command | mods::Option));
  EXPECT_FALSE(d.pressHotKey(keys::S, mods::Command));
  hk.unregisterHotKey(1);
  hk.unregisterHotKey(77);
  EXPECT_FALSE(d.pressHotKey(keys::S, mods::Command | mods::Option));
  EXPECT_EQ(fired, QList<quint32>{1});
}

TEST(SimDesktopWorkspace, AccessibilityReadsTheFocusedSelection) {
  SimDesktop d;
  ql::Accessibility& ax = *d.platform().accessibility;
  d.focusedField()->setText(QStringLiteral("hello world"));
  d.focusedField()->select(6, 5);
  FocusedSelection s = ax.focusedSelection();
  EXPECT_EQ(s.status, FocusedSelection::Status::Ok);
  EXPECT_EQ(s.text, QStringLiteral("world"));
  EXPECT_EQ(s.bounds, d.focusedField()->boundsOf(6, 5));

  d.focusedField()->boundsReadable = false;
  s = ax.focusedSelection();
  EXPECT_EQ(s.status, FocusedSelection::Status::NoBounds);
  EXPECT_EQ(s.text, QStringLiteral("world"));

  d.focusedField()->selectionReadable = false;
  EXPECT_EQ(ax.focusedSelection().status, FocusedSelection::Status::NoSelectedRange);

  d.switchTo(SimDesktop::kProgramName);
  EXPECT_EQ(ax.focusedSelection().status, FocusedSelection::Status::NoFocusedElement);
  EXPECT_TRUE(ax.hasAssistiveAccess());
}

TEST(SimDesktopWorkspace, SoundsLoginItemsAndRelaunch) {
  SimDesktop d;
  ql::Platform p = d.platform();
  EXPECT_TRUE(p.sounds->play(QStringLiteral("bell")));
  EXPECT_FALSE(p.sounds->play(QStringLiteral("Glass")));
  p.sounds->beep();
  EXPECT_EQ(d.sounds().played(), QStringList{QStringLiteral("bell")});
  EXPECT_EQ(d.sounds().beeps(), 1);

  p.loginItems->add();
  p.loginItems->add();
  EXPECT_TRUE(p.loginItems->contains());
  p.loginItems->remove();
  EXPECT_FALSE(p.loginItems->contains());

  EXPECT_TRUE(p.relauncher->startRelaunchHelper());
  d.relauncher().setFails(true);
  EXPECT_FALSE(p.relauncher->startRelaunchHelper());
  EXPECT_EQ(d.relauncher().starts(), 1);
}
