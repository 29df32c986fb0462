#include "ui/library_outline_model.h"

#include "model/background_writer.h"
#include "model/library_saver.h"
#include "platform/log.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QIODevice>
#include <QMimeData>
#include <QSet>

#include <algorithm>

const QString LibraryOutlineModel::kPboardType = QStringLiteral("SnippetOutlineViewPboardType");

namespace {

// A title is one line; content can be megabytes long, and a row shows a few
// words of it at most.
constexpr int kTitleLength = 200;

QString oneLine(const QString& text) {
  QString line = text.left(kTitleLength);
  for (QChar& c : line)
    if (c == u'\n' || c == u'\r' || c == u'\t' || c == QChar::LineSeparator ||
        c == QChar::ParagraphSeparator)
      c = u' ';
  return line;
}

int compareText(QStringView a, QStringView b) {
  const int folded = a.compare(b, Qt::CaseInsensitive);
  return folded != 0 ? folded : a.compare(b, Qt::CaseSensitive);
}

// Snippet texts sort by their one-line rendering, line breaks as spaces.
int compareContent(QStringView a, QStringView b) {
  if (!a.contains(u'\n') && !b.contains(u'\n')) return compareText(a, b);
  return compareText(a.toString().replace(QLatin1Char('\n'), QLatin1Char(' ')),
                     b.toString().replace(QLatin1Char('\n'), QLatin1Char(' ')));
}

template <typename T>
int compareValues(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// -2: not a sort key.
int compareBy(int tag, const QLSnippet& a, const QLSnippet& b) {
  switch (tag) {
    case 1:
      return compareContent(a.searchableTextView(), b.searchableTextView());
    case 2:
      return compareText(a.abbreviation, b.abbreviation);
    case 3:
      return compareValues(a.dateCreated, b.dateCreated);
    case 4:
      return compareValues(a.dateModified, b.dateModified);
    case 5:
      return compareText(a.label, b.label);
    case 6: {
      // Never used sorts before any use.
      const QDateTime never;
      return compareValues(a.dateLastUsed.value_or(never), b.dateLastUsed.value_or(never));
    }
    case 7:
      return compareValues(a.useCount, b.useCount);
    default:
      return -2;
  }
}

}  // namespace

LibraryOutlineModel::LibraryOutlineModel(QObject* parent) : QAbstractItemModel(parent) {}

LibraryOutlineModel::~LibraryOutlineModel() {
  // A write still on its way reports back to this model.
  ql::BackgroundWriter::instance().waitForIdle();
}

void LibraryOutlineModel::setSettings(QLSettings* settings) {
  beginResetModel();
  if (saverConnection_) disconnect(saverConnection_);
  settings_ = settings;
  // Reported once per spell of failures, as the window's own saves are.
  if (settings_ && settings_->saver)
    saverConnection_ = connect(settings_->saver, &ql::LibrarySaver::saveFailed, this,
                               [this] { Q_EMIT saveFailed(); });
  rebuildAll();
  endResetModel();
}

QModelIndex LibraryOutlineModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  if (!parent.isValid()) {
    if (row >= groups_.size()) return {};
    return createIndex(row, 0, nullptr);
  }
  if (parent.internalPointer() != nullptr || parent.row() >= groups_.size()) return {};
  const QLGroup* group = groups_[parent.row()].get();
  if (row >= children_.value(group).size()) return {};
  return createIndex(row, 0, const_cast<QLGroup*>(group));
}

QModelIndex LibraryOutlineModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalPointer() == nullptr) return {};
  const int row = rowOfGroup(static_cast<const QLGroup*>(child.internalPointer()));
  return row < 0 ? QModelIndex() : createIndex(row, 0, nullptr);
}

int LibraryOutlineModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return int(groups_.size());
  if (parent.column() != 0 || parent.internalPointer() != nullptr) return 0;
  if (parent.row() >= groups_.size()) return 0;
  return int(children_.value(groups_[parent.row()].get()).size());
}

int LibraryOutlineModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() && parent.column() != 0 ? 0 : 1;
}

