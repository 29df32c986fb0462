#include "app/quillet_app_delegate.h"

#include "model/string_utilities.h"
#include "platform/log.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <exception>

namespace {

const QString kAccessTitle = QStringLiteral("Quillet Warning: Assistive devices are disabled");
const QString kAccessMessage = QStringLiteral(
    "Please go to the \"Universal Access\" preferences pane and enable access for assistive "
    "devices before using Quillet!\r\n\r\nQuillet will quit for now.");
const QString kAccessButton = QStringLiteral("Open the \"Universal Access\" preferences pane...");
const QString kNoExtensions = QStringLiteral(
    "Quillet watches and types keys through the X server's RECORD and XTEST extensions, and "
    "this X server does not offer both.");
const QString kNoKeySource = QStringLiteral(
    "Quillet could not start watching the keyboard through the X server's RECORD extension.");

// The design's pause between OK in the form and the expansion, so the
// application the user typed in is in front again.
constexpr int kFillInHandoverMs = 100;

int criticalAlert(const QString& title, const QString& message, const QString& details,
                  const QString& button) {
  QMessageBox box(QMessageBox::Critical, title, message);
  box.setInformativeText(details);
  QPushButton* only = box.addButton(button, QMessageBox::AcceptRole);
  box.setDefaultButton(only);
  box.exec();
  return box.clickedButton() == only ? 1 : 0;
}

}  // namespace

QuilletAppDelegate::QuilletAppDelegate(const ql::Platform& platform, QObject* parent)
    : QObject(parent),
      alertPanel(criticalAlert),
      platform_(platform),
      services_(platform),
      executor_(platform, services_, *this) {
  connect(&executor_, &ql::ExpansionExecutor::expansionFinished, this,
          [this] { typedSinceExpansion_ = false; });
}

QuilletAppDelegate::~QuilletAppDelegate() {
  if (eventHandler_) eventHandler_->delegate = nullptr;
}

bool QuilletAppDelegate::createApplicationUsersFolder(const QString& name, QString* error) {
  const QString app = ql::Utilities::getAppPath();
  if (app.isEmpty()) {
    if (error) *error = QStringLiteral("there is no per-user data folder");
    return false;
  }
  const QString path = name.isEmpty() ? app : app + QLatin1Char('/') + name;
  const QFileInfo info(path);
  if (info.exists() && info.isDir()) return true;
  if (QDir().mkpath(path)) return true;
  if (error) *error = QStringLiteral("cannot create ") + path;
  return false;
}

bool QuilletAppDelegate::awakeFromNib() {
  QString why;
  if (createApplicationUsersFolder(QString(), &why)) {
    settings_ = std::make_unique<QLSettings>();
    if (settings_->loadSettings())
      settings_->saveSettings(QLSettings::kStartupCopyName + QLatin1Char('.') +
                              QLSettings::kDefaultSettingExtension);
    if (!settings_->movedAsideSettingsPath.isEmpty())
      std::fprintf(stderr,
                   "Quillet: the library file could not be read (%s).\n"
                   "It was moved to %s; Quillet starts with an empty library.\n",
                   qPrintable(settings_->unreadableSettingsReason),
                   qPrintable(settings_->movedAsideSettingsPath));
    if (!createApplicationUsersFolder(QStringLiteral("Backups"), &why)) {
      ql::logError(QStringLiteral("createApplicationUsersFolder:error:"), why);
      settings_.reset();
    }
  } else {
    ql::logError(QStringLiteral("createApplicationUsersFolder:error:"), why);
  }

  isQLEnabled = settings_ && settings_->preferences.isExtendAbbreviation;

  connect(platform_.workspace, &ql::Workspace::applicationActivated, this,
          &QuilletAppDelegate::foremostAppActivated);

  if (!checkAccessAndInstallHook()) return false;

  statistics_ = std::make_unique<QLStatistics>();
  if (!statistics_->load()) statistics_->save();

  // The library window is not there to be left, so no activation would
  // tell the hook where the user types: start with the frontmost application.
  if (eventHandler_) eventHandler_->appChanged(platform_.workspace->frontmostApplication());
  return true;
}

bool QuilletAppDelegate::checkAccessAndInstallHook() {
  if (!platform_.accessibility->hasAssistiveAccess()) {
    if (warnAboutAccess(kNoExtensions)) return false;
  }
  eventHandler_ = std::make_unique<KeyboardHook>(platform_);
  eventHandler_->delegate = this;
  const bool enable = settings_ ? settings_->preferences.isExtendAbbreviation : false;
  if (!eventHandler_->installHook(enable)) {
    if (warnAboutAccess(kNoKeySource)) return false;
    // Running on without a hook: nothing expands.
    eventHandler_->delegate = nullptr;
    eventHandler_.reset();
  }
  return true;
}

