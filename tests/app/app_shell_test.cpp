// The application shell on the simulated desktop: tray menu, switch, hot keys, help.
#include "shell_rig.h"
#include "support/test_files.h"

#include <QFontDatabase>

#include "app/preferences_sheet_controller.h"

TEST_F(ShellTest, TrayMenuFollowsTheFrontmostApplicationAndTheSwitch) {
  start();
  ASSERT_TRUE(controller->statusItem());
  ASSERT_TRUE(controller->statusMenu());

  // Opened over another application: it is remembered, the new-snippet entries work.
  controller->menuWillOpen();
  ASSERT_TRUE(controller->executor().lastActiveApp);
  EXPECT_EQ(controller->executor().lastActiveApp->name, QStringLiteral("TextEdit"));
  EXPECT_TRUE(controller->trayItem().newSnippetFromSelectionMenu->isEnabled());

  // Opened over Quillet itself: nothing to remember, nothing to create a snippet from.
  desktop.switchTo(SimDesktop::kProgramName);
  controller->menuWillOpen();
  EXPECT_FALSE(controller->executor().lastActiveApp);
  const TrayItem& tray = controller->trayItem();
  for (QAction* item : {tray.newSnippetMenu, tray.newSnippetFromSelectionMenu, tray.newSnippetFromClipboardMenu,
                        tray.newSnippetFromApplicationMenu})
    EXPECT_FALSE(item->isEnabled());

  controller->trayItem().disableQuillet->trigger();
  EXPECT_EQ(controller->trayItem().disableQuillet->text(), QStringLiteral("Enable Quillet"));
  desktop.switchTo(QStringLiteral("TextEdit"));
  desktop.typeText(QStringLiteral("sig "));
  EXPECT_EQ(desktop.focusedField()->string(), QStringLiteral("sig "));

  // Hiding and showing the icon again reads the saved switch.
  controller->toggleStatusItem(false);
  EXPECT_FALSE(controller->statusItem());
  controller->settings()->preferences.isExtendAbbreviation = true;
  EXPECT_TRUE(controller->toggleStatusItem(true));
  EXPECT_TRUE(controller->isQLEnabled);
  EXPECT_EQ(controller->trayItem().disableQuillet->text(), QStringLiteral("Disable Quillet"));
}

TEST_F(ShellTest, TheSearchWindowGoesOnASecondTrayClickAndOnReopening) {
  start();
  controller->showSearchWindow(QPoint(40, 40));
  ASSERT_TRUE(controller->searchWindow()->isVisible());
  controller->statusItemSelected();
  EXPECT_FALSE(controller->searchWindow()->isVisible());
  EXPECT_FALSE(controller->statusMenu()->isVisible());
  controller->showSearchWindow(QPoint(40, 40));
  ASSERT_TRUE(controller->searchWindow()->isVisible());
  controller->applicationShouldHandleReopen(false);
  EXPECT_FALSE(controller->searchWindow()->isVisible());
  EXPECT_TRUE(controller->window->isVisible());
}

// The tray entry shows the window, or hides it whatever is in front.
TEST_F(ShellTest, StartedAtLoginQuilletWaitsInTheTrayUnlessThereIsNone) {
  start();
  controller->isStartedAtLogin = true;
  controller->applicationDidFinishLaunching();
  EXPECT_FALSE(controller->window->isVisible());
  EXPECT_EQ(controller->trayItem().openQuillet->text(), QStringLiteral("Open Quillet"));
  controller->trayItem().openQuillet->trigger();
  EXPECT_TRUE(controller->window->isVisible());
  // Another application in front: the window is shown but not active.
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  desktop.switchTo(QStringLiteral("TextEdit"));
  controller->menuWillOpen();
  EXPECT_EQ(controller->trayItem().openQuillet->text(), QStringLiteral("Hide Quillet"));
  controller->trayItem().openQuillet->trigger();
  EXPECT_FALSE(controller->window->isVisible());
  controller->menuWillOpen();
  EXPECT_EQ(controller->trayItem().openQuillet->text(), QStringLiteral("Open Quillet"));

  TearDown();
  SetUp();
  trayAvailable = false;
  start();
  controller->isStartedAtLogin = true;
  controller->applicationDidFinishLaunching();
  EXPECT_TRUE(controller->window->isVisible());
}

TEST_F(ShellTest, CtrlCommaInTheLibraryWindowOpensThePreferences) {
  start();
  controller->applicationDidFinishLaunching();
  ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window));
  QTest::keyClick(controller->window, Qt::Key_Comma, Qt::ControlModifier);
  ASSERT_TRUE(controller->preferencesSheet());
  EXPECT_TRUE(controller->preferencesSheet()->window()->isVisible());
}

TEST_F(ShellTest, NewPreferencesUseTheDesktopsFont) {
  start();
  const QFont general = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  const QLPreferences fresh;
  for (const ql::PlistDict& font : {fresh.plainSnippetFont, fresh.formattedSnippetFont}) {
    EXPECT_EQ(QLPreferences::fontName(font), general.family());
    EXPECT_NE(QLPreferences::fontName(font), QStringLiteral("Lucida Grande"));
    EXPECT_GT(QLPreferences::fontSize(font), 0);
  }
}

