#include "app/preferences_sheet_controller.h"
#include "app/shortcut_recorder.h"
#include "model/ql_preferences.h"
#include "platform/keys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

class PreferencesWindow : public ::testing::Test, public PreferencesSheetControllerDelegate {
 protected:
  void SetUp() override {
    QSettings(QStringLiteral("Orrery Labs"), QStringLiteral("Quillet")).remove(QStringLiteral("SELECTEDTAB"));
    w_ = std::make_unique<PreferencesSheetController>();
    w_->delegate = this;
    w_->soundNames = {"bell", "complete", "message"};
    w_->showWindow(&prefs_);
  }

  void preferencesChanged(PreferencesSheetController*) override { calls_ << "preferences"; }
  void extenderChanged(PreferencesSheetController*, bool s) override { calls_ << QString("extender %1").arg(s); }
  void statusBarIconStatusChanged(PreferencesSheetController*, bool s) override {
    calls_ << QString("status %1").arg(s);
  }
  void dockIconStatusChanged(PreferencesSheetController*, bool s) override { calls_ << QString("dock %1").arg(s); }
  void plainFontChanged(PreferencesSheetController*, const QFont&) override { calls_ << "plain font"; }
  void formattedFontChanged(PreferencesSheetController*, const QFont&) override { calls_ << "font"; }
  void hotKeysChanged(PreferencesSheetController*) override { calls_ << "hotkeys"; }
  void backupConfigChanged(PreferencesSheetController*) override { calls_ << "backup"; }
  void toggleLoginItem(bool on) override { calls_ << QString("login %1").arg(on); }
  void setDockStatus(bool shown) override { calls_ << QString("show dock %1").arg(shown); }
  void relaunch() override { calls_ << "relaunch"; }
  bool unRegisterhotKey(quint16 code, quint64 flags) override {
    calls_ << QString("unregister %1 %2").arg(code).arg(flags, 0, 16);
    return true;
  }
  QString hotKeyTakenReason(quint16 code, quint64) override {
    return code == ql::keys::F5 ? QStringLiteral("another program holds it.") : QString();
  }
  void chooseApplications(PreferencesSheetController*, int type, const QString& title,
                          const QStringList& apps) override {
    calls_ << QString("picker %1 %2 %3").arg(type).arg(title, apps.join(','));
  }

  static void choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
  }
  QStringList take() { return std::exchange(calls_, {}); }

  QLPreferences prefs_;
  std::unique_ptr<PreferencesSheetController> w_;
  QStringList calls_;
};

}  // namespace

TEST_F(PreferencesWindow, GeneralControlsStoreTheirValueAndTellTheDelegate) {
  PreferencesSheetController& w = *w_;
  w.extendAbbrButton->click();
  EXPECT_FALSE(prefs_.isExtendAbbreviation);
  EXPECT_EQ(take(), QStringList{"extender 0"});

  choose(w.extendTypeButton, 2);
  EXPECT_EQ(prefs_.extendType, 2);
  EXPECT_FALSE(w.expandAfterButton->isEnabled());
  choose(w.extendTypeButton, 0);
  EXPECT_TRUE(w.expandAfterButton->isEnabled());
  choose(w.expandAfterButton, 1);
  EXPECT_EQ(prefs_.extendAfter, 1);
  choose(w.snippetFormatButton, 1);
  EXPECT_EQ(prefs_.snippetFormatType, 1);
  choose(w.abbreviationCaseButton, 2);
  EXPECT_EQ(prefs_.abbreviationCaseType, 2);
  w.restoreClipboardButton->click();
  EXPECT_FALSE(prefs_.isRestoreClipboard);
  EXPECT_EQ(take().size(), 6);

  choose(w.soundButton, w.soundButton->findText("None"));
  EXPECT_EQ(prefs_.sound, "None");
  EXPECT_FALSE(prefs_.isPlaySound);
  choose(w.soundButton, w.soundButton->findText("bell"));
  EXPECT_EQ(prefs_.sound, "bell");
  EXPECT_TRUE(prefs_.isPlaySound);
  EXPECT_TRUE(w.playSoundButton->isChecked());

  // The global rule: "everywhere" at once; the others through the picker.
  prefs_.exceptionType = 2;
  prefs_.exceptions = {"Terminal"};
  take();
  choose(w.exceptionButton, 1);
  EXPECT_EQ(take(), QStringList{"picker 2 Expand in all applications except: Terminal"});
  w.AppSelectionSheetControllerDidFinish(true, 3, {"Mail"});
  EXPECT_EQ(w.exceptionButton->currentIndex(), 1);  // back to the stored rule
  EXPECT_EQ(prefs_.exceptions, QStringList{"Terminal"});
  choose(w.exceptionButton, 2);
  EXPECT_EQ(take(), QStringList{"picker 3 Expand in only these applications: "});
  w.AppSelectionSheetControllerDidFinish(false, 3, {"Mail", "Editor"});
  EXPECT_EQ(prefs_.exceptionType, 3);
  EXPECT_EQ(prefs_.exceptions, (QStringList{"Mail", "Editor"}));
  choose(w.exceptionButton, 0);
  EXPECT_EQ(prefs_.exceptionType, 1);
  EXPECT_EQ(take(), (QStringList{"preferences", "preferences"}));
}

