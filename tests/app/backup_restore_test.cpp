// Backups taken by the controller and the restore flow through the restore window.
#include "shell_rig.h"
#include "support/test_files.h"

#include "app/preferences_sheet_controller.h"
#include "app/statistics_window_controller.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QTableWidget>

#include <atomic>
#include <thread>

namespace {

QStringList backupNames(const QString& folder) {
  return QDir(folder).entryList({QStringLiteral("*.qlxdoc")}, QDir::Files, QDir::Name);
}

class RestoreTest : public ShellTest {
 protected:
  // The restore window, its options panel answered with the choices below.
  RestoreWindowController* openRestore() {
    controller->actionRestore();
    RestoreWindowController* window = controller->restoreSheet();
    if (!window) return nullptr;
    window->runOptionsPanel = [this](QDialog* panel) {
      ++panelRuns;
      panel->findChild<QCheckBox*>("groupsBox")->setChecked(groups);
      panel->findChild<QCheckBox*>("preferencesBox")->setChecked(prefs);
      panel->findChild<QCheckBox*>("backupFirstBox")->setChecked(backupFirst);
      return panelAnswer;
    };
    window->alert = [this](QWidget*, const QString& m, const QString& d) { alerts.append(m + '|' + d); };
    return window;
  }
  int panelRuns = 0;
  int panelAnswer = 1;
  bool groups = true, prefs = false, backupFirst = true;
};

}  // namespace

TEST_F(ShellTest, ScheduledBackupsAndTheirFailures) {
  QTemporaryDir folder;
  start([&](QLPreferences& p) {
    p.backupType = QLPreferences::Hourly;
    p.backupFolderPath = folder.path();
  });
  EXPECT_TRUE(controller->backupTimer().isActive());

  // Three hours asleep: one backup on waking, the next an hour later.
  QDateTime now = QDateTime::currentDateTime().addSecs(3 * 3600 + 5);
  controller->backupTimer().clock = [&now] { return now; };
  controller->backupTimer().check();
  controller->backupTimer().check();
  const QStringList names = backupNames(folder.path());
  ASSERT_EQ(names.size(), 1);
  EXPECT_TRUE(names[0].endsWith(QStringLiteral("5_2.qlxdoc")));
  EXPECT_EQ(controller->backupTimer().dueDate(), now.addSecs(3600));
  EXPECT_FALSE(controller->isBackupFailed());
  QLSettings backup;
  EXPECT_TRUE(backup.loadBackup(folder.filePath(names[0])));
  EXPECT_EQ(backup.snippets.size(), 2);
  EXPECT_TRUE(alerts.isEmpty());

  // The folder gone: red labels with the reason, an alert for the manual
  // backup, and the schedule goes on.
  folder.remove();
  now = now.addSecs(2 * 3600);
  controller->backupTimer().check();
  EXPECT_TRUE(controller->isBackupFailed());
  EXPECT_EQ(controller->backupToolTip(),
            QStringLiteral("Unable to find backup folder path [%1]!").arg(folder.path()));
  EXPECT_TRUE(controller->backupTimer().isActive());
  // Also without a tray the library window shows it.
  for (QLabel* label : {controller->libraryWindow()->labelAutoBackup(), controller->libraryWindow()->labelNextBackup()}) {
    EXPECT_EQ(label->toolTip(), controller->backupToolTip());
    EXPECT_TRUE(label->isEnabled());  // tool tips show on enabled widgets only
    label->ensurePolished();
    const QColor text = label->palette().color(QPalette::WindowText);
    EXPECT_GT(text.red(), 2 * text.green());
  }
  controller->actionBackup();
  ASSERT_EQ(alerts.size(), 1);
  EXPECT_TRUE(alerts[0].startsWith(QStringLiteral("Unable to create Quillet backup!|Unable to find")));

  controller->settings()->preferences.isAutomaticBackup = false;
  controller->backupConfigChanged();
  EXPECT_FALSE(controller->isBackupFailed());
  EXPECT_FALSE(controller->backupTimer().isActive());
  QLabel* label = controller->libraryWindow()->labelNextBackup();
  EXPECT_TRUE(label->toolTip().isEmpty());
  EXPECT_TRUE(label->styleSheet().isEmpty());
}

