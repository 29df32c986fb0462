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
  if (!pending_ || !settings_) return;
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
  BackgroundWriter::instance().write(
      path_,
      [preferences = settings_->preferences, groups = groups_.shared(),
       snippets = snippets_.shared()](QIODevice* device, QString* why) {
        if (writeLibrary(device, preferences, groups, snippets)) return true;
        *why = device->errorString();
        return false;
      },
      this, [this, snapshot](bool ok, const QString& why) { finished(snapshot, ok, why); });
}

void LibrarySaver::finished(int snapshot, bool ok, const QString& why) {
  // A reader may have had a newer snapshot handed over meanwhile; it
  // replaced a queued one, or follows this one.
  if (snapshot != snapshots_) {
    return;
  }
  inFlight_ = false;
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

void LibrarySaver::saveNow() {
  if (pending_) takeSnapshot();
}

void LibrarySaver::flush() {
  // The last word before the program ends: every record is compared with
  // its copy, so a change no caller named is written too.
  if (pending_) check_ = Check::Fields;
  // A failing spell is tried once more here, at once.
  for (int round = 0; round < 2; ++round) {
    if (pending_ && !inFlight_) takeSnapshot();
    if (!inFlight_) break;
    BackgroundWriter::instance().waitForIdle(path_);
    // The write's report is delivered now, not at the next turn of the loop.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    if (failing_) break;
  }
}

}  // namespace ql
