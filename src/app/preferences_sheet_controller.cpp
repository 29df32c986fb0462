#include "app/preferences_sheet_controller.h"

#include "app/shortcut_recorder.h"
#include "model/ql_preferences.h"
#include "platform/keys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include "model/string_utilities.h"
#include <QFileInfo>
#include <QFontDialog>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString kSelectedTab = QStringLiteral("SELECTEDTAB");
const QString kFrameKey = QStringLiteral("NSWindow Frame PreferencesWindow");
const QString kNone = QStringLiteral("None");
const QStringList kPages = {QStringLiteral("General"), QStringLiteral("Appearance"), QStringLiteral("Backup"),
                            QStringLiteral("Hotkeys"), QStringLiteral("Advanced")};
const QStringList kMaximumBackups = {QStringLiteral("5"),  QStringLiteral("10"), QStringLiteral("20"),
                                     QStringLiteral("30"), QStringLiteral("50"), QStringLiteral("100")};
// The keys that have acted in the application before a listener of X11 sees them.
const QStringList kActingKeys = {QStringLiteral("return"), QStringLiteral("enter"), QStringLiteral("tab"),
                                 QStringLiteral("esc")};
constexpr double kMinimumDelay = 0.0;
constexpr double kMaximumDelay = 5.0;

QSettings defaults() { return QSettings(QStringLiteral("Orrery Labs"), QStringLiteral("Quillet")); }

QComboBox* popup(QWidget* parent, const QStringList& items) {
  auto* box = new QComboBox(parent);
  box->addItems(items);
  return box;
}

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