// The taskbar, tray, login and font switches are checked through the shell,
// where their effect shows.
TEST_F(PreferencesWindow, BackupAndDelayControls) {
  PreferencesSheetController& w = *w_;
  w.automaticBackupButton->click();
  EXPECT_FALSE(prefs_.isAutomaticBackup);
  choose(w.backupButton, 2);
  EXPECT_EQ(prefs_.backupType, 2);
  choose(w.maximumBackupButton, w.maximumBackupButton->findText("20"));
  EXPECT_EQ(prefs_.maximumBackups, "20");
  QTemporaryDir folder;
  w.backupFolderChosen(folder.path());
  EXPECT_EQ(prefs_.backupFolderPath, QFileInfo(folder.path()).canonicalFilePath());
  w.backupFolderChosen(folder.filePath("missing"));  // not a folder: nothing
  w.snippetProcessDelay->setValue(0.5);
  EXPECT_DOUBLE_EQ(prefs_.snippetProcessDelay, 0.5);
  w.restoreClipboardDelay->setValue(99);  // beyond the range: held at its end
  EXPECT_DOUBLE_EQ(prefs_.restoreClipboardDelay, 5.0);
  EXPECT_EQ(take(), (QStringList{"backup", "backup", "preferences", "preferences", "preferences", "preferences"}));
}

TEST_F(PreferencesWindow, ValuesOutsideTheRangesAreShownSafelyAndNeverWritten) {
  prefs_.extendType = 7;
  prefs_.backupType = -2;
  prefs_.maximumBackups = "7";
  prefs_.sound = "gone";
  w_->resetView();
  EXPECT_EQ(w_->extendTypeButton->currentIndex(), 0);
  EXPECT_EQ(w_->backupButton->currentIndex(), 0);
  EXPECT_EQ(w_->maximumBackupButton->currentText(), "7");  // shown as stored
  EXPECT_EQ(w_->soundButton->currentText(), "None");
  EXPECT_TRUE(take().isEmpty());  // filling the window changes nothing
  EXPECT_EQ(prefs_.extendType, 7);
  EXPECT_EQ(prefs_.sound, "gone");
  choose(w_->maximumBackupButton, w_->maximumBackupButton->findText("10"));
  EXPECT_EQ(prefs_.maximumBackups, "10");
}

