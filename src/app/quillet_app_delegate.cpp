#include "app/quillet_app_delegate.h"

#include "app/restore_window_controller.h"
#include "model/string_utilities.h"
#include "ui/group_view_controller.h"
#include "ui/legible_style.h"
#include "ui/library_outline_model.h"
#include "ui/snippet_view_controller.h"
#include "platform/log.h"

#include <QApplication>
#include <QFontDatabase>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWindow>
#include <QUndoStack>

#include <cstdio>
#include <exception>

namespace {

const QString kAccessTitle = QStringLiteral("Quillet Warning: Quillet cannot use the keyboard");
const QString kAccessMessage = QStringLiteral(
    "Quillet needs to watch and type keys to expand abbreviations, and this X server does not "
    "let it.\r\n\r\nQuillet will quit for now.");
// %1: what the server lacks.
const QString kNoExtensions = QStringLiteral(
    "The X server does not offer %1. Quillet watches keys through RECORD and types through "
    "XTEST. Enable them in the X server's configuration (an \"Extensions\" section of xorg.conf, "
    "or an \"-extension\" option of Xvfb or Xephyr can switch them off), or log in to an X11 "
    "session rather than a Wayland-only one, then start Quillet again.");
const QString kNoKeySource = QStringLiteral(
    "Quillet could not start watching the keyboard through the X server's RECORD extension. "
    "Another program may hold it, or the server refused the request; start Quillet again, and "
    "if it keeps failing, log in to an X11 session.");
const QString kAccessButton = QStringLiteral("Quit");


int criticalAlert(const QString& title, const QString& message, const QString& details,
                  const QString& button) {
  QMessageBox box(QMessageBox::Critical, title, message);
  box.setInformativeText(details);
  QPushButton* only = box.addButton(button, QMessageBox::AcceptRole);
  box.setDefaultButton(only);
  box.exec();
  return box.clickedButton() == only ? 1 : 0;
}

int alertBox(QWidget* parent, QMessageBox::Icon icon, const QString& message, const QString& details,
             const QStringList& buttons) {
  QMessageBox box(icon, QGuiApplication::applicationDisplayName(), message, QMessageBox::NoButton,
                  parent);
  box.setInformativeText(details);
  if (parent) box.setWindowModality(Qt::WindowModal);
  QList<QAbstractButton*> added;
  for (int i = 0; i < buttons.size(); ++i)
    added.append(box.addButton(buttons[i], i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole));
  if (!added.isEmpty()) box.setDefaultButton(static_cast<QPushButton*>(added.first()));
  box.exec();
  return int(added.indexOf(box.clickedButton()));
}

}  // namespace

QuilletAppDelegate::QuilletAppDelegate(const ql::Platform& platform, QObject* parent)
    : QObject(parent),
      alertPanel(criticalAlert),
      platform_(platform),
      services_(platform),
      libraryFile_(*this),
      executor_(platform, services_, *this),
      hotKeys_(*platform.hotKeys),
      fillIn_(platform, executor_),
      tray_(*this),
      backups_(*this),
      settingsWindows_(platform, hotKeys_, *this),
      newSnippet_(platform, services_, executor_, *this),
      suggestions_(platform, services_, executor_, *this) {
  LegibleStyle::install();
  // New preferences write the desktop's font, not the Mac's.
  const QFont general = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  QLPreferences::setDesktopFont(general.family(), general.pointSizeF());
  connect(&executor_, &ql::ExpansionExecutor::expansionFinished, this,
          [this] { typedSinceExpansion_ = false; });
  alertSheet = alertBox;
  isSystemTrayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
  openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
  terminate = [] { QCoreApplication::quit(); };
  randomDigit = [] { return int(QRandomGenerator::global()->bounded(1, 10)); };
  const QString dir = QCoreApplication::applicationDirPath();
  // Installed under share/quillet: systems may leave share/doc out; the build
  // tree keeps its copy under share/doc/quillet.
  helpDocumentPaths = {dir + QStringLiteral("/../share/quillet/quillet-help.html"),
                       dir + QStringLiteral("/../share/doc/quillet/quillet-help.html"),
                       QStringLiteral("/usr/share/quillet/quillet-help.html"),
                       QStringLiteral("/usr/share/doc/quillet/quillet-help.html")};
}

