#pragma once

#include "app/preferences_sheet_controller_delegate.h"

#include <QDialog>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSize>

#include <memory>

class PreferenceBindings;
class QFileDialog;
class QLineEdit;
class QLPreferences;
class ShortcutRecorder;

namespace Ui {
class DelimiterPanel;
class PreferencesSheet;
}  // namespace Ui

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

  void actionExceptionChanged();
  void AppSelectionSheetControllerDidFinish(bool cancelled, int exceptionType, const QStringList& applications);
  // The delimiter panel.
  void actionSetDelimiters();
  void delimiterPanelOK();
  void delimiterPanelCancel();
  void actionHideIconInDockChanged();
  void actionSetPlainFont();
  void actionSetFont();
  // A font chosen in the font dialog for the plain (true) or formatted field.
  void changeFont(bool plain, const QFont& font);
  void actionBackupFolderChanged();
  // A folder picker over the window, opened at start.
  QFileDialog* folderDialog(const QString& title, const QString& start);
  void backupFolderChosen(const QString& path);
  void actionLibraryFolderChanged();
  void actionLibraryFolderDefault();
  void shortcutRecorderKeyComboDidChange(ShortcutRecorder* recorder);
  // Why recorder may not take the combination, or empty.
  QString shortcutRecorderIsKeyCodeTaken(ShortcutRecorder* recorder, quint16 keyCode, quint64 flags);

  // Where the desktop binds the keys (Wayland): the tab shows the command
  // for each action instead of recording keys.
  void setHotKeysByCommand(bool byCommand);

  // The delimiter panel, while it is open.
  QDialog* delimiterPanel() const { return delimiterPanel_; }

  static const QStringList& hotKeyNames();  // the preference keys, recorder order

 private:
  void bindPreferences();
  void connectActions();
  // The controls whose use depends on other preferences.
  void updateEnabled();
  void loadSounds();
  void showFont(QLineEdit* field, const QFont& font);
  // The user's tokens in the panel's field, cleaned by the acceptance rule.
  QStringList panelTokens() const;
  void resizeToPage(const QString& identifier);

  std::unique_ptr<Ui::PreferencesSheet> ui_;
  std::unique_ptr<Ui::DelimiterPanel> panelUi_;
  std::unique_ptr<PreferenceBindings> bindings_;
  QPointer<QDialog> window_;
  QPointer<QDialog> delimiterPanel_;
  // In the order of their preferences (hotKeyNames).
  QList<ShortcutRecorder*> recorders_;
  bool isLoading = false;
};
