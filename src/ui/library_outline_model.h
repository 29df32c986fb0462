#pragma once

#include "model/caseless_pattern.h"
#include "model/ql_settings.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QList>

#include <functional>

// The outline of the live library: groups at the top level, each group's
// member snippets below it in library order, narrowed by the search text.
// Every change the window makes to the library goes through here; after a
// change the model compares what it shows with the library and announces
// the difference (rows inserted, removed, moved or a reset), so selection
// and expansion survive.
class LibraryOutlineModel final : public QAbstractItemModel {
  Q_OBJECT

 public:
  enum Role {
    AbbreviationRole = Qt::UserRole + 1,
    IsDuplicateRole,
    IsGroupRole,
    SearchRole,
  };

  // The drag type of dragged snippets.
  static const QString kPboardType;  // "SnippetOutlineViewPboardType"

  // The library's groups, snippets and member lists at one moment; the
  // records themselves are shared, so restoring one gives back the very
  // objects with their UUIDs, dates and counts.
  struct Snapshot {
    QList<GroupPtr> groups;
    QList<SnippetPtr> snippets;
    QList<QStringList> members;  // per group, same order as groups
    QList<bool> expanded;        // per group
  };

  explicit LibraryOutlineModel(QObject* parent = nullptr);
  ~LibraryOutlineModel() override;

  void setSettings(QLSettings* settings);
  QLSettings* settings() const { return settings_; }

  // QAbstractItemModel.
  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  bool hasChildren(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                       const QModelIndex& parent) const override;
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;
  Qt::DropActions supportedDropActions() const override;
  Qt::DropActions supportedDragActions() const override;

  // Items behind rows.
  GroupPtr groupAt(const QModelIndex& index) const;  // a snippet row: its group
  SnippetPtr snippetAt(const QModelIndex& index) const;
  bool isGroup(const QModelIndex& index) const;
  QModelIndex indexOfGroup(const QLGroup* group) const;
  QModelIndex indexOfSnippet(const QLGroup* group, const QLSnippet* snippet) const;
  const QList<SnippetPtr>& childrenForItem(const QLGroup* group) const;
  int snippetCount() const { return settings_ ? int(settings_->snippets.size()) : 0; }
  int groupCount() const { return settings_ ? int(settings_->groups.size()) : 0; }

  // The title a row shows: a group's name, a snippet's label, else the start
  // of its content, else "Empty".
  static QString titleFor(const QLGroup& group);
  static QString titleFor(const QLSnippet& snippet);

  // More than one snippet (or group) has exactly this abbreviation.
  bool isDuplicateSnippetAbbreviation(const QString& abbreviation) const;
  bool isDuplicateGroupAbbreviation(const QString& abbreviation) const;

  QString searchSting() const { return search_; }
  void setSearchSting(const QString& text);

  // After the library was changed: announce the difference to the views.
  void sync();
  // A record's fields changed (title, abbreviation): redraw its rows.
  void itemChanged(const QLGroup* group, const QLSnippet* snippet);

  Snapshot snapshot() const;
 Q_SIGNALS:
  // The settings file could not be written (after it could, or at the first try).
  void saveFailed();

 public:
  void restore(const Snapshot& snapshot);

  // Saves the library: takes its snapshot now and hands it to the
  // background writer. A failed write is logged and reported by saveFailed.
  bool save();
  // The same after only these records' fields changed (either may be null).
  bool save(const QLGroup* group, const QLSnippet* snippet);
  // Waits until every save handed over is on disk (or failed, and reported).
  void waitForSaves();

  // The library commands. None of them saves; each ends announced.
  // A group after the one holding `after` (or appended when after is null or
  // the last group); returns it.
  GroupPtr addGroup(const QString& name, const QLGroup* after, bool appendOnly);
  // A new snippet first in the group, last in the library.
  SnippetPtr addSnippet(const GroupPtr& group, int snippetType, int matchType,
                        const QByteArray& emptyFormattedText);
  // A group with every member snippet, or a snippet from its group.
  void removeGroup(const GroupPtr& group);
  void removeSnippet(const GroupPtr& group, const SnippetPtr& snippet);
  // A copy of source with a fresh UUID, last in group and library.
  SnippetPtr pasteSnippet(const QLSnippet& source, const GroupPtr& group);
  // A copy of source with a fresh UUID right after it in group and library.
  SnippetPtr duplicateSnippet(const GroupPtr& group, const SnippetPtr& source);
  // Sorts the library's snippets by a sort tag (1 content ... 7 use count).
  void sortSnippets(int tag, bool ascending);

  // Drops are handed to the window, which makes them undoable; without a
  // handler the model performs them itself.
  using DropHandler = std::function<bool(const QStringList& uuids, const GroupPtr& source,
                                         const GroupPtr& target, bool copy)>;
  DropHandler dropHandler;
  // Moves (cut and paste) or copies the snippets with these uuids into target.
  QList<SnippetPtr> dropSnippets(const QStringList& uuids, const GroupPtr& source,
                                 const GroupPtr& target, bool copy);

 private:
  struct DragInfo {
    QString sourceGroup;
    QStringList uuids;
  };
  static bool decodeDrag(const QMimeData* data, DragInfo* info);
  GroupPtr dropTarget(const QModelIndex& parent) const;
  void saveFinished(bool ok);

  void rebuildAll();
  QList<SnippetPtr> computeChildren(const QLGroup* group) const;
  QHash<const QLGroup*, QList<SnippetPtr>> computeAllChildren() const;
  bool matchesSearch(const QLSnippet& snippet) const;
  void forgetSearchTrail();
  void countAbbreviations();
  void countGroupAbbreviations();
  // After one record's fields changed: its abbreviation is counted anew.
  void recount(const QLGroup* group, const QLSnippet* snippet);
  bool isShown(const QLSnippet* snippet) const;
  void reindexGroups();
  int rowOfGroup(const QLGroup* group) const { return groupRow_.value(group, -1); }

  QLSettings* settings_ = nullptr;
  using Children = QHash<const QLGroup*, QList<SnippetPtr>>;
  QString search_;
  ql::CaselessPattern pattern_;  // search_, prepared
  // Where a row's snippet holds the search: the field (label, abbreviation,
  // text) and the first position in it. A longer search containing this one
  // can only be there or later, so typing on looks from there.
  struct Found {
    qint32 field = 0;
    qint32 at = 0;
  };
  using FoundRows = QHash<const QLGroup*, QList<Found>>;
  // The searches typed on the way to search_, each containing the one
  // before it, with the rows they showed; forgotten when the library changes.
  struct SearchStep {
    QString text;
    Children children;
    FoundRows found;
  };
  // Narrows the rows of step to those holding search_.
  void narrowFrom(const SearchStep& step);
  // Whether snippet holds search_ in the field where or after it, looking
  // in that field from slack units before the position (where gets where).
  bool findFrom(const QLSnippet& snippet, Found* where, qsizetype slack) const;
  QList<SearchStep> trail_;
  FoundRows found_;  // for the rows of children_, where known
  QList<GroupPtr> groups_;  // rows, as last announced
  Children children_;
  QHash<const QLGroup*, int> groupRow_;
  QHash<QString, int> snippetAbbreviations_;
  QHash<QString, int> groupAbbreviations_;
  QHash<const QLSnippet*, QString> countedAs_;  // the abbreviation each was counted under
  bool saveFailing_ = false;
  QMetaObject::Connection saverConnection_;
};
