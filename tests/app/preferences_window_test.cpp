// The preferences window's own controls, through the real controller: what
// each stores is on disk at once, and filling the window is no change.
#include "shell_rig.h"

#include "app/preferences_sheet_controller.h"
#include "app/shortcut_recorder.h"
#include "ui/app_selection_sheet_controller.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

namespace {

class PreferencesTest : public ShellTest {
 protected:
  PreferencesSheetController* open(const std::function<void(QLPreferences&)>& edit = {}) {
    QSettings(QStringLiteral("Orrery Labs"), QStringLiteral("Quillet")).remove(QStringLiteral("SELECTEDTAB"));
    start(edit);
    controller->actionPreferences();
    return controller->preferencesSheet();
  }
};

}  // namespace

TEST_F(PreferencesTest, EachControlIsSavedAtOnce) {
  PreferencesSheetController* w = open();
  choose(w->extendTypeButton, 2);
  EXPECT_FALSE(w->expandAfterButton->isEnabled());
  EXPECT_EQ(savedPreferences().extendType, 2);
  choose(w->extendTypeButton, 0);
  EXPECT_TRUE(w->expandAfterButton->isEnabled());
  choose(w->expandAfterButton, 1);
  choose(w->snippetFormatButton, 1);
  choose(w->abbreviationCaseButton, 2);
  w->restoreClipboardButton->click();
  choose(w->soundButton, w->soundButton->findText("bell"));
  EXPECT_TRUE(w->playSoundButton->isChecked());
  QLPreferences saved = savedPreferences();
  EXPECT_EQ(saved.extendAfter, 1);
  EXPECT_EQ(saved.snippetFormatType, 1);
  EXPECT_EQ(saved.abbreviationCaseType, 2);
  EXPECT_FALSE(saved.isRestoreClipboard);
  EXPECT_EQ(saved.sound, "bell");
  EXPECT_TRUE(saved.isPlaySound);
  choose(w->soundButton, w->soundButton->findText("None"));
  EXPECT_FALSE(savedPreferences().isPlaySound);

  choose(w->maximumBackupButton, w->maximumBackupButton->findText("20"));
  QTemporaryDir folder;
  w->backupFolderChosen(folder.path());
  w->backupFolderChosen(folder.filePath("missing"));  // not a folder: nothing
  w->snippetProcessDelay->setValue(0.5);
  w->restoreClipboardDelay->setValue(99);  // beyond the range: held at its end
  saved = savedPreferences();
  EXPECT_EQ(saved.maximumBackups, "20");
  EXPECT_EQ(saved.backupFolderPath, QFileInfo(folder.path()).canonicalFilePath());
  EXPECT_DOUBLE_EQ(saved.snippetProcessDelay, 0.5);
  EXPECT_DOUBLE_EQ(saved.restoreClipboardDelay, 5.0);

  // The page shown is remembered and sizes the window.
  w->tabView->setCurrentIndex(3);
  EXPECT_EQ(QSettings("Orrery Labs", "Quillet").value("SELECTEDTAB").toString(), "Hotkeys");
  const QSize hotkeys = w->window()->size();
  w->tabView->setCurrentIndex(4);  // "Advanced" keeps the size before it
  EXPECT_EQ(w->window()->size(), hotkeys);
  w->tabView->setCurrentIndex(1);
  EXPECT_LT(w->window()->height(), hotkeys.height());
  PreferencesSheetController again;
  EXPECT_EQ(again.tabView->currentWidget()->objectName(), "Appearance");
}

TEST_F(PreferencesTest, ValuesOutsideTheRangesAreShownSafelyAndNeverWritten) {
  PreferencesSheetController* w = open([](QLPreferences& p) {
    p.extendType = 7;
    p.backupType = -2;
    p.maximumBackups = "7";
    p.sound = "gone";
  });
  EXPECT_EQ(w->extendTypeButton->currentIndex(), 0);
  EXPECT_EQ(w->backupButton->currentIndex(), 0);
  EXPECT_EQ(w->maximumBackupButton->currentText(), "7");  // shown as stored
  EXPECT_EQ(w->soundButton->currentText(), "None");
  w->resetView();
  const QLPreferences saved = savedPreferences();
  EXPECT_EQ(saved.extendType, 7);
  EXPECT_EQ(saved.backupType, -2);
  EXPECT_EQ(saved.sound, "gone");
}

