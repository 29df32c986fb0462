#include "model/library_merge.h"

#include "model/plist.h"

#include <QHash>
#include <QSet>

namespace ql {

namespace {

template <typename Record>
QHash<QString, std::shared_ptr<const Record>> byUuid(
    const typename CopyList<Record>::Chunks& chunks) {
  QHash<QString, std::shared_ptr<const Record>> index;
  for (const auto& chunk : chunks)
    for (const auto& r : *chunk) index.insert(r->uuid, r);
  return index;
}

template <typename Ptr>
QHash<QString, Ptr> byUuid(const QList<Ptr>& list) {
  QHash<QString, Ptr> index;
  for (const Ptr& p : list) index.insert(p->uuid, p);
  return index;
}

// A member list changed on both sides: the file's list, less what the local
// side removed, plus what it added, in its order.
QStringList mergedMembers(const QStringList& file, const QStringList& before, const QStringList& local) {
  const QSet<QString> was(before.cbegin(), before.cend());
  const QSet<QString> now(local.cbegin(), local.cend());
  QStringList out;
  for (const QString& uuid : file)
    if (!(was.contains(uuid) && !now.contains(uuid))) out.append(uuid);
  QSet<QString> present(out.cbegin(), out.cend());
  for (const QString& uuid : local)
    if (!was.contains(uuid) && !present.contains(uuid)) {
      out.append(uuid);
      present.insert(uuid);
    }
  return out;
}

// Compared as the file holds them (dates to the second): a record read back
// from the file is the same as the copy that was written.
template <typename Record>
bool sameOnDisk(const Record& a, const Record& b) {
  return sameRecord(a, b) || plist::toXml(PlistValue(a.getData())) == plist::toXml(PlistValue(b.getData()));
}

void copyGroupFields(QLGroup& to, const QLGroup& from) {
  const QStringList members = to.snippts;
  const QString uuid = to.uuid;
  to = from;
  to.uuid = uuid;
  to.snippts = members;
}

}  // namespace

bool mergeUnsavedChanges(QLSettings& fromFile, const QLSettings& live, const LibrarySaver::Saved& saved) {
  bool kept = false;

  // Preferences, key by key: those changed here win.
  const PlistDict before = saved.preferences.getData();
  const PlistDict now = live.preferences.getData();
  PlistDict changes;
  for (int i = 0; i < now.size(); ++i) {
    const PlistValue* was = before.value(now.keyAt(i));
    if (!was || !(*was == now.valueAt(i))) changes.insert(now.keyAt(i), now.valueAt(i));
  }
  if (!changes.isEmpty()) {
    fromFile.preferences.setData(&changes);
    kept = true;
  }

  const auto savedSnippets = byUuid<QLSnippet>(saved.snippets);
  const auto savedGroups = byUuid<QLGroup>(saved.groups);
  auto fileSnippets = byUuid(fromFile.snippets);
  auto fileGroups = byUuid(fromFile.groups);

  // Snippets edited or added here.
  QList<SnippetPtr> carried;
  for (const SnippetPtr& s : live.snippets) {
    const auto was = savedSnippets.value(s->uuid);
    if (was && sameRecord(*was, *s)) continue;
    kept = true;
    carried.append(s);
    if (const SnippetPtr there = fileSnippets.value(s->uuid)) {
      *there = *s;
    } else {
      auto copy = std::make_shared<QLSnippet>(*s);
      fromFile.snippets.append(copy);
      fileSnippets.insert(copy->uuid, copy);
    }
  }
  // Snippets deleted here: gone from the file too unless changed there.
  // (Carried snippets are made members of their groups further down.)
  const auto liveSnippets = byUuid(live.snippets);
  QSet<QString> deleted;
  QList<SnippetPtr> members;  // snippets that must stay members of their groups
  for (const SnippetPtr& s : carried) members.append(fileSnippets.value(s->uuid));
  for (auto it = savedSnippets.cbegin(); it != savedSnippets.cend(); ++it) {
    if (liveSnippets.contains(it.key())) continue;
    const SnippetPtr there = fileSnippets.value(it.key());
    if (!there) continue;
    if (sameOnDisk(*there, *it.value()))
      deleted.insert(it.key());
    else
      members.append(there);  // changed there: it stays
  }
  if (!deleted.isEmpty()) {
    kept = true;
    fromFile.snippets.removeIf([&](const SnippetPtr& s) { return deleted.contains(s->uuid); });
  }

  // Groups edited or added here; a new one joins a file group of its name.
  QHash<QString, QString> joined;  // local group UUID -> the file group it joined
  const auto liveGroups = byUuid(live.groups);
  for (const GroupPtr& g : live.groups) {
    const auto was = savedGroups.value(g->uuid);
    if (was && sameRecord(*was, *g)) continue;
    kept = true;
    const QStringList before = was ? was->snippts : QStringList();
    GroupPtr there = fileGroups.value(g->uuid);
    if (!there && !was) {
      for (const GroupPtr& f : fromFile.groups)
        if (f->name == g->name && !liveGroups.contains(f->uuid)) there = f;
      if (there) joined.insert(g->uuid, there->uuid);
    }
    if (there) {
      const QStringList members = mergedMembers(there->snippts, before, g->snippts);
      copyGroupFields(*there, *g);
      there->snippts = members;
    } else {
      auto copy = std::make_shared<QLGroup>(*g);
      fromFile.groups.append(copy);
      fileGroups.insert(copy->uuid, copy);
    }
  }
  // Groups deleted here, unless changed there.
  for (auto it = savedGroups.cbegin(); it != savedGroups.cend(); ++it) {
    if (liveGroups.contains(it.key())) continue;
    const GroupPtr there = fileGroups.value(it.key());
    if (there && sameOnDisk(*there, *it.value())) {
      fromFile.groups.removeAll(there);
      kept = true;
    }
  }

  // Member lists and group references follow what moved.
  if (!joined.isEmpty())
    for (const SnippetPtr& s : fromFile.snippets)
      if (s->groupUuid && joined.contains(*s->groupUuid)) s->groupUuid = joined.value(*s->groupUuid);
  // A snippet kept from here belongs to its group, even one the other
  // program removed (the group comes back with it).
  for (const SnippetPtr& s : members) {
    if (!s || !fromFile.snippets.contains(s)) continue;
    const QString groupUuid = s->groupUuid.value_or(QString());
    GroupPtr g = fileGroups.value(groupUuid);
    if (g && !fromFile.groups.contains(g)) g = nullptr;
    if (!g) {
      const GroupPtr mine = liveGroups.value(groupUuid);
      if (!mine) continue;
      g = std::make_shared<QLGroup>(*mine);
      fromFile.groups.append(g);
      fileGroups.insert(g->uuid, g);
    }
    if (!g->snippts.contains(s->uuid)) g->snippts.append(s->uuid);
  }
  if (kept) {
    QSet<QString> present;
    for (const SnippetPtr& s : fromFile.snippets) present.insert(s->uuid);
    for (const GroupPtr& g : fromFile.groups)
      g->snippts.removeIf([&](const QString& uuid) { return deleted.contains(uuid) || !present.contains(uuid); });
  }
  return kept;
}

void adoptLibrary(QLSettings& live, QLSettings& merged) {
  live.preferences = merged.preferences;
  const auto adopt = [](auto& liveList, auto& mergedList) {
    auto old = byUuid(liveList);
    std::remove_reference_t<decltype(liveList)> out;
    out.reserve(mergedList.size());
    for (auto& record : mergedList) {
      auto keep = old.take(record->uuid);  // each live record serves once
      if (keep) {
        *keep = *record;
        out.append(keep);
      } else {
        out.append(record);
      }
    }
    liveList = std::move(out);
  };
  adopt(live.groups, merged.groups);
  adopt(live.snippets, merged.snippets);
  ++live.revision;
}

}  // namespace ql