bool LibraryOutlineModel::hasChildren(const QModelIndex& parent) const {
  return rowCount(parent) > 0;
}

QVariant LibraryOutlineModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const bool group = isGroup(index);
  const QString abbreviation = group              ? groupAt(index)->abbreviation
                               : snippetAt(index) ? snippetAt(index)->abbreviation
                                                  : QString();
  switch (role) {
    case Qt::DisplayRole:
      if (group) return titleFor(*groupAt(index));
      if (const SnippetPtr s = snippetAt(index)) return titleFor(*s);
      return {};
    case AbbreviationRole:
      return abbreviation;
    case IsDuplicateRole:
      return group ? isDuplicateGroupAbbreviation(abbreviation)
                   : isDuplicateSnippetAbbreviation(abbreviation);
    case IsGroupRole:
      return group;
    case SearchRole:
      return search_;
    default:
      return {};
  }
}

Qt::ItemFlags LibraryOutlineModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
  if (!isGroup(index)) f |= Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
  return f;
}

QStringList LibraryOutlineModel::mimeTypes() const { return {kPboardType}; }

Qt::DropActions LibraryOutlineModel::supportedDropActions() const {
  return Qt::MoveAction | Qt::CopyAction;
}

Qt::DropActions LibraryOutlineModel::supportedDragActions() const {
  return Qt::MoveAction | Qt::CopyAction;
}

QMimeData* LibraryOutlineModel::mimeData(const QModelIndexList& indexes) const {
  // Dragging starts only when the last dragged row is a snippet.
  if (indexes.isEmpty() || isGroup(indexes.last()) || !snippetAt(indexes.last())) return nullptr;
  QStringList uuids;
  QList<QByteArray> archives;
  for (const QModelIndex& i : indexes) {
    const SnippetPtr s = snippetAt(i);
    if (!s || isGroup(i)) continue;
    uuids << s->uuid;
    archives << s->encodeWithCoder();
  }
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  out << groupAt(indexes.last())->uuid << uuids << archives;
  auto* mime = new QMimeData;
  mime->setData(kPboardType, bytes);
  return mime;
}

bool LibraryOutlineModel::decodeDrag(const QMimeData* data, DragInfo* info) {
  if (!data || !data->hasFormat(kPboardType)) return false;
  QDataStream in(data->data(kPboardType));
  in >> info->sourceGroup >> info->uuids;
  return in.status() == QDataStream::Ok && !info->uuids.isEmpty();
}

GroupPtr LibraryOutlineModel::dropTarget(const QModelIndex& parent) const {
  // On a group or between its snippets: that group; on a snippet: its group.
  return parent.isValid() ? groupAt(parent) : nullptr;
}

bool LibraryOutlineModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int, int,
                                          const QModelIndex& parent) const {
  if (action != Qt::MoveAction && action != Qt::CopyAction) return false;
  DragInfo info;
  if (!settings_ || !decodeDrag(data, &info)) return false;
  const GroupPtr target = dropTarget(parent);
  return target && target->uuid != info.sourceGroup;
}

bool LibraryOutlineModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row,
                                       int column, const QModelIndex& parent) {
  if (!canDropMimeData(data, action, row, column, parent)) return false;
  DragInfo info;
  decodeDrag(data, &info);
  const GroupPtr source = settings_->getGroupByUUID(info.sourceGroup);
  const GroupPtr target = dropTarget(parent);
  const bool copy = action == Qt::CopyAction;
  if (dropHandler) return dropHandler(info.uuids, source, target, copy);
  return !dropSnippets(info.uuids, source, target, copy).isEmpty();
}

GroupPtr LibraryOutlineModel::groupAt(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this) return nullptr;
  if (index.internalPointer() == nullptr)
    return index.row() < groups_.size() ? groups_[index.row()] : nullptr;
  const int row = rowOfGroup(static_cast<const QLGroup*>(index.internalPointer()));
  return row < 0 ? nullptr : groups_[row];
}

SnippetPtr LibraryOutlineModel::snippetAt(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this || index.internalPointer() == nullptr)
    return nullptr;
  const auto it = children_.constFind(static_cast<const QLGroup*>(index.internalPointer()));
  if (it == children_.constEnd() || index.row() >= it->size()) return nullptr;
  return it->at(index.row());
}

