// The library window driven as a user would: commands, their undo, the
// search, the duplicate indicator, odd libraries, and saving beside the
// window (the file ends up holding the newest library, on disk at quit).
#include "content/text/flat_rtfd.h"
#include "ui/custom_outline_view.h"
#include "ui_library.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QStackedWidget>
#include <QTextCursor>
#include <QUndoStack>

using uitest::group;
using uitest::savedFile;
using uitest::snippet;

namespace {

using uitest::LibraryWindowTest;

TEST_F(LibraryWindowTest, NewGroupsAreNamedAndPlacedByTheSelection) {
  open();
  window->actionNewGroup();
  ASSERT_EQ(library.groups.size(), 1);
  EXPECT_EQ(library.groups[0]->name, "Quillet");
  EXPECT_EQ(window->selectedGroup(), library.groups[0]);
  window->actionNewGroup();  // after the selected group, the name given
  window->outlineView()->selectionModel()->clear();
  window->actionNewGroup();  // nothing selected: the default name, appended
  ASSERT_EQ(library.groups.size(), 3);
  EXPECT_EQ(library.groups[1]->name, "(Untitled)");
  EXPECT_EQ(library.groups[2]->name, "(Untitled)");
  select(library.groups[0]);
  window->actionNewGroup();
  EXPECT_EQ(library.groups[1], window->selectedGroup());
  EXPECT_EQ(window->labelGroupCount()->text(), "4");
}

TEST_F(LibraryWindowTest, NewSnippetGoesFirstInTheCurrentGroupWithThePreferences) {
  library.preferences.snippetFormatType = 1;
  library.preferences.abbreviationCaseType = 2;
  library.preferences.formattedSnippetFont = QLPreferences::fontDictionary("DejaVu Serif", 14);
  const GroupPtr g = group(library, "G", {snippet("old", "o", "x")});
  open();
  select(g);
  window->actionNewSnippet();
  const SnippetPtr added = window->selectedSnippet();
  ASSERT_TRUE(added);
  EXPECT_EQ(g->snippts.first(), added->uuid);
  EXPECT_EQ(added->snippetType, 1);
  EXPECT_EQ(added->abbreviationMatchType, 2);
  EXPECT_TRUE(ql::readFlatRtfd(added->formattedText));
  // Empty, in the preferences' font, with twelve half-inch tab stops.
  EXPECT_TRUE(added->formattedText.contains("DejaVu Serif;")) << added->formattedText.toStdString();
  EXPECT_TRUE(added->formattedText.contains("\\fs28"));
  EXPECT_TRUE(added->formattedText.contains("\\tx720\\tx1440"));
  EXPECT_TRUE(added->formattedText.contains("\\tx8640\\pardirnatural"));
  EXPECT_EQ(window->tabView()->currentIndex(), 2);
}

TEST_F(LibraryWindowTest, UndoOfEveryCommandRestoresTheSavedLibraryExactly) {
  QList<SnippetPtr> many;
  for (int i = 0; i < 200; ++i) {
    SnippetPtr s =
        snippet(QString("s%1").arg(i), QString("ab%1").arg(i % 7), QString("text %1").arg(i));
    s->useCount = i;
    s->dateCreated = QDateTime(QDate(2020, 1, 1 + i % 28), QTime(1, 2, 3), Qt::UTC);
    many << s;
  }
  const GroupPtr big = group(library, "Big", many);
  const GroupPtr other = group(library, "Other", {snippet("o", "", "other")});
  open(true);
  const QByteArray original = savedFile();

  // A command given on a row, as the menu gives it.
  using W = LibraryWindowController;
  auto on = [this](const GroupPtr& g, const SnippetPtr& s, void (W::*command)()) {
    return [this, g, s, command] {
      select(g, s);
      (window.get()->*command)();
    };
  };
  const QList<QPair<const char*, std::function<void()>>> commands = {
      {"delete group", on(big, nullptr, &W::actionTrash)},
      {"delete snippet", on(big, many[5], &W::actionTrash)},
      {"cut", on(big, many[7], &W::actionCutSnippet)},
      {"paste",
       [&] {
         select(big, many[1]);
         window->actionCopySnippet();
         on(other, nullptr, &W::actionPasteSnippet)();
       }},
      {"duplicate", on(big, many[3], &W::actionDuplicate)},
      {"sort", [&] { window->actionSort(2); }},
      {"new group", on(other, nullptr, &W::actionNewGroup)},
      {"new snippet", on(other, nullptr, &W::actionNewSnippet)},
      {"drop",
       [&] {
         const QModelIndex from = window->model()->indexOfSnippet(big.get(), many[9].get());
         std::unique_ptr<QMimeData> mime(window->model()->mimeData({from}));
         ASSERT_TRUE(window->model()->dropMimeData(mime.get(), Qt::MoveAction, -1, 0,
                                                   window->model()->indexOfGroup(other.get())));
       }},
  };
  for (const auto& [name, run] : commands) {
    SCOPED_TRACE(name);
    run();
    const QByteArray changed = savedFile();
    EXPECT_NE(changed, original);
    window->undoStack()->undo();
    EXPECT_EQ(savedFile(), original);
    window->undoStack()->redo();
    EXPECT_EQ(savedFile(), changed);
    window->undoStack()->undo();
    EXPECT_EQ(savedFile(), original);
  }
  // Undoing the group's deletion gave back the very records.
  EXPECT_EQ(library.groups[0], big);
  EXPECT_EQ(library.snippets.mid(0, 200), many);
  EXPECT_EQ(window->model()->rowCount(window->model()->indexOfGroup(big.get())), 200);
}

TEST_F(LibraryWindowTest, DeletingAsksFirstAndReselects) {
  const SnippetPtr last = snippet("last", "l", "");
  const GroupPtr a = group(library, "A", {snippet("a", "", "")});
  const GroupPtr b = group(library, "B", {last});
  open(true);
  const QByteArray before = savedFile();
  select(b, last);
  answer = 0;  // Cancel
  window->actionTrash();
  EXPECT_EQ(questions.size(), 1);
  EXPECT_EQ(savedFile(), before);
  EXPECT_EQ(questions[0], "Are you sure you want to remove all selected snippets?|"
                          "Edit > Undo (Ctrl+Z) brings them back.|Delete|Cancel");
  answer = 1;
  window->actionTrash();
  EXPECT_EQ(library.snippets.size(), 1);
  // The last row is gone: row 0 is selected.
  EXPECT_EQ(window->selectedGroup(), a);
  EXPECT_EQ(window->labelSnippetsCount()->text(), "1");
  // Undo brings it back selected, and redo deletes it again.
  window->undoStack()->undo();
  EXPECT_EQ(window->selectedSnippet(), last);
  EXPECT_EQ(window->snippetView()->snippet(), last);
  window->undoStack()->redo();
  EXPECT_EQ(library.snippets.size(), 1);
  select(b);
  window->actionTrash();
  window->undoStack()->undo();
  EXPECT_EQ(window->selectedGroup(), b);
  EXPECT_FALSE(window->selectedSnippet());
  window->undoStack()->redo();
  EXPECT_EQ(library.groups.size(), 1);
  // A group goes with its snippets.
  select(a);
  window->actionTrash();
  EXPECT_EQ(library.snippets.size(), 0);
  EXPECT_TRUE(library.groups.isEmpty());
}

TEST_F(LibraryWindowTest, CutThenPasteTwiceGivesTwoCopies) {
  const SnippetPtr s = snippet("cut me", "cm", "body");
  s->useCount = 4;
  const GroupPtr a = group(library, "A", {s});
  const GroupPtr b = group(library, "B", {});
  open();
  select(a, s);
  window->actionCutSnippet();
  EXPECT_EQ(library.getSnippetByUUID(s->uuid), nullptr);
  select(b);
  window->actionPasteSnippet();
  select(b);
  window->actionPasteSnippet();
  ASSERT_EQ(b->snippts.size(), 2);
  EXPECT_NE(b->snippts[0], b->snippts[1]);
  for (const QString& uuid : b->snippts) {
    const SnippetPtr copy = library.getSnippetByUUID(uuid);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->label, "cut me");
    EXPECT_EQ(copy->useCount, 4);
    EXPECT_EQ(copy->groupUuid, b->uuid);
  }
}

