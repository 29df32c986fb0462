#include "app/library_file.h"

#include "model/library_merge.h"
#include "model/ql_settings.h"
#include "model/string_utilities.h"
#include "platform/log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// What the file holds now becomes what the program knows of it.
ql::FileSignature signatureOf(const QString& path) {
  ql::FileSignature s = ql::FileSignature::stat(path);
  if (!s.exists) return s;
  QFile file(path);
  if (file.open(QIODevice::ReadOnly)) s.hash = ql::FileSignature::hashOf(file.readAll());
  return s;
}

QString libraryPathIn(const QString& folder) {
  return (folder.isEmpty() ? ql::Utilities::getAppPath() : folder) + QLatin1Char('/') +
         QLSettings::kDefaultSettingFileName + QLatin1Char('.') + QLSettings::kDefaultSettingExtension;
}

}  // namespace

LibraryFile::LibraryFile(LibraryFileDelegate& delegate) : delegate_(delegate) {}

LibraryFile::~LibraryFile() {
  // The saver flushes as it goes, after the follower: it must not call back.
  if (saver_) {
    saver_->resolveHeld = nullptr;
    QObject::disconnect(saver_.get(), nullptr, this, nullptr);
  }
}

void LibraryFile::start(QLSettings* settings) {
  settings_ = settings;
  saver_ = std::make_unique<ql::LibrarySaver>(settings);
  settings->saver = saver_.get();
  state_ = std::make_shared<ql::LibraryFileState>(saver_->path());
  // Unreadable at start-up, the file was moved aside: nothing is known then.
  state_->setKnown(signatureOf(saver_->path()));
  saver_->setFileState(state_);
  // What was just loaded is what the file holds: the base of every merge.
  saver_->reloaded(*settings_);
  follower_ = std::make_unique<ql::LibraryFollower>(state_);
  follower_->onLoaded = [this](std::unique_ptr<QLSettings> library) { loaded(std::move(library)); };
  connect(follower_.get(), &ql::LibraryFollower::fileUnreadable, this, [this](const QString& why) {
    delegate_.libraryFileUnreadable(
        tr("The library file was changed by another program and cannot be read now (%1). Quillet "
           "leaves it as it is and goes on with the library it has; changes made here are written "
           "once the file reads again.")
            .arg(why));
  });
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

bool LibraryFile::libraryChanged() {
  if (!saver_) return false;
  saver_->libraryChanged();
  return true;
}

void LibraryFile::flush() {
  if (saver_) saver_->flush();
}

void LibraryFile::loaded(std::unique_ptr<QLSettings> library) {
  if (!settings_ || !saver_ || !library) return;
  delegate_.libraryFileWillLoad();
  const bool previousIsShowDockIcon = settings_->preferences.isShowDockIcon;
  const ql::PlistDict preferencesBefore = settings_->preferences.getData();
  const ql::LibrarySaver::Saved before = saver_->saved();
  saver_->reloaded(*library);
  const bool kept = ql::mergeUnsavedChanges(*library, *settings_, before);
  ql::adoptLibrary(*settings_, *library);
  if (kept) saver_->libraryChanged();
  saver_->resume();
  delegate_.libraryFileLoaded(settings_->preferences.getData() != preferencesBefore, previousIsShowDockIcon);
}

bool LibraryFile::move(const QString& folder, bool useExisting, QString* why) {
  if (!settings_ || !saver_) return false;
  const QString target = libraryPathIn(folder);
  if (QFileInfo(target).absoluteFilePath() == QFileInfo(saver_->path()).absoluteFilePath()) {
    ql::Utilities::setLibraryFolder(folder);
    return true;
  }
  if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
    if (why) *why = tr("the folder cannot be created");
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
      if (why && why->isEmpty()) *why = tr("the library there cannot be read");
      return false;
    }
  }
  const QString old = saver_->path();
  ql::Utilities::setLibraryFolder(folder);
  state_->setPath(target);
  // The file there is replaced on purpose, or read and taken as it is.
  state_->setKnown(signatureOf(target));
  saver_->setPath(target);
  follower_->watch();
  if (there) {
    loaded(std::move(there));
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

void LibraryFile::folderChosen(QWidget* parent, const QString& folder) {
  const QString target = libraryPathIn(folder);
  bool useExisting = false;
  if (saver_ && QFileInfo::exists(target) &&
      QFileInfo(target).absoluteFilePath() != QFileInfo(saver_->path()).absoluteFilePath()) {
    const int choice = delegate_.askAboutExistingLibrary(parent);
    if (choice != 0 && choice != 1) return;
    useExisting = choice == 0;
  }
  QString why;
  if (!move(folder, useExisting, &why)) delegate_.libraryFileNotMoved(why);
}
