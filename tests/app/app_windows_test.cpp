// The preferences, statistics and import windows driven through the real
// controller on the simulated desktop: each change is saved at once and takes
// effect, and filling a window is no change.
#include "shell_rig.h"

#include "app/import_window_controller.h"
#include "app/preferences_sheet_controller.h"
#include "app/shortcut_recorder.h"
#include "app/statistics_window_controller.h"
#include "model/import_choices.h"
#include "ui/app_selection_sheet_controller.h"
#include "ui/content_text_view.h"
#include "ui/group_view_controller.h"
#include "ui/library_outline_model.h"
#include "ui/snippet_view_controller.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTextDocument>

namespace {

qint64 keyCodeOf(const ql::PlistDict& d) {
  const ql::PlistValue* v = d.value(QStringLiteral("keyCode"));
  return v && v->toInteger() ? *v->toInteger() : -1;
}

class PreferencesTest : public ShellTest {
 protected:
  PreferencesSheetController* open(const std::function<void(QLPreferences&)>& edit = {}) {
    start(edit);
    controller->actionPreferences();
    sheet = controller->preferencesSheet();
    return sheet;
  }
  template <class T>
  T* the(const QString& name) const {
    T* widget = sheet->window()->findChild<T*>(name);
    if (!widget) ADD_FAILURE() << "no " << name.toStdString();
    return widget;
  }
  QCheckBox* check(const char* name) const { return the<QCheckBox>(name); }
  QComboBox* popup(const char* name) const { return the<QComboBox>(name); }
  ShortcutRecorder* recorder(int i) const { return the<ShortcutRecorder>(PreferencesSheetController::hotKeyNames()[i]); }

  PreferencesSheetController* sheet = nullptr;
};

}  // namespace

