#pragma once

#include "model/plist.h"

#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class QIODevice;
class QObject;

namespace ql {

// Writes property-list files on one worker thread, so that a large library
// is serialised, written and synced to disk while the window stays
// responsive. The caller takes the snapshot (the property-list root) on its
// own thread, where the records live; the worker only reads that copy.
//
// Writes of one path land in the order they were asked for; a snapshot not
// yet started is replaced by a newer one of the same path (it holds every
// change the older one held). Synchronous reads and writes of a path
// (plist::readFile, plist::writeFileAtomic) wait for its writes first, and
// the process waits for every write before it ends.
class BackgroundWriter final {
 public:
  // Runs on context's thread once the snapshot is on disk (ok) or could not
  // be written (why says what failed, fit for the log). Not run for a
  // snapshot that a newer one replaced.
  using Done = std::function<void(bool ok, const QString& why)>;
  // Streams a file's bytes into device on the worker; false when it failed.
  // It must only read what it owns (immutable copies), never live records.
  using Producer = std::function<bool(QIODevice* device, QString* why)>;

  static BackgroundWriter& instance();

  // context must outlive the write: call waitForIdle before deleting it.
  void write(const QString& path, PlistValue root, QObject* context, Done done);
  void write(const QString& path, Producer produce, QObject* context, Done done);
  // gate decides at the last moment whether the file may be replaced
  // (plist::writeFileAtomicNow); a refusal is reported as a failure.
  void write(const QString& path, Producer produce, plist::ReplaceGate gate, QObject* context,
             Done done);

  // A saver that holds changes back for a moment registers how to hand them
  // over at once; whoever waits for the path (a reader, a synchronous
  // write, a flush at quit) then sees them. Called on owner's thread only.
  void setFlusher(const QString& path, QObject* owner, std::function<void()> flush);
  void clearFlusher(const QString& path);
  // Waits until nothing is queued or being written for path (for any path
  // when path is empty).
  void waitForIdle(const QString& path = QString());
  // The same without handing held-back changes over first: the writes
  // already asked for are on disk (or failed) when it returns.
  void waitForWritten(const QString& path);
  // Whether a write of path is queued or under way; never waits.
  bool isWriting(const QString& path) const;
  // Drops the queued snapshot of path, because a newer write is about to
  // replace the file, and waits for the one being written.
  void supersede(const QString& path);

  // How many snapshots were written since start (for tests).
  int writtenCount() const;

  ~BackgroundWriter();
  BackgroundWriter(const BackgroundWriter&) = delete;
  BackgroundWriter& operator=(const BackgroundWriter&) = delete;

 private:
  BackgroundWriter() = default;
  void run();
  bool busyWith(const QString& path) const;
  void runFlushers(const QString& key);

  struct Job {
    QString path;
    PlistValue root;
    Producer produce;
    plist::ReplaceGate gate;
    QObject* context = nullptr;
    Done done;
  };
  void enqueue(Job job);

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<Job> queue_;  // at most one per path
  QString writing_;        // the path being written, empty when none
  int written_ = 0;
  bool stopping_ = false;
  std::thread thread_;

  struct Flusher {
    QString path;
    QObject* owner = nullptr;
    std::function<void()> flush;
  };
  std::vector<Flusher> flushers_;  // main thread only
  bool flushing_ = false;
};

}  // namespace ql