bool LibraryOutlineModel::isGroup(const QModelIndex& index) const {
  return index.isValid() && index.internalPointer() == nullptr;
}

QModelIndex LibraryOutlineModel::indexOfGroup(const QLGroup* group) const {
  const int row = rowOfGroup(group);
  return row < 0 ? QModelIndex() : index(row, 0);
}

QModelIndex LibraryOutlineModel::indexOfSnippet(const QLGroup* group,
                                                const QLSnippet* snippet) const {
  const auto& list = childrenForItem(group);
  for (int i = 0; i < list.size(); ++i)
    if (list[i].get() == snippet) return index(i, 0, indexOfGroup(group));
  return {};
}

const QList<SnippetPtr>& LibraryOutlineModel::childrenForItem(const QLGroup* group) const {
  static const QList<SnippetPtr> none;
  const auto it = children_.constFind(group);
  return it == children_.constEnd() ? none : *it;
}

QString LibraryOutlineModel::titleFor(const QLGroup& group) { return oneLine(group.name); }

QString LibraryOutlineModel::titleFor(const QLSnippet& snippet) {
  if (!snippet.label.isEmpty()) return oneLine(snippet.label);
  const QString text = oneLine(snippet.searchableTextView().left(kTitleLength).toString());
  return text.isEmpty() ? tr("Empty") : text;
}

bool LibraryOutlineModel::isDuplicateSnippetAbbreviation(const QString& abbreviation) const {
  return !abbreviation.isEmpty() && snippetAbbreviations_.value(abbreviation) > 1;
}

bool LibraryOutlineModel::isDuplicateGroupAbbreviation(const QString& abbreviation) const {
  return !abbreviation.isEmpty() && groupAbbreviations_.value(abbreviation) > 1;
}

void LibraryOutlineModel::setSearchSting(const QString& text) {
  if (text == search_) return;
  beginResetModel();
  const QString previous = search_;
  // Erasing goes back along the searches typed on the way here: their rows
  // are still what they were, as the library has not changed since.
  while (!trail_.isEmpty() && !text.contains(trail_.last().text, Qt::CaseInsensitive)) trail_.removeLast();
  search_ = text;
  pattern_ = ql::CaselessPattern(search_);
  if (!trail_.isEmpty() && trail_.last().text == text) {
    SearchStep step = trail_.takeLast();
    children_ = std::move(step.children);
    found_ = std::move(step.found);
  } else if (text.contains(previous, Qt::CaseInsensitive)) {
    // Typing on narrows the rows shown: what matches the longer text is
    // among what matched the shorter (everything matches nothing), so only
    // those rows are looked at again.
    trail_.append({previous, children_, found_});
    narrowFrom(trail_.last());
  } else if (!trail_.isEmpty()) {
    narrowFrom(trail_.last());
  } else {
    children_ = computeAllChildren();
    found_.clear();
  }
  endResetModel();
}

void LibraryOutlineModel::narrowFrom(const SearchStep& step) {
  const qsizetype slack = search_.size() - step.text.size();
  Children children;
  FoundRows found;
  children.reserve(step.children.size());
  found.reserve(step.children.size());
  for (auto it = step.children.cbegin(); it != step.children.cend(); ++it) {
    const QList<SnippetPtr>& rows = *it;
    const auto known = step.found.constFind(it.key());
    const bool haveFound = known != step.found.cend() && known->size() == rows.size();
    QList<SnippetPtr>& keptRows = children[it.key()];
    QList<Found>& keptFound = found[it.key()];
    for (qsizetype i = 0; i < rows.size(); ++i) {
      Found where = haveFound ? (*known)[i] : Found{};
      if (!findFrom(*rows[i], &where, haveFound ? slack : 0)) continue;
      keptRows.append(rows[i]);
      keptFound.append(where);
    }
  }
  children_ = std::move(children);
  found_ = std::move(found);
}

