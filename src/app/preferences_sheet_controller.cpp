#include "app/preferences_sheet_controller.h"

#include "app/preference_bindings.h"
#include "app/shortcut_recorder.h"
#include "ui_preferences_delimiter_panel.h"
#include "ui_preferences_sheet_controller.h"
#include "model/ql_preferences.h"
#include "platform/keys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include "model/string_utilities.h"
#include <QFileInfo>
#include <QFontDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>

#include <cmath>

namespace {

const QString kSelectedTab = QStringLiteral("SELECTEDTAB");
const QString kFrameKey = QStringLiteral("NSWindow Frame PreferencesWindow");
const QString kNone = QStringLiteral("None");
const QStringList kPages = {QStringLiteral("General"), QStringLiteral("Appearance"), QStringLiteral("Backup"),
                            QStringLiteral("Hotkeys"), QStringLiteral("Advanced")};

QSettings defaults() { return QSettings(QStringLiteral("Orrery Labs"), QStringLiteral("Quillet")); }

ql::PlistDict& hotKey(QLPreferences& p, int index) {
  ql::PlistDict* keys[] = {&p.suggestionHotkey,  &p.openQuilletHotKey,
                           &p.enableDisabledQuilletHotKey, &p.newSnippetHotKey,
                           &p.newSnippetFromSelectionHotKey, &p.newSnippetFromClipboardHotKey,
                           &p.newSnippetFromApplicationHotKey, &p.searchSnippetHotKey};
  return *keys[index];
}

QFont fontOf(const ql::PlistDict& dict) {
  QFont font(QLPreferences::fontName(dict));
  const double size = QLPreferences::fontSize(dict);
  if (size > 0) font.setPointSizeF(size);
  return font;
}

}  // namespace

const QStringList& PreferencesSheetController::hotKeyNames() {
  static const QStringList names = {
      QStringLiteral("suggestionHotkey"),          QStringLiteral("openQuilletHotKey"),
      QStringLiteral("enableDisabledQuilletHotKey"), QStringLiteral("newSnippetHotKey"),
      QStringLiteral("newSnippetFromSelectionHotKey"), QStringLiteral("newSnippetFromClipboardHotKey"),
      QStringLiteral("newSnippetFromApplicationHotKey"), QStringLiteral("searchSnippetHotKey")};
  return names;
}

QStringList PreferencesSheetController::standardDelimiters() { return QLPreferences::delimiterVocabulary(); }

QStringList PreferencesSheetController::acceptedTokens(const QStringList& adding, const QStringList& current) {
  const QStringList& vocabulary = QLPreferences::delimiterVocabulary();
  QStringList taken = current;
  QStringList accepted;
  for (QString token : adding) {
    if (token == QLatin1String("comma")) token = QStringLiteral(",");
    if (!vocabulary.contains(token) || taken.contains(token)) continue;
    taken.append(token);
    accepted.append(QString(token.constData(), token.size()));  // a copy of its own
  }
  return accepted;
}

QSize PreferencesSheetController::pageSize(const QString& identifier) {
  if (identifier == QLatin1String("General")) return {594, 270};
  if (identifier == QLatin1String("Appearance")) return {594, 120};
  if (identifier == QLatin1String("Backup")) return {594, 146};
  if (identifier == QLatin1String("Hotkeys")) return {594, 217};
  return {};
}

PreferencesSheetController::PreferencesSheetController(QWidget* parent)
    : ui_(std::make_unique<Ui::PreferencesSheet>()) {
  window_ = new QDialog(parent);
  ui_->setupUi(window_);
  for (const QString& name : hotKeyNames()) {
    auto* r = window_->findChild<ShortcutRecorder*>(name);
    r->isTaken = [this, r](quint16 code, quint64 flags) { return shortcutRecorderIsKeyCodeTaken(r, code, flags); };
    connect(r, &ShortcutRecorder::keyComboDidChange, this, [this, r] { shortcutRecorderKeyComboDidChange(r); });
    connect(r, &ShortcutRecorder::refused, this, [this](const QString& combination, const QString& reason) {
      ui_->hotKeyMessage->setText(tr("%1 cannot be used: %2").arg(combination, reason));
    });
    recorders_.append(r);
  }
  ui_->dockNote->hide();
  setHotKeysByCommand(false);
  bindPreferences();
  connectActions();

  const QByteArray frame = defaults().value(kFrameKey).toByteArray();
  if (!frame.isEmpty()) window_->restoreGeometry(frame);
  QString page = defaults().value(kSelectedTab, kPages.first()).toString();
  if (!kPages.contains(page)) page = kPages.first();
  tabSelected(page);
  connect(ui_->tabView, &QTabWidget::currentChanged, this, [this](int index) {
    if (index >= 0) tabSelected(kPages[index]);
  });
  loadSounds();
}

