// The outline model over a live library: rows, search, and every change
// announced consistently (checked by Qt's model tester and a live view).
#include "ui_library.h"

#include <QAbstractItemModelTester>
#include <QMimeData>
#include <QTreeView>

#include <gtest/gtest.h>

using uitest::group;
using uitest::snippet;

namespace {

QStringList titles(const LibraryOutlineModel& model, const QModelIndex& parent) {
  QStringList out;
  for (int r = 0; r < model.rowCount(parent); ++r)
    out << model.index(r, 0, parent).data().toString();
  return out;
}

class OutlineModelTest : public testing::Test {
 protected:
  void SetUp() override {
    a1 = snippet("a1", "x", "first");
    a2 = snippet("a2", "dup", "second");
    b1 = snippet("", "dup", "only content matches needle");
    b2 = snippet("", "", "");
    ga = group(library, "A", {a1, a2});
    gb = group(library, "B", {b1, b2});
    model.setSettings(&library);
    view.setModel(&model);
    view.expandAll();
  }

  QModelIndex groupIndex(const GroupPtr& g) const { return model.indexOfGroup(g.get()); }

  QLSettings library;
  SnippetPtr a1, a2, b1, b2;
  GroupPtr ga, gb;
  LibraryOutlineModel model;
  QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
  QTreeView view;
};

TEST_F(OutlineModelTest, RowsFollowMembersInLibraryOrderAndTheSearch) {
  // Member lists name snippets in any order, and may name snippets that do
  // not exist: rows come in library order and skip the missing ones.
  ga->snippts = {a2->uuid, "00000000-0000-0000-0000-000000000000", a1->uuid};
  model.sync();
  EXPECT_EQ(titles(model, {}), (QStringList{"A", "B"}));
  EXPECT_EQ(titles(model, groupIndex(ga)), (QStringList{"a1", "a2"}));
  // A snippet without label shows its content, or "Empty".
  EXPECT_EQ(titles(model, groupIndex(gb)), (QStringList{"only content matches needle", "Empty"}));
  EXPECT_FALSE(model.hasChildren(model.index(0, 0, groupIndex(ga))));

  // The same abbreviation on two snippets marks both.
  EXPECT_TRUE(
      model.index(1, 0, groupIndex(ga)).data(LibraryOutlineModel::IsDuplicateRole).toBool());
  EXPECT_TRUE(
      model.index(0, 0, groupIndex(gb)).data(LibraryOutlineModel::IsDuplicateRole).toBool());
  EXPECT_FALSE(
      model.index(0, 0, groupIndex(ga)).data(LibraryOutlineModel::IsDuplicateRole).toBool());

  // The search matches labels too (contents are searched through the window);
  // a group left empty shows no children.
  model.setSearchSting("A2");
  EXPECT_FALSE(model.hasChildren(groupIndex(gb)));
  EXPECT_EQ(titles(model, groupIndex(ga)), (QStringList{"a2"}));
  model.setSearchSting(QString());
  EXPECT_EQ(model.rowCount(groupIndex(ga)), 2);

  // Typing on narrows what was shown; typing back shows the rest again.
  model.setSearchSting("a");
  const int both = model.rowCount(groupIndex(ga));
  model.setSearchSting("a2");
  EXPECT_EQ(titles(model, groupIndex(ga)), (QStringList{"a2"}));
  model.setSearchSting("a");
  EXPECT_EQ(model.rowCount(groupIndex(ga)), both);

  // A field edit recounts the abbreviations: the shared one is no longer
  // shared once one of its snippets takes another.
  model.setSearchSting(QString());
  const SnippetPtr shared = model.snippetAt(model.index(1, 0, groupIndex(ga)));
  ASSERT_TRUE(shared);
  shared->abbreviation = QStringLiteral("fresh");
  model.itemChanged(nullptr, shared.get());
  EXPECT_FALSE(
      model.index(0, 0, groupIndex(gb)).data(LibraryOutlineModel::IsDuplicateRole).toBool());
  EXPECT_FALSE(model.isDuplicateSnippetAbbreviation(QStringLiteral("fresh")));
}

// Every snippet row, group after group.
QStringList shown(const LibraryOutlineModel& model) {
  QStringList out;
  for (int g = 0; g < model.rowCount(); ++g) out << titles(model, model.index(g, 0));
  return out;
}

// What a model that never searched before shows for text.
QStringList shownFresh(QLSettings& library, const QString& text) {
  LibraryOutlineModel fresh;
  fresh.setSettings(&library);
  fresh.setSearchSting(text);
  return shown(fresh);
}

TEST_F(OutlineModelTest, TypingOnAndErasingShowWhatAFreshSearchShows) {
  // Each longer text found in a later field, or later in the same one, or
  // starting before the shorter one.
  b2->label = QStringLiteral("a s");
  b2->abbreviation = QStringLiteral("sx");
  b2->plainText = QStringLiteral("s se sec");
  b2->content(true);
  model.itemChanged(nullptr, b2.get());
  // Typed, erased, typed over and replaced with unrelated text, in any case.
  const QStringList steps = {"s",  "se", "sec", "Seco", "sec", "se", "s",  "",  "n",  "ne",
                             "nE", "ned", "x",  "",     "dup", "du", "d",  "co", "e",  "ec",
                             "sec", "ec", "",   "a",    "a s", "a se"};
  for (const QString& text : steps) {
    model.setSearchSting(text);
    EXPECT_EQ(shown(model), shownFresh(library, text)) << qPrintable(text);
  }

  // An edit while searching: the searches on the way here no longer hold.
  model.setSearchSting("s");
  model.setSearchSting("se");
  a1->label = QStringLiteral("seen now");
  model.itemChanged(nullptr, a1.get());
  b1->plainText = QStringLiteral("nothing here");
  b1->content(true);
  model.itemChanged(nullptr, b1.get());
  model.setSearchSting("s");
  EXPECT_EQ(shown(model), shownFresh(library, "s"));
  model.setSearchSting("");
  EXPECT_EQ(shown(model), shownFresh(library, ""));
  // A record added while searching shows once the search is erased.
  model.setSearchSting("sec");
  model.addSnippet(gb, QLSnippet::Plain, 1, {});
  model.setSearchSting("se");
  EXPECT_EQ(shown(model), shownFresh(library, "se"));
  model.setSearchSting("");
  EXPECT_EQ(shown(model), shownFresh(library, ""));
}

TEST_F(OutlineModelTest, EveryCommandKeepsTheModelConsistent) {
  // A persistent index on a snippet must follow it through every change.
  QPersistentModelIndex onB1 = model.indexOfSnippet(gb.get(), b1.get());
  view.setCurrentIndex(onB1);

  const GroupPtr gc = model.addGroup("C", ga.get(), false);
  model.addGroup("ignored", nullptr, true);
  model.addSnippet(gc, QLSnippet::Plain, 1, {});
  const SnippetPtr twin = model.duplicateSnippet(ga, a1);
  EXPECT_EQ(titles(model, groupIndex(ga)), (QStringList{"a1", "a1", "a2"}));
  EXPECT_NE(twin->uuid, a1->uuid);
  model.pasteSnippet(*b1, gc);

  model.sortSnippets(2, true);  // by abbreviation: b1 moves below b2
  EXPECT_EQ(model.snippetAt(onB1), b1);

  model.removeSnippet(gb, b2);
  model.removeGroup(ga);
  EXPECT_EQ(titles(model, {}), (QStringList{"C", "B", "(Untitled)"}));

  // A library changed behind the model's back is announced on sync; the
  // open group stays open where it moved.
  library.groups.move(0, 2);
  model.sync();
  EXPECT_EQ(titles(model, {}), (QStringList{"B", "(Untitled)", "C"}));
  EXPECT_TRUE(view.isExpanded(groupIndex(gb)));
  EXPECT_EQ(model.snippetAt(onB1), b1);
}

TEST_F(OutlineModelTest, SortsByUseEitherWayWithTheNeverUsedFirst) {
  a1->useCount = 3;
  a2->useCount = 9;
  model.sortSnippets(7, true);
  EXPECT_EQ(titles(model, groupIndex(ga)), (QStringList{"a1", "a2"}));
  model.sortSnippets(7, false);
  EXPECT_EQ(titles(model, groupIndex(ga)), (QStringList{"a2", "a1"}));
  // Never used sorts before any use.
  a1->dateLastUsed = QDateTime::currentDateTimeUtc();
  model.sortSnippets(6, true);
  EXPECT_EQ(titles(model, groupIndex(ga)), (QStringList{"a2", "a1"}));
}

TEST_F(OutlineModelTest, DragAndDropMovesOrCopiesBetweenGroups) {
  const QModelIndex dragged = model.indexOfSnippet(ga.get(), a1.get());
  // Groups cannot be dragged.
  EXPECT_EQ(model.mimeData({groupIndex(ga)}), nullptr);
  std::unique_ptr<QMimeData> mime(model.mimeData({dragged}));
  ASSERT_TRUE(mime);

  // Refused: its own group, a snippet of its own group, the top level.
  EXPECT_FALSE(model.canDropMimeData(mime.get(), Qt::MoveAction, -1, 0, groupIndex(ga)));
  EXPECT_FALSE(model.canDropMimeData(mime.get(), Qt::MoveAction, -1, 0,
                                     model.indexOfSnippet(ga.get(), a2.get())));
  EXPECT_FALSE(model.canDropMimeData(mime.get(), Qt::MoveAction, 1, 0, {}));
  // Accepted: another group, or a snippet of another group.
  EXPECT_TRUE(model.canDropMimeData(mime.get(), Qt::MoveAction, -1, 0, groupIndex(gb)));
  EXPECT_TRUE(model.canDropMimeData(mime.get(), Qt::CopyAction, -1, 0,
                                    model.indexOfSnippet(gb.get(), b2.get())));

  // Ctrl held: a copy with a fresh UUID; the original stays.
  ASSERT_TRUE(model.dropMimeData(mime.get(), Qt::CopyAction, -1, 0, groupIndex(gb)));
  EXPECT_EQ(titles(model, groupIndex(ga)), (QStringList{"a1", "a2"}));
  EXPECT_EQ(titles(model, groupIndex(gb)),
            (QStringList{"only content matches needle", "Empty", "a1"}));
  const SnippetPtr copy = model.snippetAt(model.index(2, 0, groupIndex(gb)));
  EXPECT_NE(copy->uuid, a1->uuid);
  EXPECT_EQ(copy->abbreviation, a1->abbreviation);
  EXPECT_EQ(copy->dateCreated, a1->dateCreated);

  // Otherwise a move: gone from its group and from the library.
  ASSERT_TRUE(model.dropMimeData(mime.get(), Qt::MoveAction, -1, 0, groupIndex(gb)));
  EXPECT_EQ(titles(model, groupIndex(ga)), (QStringList{"a2"}));
  EXPECT_EQ(library.getSnippetByUUID(a1->uuid), nullptr);
  EXPECT_FALSE(ga->snippts.contains(a1->uuid));
  EXPECT_EQ(model.rowCount(groupIndex(gb)), 4);
}

}  // namespace