bool LibraryOutlineModel::findFrom(const QLSnippet& s, Found* where, qsizetype slack) const {
  for (qint32 field = where->field; field < 3; ++field) {
    const QStringView text = field == 0   ? QStringView(s.label)
                             : field == 1 ? QStringView(s.abbreviation)
                                          : s.searchableTextView();
    const qsizetype from = field == where->field ? std::max<qsizetype>(0, where->at - slack) : 0;
    const qsizetype at = pattern_.indexIn(text, from, field == 2);
    if (at >= 0) {
      *where = {field, qint32(at)};
      return true;
    }
  }
  return false;
}

void LibraryOutlineModel::forgetSearchTrail() {
  trail_.clear();
  found_.clear();
}

bool LibraryOutlineModel::matchesSearch(const QLSnippet& s) const {
  return search_.isEmpty() || pattern_.foundIn(s.label) || pattern_.foundIn(s.abbreviation) ||
         pattern_.foundIn(s.searchableTextView(), true);
}

QHash<const QLGroup*, QList<SnippetPtr>> LibraryOutlineModel::computeAllChildren() const {
  QHash<const QLGroup*, QList<SnippetPtr>> all;
  if (!settings_) return all;
  QHash<QString, QList<const QLGroup*>> groupsOf;
  groupsOf.reserve(settings_->snippets.size());
  for (const GroupPtr& g : std::as_const(settings_->groups)) {
    all.insert(g.get(), {});
    for (const QString& uuid : g->snippts) {
      auto& list = groupsOf[uuid];
      if (!list.contains(g.get())) list.append(g.get());
    }
  }
  for (const SnippetPtr& s : std::as_const(settings_->snippets)) {
    const auto it = groupsOf.constFind(s->uuid);
    if (it == groupsOf.constEnd() || !matchesSearch(*s)) continue;
    for (const QLGroup* g : *it) all[g].append(s);
  }
  return all;
}

QList<SnippetPtr> LibraryOutlineModel::computeChildren(const QLGroup* group) const {
  return computeAllChildren().value(group);
}

void LibraryOutlineModel::reindexGroups() {
  groupRow_.clear();
  groupRow_.reserve(groups_.size());
  for (int i = 0; i < groups_.size(); ++i) groupRow_.insert(groups_[i].get(), i);
}

void LibraryOutlineModel::countAbbreviations() {
  snippetAbbreviations_.clear();
  groupAbbreviations_.clear();
  countedAs_.clear();
  if (!settings_) return;
  const QList<SnippetPtr>& snippets = std::as_const(settings_->snippets);
  countedAs_.reserve(snippets.size());
  for (const SnippetPtr& s : snippets) {
    countedAs_.insert(s.get(), s->abbreviation);
    if (!s->abbreviation.isEmpty()) ++snippetAbbreviations_[s->abbreviation];
  }
  countGroupAbbreviations();
}

void LibraryOutlineModel::countGroupAbbreviations() {
  groupAbbreviations_.clear();
  if (!settings_) return;
  for (const GroupPtr& g : std::as_const(settings_->groups))
    if (!g->abbreviation.isEmpty()) ++groupAbbreviations_[g->abbreviation];
}

void LibraryOutlineModel::recount(const QLGroup* group, const QLSnippet* snippet) {
  if (group) countGroupAbbreviations();
  if (!snippet) return;
  const auto it = countedAs_.find(snippet);
  if (it == countedAs_.end()) {
    countAbbreviations();
    return;
  }
  if (*it == snippet->abbreviation) return;
  if (!it->isEmpty() && --snippetAbbreviations_[*it] <= 0) snippetAbbreviations_.remove(*it);
  *it = snippet->abbreviation;
  if (!it->isEmpty()) ++snippetAbbreviations_[*it];
}

bool LibraryOutlineModel::isShown(const QLSnippet* snippet) const {
  for (const auto& list : children_)
    for (const SnippetPtr& s : list)
      if (s.get() == snippet) return true;
  return false;
}

void LibraryOutlineModel::rebuildAll() {
  forgetSearchTrail();
  groups_ = settings_ ? settings_->groups : QList<GroupPtr>();
  reindexGroups();
  children_ = computeAllChildren();
  countAbbreviations();
}

