#pragma once

#include "model/library_follower.h"
#include "model/library_saver.h"

#include <QObject>

#include <memory>

class QLSettings;
class QWidget;

// What the library file asks of the main controller.
class LibraryFileDelegate {
 public:
  virtual ~LibraryFileDelegate() = default;
  // Another program's library is about to replace this one: the edit under
  // way is finished first, so it belongs to the changes to keep.
  virtual void libraryFileWillLoad() = 0;
  // The library now holds the file's; preferencesChanged: they differ from
  // before and apply as a restore's would.
  virtual void libraryFileLoaded(bool preferencesChanged, bool previousIsShowDockIcon) = 0;
  // Told once per spell in which the file does not read.
  virtual void libraryFileUnreadable(const QString& message) = 0;
  // A library already lies in the folder chosen: 0 use it, 1 replace it, else cancel.
  virtual int askAboutExistingLibrary(QWidget* parent) = 0;
  virtual void libraryFileNotMoved(const QString& why) = 0;
};

// The settings file while the program runs: the saver that writes each
// change, the follower that reads another program's change and merges it
// with the changes not yet written, and moving the file to another folder.
class LibraryFile final : public QObject {
  Q_OBJECT

 public:
  explicit LibraryFile(LibraryFileDelegate& delegate);
  ~LibraryFile() override;

  // Starts saving and following settings, just loaded from the file.
  void start(QLSettings* settings);
  // A change to write; false when nothing saves (the library was not started).
  bool libraryChanged();
  void flush();
  // A library read from the file: merged with the changes not yet written,
  // then put in place.
  void loaded(std::unique_ptr<QLSettings> library);
  // Moves the file to folder (empty: the application folder). When a library
  // already lies there, useExisting says whether to take it (true) or
  // replace it with this one. False, with why, when it could not.
  bool move(const QString& folder, bool useExisting, QString* why = nullptr);
  // The folder chosen in the preferences window: asks first when a library lies there.
  void folderChosen(QWidget* parent, const QString& folder);

  ql::LibraryFollower* follower() const { return follower_.get(); }
  ql::LibraryFileState* state() const { return state_.get(); }

 private:
  LibraryFileDelegate& delegate_;
  QLSettings* settings_ = nullptr;
  std::unique_ptr<ql::LibrarySaver> saver_;
  std::shared_ptr<ql::LibraryFileState> state_;
  std::unique_ptr<ql::LibraryFollower> follower_;
};