void PreferencesSheetController::bindPreferences() {
  // While the window fills, a control's change is not the user's.
  bindings_ = std::make_unique<PreferenceBindings>(this, [this] { return isLoading ? nullptr : preferences; });
  PreferenceBindings& bind = *bindings_;
  const auto changed = [this] { if (delegate) delegate->preferencesChanged(this); };
  const auto backupChanged = [this] {
    updateEnabled();
    if (delegate) delegate->backupConfigChanged(this);
  };
  using P = QLPreferences;
  bind.flag(ui_->extendAbbrButton, &P::isExtendAbbreviation, [this] {
    if (delegate) delegate->extenderChanged(this, preferences->isExtendAbbreviation);
  });
  bind.index(ui_->extendTypeButton, &P::extendType, [this, changed] {
    updateEnabled();
    changed();
  });
  bind.index(ui_->expandAfterButton, &P::extendAfter, changed);
  bind.flag(ui_->playSoundButton, &P::isPlaySound, changed);
  bind.title(ui_->soundButton, &P::sound, [this, changed] {
    preferences->isPlaySound = preferences->sound != kNone;
    ui_->playSoundButton->setChecked(preferences->isPlaySound);
    changed();
  });
  bind.flag(ui_->restoreClipboardButton, &P::isRestoreClipboard, changed);
  bind.flag(ui_->backSpaceUndoButton, &P::isBackSpaceUndo, changed);
  bind.index(ui_->snippetFormatButton, &P::snippetFormatType, changed);
  bind.index(ui_->abbreviationCaseButton, &P::abbreviationCaseType, changed);
  bind.flag(ui_->showStatusBarIconButton, &P::isShowStatusBarIcon, [this] {
    if (delegate) delegate->statusBarIconStatusChanged(this, preferences->isShowStatusBarIcon);
  });
  bind.flag(ui_->launchAtLoginButton, &P::isLaunchAtLogin, [this, changed] {
    if (delegate) delegate->toggleLoginItem(preferences->isLaunchAtLogin);
    changed();
  });
  bind.flag(ui_->automaticBackupButton, &P::isAutomaticBackup, backupChanged);
  bind.index(ui_->backupButton, &P::backupType, backupChanged);
  bind.count(ui_->maximumBackupButton, &P::maximumBackups, changed);
  bind.seconds(ui_->snippetProcessDelay, &P::snippetProcessDelay, changed);
  bind.seconds(ui_->restoreClipboardDelay, &P::restoreClipboardDelay, changed);
}

void PreferencesSheetController::connectActions() {
  connect(ui_->exceptionButton, &QComboBox::activated, this, [this] { actionExceptionChanged(); });
  connect(ui_->delimitersButton, &QPushButton::clicked, this, [this] { actionSetDelimiters(); });
  connect(ui_->hideIconInDockButton, &QCheckBox::clicked, this, [this] { actionHideIconInDockChanged(); });
  connect(ui_->fontPlainButton, &QPushButton::clicked, this, [this] { actionSetPlainFont(); });
  connect(ui_->fontTextButton, &QPushButton::clicked, this, [this] { actionSetFont(); });
  connect(ui_->backupFolderButton, &QPushButton::clicked, this, [this] { actionBackupFolderChanged(); });
  connect(ui_->libraryFolderButton, &QPushButton::clicked, this, [this] { actionLibraryFolderChanged(); });
  connect(ui_->libraryFolderDefaultButton, &QPushButton::clicked, this, [this] { actionLibraryFolderDefault(); });
}

void PreferencesSheetController::updateEnabled() {
  const QLPreferences& p = *preferences;
  ui_->expandAfterButton->setEnabled(p.extendType == QLPreferences::Immediate);
  ui_->delimitersButton->setEnabled(p.extendType != QLPreferences::Immediate);
  ui_->backupButton->setEnabled(p.isAutomaticBackup);
}

PreferencesSheetController::~PreferencesSheetController() {
  if (window_ && window_->testAttribute(Qt::WA_WState_Created))
    defaults().setValue(kFrameKey, window_->saveGeometry());
  delete window_;
}