void LibraryOutlineModel::sync() {
  forgetSearchTrail();
  const QList<GroupPtr> now = settings_ ? settings_->groups : QList<GroupPtr>();
  auto all = computeAllChildren();

  // Groups only reordered: rows move, and selection and expansion go with them.
  if (now.size() == groups_.size() && now != groups_) {
    auto a = now, b = groups_;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    if (a == b) {
      Q_EMIT layoutAboutToBeChanged();
      const QModelIndexList before = persistentIndexList();
      const QList<GroupPtr> old = groups_;
      groups_ = now;
      reindexGroups();
      QModelIndexList after;
      after.reserve(before.size());
      for (const QModelIndex& i : before) {
        // Snippet rows find their group by pointer; group rows move.
        if (i.internalPointer() != nullptr || i.row() >= old.size())
          after.append(i.internalPointer() ? createIndex(i.row(), 0, i.internalPointer())
                                           : QModelIndex());
        else
          after.append(createIndex(rowOfGroup(old[i.row()].get()), 0, nullptr));
      }
      changePersistentIndexList(before, after);
      Q_EMIT layoutChanged();
    }
  }

  // Top level: the changed middle goes, the new middle comes.
  qsizetype p = 0;
  while (p < groups_.size() && p < now.size() && groups_[p] == now[p]) ++p;
  qsizetype s = 0;
  while (s < groups_.size() - p && s < now.size() - p &&
         groups_[groups_.size() - 1 - s] == now[now.size() - 1 - s])
    ++s;
  const qsizetype gone = groups_.size() - p - s;
  const qsizetype come = now.size() - p - s;
  if (gone > 0) {
    beginRemoveRows({}, int(p), int(p + gone - 1));
    for (qsizetype i = p; i < p + gone; ++i) children_.remove(groups_[i].get());
    groups_.remove(p, gone);
    reindexGroups();
    endRemoveRows();
  }
  if (come > 0) {
    beginInsertRows({}, int(p), int(p + come - 1));
    for (qsizetype i = p; i < p + come; ++i) {
      groups_.insert(i, now[i]);
      children_.insert(now[i].get(), all.value(now[i].get()));
    }
    reindexGroups();
    endInsertRows();
  }

  // Snippets of each group: reordered lists change the layout, others
  // lose and gain their changed middle.
  QList<const QLGroup*> reordered;
  for (int row = 0; row < groups_.size(); ++row) {
    const QLGroup* g = groups_[row].get();
    const QList<SnippetPtr>& want = all[g];
    QList<SnippetPtr>& have = children_[g];
    if (have == want) continue;
    if (have.size() == want.size()) {
      auto a = have, b = want;
      std::sort(a.begin(), a.end());
      std::sort(b.begin(), b.end());
      if (a == b) {
        reordered.append(g);
        continue;
      }
    }
    const QModelIndex parent = index(row, 0);
    qsizetype cp = 0;
    while (cp < have.size() && cp < want.size() && have[cp] == want[cp]) ++cp;
    qsizetype cs = 0;
    while (cs < have.size() - cp && cs < want.size() - cp &&
           have[have.size() - 1 - cs] == want[want.size() - 1 - cs])
      ++cs;
    const qsizetype out = have.size() - cp - cs;
    const qsizetype in = want.size() - cp - cs;
    if (out > 0) {
      beginRemoveRows(parent, int(cp), int(cp + out - 1));
      have.remove(cp, out);
      endRemoveRows();
    }
    if (in > 0) {
      beginInsertRows(parent, int(cp), int(cp + in - 1));
      for (qsizetype i = cp; i < cp + in; ++i) have.insert(i, want[i]);
      endInsertRows();
    }
  }

  if (!reordered.isEmpty()) {
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before) {
      const auto* g = static_cast<const QLGroup*>(i.internalPointer());
      if (!g || !reordered.contains(g)) {
        after.append(i);
        continue;
      }
      const SnippetPtr snippet = children_[g].value(i.row());
      const qsizetype to = all[g].indexOf(snippet);
      after.append(to < 0 ? QModelIndex() : createIndex(int(to), 0, const_cast<QLGroup*>(g)));
    }
    for (const QLGroup* g : reordered) children_[g] = all[g];
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
  }
  countAbbreviations();
}