PreferencesSheetController::PreferencesSheetController(QWidget* parent) {
  window_ = new QDialog(parent);
  window_->setObjectName(QStringLiteral("PreferencesSheet"));
  window_->setWindowTitle(tr("Preferences"));
  tabView = new QTabWidget(window_);
  auto* outer = new QVBoxLayout(window_);
  outer->setContentsMargins(6, 6, 6, 6);
  outer->addWidget(tabView);

  // General
  auto* general = new QWidget;
  auto* g = new QFormLayout(general);
  extendAbbrButton = new QCheckBox(tr("Expand abbreviations"), general);
  extendTypeButton = popup(general, {tr("At once, after the last character"),
                                     tr("After a delimiter, typed again"), tr("After a delimiter, dropped")});
  expandAfterButton = popup(general, {tr("Only after a space"), tr("After any non-alphanumeric character"),
                                      tr("Anywhere")});
  delimitersButton = new QPushButton(tr("Delimiters…"), general);
  auto* typeRow = new QHBoxLayout;
  typeRow->addWidget(extendTypeButton, 1);
  typeRow->addWidget(delimitersButton);
  playSoundButton = new QCheckBox(tr("Play a sound after expanding"), general);
  soundButton = new QComboBox(general);
  auto* soundRow = new QHBoxLayout;
  soundRow->addWidget(playSoundButton);
  soundRow->addWidget(soundButton, 1);
  restoreClipboardButton = new QCheckBox(tr("Restore the clipboard after expanding"), general);
  backSpaceUndoButton = new QCheckBox(tr("BackSpace undoes an expansion"), general);
  snippetFormatButton = popup(general, {tr("Plain text"), tr("Formatted text")});
  abbreviationCaseButton = popup(general, {tr("Case-sensitive"), tr("Ignore case"), tr("Adapt to the case typed")});
  exceptionButton = popup(general, {tr("Expand in all applications"), tr("Expand in all applications except…"),
                                    tr("Expand in only these applications…")});
  g->addRow(extendAbbrButton);
  g->addRow(tr("Expand:"), typeRow);
  g->addRow(tr("Abbreviations expand:"), expandAfterButton);
  g->addRow(soundRow);
  g->addRow(restoreClipboardButton);
  g->addRow(backSpaceUndoButton);
  g->addRow(tr("New snippets are:"), snippetFormatButton);
  g->addRow(tr("New abbreviations are:"), abbreviationCaseButton);
  g->addRow(tr("Applications:"), exceptionButton);
  tabView->addTab(general, tr("General"));

  // Appearance
  auto* appearance = new QWidget;
  auto* a = new QFormLayout(appearance);
  showStatusBarIconButton = new QCheckBox(tr("Show the icon in the system tray"), appearance);
  hideIconInDockButton = new QCheckBox(tr("Hide the library window from the taskbar"), appearance);
  launchAtLoginButton = new QCheckBox(tr("Start Quillet when I log in"), appearance);
  fontPlainText = new QLineEdit(appearance);
  fontPlainText->setReadOnly(true);
  fontPlainButton = new QPushButton(tr("Choose…"), appearance);
  fontText = new QLineEdit(appearance);
  fontText->setReadOnly(true);
  fontTextButton = new QPushButton(tr("Choose…"), appearance);
  auto* plainRow = new QHBoxLayout;
  plainRow->addWidget(fontPlainText, 1);
  plainRow->addWidget(fontPlainButton);
  auto* formattedRow = new QHBoxLayout;
  formattedRow->addWidget(fontText, 1);
  formattedRow->addWidget(fontTextButton);
  a->addRow(showStatusBarIconButton);
  a->addRow(hideIconInDockButton);
  dockNote = new QLabel(appearance);
  dockNote->setWordWrap(true);
  dockNote->hide();
  a->addRow(dockNote);
  a->addRow(launchAtLoginButton);
  a->addRow(tr("Plain snippet font:"), plainRow);
  a->addRow(tr("Formatted snippet font:"), formattedRow);
  tabView->addTab(appearance, tr("Appearance"));

  // Backup
  auto* backup = new QWidget;
  auto* b = new QFormLayout(backup);
  automaticBackupButton = new QCheckBox(tr("Back up the library automatically"), backup);
  backupButton = popup(backup, {tr("Every hour"), tr("Every day"), tr("Every week"), tr("Every month")});
  backupFolderPath = new QLineEdit(backup);
  backupFolderPath->setReadOnly(true);
  backupFolderButton = new QPushButton(tr("Choose…"), backup);
  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(backupFolderPath, 1);
  folderRow->addWidget(backupFolderButton);
  maximumBackupButton = popup(backup, kMaximumBackups);
  b->addRow(automaticBackupButton);
  b->addRow(tr("Back up:"), backupButton);
  b->addRow(tr("Backup folder:"), folderRow);
  b->addRow(tr("Backups to keep:"), maximumBackupButton);
  // The library itself may live elsewhere, a synced folder for one.
  libraryFolderPath = new QLineEdit(backup);
  libraryFolderPath->setReadOnly(true);
  libraryFolderButton = new QPushButton(tr("Choose…"), backup);
  libraryFolderDefaultButton = new QPushButton(tr("Default"), backup);
  libraryFolderDefaultButton->setToolTip(tr("Keep the library in Quillet's own folder"));
  auto* libraryRow = new QHBoxLayout;
  libraryRow->addWidget(libraryFolderPath, 1);
  libraryRow->addWidget(libraryFolderButton);
  libraryRow->addWidget(libraryFolderDefaultButton);
  auto* libraryNote = new QLabel(tr("In a synced folder, the library follows changes made on "
                                    "another computer."), backup);
  libraryNote->setWordWrap(true);
  b->addRow(tr("Library folder:"), libraryRow);
  b->addRow(QString(), libraryNote);
  tabView->addTab(backup, tr("Backup"));

  // Hotkeys
  auto* hotkeys = new QWidget;
  auto* h = new QFormLayout(hotkeys);
  hotKeyCommandNote = new QLabel(
      tr("On Wayland no program may take keys for itself. Bind these commands to keys in your "
         "desktop's keyboard settings:"),
      hotkeys);
  hotKeyCommandNote->setWordWrap(true);
  hotKeyCommandNote->hide();
  h->addRow(hotKeyCommandNote);
  static const char* const actions[] = {"suggest", "open", "toggle", "new-snippet",
                                        "new-snippet-from-selection", "new-snippet-from-clipboard",
                                        "new-snippet-for-application", "search"};
  const QString titles[] = {tr("Show suggestions:"),     tr("Open the library:"),
                            tr("Expansion on or off:"),  tr("New snippet:"),
                            tr("New snippet from selection:"), tr("New snippet from clipboard:"),
                            tr("New snippet for the application:"), tr("Search snippets:")};
  for (int i = 0; i < 8; ++i) {
    auto* r = new ShortcutRecorder(hotkeys);
    r->setObjectName(hotKeyNames()[i]);
    r->setAccessibleName(titles[i]);
    r->isTaken = [this, r](quint16 code, quint64 flags) { return shortcutRecorderIsKeyCodeTaken(r, code, flags); };
    connect(r, &ShortcutRecorder::keyComboDidChange, this, [this, r] { shortcutRecorderKeyComboDidChange(r); });
    connect(r, &ShortcutRecorder::refused, this, [this](const QString& combination, const QString& reason) {
      hotKeyMessage->setText(tr("%1 cannot be used: %2").arg(combination, reason));
    });
    recorders.append(r);
    auto* command = new QLineEdit(QStringLiteral("quillet --action ") + QLatin1String(actions[i]), hotkeys);
    command->setReadOnly(true);
    command->setAccessibleName(titles[i]);
    command->hide();
    hotKeyCommands.append(command);
    auto* row = new QHBoxLayout;
    row->addWidget(r, 1);
    row->addWidget(command, 1);
    h->addRow(titles[i], row);
  }
  hotKeyMessage = new QLabel(hotkeys);
  hotKeyMessage->setWordWrap(true);
  h->addRow(hotKeyMessage);
  tabView->addTab(hotkeys, tr("Hotkeys"));

  // Advanced
  auto* advanced = new QWidget;
  auto* v = new QFormLayout(advanced);
  snippetProcessDelay = new QDoubleSpinBox(advanced);
  restoreClipboardDelay = new QDoubleSpinBox(advanced);
  for (QDoubleSpinBox* box : {snippetProcessDelay, restoreClipboardDelay}) {
    box->setRange(kMinimumDelay, kMaximumDelay);
    box->setDecimals(2);
    box->setSingleStep(0.05);
    box->setSuffix(tr(" s"));
  }
  v->addRow(tr("Delay before a snippet chosen in the search window expands:"), snippetProcessDelay);
  v->addRow(tr("Delay before the clipboard is restored:"), restoreClipboardDelay);
  tabView->addTab(advanced, tr("Advanced"));
  for (int i = 0; i < tabView->count(); ++i) tabView->widget(i)->setObjectName(kPages[i]);

  connect(extendAbbrButton, &QCheckBox::clicked, this, [this] { actionExtendAbbrChanged(); });
  connect(extendTypeButton, &QComboBox::activated, this, [this] { actionExtendTypeChanged(); });
  connect(expandAfterButton, &QComboBox::activated, this, [this] { actionExtendAfterChanged(); });
  connect(playSoundButton, &QCheckBox::clicked, this, [this] { actionPlaySoundChanged(); });
  connect(soundButton, &QComboBox::activated, this, [this] { actionSoundChanged(); });
  connect(restoreClipboardButton, &QCheckBox::clicked, this, [this] { actionRestoreClipboardChanged(); });
  connect(backSpaceUndoButton, &QCheckBox::clicked, this, [this] {
    if (!preferences || isLoading) return;
    preferences->isBackSpaceUndo = backSpaceUndoButton->isChecked();
    if (delegate) delegate->preferencesChanged(this);
  });
  connect(snippetFormatButton, &QComboBox::activated, this, [this] { actionSnippetFormatChanged(); });
  connect(abbreviationCaseButton, &QComboBox::activated, this, [this] { actionAbbreviationCaseChanged(); });
  connect(exceptionButton, &QComboBox::activated, this, [this] { actionExceptionChanged(); });
  connect(delimitersButton, &QPushButton::clicked, this, [this] { actionSetDelimiters(); });
  connect(showStatusBarIconButton, &QCheckBox::clicked, this, [this] { actionShowStatusBarIconChanged(); });
  connect(hideIconInDockButton, &QCheckBox::clicked, this, [this] { actionHideIconInDockChanged(); });
  connect(launchAtLoginButton, &QCheckBox::clicked, this, [this] { actionLaunchAtLoginChanged(); });
  connect(fontPlainButton, &QPushButton::clicked, this, [this] { actionSetPlainFont(); });
  connect(fontTextButton, &QPushButton::clicked, this, [this] { actionSetFont(); });
  connect(automaticBackupButton, &QCheckBox::clicked, this, [this] { actionAutomaticBackupChanged(); });
  connect(backupButton, &QComboBox::activated, this, [this] { actionBackupChanged(); });
  connect(backupFolderButton, &QPushButton::clicked, this, [this] { actionBackupFolderChanged(); });
  connect(libraryFolderButton, &QPushButton::clicked, this, [this] { actionLibraryFolderChanged(); });
  connect(libraryFolderDefaultButton, &QPushButton::clicked, this, [this] { actionLibraryFolderDefault(); });
  connect(maximumBackupButton, &QComboBox::activated, this, [this] { actionMaximumBackupChanged(); });
  connect(snippetProcessDelay, &QDoubleSpinBox::valueChanged, this, [this] { actionDelayChanged(); });
  connect(restoreClipboardDelay, &QDoubleSpinBox::valueChanged, this, [this] { actionDelayChanged(); });

  const QByteArray frame = defaults().value(kFrameKey).toByteArray();
  if (!frame.isEmpty()) window_->restoreGeometry(frame);
  QString page = defaults().value(kSelectedTab, kPages.first()).toString();
  if (!kPages.contains(page)) page = kPages.first();
  tabSelected(page);
  connect(tabView, &QTabWidget::currentChanged, this, [this](int index) {
    if (index >= 0) tabSelected(kPages[index]);
  });
  loadSounds();
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
  const QSignalBlocker block(soundButton);
  soundButton->clear();
  soundButton->addItem(kNone);
  soundButton->addItems(soundNames);
}