void PreferencesSheetController::showWindow(QLPreferences* record) {
  preferences = record;
  loadSounds();
  resetView();
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void PreferencesSheetController::loadSounds() {
  const QSignalBlocker block(ui_->soundButton);
  ui_->soundButton->clear();
  ui_->soundButton->addItem(kNone);
  ui_->soundButton->addItems(soundNames);
}

void PreferencesSheetController::showFont(QLineEdit* field, const QFont& font) {
  field->setText(QString::asprintf("%s %.2f", qPrintable(font.family()), font.pointSizeF()));
  field->setFont(font);
}

void PreferencesSheetController::resetView() {
  if (!preferences) return;
  isLoading = true;
  const QLPreferences& p = *preferences;
  bindings_->load(p);
  updateEnabled();
  if (p.exceptionType >= 1 && p.exceptionType <= 3) ui_->exceptionButton->setCurrentIndex(p.exceptionType - 1);
  // Hidden from the taskbar, the tray icon is the way back: on and fixed.
  ui_->showStatusBarIconButton->setChecked(p.isShowStatusBarIcon || p.isShowDockIcon);
  ui_->showStatusBarIconButton->setEnabled(!p.isShowDockIcon);
  ui_->hideIconInDockButton->setChecked(p.isShowDockIcon);
  showFont(ui_->fontPlainText, fontOf(p.plainSnippetFont));
  showFont(ui_->fontText, fontOf(p.formattedSnippetFont));
  ui_->backupFolderPath->setText(p.backupFolderPath);
  ui_->libraryFolderPath->setText(ql::Utilities::getLibraryFolder());
  ui_->libraryFolderDefaultButton->setEnabled(!ql::Utilities::chosenLibraryFolder().isEmpty());
  for (int i = 0; i < recorders_.size(); ++i) recorders_[i]->setValue(hotKey(*preferences, i));
  ui_->hotKeyMessage->clear();
  isLoading = false;
}

void PreferencesSheetController::tabSelected(const QString& identifier) {
  const int index = int(kPages.indexOf(identifier));
  if (index < 0) return;
  defaults().setValue(kSelectedTab, identifier);
  if (ui_->tabView->currentIndex() != index) {
    const QSignalBlocker block(ui_->tabView);
    ui_->tabView->setCurrentIndex(index);
  }
  resizeToPage(identifier);
}

void PreferencesSheetController::resizeToPage(const QString& identifier) {
  const QSize page = pageSize(identifier);
  if (!page.isValid()) return;  // the page keeps the size of the one before
  // The window takes the size of the page shown, not of the largest page.
  for (int i = 0; i < ui_->tabView->count(); ++i) {
    const QSizePolicy::Policy policy = i == ui_->tabView->currentIndex() ? QSizePolicy::Preferred : QSizePolicy::Ignored;
    ui_->tabView->widget(i)->setSizePolicy(policy, policy);
  }
  window_->layout()->invalidate();
  window_->layout()->activate();
  // The page's content size plus the tab strip and the margins, never less
  // than the page needs in this font.
  const QWidget* current = ui_->tabView->currentWidget();
  const int chrome = ui_->tabView->tabBar()->sizeHint().height() + 2 * 6 + 8;
  QSize size(page.width() + 2 * 6, page.height() + chrome);
  size = size.expandedTo(current->minimumSizeHint() + QSize(2 * 6 + 4, chrome));
  const QPoint topLeft = window_->geometry().topLeft();
  window_->resize(size);
  if (window_->isVisible()) window_->move(window_->pos() + (topLeft - window_->geometry().topLeft()));
}

void PreferencesSheetController::actionExceptionChanged() {
  if (!preferences || isLoading) return;
  const int index = ui_->exceptionButton->currentIndex();
  if (index == 0) {
    preferences->exceptionType = 1;
    if (delegate) delegate->preferencesChanged(this);
    return;
  }
  if (index != 1 && index != 2) return;
  const int type = index + 1;
  const QString title = index == 1 ? tr("Expand in all applications except:")
                                   : tr("Expand in only these applications:");
  const QStringList chosen = preferences->exceptionType == type ? preferences->exceptions : QStringList();
  if (delegate) delegate->chooseApplications(this, type, title, chosen);
  else resetView();
}

void PreferencesSheetController::AppSelectionSheetControllerDidFinish(bool cancelled, int exceptionType,
                                                                      const QStringList& applications) {
  if (!preferences) return;
  if (cancelled || exceptionType < 2 || exceptionType > 3) {
    resetView();  // the pop-up returns to the stored rule
    return;
  }
  preferences->exceptionType = exceptionType;
  preferences->exceptions = applications;
  if (delegate) delegate->preferencesChanged(this);
}

QStringList PreferencesSheetController::panelTokens() const {
  if (!delimiterPanel_) return {};
  return acceptedTokens(panelUi_->userDelimiters->text().split(QLatin1Char(' '), Qt::SkipEmptyParts), {});
}

void PreferencesSheetController::actionSetDelimiters() {
  if (!preferences) return;
  if (delimiterPanel_) delimiterPanel_->deleteLater();
  auto* panel = new QDialog(window_);
  delimiterPanel_ = panel;
  panelUi_ = std::make_unique<Ui::DelimiterPanel>();
  panelUi_->setupUi(panel);
  panel->setWindowModality(Qt::WindowModal);
  // All 39 on view, wrapped, and selectable for copying into the list.
  QStringList shown = standardDelimiters();
  shown.replaceInStrings(QRegularExpression(QStringLiteral("^,$")), QStringLiteral("comma"));
  panelUi_->standardDelimitersField->setText(shown.join(QLatin1Char(' ')));
  QStringList current = preferences->delimiters;
  current.replaceInStrings(QRegularExpression(QStringLiteral("^,$")), QStringLiteral("comma"));
  panelUi_->userDelimiters->setText(current.join(QLatin1Char(' ')));
  // Tokens are separated by spaces; what the list may not take is dropped
  // as soon as the user leaves the field.
  connect(panelUi_->userDelimiters, &QLineEdit::editingFinished, panel, [this] {
    QStringList tokens = panelTokens();
    tokens.replaceInStrings(QRegularExpression(QStringLiteral("^,$")), QStringLiteral("comma"));
    panelUi_->userDelimiters->setText(tokens.join(QLatin1Char(' ')));
  });
  panelUi_->delimiterNote->setVisible(!keySourceCanWithholdKeys);
  connect(panelUi_->buttons, &QDialogButtonBox::accepted, this, [this] { delimiterPanelOK(); });
  connect(panelUi_->buttons, &QDialogButtonBox::rejected, this, [this] { delimiterPanelCancel(); });
  panel->resize(520, panel->sizeHint().height());
  panel->open();
}

void PreferencesSheetController::delimiterPanelOK() {
  if (preferences && delimiterPanel_) {
    preferences->delimiters = panelTokens();
    if (delegate) delegate->preferencesChanged(this);
  }
  delimiterPanelCancel();
}

void PreferencesSheetController::delimiterPanelCancel() {
  if (!delimiterPanel_) return;
  delimiterPanel_->hide();
  delimiterPanel_->deleteLater();
  delimiterPanel_ = nullptr;
}

void PreferencesSheetController::actionHideIconInDockChanged() {
  if (!preferences || isLoading) return;
  const bool hide = ui_->hideIconInDockButton->isChecked();
  ui_->dockNote->hide();
  // Never without both the taskbar entry and the tray icon.
  const bool hadTrayIcon = preferences->isShowStatusBarIcon;
  if (hide) preferences->isShowStatusBarIcon = true;
  if (hide && delegate && !delegate->hideFromTaskbar()) {
    preferences->isShowStatusBarIcon = hadTrayIcon;
    ui_->hideIconInDockButton->setChecked(false);
    ui_->dockNote->setText(tr("The library window stays in the taskbar: this desktop has no system tray "
                         "to hold Quillet's icon, and without either Quillet could not be reached."));
    ui_->dockNote->show();
    // The note's lines must not be cut off by the page's old height.
    if (window_) {
      window_->layout()->activate();
      window_->resize(window_->size().expandedTo(window_->sizeHint()));
    }
    return;
  }
  preferences->isShowDockIcon = hide;
  ui_->showStatusBarIconButton->setChecked(preferences->isShowStatusBarIcon);
  ui_->showStatusBarIconButton->setEnabled(!hide);
  if (delegate) {
    delegate->dockIconStatusChanged(this, hide);
    if (!hide) delegate->setDockStatus(true);
  }
}

void PreferencesSheetController::actionSetPlainFont() {
  if (!preferences) return;
  auto* dialog = new QFontDialog(ui_->fontPlainText->font(), window_);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setOption(QFontDialog::DontUseNativeDialog, QGuiApplication::platformName() == QLatin1String("offscreen"));
  connect(dialog, &QFontDialog::fontSelected, this, [this](const QFont& font) { changeFont(true, font); });
  dialog->open();
}

void PreferencesSheetController::actionSetFont() {
  if (!preferences) return;
  auto* dialog = new QFontDialog(ui_->fontText->font(), window_);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setOption(QFontDialog::DontUseNativeDialog, QGuiApplication::platformName() == QLatin1String("offscreen"));
  connect(dialog, &QFontDialog::fontSelected, this, [this](const QFont& font) { changeFont(false, font); });
  dialog->open();
}

void PreferencesSheetController::changeFont(bool plain, const QFont& font) {
  if (!preferences) return;
  const double size = font.pointSizeF() > 0 ? font.pointSizeF() : 12.0;
  const ql::PlistDict dict = QLPreferences::fontDictionary(font.family(), size);
  QFont shown = font;
  shown.setPointSizeF(size);
  if (plain) {
    preferences->plainSnippetFont = dict;
    showFont(ui_->fontPlainText, shown);
    if (delegate) delegate->plainFontChanged(this, shown);
  } else {
    preferences->formattedSnippetFont = dict;
    showFont(ui_->fontText, shown);
    if (delegate) delegate->formattedFontChanged(this, shown);
  }
}

QFileDialog* PreferencesSheetController::folderDialog(const QString& title, const QString& start) {
  auto* dialog = new QFileDialog(window_, title);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setFileMode(QFileDialog::Directory);
  dialog->setOption(QFileDialog::ShowDirsOnly);
  dialog->setLabelText(QFileDialog::Accept, tr("Choose"));
  if (QGuiApplication::platformName() == QLatin1String("offscreen"))
    dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setDirectory(start);
  return dialog;
}

void PreferencesSheetController::actionBackupFolderChanged() {
  if (!preferences) return;
  QFileDialog* dialog = folderDialog(tr("Choose a backup folder"),
                                     QFileInfo(preferences->backupFolderPath).absolutePath());
  connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& path) { backupFolderChosen(path); });
  dialog->open();
}

