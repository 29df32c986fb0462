#pragma once

#include "app/preferences_sheet_controller_delegate.h"

#include <QDialog>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSize>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QLPreferences;
class QPushButton;
class QTabWidget;
class ShortcutRecorder;

// The preferences window: every control writes its preference into the live
// record at once and tells the delegate. Pages "General", "Appearance",
// "Backup", "Hotkeys" and "Advanced"; the page last shown is remembered.
class PreferencesSheetController final : public QObject {
  Q_OBJECT

 public:
  explicit PreferencesSheetController(QWidget* parent = nullptr);
  ~PreferencesSheetController() override;

  // The live record; handed over each time the window opens.
  QLPreferences* preferences = nullptr;
  PreferencesSheetControllerDelegate* delegate = nullptr;
  // Sound names offered after "None" (the sound player's).
  QStringList soundNames;
  // False on a key source that sees keys only after the application did:
  // the delimiter panel then says what Return, Enter, Tab and Escape do.
  bool keySourceCanWithholdKeys = true;

  QDialog* window() const { return window_; }
  // Hands over the record, fills the controls and shows the window.
  void showWindow(QLPreferences* record);

  // Fills every control from the record (after a restore, or an expansion switch).
  void resetView();
  // Shows the page with this identifier and remembers it.
  void tabSelected(const QString& identifier);
  static QSize pageSize(const QString& identifier);  // invalid: keep the size

  // The standard delimiter tokens, "," for the comma.
  static QStringList standardDelimiters();
  // Of the tokens being added, those the list may take: standard ones not yet
  // in current (nor earlier in adding), "comma" read as ",".
  static QStringList acceptedTokens(const QStringList& adding, const QStringList& current);

  void actionExtendAbbrChanged();
  void actionExtendTypeChanged();
  void actionExtendAfterChanged();
  void actionPlaySoundChanged();
  void actionSoundChanged();
  void actionRestoreClipboardChanged();
  void actionSnippetFormatChanged();
  void actionAbbreviationCaseChanged();
  void actionExceptionChanged();
  void AppSelectionSheetControllerDidFinish(bool cancelled, int exceptionType, const QStringList& applications);
  // The delimiter panel.
  void actionSetDelimiters();
  void delimiterPanelOK();
  void delimiterPanelCancel();
  void actionShowStatusBarIconChanged();
  void actionHideIconInDockChanged();
  void actionLaunchAtLoginChanged();
  void actionSetPlainFont();
  void actionSetFont();
  // A font chosen in the font dialog for the plain (true) or formatted field.
  void changeFont(bool plain, const QFont& font);
  void actionAutomaticBackupChanged();
  void actionBackupChanged();
  void actionBackupFolderChanged();
  // A folder picker over the window, opened at start.
  QFileDialog* folderDialog(const QString& title, const QString& start);
  void backupFolderChosen(const QString& path);
  void actionLibraryFolderChanged();
  void actionLibraryFolderDefault();
  void actionMaximumBackupChanged();
  void actionDelayChanged();
  void shortcutRecorderKeyComboDidChange(ShortcutRecorder* recorder);
  // Why recorder may not take the combination, or empty.
  QString shortcutRecorderIsKeyCodeTaken(ShortcutRecorder* recorder, quint16 keyCode, quint64 flags);

  QTabWidget* tabView = nullptr;
  QCheckBox* extendAbbrButton = nullptr;
  QComboBox* extendTypeButton = nullptr;
  QComboBox* expandAfterButton = nullptr;
  QCheckBox* playSoundButton = nullptr;
  QComboBox* soundButton = nullptr;
  QCheckBox* restoreClipboardButton = nullptr;
  QCheckBox* backSpaceUndoButton = nullptr;
  QComboBox* snippetFormatButton = nullptr;
  QComboBox* abbreviationCaseButton = nullptr;
  QComboBox* exceptionButton = nullptr;
  QPushButton* delimitersButton = nullptr;
  QCheckBox* showStatusBarIconButton = nullptr;
  QCheckBox* hideIconInDockButton = nullptr;
  // Why the windows stayed in the taskbar, when they had to.
  QLabel* dockNote = nullptr;
  QCheckBox* launchAtLoginButton = nullptr;
  QLineEdit* fontPlainText = nullptr;
  QPushButton* fontPlainButton = nullptr;
  QLineEdit* fontText = nullptr;
  QPushButton* fontTextButton = nullptr;
  QCheckBox* automaticBackupButton = nullptr;
  QComboBox* backupButton = nullptr;
  QLineEdit* backupFolderPath = nullptr;
  QPushButton* backupFolderButton = nullptr;
  QComboBox* maximumBackupButton = nullptr;
  // Where the library file lives.
  QLineEdit* libraryFolderPath = nullptr;
  QPushButton* libraryFolderButton = nullptr;
  QPushButton* libraryFolderDefaultButton = nullptr;
  QDoubleSpinBox* snippetProcessDelay = nullptr;
  QDoubleSpinBox* restoreClipboardDelay = nullptr;
  // In the order of their preferences: suggestion, open, enable/disable, new
  // snippet, from selection, from clipboard, from application.
  QList<ShortcutRecorder*> recorders;
  QLabel* hotKeyMessage = nullptr;
  // Where the desktop binds the keys (Wayland): the tab shows the command
  // for each action instead of recording keys.
  void setHotKeysByCommand(bool byCommand);
  QLabel* hotKeyCommandNote = nullptr;
  QList<QLineEdit*> hotKeyCommands;

  // The delimiter panel, while it is open.
  QDialog* delimiterPanel() const { return delimiterPanel_; }
  QLabel* standardDelimitersField = nullptr;
  QLineEdit* userDelimiters = nullptr;
  QLabel* delimiterNote = nullptr;

  static const QStringList& hotKeyNames();  // the preference keys, recorder order

 private:
  void loadSounds();
  void showFont(QLineEdit* field, const QFont& font);
  void selectTitle(QComboBox* box, const QString& title, bool addIfNumber);
  // The user's tokens in the panel's field, cleaned by the acceptance rule.
  QStringList panelTokens() const;
  void resizeToPage(const QString& identifier);

  QPointer<QDialog> window_;
  QPointer<QDialog> delimiterPanel_;
  bool isLoading = false;
};