TEST_F(LibraryWindowTest, SearchOpensGroupsAndClearingClosesThemSaved) {
  const GroupPtr a = group(library, "A", {snippet("", "", "nothing here")});
  const GroupPtr b = group(library, "B", {snippet("", "", "the word Needle inside")});
  open();
  window->searchTextField()->setText("needle");
  EXPECT_EQ(window->model()->rowCount(window->model()->indexOfGroup(a.get())), 0);
  EXPECT_TRUE(window->outlineView()->isExpanded(window->model()->indexOfGroup(b.get())));
  EXPECT_EQ(window->selectedGroup(), a);  // row 0
  window->searchTextField()->clear();
  EXPECT_FALSE(window->outlineView()->isExpanded(window->model()->indexOfGroup(b.get())));
  QLSettings reread;
  ASSERT_TRUE(reread.loadSettings());
  EXPECT_FALSE(reread.groups[1]->isExpanded);
  window->searchTextField()->setText("needle");
  ASSERT_TRUE(reread.loadSettings());
  EXPECT_TRUE(reread.groups[1]->isExpanded);
}

TEST_F(LibraryWindowTest, ANewOrPastedSnippetIsShownAndTakesTheTypingWhileASearchIsActive) {
  const SnippetPtr hay = snippet("hay", "h", "nothing here");
  const GroupPtr a = group(library, "A", {hay});
  const GroupPtr b = group(library, "B", {snippet("", "", "the word Needle inside")});
  open();
  window->showWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window->window()));
  QAction* menuItem = nullptr;
  QAction* toolbarItem = nullptr;
  for (QAction* action : window->window()->findChildren<QAction*>()) {
    if (action->text() != "New Snippet") continue;
    (action->shortcut().isEmpty() ? toolbarItem : menuItem) = action;
  }
  ASSERT_TRUE(menuItem && toolbarItem);
  const auto typeIntoNew = [&](const std::function<void()>& create, const QString& text) {
    window->searchTextField()->setText("needle");
    select(b);
    create();
    const SnippetPtr added = window->selectedSnippet();
    EXPECT_TRUE(window->searchTextField()->text().isEmpty());
    if (!added) return SnippetPtr();
    EXPECT_EQ(added->groupUuid, b->uuid);
    EXPECT_EQ(window->snippetView()->snippet(), added);
    QTest::keyClicks(content(), text);
    window->finishEditing();
    return added;
  };
  const SnippetPtr fromMenu = typeIntoNew([&] { menuItem->trigger(); }, "menu");
  const SnippetPtr fromToolbar = typeIntoNew([&] { toolbarItem->trigger(); }, "toolbar");
  const SnippetPtr fromKey = typeIntoNew(
      [&] { QTest::keyClick(window->outlineView(), Qt::Key_N, Qt::ControlModifier); }, "key");
  ASSERT_TRUE(fromMenu && fromToolbar && fromKey);
  EXPECT_EQ(fromMenu->content(false), "menu");
  EXPECT_EQ(fromToolbar->content(false), "toolbar");
  EXPECT_EQ(fromKey->content(false), "key");
  savedFile();
  QLSettings saved;
  ASSERT_TRUE(saved.loadSettings());
  EXPECT_EQ(saved.getSnippetByUUID(fromKey->uuid)->content(false), "key");

  // A pasted copy of a snippet the search would hide is shown too.
  window->searchTextField()->clear();
  select(a, hay);
  window->actionCopySnippet();
  const SnippetPtr pasted = typeIntoNew([&] { window->actionPasteSnippet(); }, "!");
  ASSERT_TRUE(pasted);
  EXPECT_EQ(pasted->label, "hay");
}