void PreferencesSheetController::selectTitle(QComboBox* box, const QString& title, bool addIfNumber) {
  int index = box->findText(title);
  bool ok = false;
  const int number = title.toInt(&ok);
  // A number the list does not offer (edited by hand, or another version's)
  // is shown as it is rather than hidden behind the first item.
  if (index < 0 && addIfNumber && ok && number > 0) {
    int at = 0;
    while (at < box->count() && box->itemText(at).toInt() < number) ++at;
    box->insertItem(at, QString::number(number));
    index = at;
  }
  box->setCurrentIndex(std::max(0, index));
}

void PreferencesSheetController::showFont(QLineEdit* field, const QFont& font) {
  field->setText(QString::asprintf("%s %.2f", qPrintable(font.family()), font.pointSizeF()));
  field->setFont(font);
}

void PreferencesSheetController::resetView() {
  if (!preferences) return;
  isLoading = true;
  QLPreferences& p = *preferences;
  // Stored numbers outside what a pop-up offers leave it at its first item;
  // the record keeps the value until the user picks one.
  auto byIndex = [](QComboBox* box, qint64 value) {
    box->setCurrentIndex(value >= 0 && value < box->count() ? int(value) : 0);
  };
  extendAbbrButton->setChecked(p.isExtendAbbreviation);
  byIndex(extendTypeButton, p.extendType);
  byIndex(expandAfterButton, p.extendAfter);
  expandAfterButton->setEnabled(p.extendType == QLPreferences::Immediate);
  delimitersButton->setEnabled(p.extendType != QLPreferences::Immediate);
  playSoundButton->setChecked(p.isPlaySound);
  selectTitle(soundButton, p.sound, false);
  restoreClipboardButton->setChecked(p.isRestoreClipboard);
  backSpaceUndoButton->setChecked(p.isBackSpaceUndo);
  byIndex(snippetFormatButton, p.snippetFormatType);
  byIndex(abbreviationCaseButton, p.abbreviationCaseType);
  if (p.exceptionType >= 1 && p.exceptionType <= 3) exceptionButton->setCurrentIndex(p.exceptionType - 1);
  showStatusBarIconButton->setChecked(p.isShowStatusBarIcon || p.isShowDockIcon);
  showStatusBarIconButton->setEnabled(!p.isShowDockIcon);
  hideIconInDockButton->setChecked(p.isShowDockIcon);
  launchAtLoginButton->setChecked(p.isLaunchAtLogin);
  showFont(fontPlainText, fontOf(p.plainSnippetFont));
  showFont(fontText, fontOf(p.formattedSnippetFont));
  automaticBackupButton->setChecked(p.isAutomaticBackup);
  byIndex(backupButton, p.backupType);
  backupButton->setEnabled(p.isAutomaticBackup);
  backupFolderPath->setText(p.backupFolderPath);
  libraryFolderPath->setText(ql::Utilities::getLibraryFolder());
  libraryFolderDefaultButton->setEnabled(!ql::Utilities::chosenLibraryFolder().isEmpty());
  selectTitle(maximumBackupButton, p.maximumBackups, true);
  snippetProcessDelay->setValue(p.snippetProcessDelay);
  restoreClipboardDelay->setValue(p.restoreClipboardDelay);
  for (int i = 0; i < recorders.size(); ++i) recorders[i]->setValue(hotKey(p, i));
  hotKeyMessage->clear();
  isLoading = false;
}

