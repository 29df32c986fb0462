#include "model/library_saver.h"

#include "model/background_writer.h"
#include "model/plist_xml.h"
#include "platform/log.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QSet>

#include <algorithm>
#include <climits>

namespace ql {

namespace {

// Unchanged text is the very same shared string; anything else is compared.
bool same(const QString& a, const QString& b) {
  return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}
bool same(const QByteArray& a, const QByteArray& b) {
  return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}
bool same(const QStringList& a, const QStringList& b) {
  if (a.constData() == b.constData() && a.size() == b.size()) return true;
  if (a.size() != b.size()) return false;
  for (qsizetype i = 0; i < a.size(); ++i)
    if (!same(a[i], b[i])) return false;
  return true;
}
bool same(const std::optional<QString>& a, const std::optional<QString>& b) {
  return a.has_value() == b.has_value() && (!a || same(*a, *b));
}

constexpr qsizetype kChunk = 64 * 1024;

bool flushed(QIODevice* device, QByteArray& out, qsizetype atLeast) {
  if (out.size() < atLeast) return true;
  const bool ok = device->write(out) == out.size();
  out.truncate(0);
  return ok;
}

}  // namespace

bool sameRecord(const QLSnippet& a, const QLSnippet& b) {
  return same(a.groupUuid, b.groupUuid) && same(a.uuid, b.uuid) &&
         same(a.abbreviation, b.abbreviation) &&
         a.abbreviationMatchType == b.abbreviationMatchType && a.dateCreated == b.dateCreated &&
         a.dateModified == b.dateModified && a.dateLastUsed == b.dateLastUsed &&
         same(a.label, b.label) && same(a.plainText, b.plainText) &&
         same(a.formattedText, b.formattedText) && a.snippetType == b.snippetType &&
         a.useCount == b.useCount && a.flags == b.flags && a.isConvertToHTML == b.isConvertToHTML;
}

bool sameRecord(const QLGroup& a, const QLGroup& b) {
  return same(a.uuid, b.uuid) && same(a.name, b.name) && same(a.abbreviation, b.abbreviation) &&
         a.exceptionType == b.exceptionType && same(a.exceptions, b.exceptions) &&
         same(a.sound, b.sound) && a.expandType == b.expandType && same(a.snippts, b.snippts) &&
         a.dateCreated == b.dateCreated && a.dateModified == b.dateModified &&
         a.dateLastUsed == b.dateLastUsed &&
         a.includeInSuggestionsList == b.includeInSuggestionsList &&
         a.allowGroupSuggestions == b.allowGroupSuggestions && a.isExpanded == b.isExpanded;
}

bool writeLibrary(QIODevice* device, const QLPreferences& preferences,
                  const CopyList<QLGroup>::Chunks& groups,
                  const CopyList<QLSnippet>::Chunks& snippets) {
  // The same bytes as writing QLSettings::libraryDictionary() whole.
  QByteArray out;
  out.reserve(kChunk * 2);
  plist::xml::appendPrologue(out);
  out.append("<dict>\n");
  plist::xml::appendKey(out, QStringLiteral("Preferences"), 1);
  plist::xml::appendValue(out, PlistValue(preferences.getData()), 1);
  const auto list = [&](const QString& key, const auto& records) {
    plist::xml::appendKey(out, key, 1);
    if (records.empty()) {
      out.append("\t<array/>\n");
      return true;
    }
    out.append("\t<array>\n");
    for (const auto& chunk : records) {
      for (const auto& r : *chunk) {
        plist::xml::appendValue(out, PlistValue(r->getData()), 2);
        if (!flushed(device, out, kChunk)) return false;
      }
    }
    out.append("\t</array>\n");
    return true;
  };
  if (!list(QStringLiteral("Groups"), groups) || !list(QStringLiteral("Snippets"), snippets))
    return false;
  out.append("</dict>\n");
  plist::xml::appendEpilogue(out);
  return flushed(device, out, 1);
}

LibrarySaver::LibrarySaver(QLSettings* settings, QString path, QObject* parent)
    : QObject(parent),
      settings_(settings),
      path_(path.isEmpty() ? QLSettings::settingsPath() : std::move(path)) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, [this] {
    if (inFlight_) return;  // taken when the write in flight is done
    takeSnapshot();
  });
  BackgroundWriter::instance().setFlusher(path_, this, [this] { saveNow(); });
}

LibrarySaver::~LibrarySaver() {
  flush();
  BackgroundWriter::instance().clearFlusher(path_);
}

