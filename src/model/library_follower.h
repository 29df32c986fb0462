#pragma once

#include "model/library_file_state.h"
#include "model/ql_settings.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace ql {

// Notices when another program (a sync folder, a second computer, the
// command-line tool) changes the library file, and reads it once it reads
// whole. The file and its folder are both watched: sync tools replace a file
// by renaming another over it, which ends the watch on the old one. Changes
// close together are looked at once; the program's own writes, and a touch
// that changed nothing, are recognised and ignored.
class LibraryFollower final : public QObject {
  Q_OBJECT

 public:
  enum class Outcome { Known, Loaded, Unreadable, Missing };

  explicit LibraryFollower(std::shared_ptr<LibraryFileState> state, QObject* parent = nullptr);

  // Watches the state's path (again, after it changed).
  void watch();
  // Looks at the file now; a new file that reads whole goes to onLoaded.
  Outcome checkNow();

  // Gets each new library read whole; the file's signature is already the
  // known one when it is called.
  std::function<void(std::unique_ptr<QLSettings> library)> onLoaded;

  // How long a change settles before it is looked at, how long a file that
  // does not read whole is waited for, and how often it is tried again.
  int settleMs = 250;
  int retryMs = 1000;
  int retries = 4;

  // Tries that found the file not whole, and spells given up (for tests).
  int failedTries() const { return failedTries_; }
  int givenUp() const { return givenUp_; }
  // Looks taken after a change settled or a try came due.
  int looks() const { return looks_; }

 Q_SIGNALS:
  // The file does not load: said once until it loads again. why is fit for
  // the log (never the content).
  void fileUnreadable(const QString& why);
  // It loads again after that.
  void fileReadable();
  // The file stayed away: the next save makes it again.
  void fileGone();

 private:
  void changed();
  void settled();
  void tryAgainOrGiveUp(Outcome outcome);

  std::shared_ptr<LibraryFileState> state_;
  QFileSystemWatcher watcher_;
  QTimer timer_;
  int triesLeft_ = 0;
  bool reported_ = false;
  QString lastWhy_;
  int failedTries_ = 0;
  int givenUp_ = 0;
  int looks_ = 0;
};

}  // namespace ql