void LibraryOutlineModel::itemChanged(const QLGroup* group, const QLSnippet* snippet) {
  // The edited snippet may match the searches on the way here differently.
  forgetSearchTrail();
  // A field edit moves no row, so the library is not walked: only a search
  // that the edited snippet starts or stops matching changes the rows.
  if (snippet && !search_.isEmpty() && isShown(snippet) != matchesSearch(*snippet))
    sync();
  else
    recount(group, snippet);
  if (group && !snippet) {
    const QModelIndex i = indexOfGroup(group);
    if (i.isValid()) Q_EMIT dataChanged(i, i);
    return;
  }
  for (const GroupPtr& g : groups_) {
    const QModelIndex i = indexOfSnippet(g.get(), snippet);
    if (i.isValid()) Q_EMIT dataChanged(i, i);
  }
}

LibraryOutlineModel::Snapshot LibraryOutlineModel::snapshot() const {
  Snapshot shot;
  if (!settings_) return shot;
  shot.groups = settings_->groups;
  shot.snippets = settings_->snippets;
  shot.members.reserve(shot.groups.size());
  for (const GroupPtr& g : shot.groups) {
    shot.members.append(g->snippts);
    shot.expanded.append(g->isExpanded);
  }
  return shot;
}

void LibraryOutlineModel::restore(const Snapshot& shot) {
  if (!settings_) return;
  beginResetModel();
  settings_->groups = shot.groups;
  settings_->snippets = shot.snippets;
  for (qsizetype i = 0; i < shot.groups.size(); ++i) {
    shot.groups[i]->snippts = shot.members[i];
    shot.groups[i]->isExpanded = shot.expanded[i];
  }
  rebuildAll();
  endResetModel();
}

bool LibraryOutlineModel::save() {
  if (!settings_) return false;
  if (settings_->saver) {
    // The outline's commands add, remove and move records; field edits
    // come through save(group, snippet).
    settings_->saver->structureChanged(ql::LibrarySaver::Kind::Edit);
    return true;
  }
  // The snapshot is taken here, where the records live and change; turning
  // it into XML, writing and syncing it to disk happen on the writer's
  // thread, so a large library does not hold up the window.
  ql::BackgroundWriter::instance().write(
      QLSettings::settingsPath(), settings_->libraryDictionary(), this,
      [this](bool ok, const QString&) { saveFinished(ok); });
  return true;
}

bool LibraryOutlineModel::save(const QLGroup* group, const QLSnippet* snippet) {
  if (!settings_) return false;
  if (!settings_->saver) return save();
  settings_->saver->recordsChanged(ql::LibrarySaver::Kind::Edit, snippet, group);
  return true;
}