bool QuilletAppDelegate::warnAboutAccess(const QString& details) {
  std::fprintf(stderr, "quillet: %s\n", qPrintable(details));
  ql::log(kAccessTitle);
  // The default button quits; there is no settings pane to open on X11.
  return alertPanel && alertPanel(kAccessTitle, kAccessMessage, details, kAccessButton) == 1;
}

void QuilletAppDelegate::applicationWillTerminate() {
  if (eventHandler_) eventHandler_->uninstallHook();
}

void QuilletAppDelegate::foremostAppActivated(const ql::ApplicationInfo& application) {
  if (eventHandler_) eventHandler_->appChanged(application);
}

void QuilletAppDelegate::windowDeactivated() {
  if (!fillInPanel_ || !fillInPanel_->isVisible()) return;
  fillInPanel_->hide();
  activteLastApp();
}

void QuilletAppDelegate::activteLastApp() { executor_.activteLastApp(); }

bool QuilletAppDelegate::mouseMouseEvent(KeyboardHook*, const ql::MouseEvent&) { return false; }

bool QuilletAppDelegate::keyEvent(KeyboardHook*, const ql::KeyEvent& event) {
  executor_.noteKeyPress(event.keyCode, event.modifierFlags);
  typedSinceExpansion_ = true;
  return false;
}

void QuilletAppDelegate::processSuggestionsHotKey(const QString&) {
  // The suggestion popup is not there yet.
}

void QuilletAppDelegate::showPopup(const QString&, const QString& delimiter) {
  // Until there is a suggestion popup to choose from, the consumed delimiter
  // goes back so the text stays as typed.
  executor_.retypeDelimiter(delimiter);
}

bool QuilletAppDelegate::processSnippet(const SnippetPtr& snippet, int contentLength,
                                        int abbreviationCase, bool clearAbbreviation,
                                        const QString& delimiter, const QString& abbreviation,
                                        int removeLengtOffset) {
  return executor_.processSnippet(snippet, contentLength, abbreviationCase, clearAbbreviation,
                                  delimiter, abbreviation, removeLengtOffset);
}

void QuilletAppDelegate::setHookEnabled(bool on) {
  if (eventHandler_) eventHandler_->setIsHook(on);
}

void QuilletAppDelegate::showFillInForm(ql::FillInForm form) {
  if (!fillInPanel_) {
    fillInPanel_ = std::make_unique<FillInWindowController>();
    fillInPanel_->delegate = this;
    connect(fillInPanel_.get(), &FillInWindowController::windowDeactivated, this,
            &QuilletAppDelegate::windowDeactivated);
  }
  FillInWindowController* panel = fillInPanel_.get();
  panel->form = std::move(form);
  panel->show();
  panel->raise();
  panel->activateWindow();
  platform_.workspace->activateProgram();
  panel->resetView();
  QTimer::singleShot(100, panel, [this, panel] {
    if (!panel->isVisible()) return;
    platform_.workspace->activateProgram();
    panel->activateWindow();
    if (!panel->focusWidget() && !panel->fields().isEmpty()) panel->fields().first()->setFocus();
  });
}

void QuilletAppDelegate::cleanUp() {
  // What the user typed since the expansion ended (or during it, handed on
  // when it ended) is the start of the next word: the restore that follows
  // an expansion must not throw it away.
  if (eventHandler_ && !typedSinceExpansion_) eventHandler_->clearWords();
}

bool QuilletAppDelegate::isRestoreClipboard() const {
  return settings_ ? settings_->preferences.isRestoreClipboard : true;
}

void QuilletAppDelegate::fillInOk(FillInWindowController* form, int contentLength) {
  form->hide();
  activteLastApp();
  QTimer::singleShot(kFillInHandoverMs, this,
                     [this, contentLength] { executeSnippetFill(contentLength); });
}

void QuilletAppDelegate::fillInCancel(FillInWindowController* form) {
  form->hide();
  activteLastApp();
}

int QuilletAppDelegate::executeSnippetFill(int contentLength) {
  if (!fillInPanel_) return 1;
  try {
    const ql::FillInForm& form = fillInPanel_->form;
    return executor_.executeSnippet(form.data, form.snippet, form.delimiter, contentLength) ? 1 : 0;
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("executeSnippet:"), QString::fromUtf8(e.what()));
    return 1;
  }
}