TEST_F(PreferencesTest, ACancelledApplicationPickerKeepsTheStoredRule) {
  PreferencesSheetController* w = open([](QLPreferences& p) {
    p.exceptionType = 2;
    p.exceptions = {"Terminal"};
  });
  choose(w->exceptionButton, 2);
  auto* picker = w->findChild<AppSelectionSheetController*>();
  ASSERT_TRUE(picker);
  EXPECT_TRUE(picker->selectedAppNames().isEmpty());  // another rule starts empty
  picker->addApps({"Mail"});
  picker->sheetClosed();
  EXPECT_EQ(w->exceptionButton->currentIndex(), 1);  // back to the stored rule
  EXPECT_EQ(savedPreferences().exceptionType, 2);
  EXPECT_EQ(savedPreferences().exceptions, QStringList{"Terminal"});
  choose(w->exceptionButton, 0);
  EXPECT_EQ(savedPreferences().exceptionType, 1);
}

TEST_F(PreferencesTest, DelimiterPanelTakesOnlyNewStandardTokens) {
  EXPECT_EQ(PreferencesSheetController::acceptedTokens({"comma", "space", "word", ".", ".", "esc"}, {"space"}),
            (QStringList{",", ".", "esc"}));
  desktop.keySource().setCanWithholdKeys(false);
  PreferencesSheetController* w = open();
  w->actionSetDelimiters();
  ASSERT_TRUE(w->delimiterPanel());
  EXPECT_TRUE(w->delimiterNote->isVisibleTo(w->delimiterPanel()));
  EXPECT_TRUE(w->standardDelimitersField->text().contains("comma"));
  w->userDelimiters->setText("space tab comma nonsense tab ;");
  w->delimiterPanelOK();
  EXPECT_EQ(savedPreferences().delimiters, (QStringList{"space", "tab", ",", ";"}));
  EXPECT_FALSE(w->delimiterPanel());

  w->keySourceCanWithholdKeys = true;
  w->actionSetDelimiters();
  EXPECT_FALSE(w->delimiterNote->isVisibleTo(w->delimiterPanel()));
  EXPECT_EQ(w->userDelimiters->text(), "space tab comma ;");
  w->userDelimiters->setText("");
  w->delimiterPanelCancel();
  EXPECT_EQ(savedPreferences().delimiters.size(), 4);
}

TEST_F(PreferencesTest, RecordersRefuseKeysWithoutModifierAndCombinationsOthersHold) {
  PreferencesSheetController* w = open();
  desktop.hotKeys().reserve(ql::keys::F5, mods::Control | mods::Shift);
  ShortcutRecorder* toggle = w->recorders[2];
  QTest::mouseClick(toggle, Qt::LeftButton);
  QTest::keyClick(toggle, Qt::Key_K);
  QTest::keyClick(toggle, Qt::Key_F5, Qt::MetaModifier | Qt::ShiftModifier);
  EXPECT_TRUE(w->hotKeyMessage->text().contains("another program"));
  EXPECT_TRUE(savedPreferences().enableDisabledQuilletHotKey.isEmpty());
  QTest::keyClick(toggle, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(toggle->text(), "Ctrl+Shift+E");
  EXPECT_EQ(ShortcutRecorder::displayText(savedPreferences().enableDisabledQuilletHotKey), "Ctrl+Shift+E");

  // Reached by the keyboard, the recorder waits for Space before it records.
  QTest::keyClick(toggle, Qt::Key_Space);
  EXPECT_TRUE(toggle->isRecording());
  QTest::keyClick(toggle, Qt::Key_Escape);
  EXPECT_FALSE(toggle->isRecording());
  EXPECT_EQ(toggle->text(), "Ctrl+Shift+E");
}