QuilletAppDelegate::~QuilletAppDelegate() {
  if (eventHandler_) eventHandler_->delegate = nullptr;
  // The saver flushes as it goes, after the follower: it must not call back.
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
    } else {
      libraryFile_.start(settings_.get());
    }
  } else {
    ql::logError(QStringLiteral("createApplicationUsersFolder:error:"), why);
  }

  libraryWindow_ = std::make_unique<LibraryWindowController>(settings_.get(), this);
  window = libraryWindow_->window();
  // The group editor plays the sounds it offers and picks applications by
  // the names the workspace reports.
  libraryWindow_->groupView()->soundPlayer = platform_.sounds;
  libraryWindow_->groupView()->installedApplications = [workspace = platform_.workspace] {
    return workspace->installedApplications();
  };
  libraryWindow_->groupView()->loadSounds();
  // Out of the taskbar until the program gets its "dock icon" (below).
  updateTaskbarPresence(window);
  connect(this, &QuilletAppDelegate::libraryReloaded, libraryWindow_.get(),
          &LibraryWindowController::followReloadedLibrary);
  buildStatusMenu();
  const QLPreferences defaults;
  const QLPreferences& prefs = settings_ ? settings_->preferences : defaults;
  if (!prefs.isShowDockIcon) setDockStatus(true);
  isQLEnabled = settings_ && settings_->preferences.isExtendAbbreviation;
  applyIndicators();
  tray_.toggle(prefs.isShowStatusBarIcon);
  if (!movedAsideSettingsPath().isEmpty())
    tray_.showWarning(tr("Your library could not be read and Quillet started with an empty one. "
                         "The file was kept as \"%1\".")
                          .arg(QFileInfo(movedAsideSettingsPath()).fileName()));
  if (settings_) backups_.toggleBackup(settings_->preferences.isAutomaticBackup);
  resetHotKeys();

  connect(platform_.workspace, &ql::Workspace::applicationActivated, this,
          &QuilletAppDelegate::foremostAppActivated);
  connect(platform_.workspace, &ql::Workspace::applicationDeactivated, &suggestions_,
          &Suggestions::foremostAppDeactivated);
  setupVersion();

  if (!checkAccessAndInstallHook()) return false;

  statistics_ = std::make_unique<QLStatistics>();
  if (!statistics_->load()) statistics_->save();
  if (!statistics_->movedAsidePath.isEmpty()) {
    // Said as for the library file: the counts are not lost, only set aside.
    std::fprintf(stderr,
                 "Quillet: the statistics file could not be read (%s).\n"
                 "It was moved to %s; the counts start again from zero.\n",
                 qPrintable(statistics_->unreadableReason), qPrintable(statistics_->movedAsidePath));
    if (movedAsideSettingsPath().isEmpty())
      tray_.showWarning(tr("Your statistics could not be read and start again from zero. "
                           "The file was kept as \"%1\".")
                            .arg(QFileInfo(statistics_->movedAsidePath).fileName()));
  }
  // Counted at once, written a little later: a held key must not wait for
  // the disk.
  statistics_->setSaveDelay(1000);

  // The library window is not there to be left, so no activation would
  // tell the hook where the user types: start with the frontmost application.
  if (eventHandler_) eventHandler_->appChanged(platform_.workspace->frontmostApplication());
  return true;
}

// The first change would overwrite a settings file that did not load with
// the empty library: keep it under another name, where nothing writes.
bool QuilletAppDelegate::checkAccessAndInstallHook() {
  if (!platform_.accessibility->hasAssistiveAccess()) {
    const QString missing = platform_.accessibility->missingAccess();
    if (warnAboutAccess(kNoExtensions.arg(missing.isEmpty() ? QStringLiteral("the RECORD and XTEST extensions")
                                                            : missing)))
      return false;
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
  // The one button quits; there is nothing to open on X11.
  return alertPanel && alertPanel(kAccessTitle, kAccessMessage, details, kAccessButton) == 1;
}

void QuilletAppDelegate::applicationWillTerminate() {
  if (eventHandler_) eventHandler_->uninstallHook();
  newSnippet_.willTerminate();
  backups_.cancel();
  flushSaves();
}

void QuilletAppDelegate::flushSaves() {
  libraryFile_.flush();
  if (statistics_) statistics_->flushSave();
}

void QuilletAppDelegate::foremostAppActivated(const ql::ApplicationInfo& application) {
  tray_.closeMenu();
  if (eventHandler_) eventHandler_->appChanged(application);
}

bool QuilletAppDelegate::keyEvent(KeyboardHook* hook, const ql::KeyEvent& event) {
  executor_.noteKeyPress(event.keyCode, event.modifierFlags, event.characters);
  typedSinceExpansion_ = true;
  return suggestions_.keyEvent(hook, event);
}

bool QuilletAppDelegate::mouseMouseEvent(KeyboardHook*, const ql::MouseEvent& event) {
  suggestions_.mouseEvent(event);
  return false;
}

void QuilletAppDelegate::processSuggestionsHotKey(const QString& text) {
  ql::log(QStringLiteral("GROUP"));
  suggestions_.openSuggestions(false, text);
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

void QuilletAppDelegate::cleanUp() {
  // What the user typed since the expansion ended (or during it, handed on
  // when it ended) is the start of the next word: the restore that follows
  // an expansion must not throw it away.
  if (eventHandler_ && !typedSinceExpansion_) eventHandler_->clearWords();
}

bool QuilletAppDelegate::isRestoreClipboard() const {
  return settings_ ? settings_->preferences.isRestoreClipboard : true;
}