TEST_F(RestoreTest, RestoreFlowBranches) {
  QTemporaryDir folder;
  start([&](QLPreferences& p) {
    p.backupFolderPath = folder.path();
    p.maximumBackups = QStringLiteral("0");
  });
  ASSERT_TRUE(controller->backup(nullptr));
  const QString good = folder.filePath(backupNames(folder.path()).first());

  // The library changes after the backup.
  controller->settings()->snippets.removeLast();
  controller->settings()->preferences.isShowStatusBarIcon = false;
  controller->settings()->saveSettings();

  RestoreWindowController* window = openRestore();
  ASSERT_TRUE(window);
  ASSERT_EQ(window->window()->findChild<QTableWidget*>("backupsTable")->rowCount(), 1);
  panelAnswer = 0;

  // Nothing chosen yet.
  window->actionRestore();
  EXPECT_EQ(alerts, QStringList{QStringLiteral("Please select backup to restore!|No backup file selected.")});
  alerts.clear();

  // Cancelling the options stores them and restores nothing.
  window->window()->findChild<QTableWidget*>("backupsTable")->selectRow(0);
  EXPECT_EQ(window->restoreFile, good);
  window->actionRestore();
  EXPECT_EQ(panelRuns, 1);
  EXPECT_EQ(controller->settings()->snippets.size(), 1);
  EXPECT_TRUE(QSettings().value(QStringLiteral("isTakeBackupBeforeRestore")).toBool());

  // A file that is no library is refused before anything changes.
  const QString junk = folder.filePath(QStringLiteral("junk.txt"));
  ASSERT_TRUE(test::writeFile(junk, "not a property list"));
  panelAnswer = 1;
  window->chooseBackupFile = [&](QWidget*, const QString&) { return junk; };
  window->actionOpenBackup();
  window->actionRestore();
  EXPECT_EQ(alerts, QStringList{QStringLiteral("Quillet Backup Restore:|Unable to load selected backup file!")});
  EXPECT_EQ(controller->settings()->snippets.size(), 1);
  EXPECT_EQ(backupNames(folder.path()).size(), 1);
  alerts.clear();

  // Groups and snippets only, with a restore point first.
  window->chooseBackupFile = [&](QWidget*, const QString&) { return good; };
  window->actionOpenBackup();
  window->actionRestore();
  EXPECT_TRUE(alerts.isEmpty()) << alerts.join(u'\n').toStdString();
  EXPECT_EQ(controller->settings()->snippets.size(), 2);
  EXPECT_FALSE(controller->settings()->preferences.isShowStatusBarIcon);
  const QStringList names = backupNames(folder.path());
  ASSERT_EQ(names.size(), 2);
  EXPECT_EQ(names.filter(QStringLiteral("_1_Restore Point.qlxdoc")).size(), 1) << names.join(u',').toStdString();
  QLSettings saved;
  ASSERT_TRUE(saved.loadSettings());
  EXPECT_EQ(saved.snippets.size(), 2);

  // Preferences that hide the taskbar entry take it away at once; open
  // windows show what was restored.
  controller->actionPreferences();
  controller->actionStatistics();
  QLSettings hidden;
  ASSERT_TRUE(hidden.loadBackup(good));
  hidden.preferences.isRestoreClipboard = !hidden.preferences.isRestoreClipboard;
  hidden.preferences.wordPerMinute = 90;
  hidden.preferences.isShowDockIcon = true;
  hidden.preferences.isShowStatusBarIcon = true;
  hidden.preferences.isLaunchAtLogin = true;
  hidden.preferences.openQuilletHotKey = hotKey(31, mods::Command | mods::Shift);
  controller->settings()->preferences.openQuilletHotKey = hotKey(31, mods::Command | mods::Option);
  controller->resetHotKeys();
  const QString hiddenPath = folder.filePath(QStringLiteral("hidden.qlxdoc"));
  ASSERT_TRUE(hidden.saveBackup(hiddenPath));
  window->chooseBackupFile = [&](QWidget*, const QString&) { return hiddenPath; };
  window->actionOpenBackup();
  groups = false;
  prefs = true;
  backupFirst = false;
  window->actionRestore();
  EXPECT_TRUE(alerts.isEmpty()) << alerts.join(u'\n').toStdString();
  EXPECT_EQ(desktop.relauncher().starts(), 0);
  EXPECT_EQ(terminated, 0);
  EXPECT_TRUE(controller->statusItem());
  EXPECT_TRUE(desktop.workspace().skipsTaskbar(controller->window->windowHandle()));
  EXPECT_TRUE(desktop.loginItems().contains());
  EXPECT_EQ(controller->preferencesSheet()->window()->findChild<QCheckBox*>("restoreClipboardButton")->isChecked(), hidden.preferences.isRestoreClipboard);
  EXPECT_EQ(controller->statisticSheet()->wmpCombobox->currentData().toInt(), 90);
  // The restored hot keys replace the running ones.
  EXPECT_FALSE(desktop.pressHotKey(31, mods::Command | mods::Option));
  EXPECT_TRUE(desktop.pressHotKey(31, mods::Command | mods::Shift));

  // A restore point that cannot be written cancels the restore.
  alerts.clear();
  controller->settings()->preferences.backupFolderPath = folder.filePath(QStringLiteral("gone"));
  groups = true;
  backupFirst = true;
  controller->settings()->snippets.removeLast();
  window->chooseBackupFile = [&](QWidget*, const QString&) { return good; };
  window->actionOpenBackup();
  window->actionRestore();
  ASSERT_EQ(alerts.size(), 1);
  EXPECT_TRUE(alerts[0].startsWith(QStringLiteral("Unable to create Quillet backup!|Unable to find")));
  EXPECT_EQ(controller->settings()->snippets.size(), 1);
}