void LibrarySaver::recordsChanged(Kind kind, const QLSnippet* snippet, const QLGroup* group) {
  if (snippet && !changedSnippets_.contains(snippet)) changedSnippets_.append(snippet);
  if (group && !changedGroups_.contains(group)) changedGroups_.append(group);
  schedule(kind);
}

void LibrarySaver::structureChanged(Kind kind) {
  if (check_ == Check::Named) check_ = Check::Structure;
  schedule(kind);
}

void LibrarySaver::libraryChanged(Kind kind) {
  check_ = Check::Fields;
  schedule(kind);
}

void LibrarySaver::schedule(Kind kind) {
  if (kind == Kind::Edit && settings_) ++settings_->revision;
  if (held_) {
    pending_ = true;
    return;
  }
  if (!pending_) {
    pending_ = true;
    editPending_ = false;
    firstPending_.start();
    deadlineMs_ = kind == Kind::Edit ? editMaxMs : usageMaxMs;
  } else {
    deadlineMs_ = std::min<qint64>(deadlineMs_, kind == Kind::Edit ? editMaxMs : usageMaxMs);
  }
  editPending_ = editPending_ || kind == Kind::Edit;
  if (inFlight_) return;
  timer_.start(waitMs());
}

int LibrarySaver::waitMs() const {
  const qint64 left = deadlineMs_ - firstPending_.elapsed();
  // Use counts wait their whole allowance: expansions come seconds apart at
  // typing pace, and each write of a large library costs the writer a
  // pass over all of it. Edits go after a quiet spell.
  return int(std::clamp<qint64>(editPending_ ? std::min<qint64>(quietMs, left) : left, 0, INT_MAX));
}

template <typename Record>
void LibrarySaver::refresh(const QList<std::shared_ptr<Record>>& now, CopyList<Record>& last,
                           const QList<const Record*>& changed, Check check) {
  const auto copyOf = [](const Record& r) { return std::make_shared<const Record>(r); };
  const bool sameList =
      check != Check::Fields && qsizetype(last.size()) == now.size() &&
      last.live.size() == now.size() &&
      (now.constData() == last.live.constData() ||
       std::equal(now.cbegin(), now.cend(), last.live.cbegin()));
  if (sameList) {
    // Only the records named changed: each is found by address.
    for (const Record* r : changed)
      for (qsizetype i = 0; i < now.size(); ++i)
        if (now[i].get() == r) last.set(size_t(i), copyOf(*r));
    last.live = now;
    return;
  }
  // Records came, went or moved. Each keeps its copy (unless it was named,
  // or, when anything may have changed, unless it differs from it); a record
  // still at its place is found there, others through their address.
  QSet<const Record*> named(changed.cbegin(), changed.cend());
  QHash<const Record*, qsizetype> before;
  bool indexed = false;
  std::vector<typename CopyList<Record>::Copy> copies;
  copies.reserve(size_t(now.size()));
  for (qsizetype i = 0; i < now.size(); ++i) {
    const Record* r = now[i].get();
    qsizetype at = -1;
    if (i < last.live.size() && size_t(i) < last.size() && last.live[i].get() == r) {
      at = i;
    } else {
      if (!indexed) {
        before.reserve(last.live.size());
        for (qsizetype j = 0; j < last.live.size() && size_t(j) < last.size(); ++j)
          before.insert(last.live[j].get(), j);
        indexed = true;
      }
      at = before.value(r, -1);
    }
    const bool keep = at >= 0 && !named.contains(r) &&
                      (check != Check::Fields || sameRecord(*r, *last.at(size_t(at))));
    copies.push_back(keep ? last.at(size_t(at)) : copyOf(*r));
  }
  last.assign(std::move(copies));
  last.live = now;
}