void PreferencesSheetController::tabSelected(const QString& identifier) {
  const int index = int(kPages.indexOf(identifier));
  if (index < 0) return;
  defaults().setValue(kSelectedTab, identifier);
  if (tabView->currentIndex() != index) {
    const QSignalBlocker block(tabView);
    tabView->setCurrentIndex(index);
  }
  resizeToPage(identifier);
}

void PreferencesSheetController::resizeToPage(const QString& identifier) {
  const QSize page = pageSize(identifier);
  if (!page.isValid()) return;  // the page keeps the size of the one before
  // The window takes the size of the page shown, not of the largest page.
  for (int i = 0; i < tabView->count(); ++i) {
    const QSizePolicy::Policy policy = i == tabView->currentIndex() ? QSizePolicy::Preferred : QSizePolicy::Ignored;
    tabView->widget(i)->setSizePolicy(policy, policy);
  }
  window_->layout()->invalidate();
  window_->layout()->activate();
  // The page's content size plus the tab strip and the margins, never less
  // than the page needs in this font.
  const QWidget* current = tabView->currentWidget();
  const int chrome = tabView->tabBar()->sizeHint().height() + 2 * 6 + 8;
  QSize size(page.width() + 2 * 6, page.height() + chrome);
  size = size.expandedTo(current->minimumSizeHint() + QSize(2 * 6 + 4, chrome));
  const QPoint topLeft = window_->geometry().topLeft();
  window_->resize(size);
  if (window_->isVisible()) window_->move(window_->pos() + (topLeft - window_->geometry().topLeft()));
}