TEST(SingleInstance, ASecondStartReachesTheFirstAndALeftoverSocketIsReplaced) {
  QTemporaryDir dir;
  const QString name = dir.filePath(QStringLiteral("quillet-test"));
  // A crash leaves the socket file behind with no one listening.
  ASSERT_TRUE(test::writeFile(name, {}));
  SingleInstance first(name);
  EXPECT_FALSE(first.notifyRunningInstance(300));
  ASSERT_TRUE(first.listen());
  QSignalSpy reopened(&first, &SingleInstance::reopenRequested);

  // The second start blocks on its answer: it runs on its own thread while
  // the first answers on this one's event loop.
  std::atomic<int> answer{-1};
  std::thread second([&] { answer = SingleInstance(name).notifyRunningInstance(3000) ? 1 : 0; });
  EXPECT_TRUE(QTest::qWaitFor([&] { return answer != -1; }, 5000));
  second.join();
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(reopened.count(), 1);
}

TEST_F(ShellTest, PruningInTheApplicationFolderSparesTheLibrary) {
  start([](QLPreferences& p) {
    p.backupFolderPath = ql::Utilities::getAppPath();
    p.maximumBackups = QStringLiteral("1");
  });
  // The library and its start-up copy are the oldest documents there.
  const QDateTime old = QDateTime::currentDateTime().addDays(-30);
  for (const QString& name : {QStringLiteral("settings.qlxdoc"), QStringLiteral("settings Backup.qlxdoc")})
    ASSERT_TRUE(test::writeFileDated(appPath(name), test::readFile(appPath(name)), old));
  ASSERT_TRUE(controller->backup(nullptr));
  controller->randomDigit = [] { return 6; };
  ASSERT_TRUE(controller->backup(nullptr));
  EXPECT_TRUE(QFile::exists(appPath(QStringLiteral("settings.qlxdoc"))));
  EXPECT_TRUE(QFile::exists(appPath(QStringLiteral("settings Backup.qlxdoc"))));
  EXPECT_EQ(QDir(appPath()).entryList({QStringLiteral("Quillet Backup*")}).size(), 1);
}

TEST_F(RestoreTest, WithTheMaximumReachedTheOldestBackupSurvivesItsOwnRestore) {
  QTemporaryDir folder;
  start([&](QLPreferences& p) {
    p.backupFolderPath = folder.path();
    p.maximumBackups = QStringLiteral("10");
  });
  // Ten daily backups; the oldest is the one the user wants back.
  const QByteArray library = test::readFile(appPath(QStringLiteral("settings.qlxdoc")));
  const QDateTime now = QDateTime::currentDateTime();
  QStringList daily;
  for (int day = 10; day >= 1; --day) {
    daily.append(folder.filePath(QStringLiteral("Quillet Backup day%1_2.qlxdoc").arg(day)));
    ASSERT_TRUE(test::writeFileDated(daily.last(), library, now.addDays(-day)));
  }
  const QString oldest = daily.first();
  controller->settings()->snippets.removeLast();
  controller->settings()->saveSettings();

  // Groups and snippets, with a restore point first.
  RestoreWindowController* window = openRestore();
  ASSERT_TRUE(window);
  window->window()->findChild<QTableWidget*>("backupsTable")->selectRow(9);
  ASSERT_EQ(window->restoreFile, oldest);

  // Back Up Now in the restore window spares the selected backup, and the
  // selection stays on it although the rows moved.
  window->actionBackup();
  EXPECT_EQ(alerts, QStringList{QStringLiteral("Quillet backup created successfully.|")});
  alerts.clear();
  EXPECT_TRUE(QFile::exists(oldest));
  EXPECT_FALSE(QFile::exists(daily[1]));
  EXPECT_EQ(backupNames(folder.path()).size(), 10);
  EXPECT_EQ(window->restoreFile, oldest);

  // The restore point prunes the next oldest, never the file being restored.
  controller->randomDigit = [] { return 7; };
  window->actionRestore();
  EXPECT_TRUE(alerts.isEmpty()) << alerts.join(u'\n').toStdString();
  EXPECT_EQ(controller->settings()->snippets.size(), 2);
  EXPECT_TRUE(QFile::exists(oldest));
  EXPECT_FALSE(QFile::exists(daily[2]));
  const QStringList names = backupNames(folder.path());
  EXPECT_EQ(names.size(), 10);
  EXPECT_EQ(names.filter(QStringLiteral("_Restore Point.qlxdoc")).size(), 1);
}