void PreferencesSheetController::backupFolderChosen(const QString& path) {
  if (!preferences || path.isEmpty() || !QFileInfo(path).isDir()) return;
  preferences->backupFolderPath = QFileInfo(path).canonicalFilePath();
  ui_->backupFolderPath->setText(preferences->backupFolderPath);
  if (delegate) delegate->preferencesChanged(this);
}

void PreferencesSheetController::actionLibraryFolderChanged() {
  QFileDialog* dialog =
      folderDialog(tr("Choose a folder for the library"), ql::Utilities::getLibraryFolder());
  connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isDir()) return;
    if (delegate) delegate->libraryFolderChosen(this, QFileInfo(path).canonicalFilePath());
    resetView();
  });
  dialog->open();
}

void PreferencesSheetController::actionLibraryFolderDefault() {
  if (delegate) delegate->libraryFolderChosen(this, QString());
  resetView();
}

void PreferencesSheetController::setHotKeysByCommand(bool byCommand) {
  ui_->hotKeyCommandNote->setVisible(byCommand);
  for (ShortcutRecorder* r : std::as_const(recorders_)) {
    r->setVisible(!byCommand);
    window_->findChild<QLineEdit*>(r->objectName() + QStringLiteral("Command"))->setVisible(byCommand);
  }
}