// Each action stores its control's value, then tells the delegate.

void PreferencesSheetController::actionExtendAbbrChanged() {
  if (!preferences || isLoading) return;
  preferences->isExtendAbbreviation = extendAbbrButton->isChecked();
  if (delegate) delegate->extenderChanged(this, preferences->isExtendAbbreviation);
}

void PreferencesSheetController::actionExtendTypeChanged() {
  if (!preferences || isLoading) return;
  const int index = extendTypeButton->currentIndex();
  if (index < 0 || index > 2) return;
  preferences->extendType = index;
  expandAfterButton->setEnabled(index == QLPreferences::Immediate);
  delimitersButton->setEnabled(index != QLPreferences::Immediate);
  if (delegate) delegate->preferencesChanged(this);
}

void PreferencesSheetController::actionExtendAfterChanged() {
  if (!preferences || isLoading) return;
  const int index = expandAfterButton->currentIndex();
  if (index < 0 || index > 2) return;
  preferences->extendAfter = index;
  if (delegate) delegate->preferencesChanged(this);
}

void PreferencesSheetController::actionPlaySoundChanged() {
  if (!preferences || isLoading) return;
  preferences->isPlaySound = playSoundButton->isChecked();
  if (delegate) delegate->preferencesChanged(this);
}

void PreferencesSheetController::actionSoundChanged() {
  if (!preferences || isLoading || soundButton->currentIndex() < 0) return;
  preferences->sound = soundButton->currentText();
  preferences->isPlaySound = preferences->sound != kNone;
  playSoundButton->setChecked(preferences->isPlaySound);
  if (delegate) delegate->preferencesChanged(this);
}