TEST_F(PreferencesWindow, DelimiterPanelTakesOnlyNewStandardTokens) {
  EXPECT_EQ(PreferencesSheetController::acceptedTokens({"comma", "space", "word", ".", ".", "esc"}, {"space"}),
            (QStringList{",", ".", "esc"}));

  w_->keySourceCanWithholdKeys = false;
  w_->actionSetDelimiters();
  ASSERT_TRUE(w_->delimiterPanel());
  EXPECT_TRUE(w_->delimiterNote->isVisibleTo(w_->delimiterPanel()));
  EXPECT_TRUE(w_->delimiterNote->text().contains("Return, Enter, Tab and Escape"));
  EXPECT_TRUE(w_->standardDelimitersField->text().contains("comma"));
  w_->userDelimiters->setText("space tab comma nonsense tab ;");
  w_->delimiterPanelOK();
  EXPECT_EQ(prefs_.delimiters, (QStringList{"space", "tab", ",", ";"}));
  EXPECT_EQ(take(), QStringList{"preferences"});
  EXPECT_FALSE(w_->delimiterPanel());

  w_->keySourceCanWithholdKeys = true;
  w_->actionSetDelimiters();
  EXPECT_FALSE(w_->delimiterNote->isVisibleTo(w_->delimiterPanel()));
  EXPECT_EQ(w_->userDelimiters->text(), "space tab comma ;");
  w_->userDelimiters->setText("");
  w_->delimiterPanelCancel();
  EXPECT_EQ(prefs_.delimiters.size(), 4);
}

TEST_F(PreferencesWindow, RecordersStoreAppleCodesAndRefuseTakenCombinations) {
  ShortcutRecorder* open = w_->recorders[1];
  ShortcutRecorder* toggle = w_->recorders[2];
  QTest::mouseClick(open, Qt::LeftButton);
  QTest::keyClick(open, Qt::Key_Space, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(open->text(), "Ctrl+Alt+Space");
  EXPECT_EQ(ShortcutRecorder::displayText(prefs_.openQuilletHotKey), "Ctrl+Alt+Space");
  EXPECT_EQ(prefs_.openQuilletHotKey.value("keyCode")->toInteger(), ql::keys::Space);
  EXPECT_EQ(prefs_.openQuilletHotKey.value("modifierFlags")->toInteger(),
            qint64(ql::mods::Command | ql::mods::Option));
  EXPECT_EQ(take(), QStringList{"hotkeys"});

  // The same combination in another recorder, a key without modifier, and a
  // combination another program holds are all refused.
  QTest::mouseClick(toggle, Qt::LeftButton);
  QTest::keyClick(toggle, Qt::Key_Space, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_TRUE(w_->hotKeyMessage->text().contains("it is already taken."));
  EXPECT_TRUE(w_->hotKeyMessage->text().contains("Open the library"));
  QTest::keyClick(toggle, Qt::Key_K);
  QTest::keyClick(toggle, Qt::Key_F5, Qt::MetaModifier | Qt::ShiftModifier);
  EXPECT_TRUE(w_->hotKeyMessage->text().contains("another program holds it."));
  EXPECT_TRUE(prefs_.enableDisabledQuilletHotKey.isEmpty());
  EXPECT_TRUE(take().isEmpty());
  QTest::keyClick(toggle, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(ShortcutRecorder::displayText(prefs_.enableDisabledQuilletHotKey), "Ctrl+Shift+E");
  EXPECT_EQ(take(), QStringList{"hotkeys"});

  // Reached by the keyboard, the recorder waits for Space before it records.
  QTest::keyClick(toggle, Qt::Key_Space);
  EXPECT_TRUE(toggle->isRecording());
  QTest::keyClick(toggle, Qt::Key_Escape);
  EXPECT_FALSE(toggle->isRecording());
  EXPECT_EQ(toggle->text(), "Ctrl+Shift+E");

  // Filling the window from the record is not a change.
  w_->resetView();
  EXPECT_EQ(toggle->text(), "Ctrl+Shift+E");
  EXPECT_TRUE(take().isEmpty());
}

TEST_F(PreferencesWindow, ThePageShownIsRememberedAndSizesTheWindow) {
  w_->tabView->setCurrentIndex(3);
  EXPECT_EQ(QSettings("Orrery Labs", "Quillet").value("SELECTEDTAB").toString(), "Hotkeys");
  const QSize hotkeys = w_->window()->size();
  w_->tabView->setCurrentIndex(4);  // "Advanced" keeps the size before it
  EXPECT_EQ(w_->window()->size(), hotkeys);
  w_->tabView->setCurrentIndex(1);
  EXPECT_LT(w_->window()->height(), hotkeys.height());

  PreferencesSheetController again;
  EXPECT_EQ(again.tabView->currentWidget()->objectName(), "Appearance");
}