void LibraryOutlineModel::waitForSaves() {
  if (settings_ && settings_->saver) settings_->saver->flush();
  ql::BackgroundWriter::instance().waitForIdle();
  // Failures are reported now, not at the next turn of the event loop.
  QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void LibraryOutlineModel::saveFinished(bool ok) {
  if (ok) {
    saveFailing_ = false;
    return;
  }
  ql::logError(QStringLiteral("saveSettings:"),
               QStringLiteral("the settings file could not be written"));
  if (!saveFailing_) {
    saveFailing_ = true;
    Q_EMIT saveFailed();
  }
}

GroupPtr LibraryOutlineModel::addGroup(const QString& name, const QLGroup* after, bool appendOnly) {
  if (!settings_) return nullptr;
  auto group = std::make_shared<QLGroup>();
  if (appendOnly) {
    if (settings_->groups.isEmpty()) group->name = QStringLiteral("Quillet");
    settings_->groups.append(group);
  } else {
    group->name = name;
    qsizetype at = -1;
    for (qsizetype i = 0; i < settings_->groups.size(); ++i)
      if (settings_->groups[i].get() == after) at = i;
    if (at < 0 || at == settings_->groups.size() - 1)
      settings_->groups.append(group);
    else
      settings_->groups.insert(at + 1, group);
  }
  sync();
  return group;
}

SnippetPtr LibraryOutlineModel::addSnippet(const GroupPtr& group, int snippetType, int matchType,
                                           const QByteArray& emptyFormattedText) {
  if (!settings_ || !group) return nullptr;
  auto snippet = std::make_shared<QLSnippet>();
  snippet->snippetType = snippetType;
  snippet->abbreviationMatchType = matchType;
  if (snippetType == QLSnippet::Plain) {
    snippet->plainText = QString();
  } else {
    snippet->formattedText = emptyFormattedText;
  }
  snippet->content(true);
  group->snippts.prepend(snippet->uuid);
  snippet->groupUuid = group->uuid;
  settings_->snippets.append(snippet);
  sync();
  return snippet;
}

void LibraryOutlineModel::removeGroup(const GroupPtr& group) {
  if (!settings_ || !group) return;
  const QSet<QString> members(group->snippts.cbegin(), group->snippts.cend());
  settings_->snippets.removeIf([&](const SnippetPtr& s) { return members.contains(s->uuid); });
  settings_->groups.removeAll(group);
  sync();
}

void LibraryOutlineModel::removeSnippet(const GroupPtr& group, const SnippetPtr& snippet) {
  if (!settings_ || !snippet) return;
  if (group) group->snippts.removeAll(snippet->uuid);
  settings_->snippets.removeAll(snippet);
  sync();
}

SnippetPtr LibraryOutlineModel::pasteSnippet(const QLSnippet& source, const GroupPtr& group) {
  if (!settings_ || !group) return nullptr;
  auto snippet = std::make_shared<QLSnippet>();
  ql::PlistDict record = source.getData();
  record.insert(QStringLiteral("uuid"), snippet->uuid);
  record.insert(QStringLiteral("groupUuid"), group->uuid);
  snippet->setData(&record);
  group->snippts.append(snippet->uuid);
  settings_->snippets.append(snippet);
  sync();
  return snippet;
}

SnippetPtr LibraryOutlineModel::duplicateSnippet(const GroupPtr& group, const SnippetPtr& source) {
  if (!settings_ || !group || !source) return nullptr;
  auto snippet = std::make_shared<QLSnippet>();
  ql::PlistDict record = source->getData();
  record.insert(QStringLiteral("uuid"), snippet->uuid);
  record.insert(QStringLiteral("groupUuid"), group->uuid);
  snippet->setData(&record);
  const qsizetype member = group->snippts.indexOf(source->uuid);
  if (member < 0)
    group->snippts.append(snippet->uuid);
  else
    group->snippts.insert(member + 1, snippet->uuid);
  const qsizetype at = settings_->snippets.indexOf(source);
  if (at < 0)
    settings_->snippets.append(snippet);
  else
    settings_->snippets.insert(at + 1, snippet);
  sync();
  return snippet;
}

void LibraryOutlineModel::sortSnippets(int tag, bool ascending) {
  if (!settings_ || tag < 1 || tag > 7) return;
  std::stable_sort(settings_->snippets.begin(), settings_->snippets.end(),
                   [tag, ascending](const SnippetPtr& a, const SnippetPtr& b) {
                     const int c = compareBy(tag, *a, *b);
                     return ascending ? c < 0 : c > 0;
                   });
  sync();
}

QList<SnippetPtr> LibraryOutlineModel::dropSnippets(const QStringList& uuids,
                                                    const GroupPtr& source, const GroupPtr& target,
                                                    bool copy) {
  QList<SnippetPtr> pasted;
  if (!settings_ || !target) return pasted;
  for (const QString& uuid : uuids) {
    SnippetPtr original;
    if (source) {
      for (const SnippetPtr& s : childrenForItem(source.get()))
        if (s->uuid == uuid) original = s;
    }
    if (!original) original = settings_->getSnippetByUUID(uuid);
    if (!original) continue;
    if (!copy) removeSnippet(source, original);
    pasted.append(pasteSnippet(*original, target));
  }
  return pasted;
}