TEST_F(ShellTest, WithoutATrayQuilletRunsOnAndTheSwitchStillWorks) {
  trayAvailable = false;
  start();
  EXPECT_FALSE(controller->statusItem());
  EXPECT_TRUE(controller->eventHandler());
  controller->actionDisableQuillet();
  EXPECT_FALSE(savedPreferences().isExtendAbbreviation);

  // The panel comes up later, as it may at login: the icon follows, switched off.
  trayAvailable = true;
  ASSERT_TRUE(QTest::qWaitFor([&] { return controller->statusItem() != nullptr; }, 5000));
  EXPECT_FALSE(controller->isQLEnabled);
}

TEST_F(ShellTest, HotKeyTableRegistersOncePerCombination) {
  LogCapture log;
  desktop.hotKeys().reserve(9, mods::Command | mods::Shift);
  start([](QLPreferences& p) {
    p.openQuilletHotKey = hotKey(31, mods::Command | mods::Option);
    p.enableDisabledQuilletHotKey = hotKey(14, mods::Command | mods::Option);
    p.newSnippetHotKey = hotKey(45, mods::Command | mods::Shift);
    // Another program holds this one.
    p.newSnippetFromClipboardHotKey = hotKey(9, mods::Command | mods::Shift);
    p.newSnippetFromApplicationHotKey = hotKey(45, mods::Command | mods::Shift);  // same as newSnippet
    ql::PlistDict broken;
    broken.insert(QStringLiteral("keyCode"), QStringLiteral("E"));
    broken.insert(QStringLiteral("modifierFlags"), qint64(mods::Command));
    p.suggestionHotkey = broken;
  });

  const QList<DDHotKey> registered = controller->hotKeyCenter().registeredHotKeys();
  ASSERT_EQ(registered.size(), 3);
  EXPECT_EQ(registered[0].keyCode, 31);
  EXPECT_EQ(log.lines.count(QStringLiteral("Unable to register hotkey!")), 2);

  // Again: every one refused as already held, and all still work.
  controller->resetHotKeys();
  EXPECT_EQ(controller->hotKeyCenter().registeredHotKeys().size(), 3);
  EXPECT_TRUE(desktop.pressHotKey(14, mods::Command | mods::Option));
  EXPECT_FALSE(controller->isQLEnabled);

  // A hot key freed no longer fires; taken again, it does, but with the
  // program itself in front it acts on nothing.
  controller->unRegisterhotKey(14, mods::Command | mods::Option);
  EXPECT_FALSE(desktop.pressHotKey(14, mods::Command | mods::Option));
  controller->resetHotKeys();
  desktop.switchTo(SimDesktop::kProgramName);
  EXPECT_TRUE(desktop.pressHotKey(14, mods::Command | mods::Option));
  EXPECT_FALSE(controller->isQLEnabled);
}

TEST_F(ShellTest, StartsWithoutAnApplicationFolder) {
  // No application folder at all: no library, but the switch, the menu and
  // the hot keys still answer, and backups say no.
  QDir(appPath()).removeRecursively();
  const QString parent = QFileInfo(appPath()).absolutePath();
  QDir(parent).removeRecursively();
  ASSERT_TRUE(test::writeFile(parent, {}));  // a file where the folder would go
  controller = std::make_unique<QuilletAppDelegate>(desktop.platform());
  controller->isSystemTrayAvailable = [] { return true; };
  ASSERT_TRUE(controller->awakeFromNib());
  EXPECT_FALSE(controller->settings());
  EXPECT_TRUE(controller->statusItem());
  controller->actionDisableQuillet();
  EXPECT_EQ(controller->trayItem().disableQuillet->text(), QStringLiteral("Disable Quillet"));
  QString error;
  EXPECT_FALSE(controller->backup(&error));
  controller.reset();
  QFile::remove(parent);
}

TEST_F(ShellTest, HelpOpensTheShippedPageWithTheDesktopsViewer) {
  LogCapture log;
  start();
  controller->helpAction();
  ASSERT_EQ(opened.size(), 1);
  EXPECT_TRUE(opened[0].toLocalFile().endsWith(QStringLiteral("/share/doc/quillet/quillet-help.html")));
  EXPECT_TRUE(QFile::exists(opened[0].toLocalFile()));

  EXPECT_TRUE(alerts.isEmpty());

  // No viewer: the user is told where the page is.
  const QString page = opened[0].toLocalFile();
  controller->openUrl = [](const QUrl&) { return false; };
  controller->helpAction();
  ASSERT_EQ(alerts.size(), 1);
  EXPECT_EQ(alerts[0], QStringLiteral("No viewer opened the Quillet help.|Open \"%1\" in a web browser.").arg(page));

  controller->helpDocumentPaths = {QStringLiteral("/nonexistent/quillet-help.html")};
  controller->helpAction();
  ASSERT_EQ(alerts.size(), 2);
  EXPECT_TRUE(alerts[1].startsWith(QStringLiteral("The Quillet help is not installed.|")));
  EXPECT_TRUE(log.contains(QStringLiteral("Error in [helpAction:]")));
}