void PreferencesSheetController::actionRestoreClipboardChanged() {
  if (!preferences || isLoading) return;
  preferences->isRestoreClipboard = restoreClipboardButton->isChecked();
  if (delegate) delegate->preferencesChanged(this);
}

void PreferencesSheetController::actionSnippetFormatChanged() {
  if (!preferences || isLoading) return;
  const int index = snippetFormatButton->currentIndex();
  if (index < 0 || index > 1) return;
  preferences->snippetFormatType = index;
  if (delegate) delegate->preferencesChanged(this);
}

void PreferencesSheetController::actionAbbreviationCaseChanged() {
  if (!preferences || isLoading) return;
  const int index = abbreviationCaseButton->currentIndex();
  if (index < 0 || index > 2) return;
  preferences->abbreviationCaseType = index;
  if (delegate) delegate->preferencesChanged(this);
}

void PreferencesSheetController::actionExceptionChanged() {
  if (!preferences || isLoading) return;
  const int index = exceptionButton->currentIndex();
  if (index == 0) {
    preferences->exceptionType = 1;
    if (delegate) delegate->preferencesChanged(this);
    return;
  }
  if (index != 1 && index != 2) return;
  const int type = index + 1;
  const QString title = index == 1 ? QStringLiteral("Expand in all applications except:")
                                   : QStringLiteral("Expand in only these applications:");
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
  if (!userDelimiters) return {};
  return acceptedTokens(userDelimiters->text().split(QLatin1Char(' '), Qt::SkipEmptyParts), {});
}