TEST_F(LibraryWindowTest, SharedAbbreviationShowsTheIndicatorAndEditsAreStamped) {
  const SnippetPtr one = snippet("one", "sig", "");
  const SnippetPtr two = snippet("two", "sig", "");
  const SnippetPtr three = snippet("three", "other", "");
  const GroupPtr g = group(library, "G", {one, two, three});
  open();
  select(g, two);
  EXPECT_FALSE(window->errorBox()->isHidden());
  EXPECT_TRUE(window->errorBox()->toolTip().contains("\"sig\""));
  select(g, three);
  EXPECT_TRUE(window->errorBox()->isHidden());

  // Giving the third the same abbreviation shows it when the edit ends.
  const QDateTime before = three->dateCreated.addDays(-1);
  three->dateModified = before;
  QTest::keyClick(window->snippetView()->findChild<QLineEdit*>("abbreviation"), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(window->snippetView()->findChild<QLineEdit*>("abbreviation"), "sig");
  EXPECT_EQ(savedFile().count("<string>sig</string>"), 2);
  window->snippetView()->finishEditing();
  EXPECT_FALSE(window->errorBox()->isHidden());
  EXPECT_GT(three->dateModified, before);
  EXPECT_EQ(savedFile().count("<string>sig</string>"), 3);
}

TEST_F(LibraryWindowTest, ClosingTheWindowKeepsTheLastEdit) {
  const SnippetPtr s = snippet("s", "s", "draft");
  const GroupPtr g = group(library, "G", {s});
  open(true);
  select(g, s);
  QTextCursor end = content()->textCursor();
  end.movePosition(QTextCursor::End);
  content()->setTextCursor(end);
  QTest::keyClicks(content(), " two");
  EXPECT_FALSE(savedFile().contains("draft two"));
  window->window()->close();
  EXPECT_TRUE(savedFile().contains("draft two"));
}

TEST_F(LibraryWindowTest, AnUnreadableOrUnwritableLibraryIsReported) {
  const GroupPtr g = group(library, "G", {snippet("s", "s", "x")});
  open(true);
  window->showDamagedSettingsAlert("/tmp/x/settings.damaged.qlxdoc");
  ASSERT_EQ(alerts.size(), 1);
  EXPECT_TRUE(alerts[0].contains("/tmp/x/settings.damaged.qlxdoc"));  // where it was moved
  alerts.clear();
  const QString path = QLSettings::settingsPath();
  QFile::remove(path);
  ASSERT_TRUE(QDir().mkpath(path + "/blocked"));  // the file's place is taken
  select(g);
  window->actionNewGroup();
  window->actionNewGroup();
  window->model()->waitForSaves();
  EXPECT_EQ(alerts.size(), 1);
  EXPECT_TRUE(alerts.value(0).startsWith("Unable to save the library!|"));
  EXPECT_EQ(library.groups.size(), 3);  // nothing lost in memory
  ASSERT_TRUE(QDir(path).removeRecursively());
  window->actionNewGroup();
  window->model()->waitForSaves();
  EXPECT_EQ(alerts.size(), 1);
  QLSettings reread;
  ASSERT_TRUE(reread.loadSettings());
  EXPECT_EQ(reread.groups.size(), 4);
}

TEST_F(LibraryWindowTest, OddLibrariesShowAndStayUnchangedUntilEdited) {
  const QByteArray bmp = uitest::imageBytes(2600, 2600, "BMP");
  ASSERT_GT(bmp.size(), 20'000'000);
  const SnippetPtr image = snippet("image", "img", "");
  image->snippetType = QLSnippet::Formatted;
  image->formattedText = ql::writeFlatRtfd(ql::AttributedText::attachment({"big.bmp", bmp}));
  image->plainText.clear();
  const QList<SnippetPtr> odd = {
      snippet("huge", "h", QString(1'000'000, QLatin1Char('x'))), image,
      snippet("controls", "c", QString::fromUtf8("a\u0000b\u0001\u001b\r\n\u007f")),
      snippet("", "rtl",
              QString::fromUtf8("\u05e9\u05dc\u05d5\u05dd \u0645\u0631\u062d\u0628\u0627")),
      snippet("long abbreviation", QString(500, QLatin1Char('q')), "x")};
  const GroupPtr g = group(library, "Odd", odd);
  g->snippts.insert(1, "DEADBEEF-0000-0000-0000-000000000000");  // no such snippet
  open(true);
  const QByteArray before = savedFile();
  EXPECT_EQ(window->model()->rowCount(window->model()->indexOfGroup(g.get())), 5);
  for (const SnippetPtr& s : odd) {
    select(g, s);
    EXPECT_EQ(window->snippetView()->snippet(), s);
  }
  select(g);
  EXPECT_EQ(savedFile(), before);
  EXPECT_EQ(g->snippts.size(), 6);
}

TEST_F(LibraryWindowTest, SaveACopyOfTheSelectedGroup) {
  const GroupPtr g = group(library, "Mail", {snippet("x", "", "")});
  open();
  select(g);
  QTemporaryDir dir;
  const QString path = dir.filePath("Mail.qlxdoc");
  window->chooseSaveFile = [&](const QString&, const QString& suggested) {
    EXPECT_TRUE(suggested.endsWith("/Mail.qlxdoc"));
    return path;
  };
  window->actionSaveAsGroup();
  QLSettings copy;
  ASSERT_TRUE(copy.loadBackup(path));
  EXPECT_EQ(copy.snippets.size(), 1);
  // Another extension typed: the document's is added, and replacing a file
  // there is asked first.
  const QString typed = dir.filePath("Mail.txt");
  window->chooseSaveFile = [&](const QString&, const QString&) { return typed; };
  window->actionSaveAsGroup();
  EXPECT_FALSE(QFile::exists(typed));
  EXPECT_TRUE(copy.loadBackup(typed + ".qlxdoc"));
  EXPECT_TRUE(questions.isEmpty());
  answer = 0;
  window->actionSaveAsGroup();
  ASSERT_EQ(questions.size(), 1);
  EXPECT_TRUE(questions[0].startsWith("\"Mail.txt.qlxdoc\" already exists."));
  // The group vanished behind the menu's back.
  library.groups.clear();
  window->actionSaveAsGroup();
  EXPECT_EQ(alerts.size(), 1);
}

// Large enough that a write is still going when the next command comes.
class LibrarySaveTest : public LibraryWindowTest {
 protected:
  void SetUp() override {
    LibraryWindowTest::SetUp();
    QList<SnippetPtr> members;
    for (int i = 0; i < 3000; ++i)
      members.append(snippet(QStringLiteral("s%1").arg(i), QStringLiteral("a%1").arg(i), QString(200, 'x')));
    big = group(library, "Big", members);
    open(true);
  }
  // The file as it is on disk now, without waiting for the writer.
  static QByteArray rawFile() { return test::readFile(QLSettings::settingsPath()); }

  GroupPtr big;
};

TEST_F(LibrarySaveTest, TheNewestLibraryWinsWhoeverWritesIt) {
  select(big);
  for (int i = 0; i < 4; ++i) window->actionSort(5);
  window->actionNewGroup();
  // Readers see the queued saves, not the file as it was.
  QLSettings reread;
  ASSERT_TRUE(reread.loadSettings());
  EXPECT_EQ(reread.groups.size(), 2);

  // A synchronous save of the same file (the tray, an expansion) comes
  // after queued ones: they must not land over it later.
  window->actionNewGroup();
  window->actionSort(2);
  library.groups.last()->name = QStringLiteral("Written last");
  ASSERT_TRUE(library.saveSettings());
  ql::BackgroundWriter::instance().waitForIdle();
  EXPECT_TRUE(rawFile().contains("Written last"));
  QLSettings last;
  ASSERT_TRUE(last.loadSettings());
  ASSERT_EQ(last.groups.size(), 3);
  ASSERT_EQ(last.snippets.size(), library.snippets.size());
  for (qsizetype i = 0; i < last.snippets.size(); ++i) ASSERT_EQ(last.snippets[i]->uuid, library.snippets[i]->uuid);
  EXPECT_TRUE(alerts.isEmpty());
}

TEST_F(LibrarySaveTest, QuittingWaitsUntilTheLastEditIsOnDisk) {
  select(big, library.snippets.first());
  window->actionSort(7);  // a large save in flight
  content()->setFocus();
  QTest::keyClicks(content(), "quitting edit");
  QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection);
  EXPECT_TRUE(rawFile().contains("quitting edit"));
  // Streamed in pieces, the file is the very text written in one go.
  EXPECT_EQ(rawFile(), ql::plist::toXml(library.libraryDictionary()));
  EXPECT_TRUE(alerts.isEmpty());
}

}  // namespace
