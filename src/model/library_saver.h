#pragma once

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
// Changes close together become one write: each change waits for a short
// quiet spell, but never longer than its kind allows after the first change
// still unsaved. While a write is in flight the next snapshot waits for it,
// so writes land in order and each holds every change made before it.
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
  // Records were added, removed or moved, or member lists changed: every
  // group is copied afresh and every snippet compared with its last copy.
  void libraryChanged(Kind kind = Kind::Edit);

  // Hands everything pending to the writer now and waits until it is on
  // disk (or failed and was reported). Quit, logout and suspend call it.
  void flush();
  // Hands what is pending to the writer now, without waiting for it.
  void saveNow();
  bool isPending() const { return pending_; }
  const QString& path() const { return path_; }

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

 private:
  template <typename Record>
  struct Copies {
    QList<std::shared_ptr<Record>> live;  // the list at the last snapshot
    std::vector<std::shared_ptr<const Record>> copies;
  };

  void schedule(Kind kind);
  void takeSnapshot();
  void finished(int snapshot, bool ok, const QString& why);
  template <typename Record>
  void refresh(const QList<std::shared_ptr<Record>>& now, Copies<Record>& last,
               const QList<const Record*>& changed, bool compareAll);

  QLSettings* settings_;
  QString path_;
  QTimer timer_;
  QElapsedTimer firstPending_;
  qint64 deadlineMs_ = 0;  // since firstPending_ started
  bool pending_ = false;
  bool inFlight_ = false;
  bool failing_ = false;
  bool compareAll_ = true;  // the first snapshot copies everything
  QList<const QLSnippet*> changedSnippets_;
  QList<const QLGroup*> changedGroups_;
  Copies<QLSnippet> snippets_;
  Copies<QLGroup> groups_;
  int snapshots_ = 0;
};

// The library's dictionary form written from copies, one record at a time.
bool writeLibrary(QIODevice* device, const QLPreferences& preferences,
                  const std::vector<std::shared_ptr<const QLGroup>>& groups,
                  const std::vector<std::shared_ptr<const QLSnippet>>& snippets);

// Whether a copy still holds every saved field of the record.
bool sameRecord(const QLSnippet& a, const QLSnippet& b);
bool sameRecord(const QLGroup& a, const QLGroup& b);

}  // namespace ql