void PreferencesSheetController::actionSetDelimiters() {
  if (!preferences) return;
  if (delimiterPanel_) delimiterPanel_->deleteLater();
  auto* panel = new QDialog(window_);
  delimiterPanel_ = panel;
  panel->setWindowTitle(tr("Delimiters"));
  panel->setWindowModality(Qt::WindowModal);
  QStringList shown = standardDelimiters();
  shown.replaceInStrings(QRegularExpression(QStringLiteral("^,$")), QStringLiteral("comma"));
  // All 39 on view, wrapped, and selectable for copying into the list.
  standardDelimitersField = new QLabel(shown.join(QLatin1Char(' ')), panel);
  standardDelimitersField->setWordWrap(true);
  standardDelimitersField->setTextInteractionFlags(Qt::TextSelectableByMouse);
  standardDelimitersField->setFrameShape(QFrame::StyledPanel);
  standardDelimitersField->setMargin(4);
  userDelimiters = new QLineEdit(panel);
  QStringList current = preferences->delimiters;
  current.replaceInStrings(QRegularExpression(QStringLiteral("^,$")), QStringLiteral("comma"));
  userDelimiters->setText(current.join(QLatin1Char(' ')));
  // Tokens are separated by spaces; what the list may not take is dropped
  // as soon as the user leaves the field.
  connect(userDelimiters, &QLineEdit::editingFinished, panel, [this] {
    QStringList tokens = panelTokens();
    tokens.replaceInStrings(QRegularExpression(QStringLiteral("^,$")), QStringLiteral("comma"));
    userDelimiters->setText(tokens.join(QLatin1Char(' ')));
  });
  delimiterNote = new QLabel(panel);
  delimiterNote->setWordWrap(true);
  if (!keySourceCanWithholdKeys) {
    delimiterNote->setText(
        tr("Note: on this desktop Quillet sees Return, Enter, Tab and Escape only after the application "
           "has acted on them. As delimiters they still work, but the new line, the move to the next field "
           "or the closed dialog has already happened."));
  }
  delimiterNote->setVisible(!keySourceCanWithholdKeys);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, panel);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { delimiterPanelOK(); });
  connect(buttons, &QDialogButtonBox::rejected, this, [this] { delimiterPanelCancel(); });
  auto* layout = new QVBoxLayout(panel);
  layout->addWidget(new QLabel(tr("Standard delimiters:"), panel));
  layout->addWidget(standardDelimitersField);
  layout->addWidget(new QLabel(tr("Your delimiters (separated by spaces):"), panel));
  layout->addWidget(userDelimiters);
  layout->addWidget(delimiterNote);
  layout->addWidget(buttons);
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
  userDelimiters = nullptr;
  standardDelimitersField = nullptr;
  delimiterNote = nullptr;
}

void PreferencesSheetController::actionShowStatusBarIconChanged() {
  if (!preferences || isLoading) return;
  preferences->isShowStatusBarIcon = showStatusBarIconButton->isChecked();
  if (delegate) delegate->statusBarIconStatusChanged(this, preferences->isShowStatusBarIcon);
}

void PreferencesSheetController::actionHideIconInDockChanged() {
  if (!preferences || isLoading) return;
  const bool hide = hideIconInDockButton->isChecked();
  dockNote->hide();
  // Never without both the taskbar entry and the tray icon.
  const bool hadTrayIcon = preferences->isShowStatusBarIcon;
  if (hide) preferences->isShowStatusBarIcon = true;
  if (hide && delegate && !delegate->hideFromTaskbar()) {
    preferences->isShowStatusBarIcon = hadTrayIcon;
    hideIconInDockButton->setChecked(false);
    dockNote->setText(tr("The library window stays in the taskbar: this desktop has no system tray "
                         "to hold Quillet's icon, and without either Quillet could not be reached."));
    dockNote->show();
    // The note's lines must not be cut off by the page's old height.
    if (window_) {
      window_->layout()->activate();
      window_->resize(window_->size().expandedTo(window_->sizeHint()));
    }
    return;
  }
  preferences->isShowDockIcon = hide;
  showStatusBarIconButton->setChecked(preferences->isShowStatusBarIcon);
  showStatusBarIconButton->setEnabled(!hide);
  if (delegate) {
    delegate->dockIconStatusChanged(this, hide);
    if (!hide) delegate->setDockStatus(true);
  }
}

void PreferencesSheetController::actionLaunchAtLoginChanged() {
  if (!preferences || isLoading) return;
  preferences->isLaunchAtLogin = launchAtLoginButton->isChecked();
  if (delegate) {
    delegate->toggleLoginItem(preferences->isLaunchAtLogin);
    delegate->preferencesChanged(this);
  }
}

void PreferencesSheetController::actionSetPlainFont() {
  if (!preferences) return;
  auto* dialog = new QFontDialog(fontPlainText->font(), window_);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setOption(QFontDialog::DontUseNativeDialog, QGuiApplication::platformName() == QLatin1String("offscreen"));
  connect(dialog, &QFontDialog::fontSelected, this, [this](const QFont& font) { changeFont(true, font); });
  dialog->open();
}