void PreferencesSheetController::shortcutRecorderKeyComboDidChange(ShortcutRecorder* recorder) {
  if (!preferences || isLoading) return;
  const int index = int(recorders_.indexOf(recorder));
  if (index < 0) return;
  ql::PlistDict& stored = hotKey(*preferences, index);
  if (!stored.isEmpty() && delegate) {
    const ql::PlistValue* code = stored.value(QStringLiteral("keyCode"));
    const ql::PlistValue* flags = stored.value(QStringLiteral("modifierFlags"));
    if (code && code->toInteger())
      delegate->unRegisterhotKey(quint16(*code->toInteger()),
                                 flags ? quint64(quint32(flags->toInteger().value_or(0))) : 0);
  }
  stored = recorder->value();  // an empty dictionary when cleared
  ui_->hotKeyMessage->clear();
  if (delegate) delegate->hotKeysChanged(this);
}

QString PreferencesSheetController::shortcutRecorderIsKeyCodeTaken(ShortcutRecorder* recorder, quint16 keyCode,
                                                                  quint64 flags) {
  if (!preferences || isLoading) return {};
  for (ShortcutRecorder* other : recorders_) {
    if (other == recorder || !other->hasKey()) continue;
    if (other->keyCode() == keyCode && ql::mods::masked(other->modifierFlags()) == ql::mods::masked(flags))
      return tr("it is already taken.") + QLatin1Char(' ') +
             tr("(%1)").arg(other->accessibleName().chopped(1));
  }
  if (delegate) {
    const QString reason = delegate->hotKeyTakenReason(keyCode, flags);
    if (!reason.isEmpty()) return reason;
  }
  return {};
}