void LibrarySaver::takeSnapshot() {
  timer_.stop();
  if (!pending_ || !settings_ || held_) return;
  // Groups are few; their member lists change with every structural edit.
  // Groups are few, and member lists change with every structural edit:
  // they are compared whenever more than named records changed.
  refresh(settings_->groups, groups_, changedGroups_,
          check_ == Check::Named ? Check::Named : Check::Fields);
  refresh(settings_->snippets, snippets_, changedSnippets_, check_);
  pending_ = false;
  check_ = Check::Named;
  changedSnippets_.clear();
  changedGroups_.clear();
  inFlight_ = true;
  const int snapshot = ++snapshots_;
  Saved written{settings_->preferences, groups_.shared(), snippets_.shared()};
  auto produce = [preferences = written.preferences, groups = written.groups,
                  snippets = written.snippets](QIODevice* device, QString* why) {
    if (writeLibrary(device, preferences, groups, snippets)) return true;
    *why = device->errorString();
    return false;
  };
  auto refused = std::make_shared<bool>(false);
  auto done = [this, snapshot, refused, reloads = reloads_, written = std::move(written)](
                  bool ok, const QString& why) {
    // A file read since this snapshot was taken is the newer picture of
    // what the disk holds; this write is older news.
    if (ok && reloads == reloads_) saved_ = written;
    finished(snapshot, ok, *refused, why);
  };
  if (!fileState_) {
    BackgroundWriter::instance().write(path_, std::move(produce), this, std::move(done));
    return;
  }
  // The gate sets refused on the writer's thread; done reads it here, once
  // the write has ended.
  auto gate = [state = fileState_, refused](const QByteArray& hash, const std::function<bool()>& commit,
                                            bool*) { return state->replace(hash, commit, refused.get()); };
  BackgroundWriter::instance().write(path_, std::move(produce), std::move(gate), this, std::move(done));
}

void LibrarySaver::finished(int snapshot, bool ok, bool refused, const QString& why) {
  // A reader may have had a newer snapshot handed over meanwhile; it
  // replaced a queued one, or follows this one.
  if (snapshot != snapshots_) {
    if (refused) held_ = true;
    return;
  }
  inFlight_ = false;
  if (refused) {
    // Not a failure: the file is newer than what this snapshot was taken
    // against. Its changes are still in the live library; they are written
    // once the file was taken in.
    held_ = true;
    pending_ = true;
    check_ = Check::Fields;
    Q_EMIT fileChangedOnDisk();
    return;
  }
  if (ok) {
    if (failing_) {
      failing_ = false;
      log(QStringLiteral("The settings file could be written again"));
      Q_EMIT saveRecovered();
    }
  } else {
    if (!failing_) {
      failing_ = true;
      logError(QStringLiteral("SaveSettings"), why.isEmpty() ? QStringLiteral("write failed") : why);
      Q_EMIT saveFailed(why);
    }
    // Kept and tried again: the snapshot's copies still hold every change.
    if (!pending_) {
      pending_ = true;
      firstPending_.start();
      deadlineMs_ = retryMs;
    }
  }
  if (!pending_) return;
  const qint64 left = deadlineMs_ - firstPending_.elapsed();
  if (ok && left <= 0) {
    takeSnapshot();
    return;
  }
  timer_.start(ok ? waitMs() : int(std::clamp<qint64>(left, 0, INT_MAX)));
}

void LibrarySaver::setPath(const QString& path) {
  if (path == path_) return;
  flush();
  BackgroundWriter::instance().clearFlusher(path_);
  path_ = path;
  BackgroundWriter::instance().setFlusher(path_, this, [this] { saveNow(); });
}

void LibrarySaver::reloaded(const QLSettings& fromFile) {
  Saved s;
  s.preferences = fromFile.preferences;
  CopyList<QLGroup> groups;
  CopyList<QLSnippet> snippets;
  std::vector<CopyList<QLGroup>::Copy> g;
  for (const GroupPtr& r : fromFile.groups) g.push_back(std::make_shared<const QLGroup>(*r));
  std::vector<CopyList<QLSnippet>::Copy> n;
  for (const SnippetPtr& r : fromFile.snippets) n.push_back(std::make_shared<const QLSnippet>(*r));
  groups.assign(std::move(g));
  snippets.assign(std::move(n));
  s.groups = groups.shared();
  s.snippets = snippets.shared();
  saved_ = std::move(s);
  ++reloads_;
  // Records were replaced in place: no copy can be trusted by address.
  check_ = Check::Fields;
}

void LibrarySaver::resume() {
  if (!held_) return;
  held_ = false;
  if (pending_ && !inFlight_) {
    firstPending_.start();
    deadlineMs_ = editMaxMs;
    timer_.start(0);
  }
}

void LibrarySaver::saveNow() {
  if (pending_) takeSnapshot();
}

void LibrarySaver::flush() {
  // The last word before the program ends: every record is compared with
  // its copy, so a change no caller named is written too.
  if (pending_) check_ = Check::Fields;
  // A failing spell is tried once more here, at once; a file not yet taken
  // in is taken in first.
  for (int round = 0; round < 3; ++round) {
    if (held_ && resolveHeld) resolveHeld();
    if (pending_ && !inFlight_) takeSnapshot();
    if (!inFlight_) break;
    BackgroundWriter::instance().waitForIdle(path_);
    // The write's report is delivered now, not at the next turn of the loop.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    if (failing_) break;
  }
}

}  // namespace ql
