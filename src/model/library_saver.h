#pragma once

#include "model/library_file_state.h"
#include "model/ql_settings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <memory>
#include <vector>

namespace ql {

// Saves the live library a moment after it changed, on the background
// writer's thread. The main thread only takes a snapshot: immutable copies of
// the records (their text shared, not copied), reusing the copy of every
// record that did not change since the last snapshot, so a save costs the
// main thread next to nothing however large the library. The writer turns
// the copies into XML and writes the file atomically.
//
// Changes close together become one write: an edit waits for a short quiet
// spell, but never longer than its kind allows after the first change still
// unsaved; use counts alone wait that whole allowance. While a write is in flight the next snapshot waits for it,
// so writes land in order and each holds every change made before it.
// Immutable copies of a list of records, in chunks: a snapshot shares the
// chunks, and changing one copy afterwards copies only its chunk.
template <typename Record>
class CopyList {
 public:
  using Copy = std::shared_ptr<const Record>;
  using Chunk = std::vector<Copy>;
  using Chunks = std::vector<std::shared_ptr<const Chunk>>;
  static constexpr size_t kChunk = 512;

  QList<std::shared_ptr<Record>> live;  // the list the copies were taken of

  size_t size() const { return size_; }
  const Copy& at(size_t i) const { return (*chunks_[i / kChunk])[i % kChunk]; }
  void set(size_t i, Copy copy) {
    std::shared_ptr<Chunk>& c = chunks_[i / kChunk];
    // Shared with a snapshot still being written: that one keeps the old.
    if (c.use_count() > 1) c = std::make_shared<Chunk>(*c);
    (*c)[i % kChunk] = std::move(copy);
  }
  void assign(std::vector<Copy> copies) {
    chunks_.clear();
    size_ = copies.size();
    for (size_t i = 0; i < copies.size(); i += kChunk)
      chunks_.push_back(std::make_shared<Chunk>(
          std::make_move_iterator(copies.begin() + qsizetype(i)),
          std::make_move_iterator(copies.begin() + qsizetype(std::min(i + kChunk, copies.size())))));
  }
  Chunks shared() const { return Chunks(chunks_.begin(), chunks_.end()); }

 private:
  std::vector<std::shared_ptr<Chunk>> chunks_;
  size_t size_ = 0;
};

class LibrarySaver final : public QObject {
  Q_OBJECT

 public:
  // An edit in a window is on disk within half a second; use counts and the
  // characters saved may follow an expansion by up to two seconds.
  enum class Kind { Edit, Usage };

  explicit LibrarySaver(QLSettings* settings, QString path = QString(), QObject* parent = nullptr);
  // Writes what is still pending and waits for it.
  ~LibrarySaver() override;

  // These records changed (either may be null); the others did not.
  void recordsChanged(Kind kind, const QLSnippet* snippet, const QLGroup* group = nullptr);
  // Records were added, removed or moved, or groups' member lists changed;
  // no snippet's fields changed (the outline's commands).
  void structureChanged(Kind kind = Kind::Edit);
  // Anything may have changed: every record is compared with its last copy.
  void libraryChanged(Kind kind = Kind::Edit);

  // Hands everything pending to the writer now and waits until it is on
  // disk (or failed and was reported). Quit, logout and suspend call it.
  void flush();
  // Hands what is pending to the writer now, without waiting for it.
  void saveNow();
  bool isPending() const { return pending_; }
  const QString& path() const { return path_; }
  // Saves to another file from now on (the library moved).
  void setPath(const QString& path);

  // The file as last read or written: writes replace it only while it is
  // still that file on disk. Without one, writes replace whatever is there.
  void setFileState(std::shared_ptr<LibraryFileState> state) { fileState_ = std::move(state); }
  // The library as it was last read from or written to the file.
  struct Saved {
    QLPreferences preferences;
    CopyList<QLGroup>::Chunks groups;
    CopyList<QLSnippet>::Chunks snippets;
  };
  const Saved& saved() const { return saved_; }
  // The live library was just replaced by (or merged with) what fromFile
  // holds, which is what the file holds now.
  void reloaded(const QLSettings& fromFile);
  // A write found a file it had not read: saving waits until the library
  // has taken that file in (reloaded) and is told to go on.
  bool isHeld() const { return held_; }
  void resume();
  // Asked at flush while saving is held: take the file in now if it can be.
  std::function<void()> resolveHeld;

  // How long changes wait (tests shorten them).
  int quietMs = 100;
  int editMaxMs = 300;
  int usageMaxMs = 1500;
  int retryMs = 5000;

  // Snapshots handed to the writer since start (for tests and benchmarks).
  int snapshotsTaken() const { return snapshots_; }

 Q_SIGNALS:
  // A write failed after the last one that succeeded (once per spell of
  // failures; the saver keeps retrying). why is fit for the log.
  void saveFailed(const QString& why);
  // A write succeeded after failures.
  void saveRecovered();
  // A write was not made because the file on disk is not the one last read
  // or written; saving is held until resume().
  void fileChangedOnDisk();

 private:
  // How the records of the next snapshot are found to have changed.
  enum class Check {
    Named,      // only the records named changed
    Structure,  // records came, went or moved; existing ones changed only if named
    Fields,     // anything may have changed: every record is compared with its copy
  };

  void schedule(Kind kind);
  // How long the pending changes may still wait for more.
  int waitMs() const;
  void takeSnapshot();
  void finished(int snapshot, bool ok, bool refused, const QString& why);
  template <typename Record>
  static void refresh(const QList<std::shared_ptr<Record>>& now, CopyList<Record>& last,
                      const QList<const Record*>& changed, Check check);

  QLSettings* settings_;
  QString path_;
  QTimer timer_;
  QElapsedTimer firstPending_;
  qint64 deadlineMs_ = 0;  // since firstPending_ started
  bool pending_ = false;
  bool editPending_ = false;  // an edit is among the pending changes
  bool inFlight_ = false;
  bool failing_ = false;
  Check check_ = Check::Fields;  // the first snapshot copies everything
  QList<const QLSnippet*> changedSnippets_;
  QList<const QLGroup*> changedGroups_;
  CopyList<QLSnippet> snippets_;
  CopyList<QLGroup> groups_;
  int snapshots_ = 0;
  std::shared_ptr<LibraryFileState> fileState_;
  Saved saved_;
  bool held_ = false;
  int reloads_ = 0;
};

// The library's dictionary form written from copies, one record at a time.
bool writeLibrary(QIODevice* device, const QLPreferences& preferences,
                  const CopyList<QLGroup>::Chunks& groups,
                  const CopyList<QLSnippet>::Chunks& snippets);

// Whether a copy still holds every saved field of the record.
bool sameRecord(const QLSnippet& a, const QLSnippet& b);
bool sameRecord(const QLGroup& a, const QLGroup& b);

}  // namespace ql