TEST_F(PreferencesTest, ChangesTakeEffectAtOnce) {
  open([](QLPreferences& p) {
    p.openQuilletHotKey = hotKey(ql::keys::O, mods::Command | mods::Option);
    p.newSnippetHotKey = hotKey(ql::keys::N, mods::Command | mods::Shift);
    p.isAutomaticBackup = false;
    p.backupType = 0;
    p.isShowDockIcon = true;  // no taskbar entry
  });
  ASSERT_TRUE(sheet);

  // Back in the taskbar at once, without a relaunch; the tray icon may go then.
  // Out of it, the windows stay ordinary ones (decorated, taking the focus).
  const ql::sim::SimWorkspace& workspace = desktop.workspace();
  QWidget* library = controller->window;
  ASSERT_TRUE(library);
  EXPECT_EQ(library->windowType(), Qt::Window);
  EXPECT_TRUE(workspace.skipsTaskbar(library->windowHandle()));
  EXPECT_TRUE(workspace.skipsTaskbar(sheet->window()->windowHandle()));
  EXPECT_FALSE(workspace.skipsPager(library->windowHandle()));
  EXPECT_FALSE(check("showStatusBarIconButton")->isEnabled());
  check("hideIconInDockButton")->click();
  EXPECT_FALSE(workspace.skipsTaskbar(library->windowHandle()));
  EXPECT_FALSE(workspace.skipsTaskbar(sheet->window()->windowHandle()));
  EXPECT_TRUE(check("showStatusBarIconButton")->isEnabled());
  EXPECT_FALSE(savedPreferences().isShowDockIcon);
  EXPECT_EQ(desktop.relauncher().starts(), 0);
  // And out again at once, with the tray icon kept to reach it.
  check("hideIconInDockButton")->click();
  EXPECT_TRUE(workspace.skipsTaskbar(library->windowHandle()));
  EXPECT_TRUE(workspace.skipsTaskbar(sheet->window()->windowHandle()));
  EXPECT_TRUE(controller->statusItem());
  EXPECT_TRUE(savedPreferences().isShowDockIcon);
  EXPECT_EQ(desktop.relauncher().starts(), 0);
  EXPECT_EQ(terminated, 0);
  check("hideIconInDockButton")->click();

  // A hot key recorded in the window works the next moment; the old one is let go.
  EXPECT_TRUE(desktop.pressHotKey(ql::keys::O, mods::Command | mods::Option));
  ShortcutRecorder* open = recorder(1);
  LogCapture log;
  QTest::mouseClick(open, Qt::LeftButton);
  QTest::keyClick(open, Qt::Key_Space, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_FALSE(desktop.pressHotKey(ql::keys::O, mods::Command | mods::Option));
  EXPECT_TRUE(desktop.pressHotKey(ql::keys::Space, mods::Command | mods::Option));
  EXPECT_TRUE(desktop.pressHotKey(ql::keys::N, mods::Command | mods::Shift));  // the others still work
  EXPECT_FALSE(log.contains(QStringLiteral("Unable")));  // and are not reported as failing
  EXPECT_EQ(keyCodeOf(savedPreferences().openQuilletHotKey), ql::keys::Space);
  EXPECT_EQ(desktop.hotKeys().registered().size(), controller->hotKeyCenter().registeredHotKeys().size());

  // Ours is not refused; the probe of a free one leaves nothing grabbed.
  const auto registered = desktop.hotKeys().registered();
  EXPECT_TRUE(controller->hotKeyTakenReason(ql::keys::Space, mods::Command | mods::Option).isEmpty());
  EXPECT_TRUE(controller->hotKeyTakenReason(ql::keys::J, mods::Control | mods::Shift).isEmpty());
  EXPECT_EQ(desktop.hotKeys().registered(), registered);

  // The search window's own recorder: set, it fires; it refuses what another recorder holds.
  ShortcutRecorder* search = recorder(7);
  QTest::mouseClick(search, Qt::LeftButton);
  QTest::keyClick(search, Qt::Key_F, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(keyCodeOf(savedPreferences().searchSnippetHotKey), ql::keys::F);
  EXPECT_TRUE(desktop.pressHotKey(ql::keys::F, mods::Command | mods::Option));
  QTest::mouseClick(open, Qt::LeftButton);
  QTest::keyClick(open, Qt::Key_F, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(keyCodeOf(savedPreferences().openQuilletHotKey), ql::keys::Space);
  // Cleared: nothing fires, an empty description is saved.
  QTest::mouseClick(search, Qt::LeftButton);
  QTest::keyClick(search, Qt::Key_Backspace);
  EXPECT_FALSE(desktop.pressHotKey(ql::keys::F, mods::Command | mods::Option));
  EXPECT_TRUE(savedPreferences().searchSnippetHotKey.isEmpty());

  // Backups: switched on, the timer runs; a longer interval moves the next backup.
  check("automaticBackupButton")->click();
  EXPECT_TRUE(controller->backupTimer().isActive());
  const QDateTime hourly = controller->backupTimer().dueDate();
  choose(popup("backupButton"), 2);
  EXPECT_GT(controller->backupTimer().dueDate(), hourly.addSecs(23 * 3600));
  EXPECT_EQ(savedPreferences().backupType, 2);
  check("automaticBackupButton")->click();
  EXPECT_FALSE(controller->backupTimer().isActive());

  // The tray icon goes when unchecked and comes back.
  ASSERT_TRUE(controller->statusItem());
  check("showStatusBarIconButton")->click();
  EXPECT_FALSE(controller->statusItem());
  check("showStatusBarIconButton")->click();
  EXPECT_TRUE(controller->statusItem());

  // The autostart entry is written and removed.
  check("launchAtLoginButton")->click();
  EXPECT_TRUE(desktop.loginItems().contains());
  check("launchAtLoginButton")->click();
  EXPECT_FALSE(desktop.loginItems().contains());

  // Fonts are saved and an open editor is told.
  LibraryWindowController* outline = controller->libraryWindow();
  const SnippetPtr shown = controller->settings()->snippets[0];
  ASSERT_EQ(shown->snippetType, QLSnippet::Plain);
  outline->selectSnippet(controller->settings()->getGroupByUUID(shown->groupUuid.value_or(QString())).get(), shown.get());
  QFont mono(QStringLiteral("Monospace"));
  mono.setPointSizeF(15);
  sheet->changeFont(true, mono);
  sheet->changeFont(false, mono);
  EXPECT_EQ(outline->snippetView()->contentView()->document()->defaultFont().pointSizeF(), 15);
  EXPECT_EQ(QLPreferences::fontSize(savedPreferences().plainSnippetFont), 15);
  EXPECT_EQ(QLPreferences::fontSize(savedPreferences().formattedSnippetFont), 15);

  // The switch: from the window it stops expansion; from the menu the check box follows.
  check("extendAbbrButton")->click();
  EXPECT_FALSE(controller->isQLEnabled);
  controller->actionDisableQuillet();
  EXPECT_TRUE(check("extendAbbrButton")->isChecked());

  // Out of the taskbar at once, with the tray icon back to reach it.
  check("showStatusBarIconButton")->click();
  EXPECT_FALSE(controller->statusItem());
  check("hideIconInDockButton")->click();
  EXPECT_EQ(desktop.relauncher().starts(), 0);
  EXPECT_EQ(terminated, 0);
  EXPECT_TRUE(controller->statusItem());
  EXPECT_TRUE(desktop.workspace().skipsTaskbar(controller->window->windowHandle()));
  EXPECT_TRUE(savedPreferences().isShowDockIcon);
  EXPECT_TRUE(savedPreferences().isShowStatusBarIcon);
}

TEST_F(PreferencesTest, ApplicationRuleThroughThePickerAndACancelledPickerKeepsIt) {
  desktop.addApplication(QStringLiteral("Terminal"));
  open();
  choose(popup("exceptionButton"), 1);
  auto* picker = sheet->findChild<AppSelectionSheetController*>();
  ASSERT_TRUE(picker);
  ASSERT_TRUE(picker->window()->isVisible());
  ASSERT_GE(picker->allApps()->rowOf(QStringLiteral("Terminal")), 0);
  picker->addApps({QStringLiteral("Terminal")});
  picker->sheetOk();
  EXPECT_EQ(savedPreferences().exceptionType, 2);
  EXPECT_EQ(savedPreferences().exceptions, QStringList{QStringLiteral("Terminal")});
  // The group editor offers the same applications, and the desktop's sounds.
  GroupViewController* groups = controller->libraryWindow()->groupView();
  EXPECT_EQ(groups->findChild<QComboBox*>("soundButton")->count(), 2 + desktop.sounds().soundNames().size());
  EXPECT_TRUE(groups->installedApplications &&
              groups->installedApplications().size() == desktop.platform().workspace->installedApplications().size());

  // The rule holds at once: Terminal is left alone, TextEdit still expands.
  desktop.switchTo(QStringLiteral("Terminal"));
  desktop.typeText(QStringLiteral("sig "));
  desktop.switchTo(QStringLiteral("TextEdit"));
  desktop.typeText(QStringLiteral("sig "));
  ASSERT_TRUE(QTest::qWaitFor([&] { return desktop.focusedField()->string() == QLatin1String("text "); }, 5000));
  EXPECT_EQ(desktop.application(QStringLiteral("Terminal"))->field.string(), QStringLiteral("sig "));

  // Another rule's picker starts empty; cancelled, the stored rule stays.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the first picker
  choose(popup("exceptionButton"), 2);
  picker = sheet->findChild<AppSelectionSheetController*>();
  ASSERT_TRUE(picker);
  EXPECT_TRUE(picker->selectedAppNames().isEmpty());
  picker->addApps({QStringLiteral("Mail")});
  picker->sheetClosed();
  EXPECT_EQ(popup("exceptionButton")->currentIndex(), 1);
  EXPECT_EQ(savedPreferences().exceptions, QStringList{QStringLiteral("Terminal")});
  choose(popup("exceptionButton"), 0);
  EXPECT_EQ(savedPreferences().exceptionType, 1);
}

TEST_F(PreferencesTest, ValuesOutOfRangeAreShownSafelyNeverWrittenAndEachControlIsSavedAtOnce) {
  open([](QLPreferences& p) {
    p.extendType = 7;
    p.backupType = -2;
    p.maximumBackups = "7";
    p.sound = "gone";
    p.snippetProcessDelay = 9.0;  // beyond the box's range
  });
  EXPECT_EQ(popup("extendTypeButton")->currentIndex(), 0);
  EXPECT_EQ(popup("backupButton")->currentIndex(), 0);
  EXPECT_EQ(popup("maximumBackupButton")->currentText(), "7");  // shown as stored
  EXPECT_EQ(popup("soundButton")->currentText(), "None");
  sheet->resetView();
  QLPreferences saved = savedPreferences();
  EXPECT_EQ(saved.extendType, 7);
  EXPECT_EQ(saved.backupType, -2);
  EXPECT_EQ(saved.sound, "gone");
  EXPECT_DOUBLE_EQ(saved.snippetProcessDelay, 9.0);

  choose(popup("extendTypeButton"), 2);
  EXPECT_FALSE(popup("expandAfterButton")->isEnabled());
  EXPECT_EQ(savedPreferences().extendType, 2);
  choose(popup("extendTypeButton"), 0);
  EXPECT_TRUE(popup("expandAfterButton")->isEnabled());
  choose(popup("expandAfterButton"), 1);
  choose(popup("snippetFormatButton"), 1);
  choose(popup("abbreviationCaseButton"), 2);
  check("restoreClipboardButton")->click();
  choose(popup("soundButton"), popup("soundButton")->findText("bell"));
  EXPECT_TRUE(check("playSoundButton")->isChecked());
  saved = savedPreferences();
  EXPECT_EQ(saved.extendAfter, 1);
  EXPECT_EQ(saved.snippetFormatType, 1);
  EXPECT_EQ(saved.abbreviationCaseType, 2);
  EXPECT_FALSE(saved.isRestoreClipboard);
  EXPECT_EQ(saved.sound, "bell");
  EXPECT_TRUE(saved.isPlaySound);
  choose(popup("soundButton"), popup("soundButton")->findText("None"));
  EXPECT_FALSE(savedPreferences().isPlaySound);

  choose(popup("maximumBackupButton"), popup("maximumBackupButton")->findText("20"));
  QTemporaryDir folder;
  sheet->backupFolderChosen(folder.path());
  sheet->backupFolderChosen(folder.filePath("missing"));  // not a folder: nothing
  the<QDoubleSpinBox>("snippetProcessDelay")->setValue(0.5);
  the<QDoubleSpinBox>("restoreClipboardDelay")->setValue(99);  // beyond the range: held at its end
  saved = savedPreferences();
  EXPECT_EQ(saved.maximumBackups, "20");
  EXPECT_EQ(saved.backupFolderPath, QFileInfo(folder.path()).canonicalFilePath());
  EXPECT_DOUBLE_EQ(saved.snippetProcessDelay, 0.5);
  EXPECT_DOUBLE_EQ(saved.restoreClipboardDelay, 5.0);
}

// Each check box is tied to its own preference: a click saves that one
// and no other, the window filled again shows it, a second click undoes it.
TEST_F(PreferencesTest, EachCheckBoxSavesItsOwnPreference) {
  open([](QLPreferences& p) { p.isShowStatusBarIcon = false; });
  const std::pair<const char*, bool QLPreferences::*> boxes[] = {
      {"extendAbbrButton", &QLPreferences::isExtendAbbreviation},
      {"playSoundButton", &QLPreferences::isPlaySound},
      {"restoreClipboardButton", &QLPreferences::isRestoreClipboard},
      {"backSpaceUndoButton", &QLPreferences::isBackSpaceUndo},
      {"showStatusBarIconButton", &QLPreferences::isShowStatusBarIcon},
      {"launchAtLoginButton", &QLPreferences::isLaunchAtLogin},
      {"automaticBackupButton", &QLPreferences::isAutomaticBackup}};
  for (const auto& [name, field] : boxes) {
    auto* box = sheet->window()->findChild<QCheckBox*>(name);
    ASSERT_TRUE(box) << name;
    QLPreferences before = savedPreferences();
    box->click();
    QLPreferences after = savedPreferences();
    EXPECT_EQ(after.*field, !(before.*field)) << name;
    after.*field = before.*field;
    EXPECT_EQ(after.getData(), before.getData()) << name << " changed another preference";
    sheet->resetView();
    EXPECT_EQ(box->isChecked(), savedPreferences().*field) << name;
    box->click();
    EXPECT_EQ(savedPreferences().*field, before.*field) << name;
  }
  // BackSpace undoing is the default and is written only when switched off.
  EXPECT_FALSE(savedPreferences().getData().contains(QStringLiteral("isBackSpaceUndo")));
  sheet->window()->findChild<QCheckBox*>("backSpaceUndoButton")->click();
  EXPECT_TRUE(savedPreferences().getData().contains(QStringLiteral("isBackSpaceUndo")));
}

TEST_F(PreferencesTest, DelimiterPanelTakesOnlyNewStandardTokens) {
  EXPECT_EQ(PreferencesSheetController::acceptedTokens({"comma", "space", "word", ".", ".", "esc"}, {"space"}),
            (QStringList{",", ".", "esc"}));
  open();
  sheet->actionSetDelimiters();
  ASSERT_TRUE(sheet->delimiterPanel());
  auto* userDelimiters = sheet->delimiterPanel()->findChild<QLineEdit*>("userDelimiters");
  userDelimiters->setText("space tab comma nonsense tab ;");
  sheet->delimiterPanelOK();
  EXPECT_EQ(savedPreferences().delimiters, (QStringList{"space", "tab", ",", ";"}));
  EXPECT_FALSE(sheet->delimiterPanel());

  sheet->actionSetDelimiters();
  userDelimiters = sheet->delimiterPanel()->findChild<QLineEdit*>("userDelimiters");
  EXPECT_EQ(userDelimiters->text(), "space tab comma ;");
  userDelimiters->setText("");
  sheet->delimiterPanelCancel();
  EXPECT_EQ(savedPreferences().delimiters.size(), 4);
}

TEST_F(PreferencesTest, WithoutATrayTheLibraryWindowStaysInTheTaskbarAndSaysWhy) {
  trayAvailable = false;
  open([](QLPreferences& p) { p.isShowStatusBarIcon = false; });
  QWidget* library = controller->window;
  ASSERT_TRUE(library);
  ASSERT_FALSE(desktop.workspace().skipsTaskbar(library->windowHandle()));
  check("hideIconInDockButton")->click();
  EXPECT_FALSE(check("hideIconInDockButton")->isChecked());
  EXPECT_FALSE(desktop.workspace().skipsTaskbar(library->windowHandle()));
  EXPECT_FALSE(the<QLabel>("dockNote")->isHidden());
  EXPECT_TRUE(the<QLabel>("dockNote")->text().contains("no system tray"));
  EXPECT_FALSE(savedPreferences().isShowDockIcon);
  EXPECT_FALSE(controller->settings()->preferences.isShowStatusBarIcon);
  EXPECT_EQ(desktop.relauncher().starts(), 0);
}

TEST_F(PreferencesTest, RecordersRefuseKeysWithoutModifierAndCombinationsOthersHold) {
  open();
  desktop.hotKeys().reserve(ql::keys::F5, mods::Control | mods::Shift);
  ShortcutRecorder* toggle = recorder(2);
  QTest::mouseClick(toggle, Qt::LeftButton);
  QTest::keyClick(toggle, Qt::Key_K);
  QTest::keyClick(toggle, Qt::Key_F5, Qt::MetaModifier | Qt::ShiftModifier);
  EXPECT_TRUE(the<QLabel>("hotKeyMessage")->text().contains("another program"));
  EXPECT_TRUE(savedPreferences().enableDisabledQuilletHotKey.isEmpty());
  EXPECT_FALSE(toggle->isRecording());
  QTest::mouseClick(toggle, Qt::LeftButton);
  QTest::keyClick(toggle, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(toggle->text(), "Ctrl+Shift+E");
  EXPECT_EQ(ShortcutRecorder::displayText(savedPreferences().enableDisabledQuilletHotKey), "Ctrl+Shift+E");

  // Reached by the keyboard, the recorder waits for Space before it records.
  QTest::keyClick(toggle, Qt::Key_Space);
  EXPECT_TRUE(toggle->isRecording());
  QTest::keyClick(toggle, Qt::Key_Escape);
  EXPECT_FALSE(toggle->isRecording());
  EXPECT_EQ(toggle->text(), "Ctrl+Shift+E");

  // Another of the hot keys: the desktop's grab takes the press, and the
  // recorder refuses it all the same and shows what it held.
  ShortcutRecorder* open = recorder(1);
  QTest::mouseClick(open, Qt::LeftButton);
  QTest::keyClick(open, Qt::Key_O, Qt::ControlModifier | Qt::AltModifier);
  sheet->window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(sheet->window()));
  toggle->setFocus();
  QTest::mouseClick(toggle, Qt::LeftButton);
  ASSERT_TRUE(toggle->isRecording());
  EXPECT_TRUE(desktop.pressHotKey(ql::keys::O, mods::Command | mods::Option));
  EXPECT_FALSE(toggle->isRecording());
  EXPECT_EQ(toggle->text(), "Ctrl+Shift+E");
  EXPECT_EQ(the<QLabel>("hotKeyMessage")->text(), "Ctrl+Alt+O cannot be used: it is already taken. (Open the library)");
}

// Where the desktop binds the keys, the tab gives the command for each action.
TEST_F(PreferencesTest, WhereNoProgramMayTakeKeysTheTabShowsTheCommands) {
  desktop.hotKeys().setRegistersKeys(false);
  open();
  sheet->tabSelected(QStringLiteral("Hotkeys"));
  EXPECT_TRUE(the<QLabel>("hotKeyCommandNote")->isVisibleTo(sheet->window()));
  const QStringList& names = PreferencesSheetController::hotKeyNames();
  auto command = [&](int i) { return sheet->window()->findChild<QLineEdit*>(names[i] + "Command"); };
  EXPECT_EQ(command(2)->text(), "quillet --action toggle");
  EXPECT_EQ(command(7)->text(), "quillet --action search");
  for (int i = 0; i < names.size(); ++i) {
    EXPECT_TRUE(command(i)->isVisibleTo(sheet->window())) << i;
    EXPECT_FALSE(sheet->window()->findChild<ShortcutRecorder*>(names[i])->isVisibleTo(sheet->window())) << i;
  }
}

TEST_F(ShellTest, StatisticsWindowFollowsExpansionsAndSavesTheSpeed) {
  start();
  controller->actionStatistics();
  StatisticsWindowController* stats = controller->statisticSheet();
  ASSERT_TRUE(stats);
  desktop.switchTo(QStringLiteral("TextEdit"));

  // Open: each expansion shows at once.
  desktop.typeText(QStringLiteral("sig "));
  ASSERT_TRUE(QTest::qWaitFor([&] { return stats->labelSnippets->text() == QLatin1String("1"); }, 5000));
  EXPECT_EQ(stats->labelCharacters->text(), QStringLiteral("4"));

  // Closed, it is left alone, and shows the new count when opened again.
  stats->window()->hide();
  desktop.typeText(QStringLiteral("adr "));
  ASSERT_TRUE(QTest::qWaitFor([&] { return controller->statistics()->allTime.expanded == 2; }, 5000));
  EXPECT_EQ(stats->labelSnippets->text(), QStringLiteral("1"));
  controller->actionStatistics();
  EXPECT_EQ(stats->labelSnippets->text(), QStringLiteral("2"));

  // A new typing speed is saved at once.
  const int index = stats->wmpCombobox->count() - 1;
  const int wmp = stats->wmpCombobox->itemData(index).toInt();
  ASSERT_NE(wmp, controller->settings()->preferences.wordPerMinute);
  choose(stats->wmpCombobox, index);
  EXPECT_EQ(savedPreferences().wordPerMinute, wmp);
}

TEST_F(ShellTest, ImportThroughTheControllerAddsToTheLiveLibrary) {
  ql::ImportChoices().save();
  start();
  controller->actionImport();
  ImportWindowController* import = controller->importDialogWindow();
  ASSERT_TRUE(import);
  // The other windows wait while it checks and merges.
  EXPECT_EQ(import->window()->windowModality(), Qt::ApplicationModal);
  EXPECT_EQ(QGuiApplication::modalWindow(), import->window()->windowHandle());
  import->window()->findChild<QComboBox*>("importTypePopup")->setCurrentIndex(ql::ImportSession::TextExpander);
  import->window()->findChild<QLineEdit*>("filenameTextField")->setText(QStringLiteral(QUILLET_APP_TEST_DATA "/touch-sdk-default.textexpander"));
  QTest::mouseClick(import->window()->findChild<QPushButton*>("importButton"), Qt::LeftButton);
  QTest::mouseClick(import->window()->findChild<QPushButton*>("saveButton"), Qt::LeftButton);
  EXPECT_EQ(controller->settings()->snippets.size(), 2 + 11);
  // The outline shows the groups brought in.
  EXPECT_EQ(controller->libraryWindow()->model()->rowCount(), controller->settings()->groups.size());
  // An imported abbreviation expands in the application in front.
  desktop.switchTo(QStringLiteral("TextEdit"));
  desktop.typeText(QStringLiteral("tyvm "));
  ASSERT_TRUE(QTest::qWaitFor([&] { return field() == QLatin1String("Thank you very much! "); }, 5000));
  ql::ImportChoices().save();
}