void PreferencesSheetController::actionSetFont() {
  if (!preferences) return;
  auto* dialog = new QFontDialog(fontText->font(), window_);
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
    showFont(fontPlainText, shown);
    if (delegate) delegate->plainFontChanged(this, shown);
  } else {
    preferences->formattedSnippetFont = dict;
    showFont(fontText, shown);
    if (delegate) delegate->formattedFontChanged(this, shown);
  }
}

void PreferencesSheetController::actionAutomaticBackupChanged() {
  if (!preferences || isLoading) return;
  preferences->isAutomaticBackup = automaticBackupButton->isChecked();
  backupButton->setEnabled(preferences->isAutomaticBackup);
  if (delegate) delegate->backupConfigChanged(this);
}

void PreferencesSheetController::actionBackupChanged() {
  if (!preferences || isLoading) return;
  const int index = backupButton->currentIndex();
  if (index < 0 || index > 3) return;
  preferences->backupType = index;
  if (delegate) delegate->backupConfigChanged(this);
}

QFileDialog* PreferencesSheetController::folderDialog(const QString& title, const QString& start) {
  auto* dialog = new QFileDialog(window_, title);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setFileMode(QFileDialog::Directory);
  dialog->setOption(QFileDialog::ShowDirsOnly);
  dialog->setLabelText(QFileDialog::Accept, QStringLiteral("Choose"));
  if (QGuiApplication::platformName() == QLatin1String("offscreen"))
    dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setDirectory(start);
  return dialog;
}

void PreferencesSheetController::actionBackupFolderChanged() {
  if (!preferences) return;
  QFileDialog* dialog = folderDialog(QStringLiteral("Choose a backup folder"),
                                     QFileInfo(preferences->backupFolderPath).absolutePath());
  connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& path) { backupFolderChosen(path); });
  dialog->open();
}

void PreferencesSheetController::backupFolderChosen(const QString& path) {
  if (!preferences || path.isEmpty() || !QFileInfo(path).isDir()) return;
  preferences->backupFolderPath = QFileInfo(path).canonicalFilePath();
  backupFolderPath->setText(preferences->backupFolderPath);
  if (delegate) delegate->preferencesChanged(this);
}

void PreferencesSheetController::actionLibraryFolderChanged() {
  QFileDialog* dialog =
      folderDialog(QStringLiteral("Choose a folder for the library"), ql::Utilities::getLibraryFolder());
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

void PreferencesSheetController::actionMaximumBackupChanged() {
  if (!preferences || isLoading) return;
  bool ok = false;
  const int n = maximumBackupButton->currentText().toInt(&ok);
  if (!ok || n <= 0) return;
  preferences->maximumBackups = QString::number(n);
  if (delegate) delegate->preferencesChanged(this);
}

void PreferencesSheetController::actionDelayChanged() {
  if (!preferences || isLoading) return;
  preferences->snippetProcessDelay = std::clamp(snippetProcessDelay->value(), kMinimumDelay, kMaximumDelay);
  preferences->restoreClipboardDelay = std::clamp(restoreClipboardDelay->value(), kMinimumDelay, kMaximumDelay);
  if (delegate) delegate->preferencesChanged(this);
}

void PreferencesSheetController::setHotKeysByCommand(bool byCommand) {
  hotKeyCommandNote->setVisible(byCommand);
  for (ShortcutRecorder* r : std::as_const(recorders)) r->setVisible(!byCommand);
  for (QLineEdit* c : std::as_const(hotKeyCommands)) c->setVisible(byCommand);
}

void PreferencesSheetController::shortcutRecorderKeyComboDidChange(ShortcutRecorder* recorder) {
  if (!preferences || isLoading) return;
  const int index = int(recorders.indexOf(recorder));
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
  hotKeyMessage->clear();
  if (delegate) delegate->hotKeysChanged(this);
}

QString PreferencesSheetController::shortcutRecorderIsKeyCodeTaken(ShortcutRecorder* recorder, quint16 keyCode,
                                                                  quint64 flags) {
  if (!preferences || isLoading) return {};
  for (ShortcutRecorder* other : recorders) {
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
