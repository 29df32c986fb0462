// The library file followed while the program runs: another program's
// change is read and merged with the changes not yet written, a file that
// does not read is left alone, and the file can live in a folder of the
// user's choosing.
#include "app/quillet_app_delegate.h"

#include "app/preferences_sheet_controller.h"
#include "model/library_merge.h"
#include "model/string_utilities.h"
#include "platform/log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSystemTrayIcon>

namespace {

const QString kUnreadable = QStringLiteral(
    "The library file was changed by another program and cannot be read now (%1). Quillet leaves "
    "it as it is and goes on with the library it has; changes made here are written once the "
    "file reads again.");

// What the file holds now becomes what the program knows of it.
ql::FileSignature signatureOf(const QString& path) {
  ql::FileSignature s = ql::FileSignature::stat(path);
  if (!s.exists) return s;
  QFile file(path);
  if (file.open(QIODevice::ReadOnly)) s.hash = ql::FileSignature::hashOf(file.readAll());
  return s;
}

}  // namespace

void QuilletAppDelegate::followLibraryFile() {
  libraryFile_ = std::make_shared<ql::LibraryFileState>(saver_->path());
  // Unreadable at start-up, the file was moved aside: nothing is known then.
  libraryFile_->setKnown(signatureOf(saver_->path()));
  saver_->setFileState(libraryFile_);
  // What was just loaded is what the file holds: the base of every merge.
  saver_->reloaded(*settings_);
  follower_ = std::make_unique<ql::LibraryFollower>(libraryFile_);
  follower_->onLoaded = [this](std::unique_ptr<QLSettings> library) {
    libraryFileLoaded(std::move(library));
  };
  connect(follower_.get(), &ql::LibraryFollower::fileUnreadable, this,
          &QuilletAppDelegate::libraryFileUnreadable);
  // Nothing of the library is lost with its file: it is written again.
  connect(follower_.get(), &ql::LibraryFollower::fileGone, this, [this] {
    saver_->resume();
    saver_->libraryChanged();
  });
  // A save found a file it had not read: read it, then save the merge.
  connect(saver_.get(), &ql::LibrarySaver::fileChangedOnDisk, this, [this] {
    if (follower_->checkNow() == ql::LibraryFollower::Outcome::Known) saver_->resume();
  });
  saver_->resolveHeld = [this] {
    if (follower_->checkNow() == ql::LibraryFollower::Outcome::Known) saver_->resume();
  };
  follower_->watch();
}

void QuilletAppDelegate::libraryFileLoaded(std::unique_ptr<QLSettings> library) {
  if (!settings_ || !saver_ || !library) return;
  // The edit under way belongs to the changes to keep.
  libraryWindow_->finishEditing();
  const bool previousIsShowDockIcon = settings_->preferences.isShowDockIcon;
  const ql::PlistDict preferencesBefore = settings_->preferences.getData();
  const ql::LibrarySaver::Saved before = saver_->saved();
  saver_->reloaded(*library);
  const bool kept = ql::mergeUnsavedChanges(*library, *settings_, before);
  ql::adoptLibrary(*settings_, *library);
  if (kept) saver_->libraryChanged();
  saver_->resume();

  Q_EMIT libraryReloaded();
  if (eventHandler_) eventHandler_->appChanged(platform_.workspace->frontmostApplication());
  if (settings_->preferences.getData() == preferencesBefore) return;
  // The other computer's preferences apply here as a restore's would.
  applyReplacedPreferences(previousIsShowDockIcon);
  windowsAfterRestore();
}

void QuilletAppDelegate::libraryFileUnreadable(const QString& why) {
  const QString message = kUnreadable.arg(why);
  if (statusItem_)
    statusItem_->showMessage(QStringLiteral("Quillet"), message, QSystemTrayIcon::Warning);
  else
    showAlert(QMessageBox::Warning, QStringLiteral("The library file cannot be read."), message);
  Q_EMIT libraryFileNotice(message);
}

bool QuilletAppDelegate::moveLibraryFile(const QString& folder, bool useExisting, QString* why) {
  if (!settings_ || !saver_) return false;
  const QString target = (folder.isEmpty() ? ql::Utilities::getAppPath() : folder) +
                         QLatin1Char('/') + QLSettings::kDefaultSettingFileName + QLatin1Char('.') +
                         QLSettings::kDefaultSettingExtension;
  if (QFileInfo(target).absoluteFilePath() == QFileInfo(saver_->path()).absoluteFilePath()) {
    ql::Utilities::setLibraryFolder(folder);
    return true;
  }
  if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
    if (why) *why = QStringLiteral("the folder cannot be created");
    return false;
  }
  // Everything this library holds is written to the old place first.
  saver_->flush();
  const bool existing = QFileInfo::exists(target);
  std::unique_ptr<QLSettings> there;
  if (existing && useExisting) {
    QFile file(target);
    if (file.open(QIODevice::ReadOnly)) there = QLSettings::fromBytes(file.readAll(), why);
    if (!there) {
      if (why && why->isEmpty()) *why = QStringLiteral("the library there cannot be read");
      return false;
    }
  }
  const QString old = saver_->path();
  ql::Utilities::setLibraryFolder(folder);
  libraryFile_->setPath(target);
  // The file there is replaced on purpose, or read and taken as it is.
  libraryFile_->setKnown(signatureOf(target));
  saver_->setPath(target);
  follower_->watch();
  if (there) {
    libraryFileLoaded(std::move(there));
  } else {
    saver_->libraryChanged();
    saver_->flush();
    // Moved, not copied: one library, in one place. The old file stays when
    // the new one could not be written (and when the one there was chosen
    // instead, above: nothing of it is lost).
    if (!saver_->isPending() && QFileInfo::exists(target)) QFile::remove(old);
  }
  ql::log(QStringLiteral("The library file is now kept in ") + QFileInfo(target).absolutePath());
  return true;
}

void QuilletAppDelegate::libraryFolderChosen(PreferencesSheetController* sender, const QString& folder) {
  const QString target = (folder.isEmpty() ? ql::Utilities::getAppPath() : folder) + QLatin1Char('/') +
                         QLSettings::kDefaultSettingFileName + QLatin1Char('.') +
                         QLSettings::kDefaultSettingExtension;
  bool useExisting = false;
  if (saver_ && QFileInfo::exists(target) &&
      QFileInfo(target).absoluteFilePath() != QFileInfo(saver_->path()).absoluteFilePath()) {
    QWidget* parent = sender && sender->window() ? static_cast<QWidget*>(sender->window()) : window.data();
    const int choice = alertSheet
        ? alertSheet(parent, QMessageBox::Question,
                     QStringLiteral("A library already exists in this folder."),
                     QStringLiteral("Use the library that is there, or replace it with the one "
                                    "Quillet has now?"),
                     {QStringLiteral("Use It"), QStringLiteral("Replace It"), QStringLiteral("Cancel")})
        : 2;
    if (choice != 0 && choice != 1) return;
    useExisting = choice == 0;
  }
  QString why;
  if (!moveLibraryFile(folder, useExisting, &why))
    showAlert(QMessageBox::Critical, QStringLiteral("The library could not be moved."), why);
}
