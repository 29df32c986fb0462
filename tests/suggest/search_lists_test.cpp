// The popup's and the search window's lists, sizes and keys, with a
// recording main controller.
#include "model/ql_settings.h"
#include "support/library_records.h"
#include "platform/keys.h"
#include "suggest/search_snippet_popup_controller.h"
#include "suggest/search_snippet_window_controller.h"

#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class Recorder final : public SearchSnippetPopupControllerDelegate,
                       public SearchSnippetWindowControllerDelegate {
 public:
  QLSettings library;
  bool lastApp = true;
  int activated = 0;
  QStringList pasted;  // abbreviation|typed|clear
  QLSettings* settings() override { return &library; }
  void closeSearchPopupWindow() override {}
  void closeSearchMenuWindow() override {}
  bool hasLastActiveApp() const override { return lastApp; }
  void activteLastApp() override { ++activated; }
  bool processSnippet(const SnippetPtr& s, int, int, bool clear, const QString&, const QString& typed,
                      int) override {
    pasted.append(s->abbreviation + QLatin1Char('|') + typed + QLatin1Char('|') + QString::number(clear));
    return true;
  }
  bool processSnippet(const SnippetPtr& s) override {
    pasted.append(s->abbreviation);
    return true;
  }

  // count snippets "a0".."aN" in one group, content "text N"; the last two share "dup".
  void fill(int count, bool inSuggestions = true) {
    auto group = std::make_shared<QLGroup>();
    group->includeInSuggestionsList = inSuggestions;
    library.groups.append(group);
    for (int i = 0; i < count; ++i) {
      test::addSnippet(library, group, i >= count - 2 ? QStringLiteral("dup") : QStringLiteral("a%1").arg(i),
                       QStringLiteral("text %1").arg(i))
          ->content(false);
    }
  }
};

QString cell(QAbstractItemView* view, int row, int role = Qt::DisplayRole) {
  return view->model()->data(view->model()->index(row, 0), role).toString();
}

TEST(SearchPopup, HeadingSizesAndSelectionFollowTheMatches) {
  Recorder main;
  main.fill(30);
  main.fill(3, false);
  SearchSnippetPopupController popup;
  popup.delegate = &main;
  popup.snippets = main.library.snippets;
  // Text 1, 10..19 match "text 1"; the group left out of suggestions is never listed.
  const QList<std::tuple<QString, int, int>> cases = {{"TEXT 1", 11, 20 * 12}, {"text 2", 11, 20 * 12},
                                                      {"a1", 11, 20 * 12},     {"a29", 0, 20},
                                                      {"text", 30, 400},       {"a2", 9, 200}};
  for (const auto& [search, n, height] : cases) {
    popup.setSearchString(search);
    EXPECT_EQ(popup.filteredSnippets.size(), n) << search.toStdString();
    EXPECT_EQ(popup.window()->height(), height + 37) << search.toStdString();
    EXPECT_EQ(popup.snippetsTableView()->selectedRow(), n ? 1 : -1);
    EXPECT_EQ(cell(popup.snippetsTableView(), 0),
              n ? QStringLiteral("Total Snippets Found : %1").arg(n) : QStringLiteral("No Snippets Found"));
  }
  // The heading row is never chosen, and Up stops at the first snippet.
  popup.setSearchString(QStringLiteral("dup"));
  ASSERT_EQ(popup.filteredSnippets.size(), 2);
  EXPECT_EQ(cell(popup.snippetsTableView(), 1, SearchSnippetListModel::IsDuplicateRole), QStringLiteral("true"));
  popup.deliverKey(ql::keys::Up, 0);
  EXPECT_EQ(popup.snippetsTableView()->selectedRow(), 1);
  EXPECT_FALSE(popup.snippetsTableView()->model()->flags(popup.snippetsTableView()->model()->index(0, 0)) &
               Qt::ItemIsSelectable);
  popup.deliverKey(ql::keys::Down, 0);
  popup.deliverKey(ql::keys::Down, 0);
  popup.deliverKey(ql::keys::Return, 0);
  // The word typed goes with the choice, even though closing empties it.
  EXPECT_EQ(main.pasted, QStringList{QStringLiteral("dup|dup|1")});
  EXPECT_TRUE(popup.searchString().isEmpty());
  EXPECT_EQ(main.activated, 1);
}

class SearchWindow : public testing::Test {
 protected:
  void SetUp() override {
    main.library.preferences.snippetProcessDelay = 0.05;
    search.delegate = &main;
    search.snippets = main.library.snippets;
    search.showAt(QPoint(50, 50));
    QApplication::setActiveWindow(search.window());
  }
  QLineEdit* field() { return search.searchTextField(); }

  Recorder main;
  SearchSnippetWindowController search;
};

TEST_F(SearchWindow, ListGrowsWithTheQueryUpToTheScreen) {
  main.fill(200);
  search.snippets = main.library.snippets;
  EXPECT_EQ(search.window()->height(), 31);
  QTest::keyClicks(field(), QStringLiteral("a1"));  // a1, a10..a19, a100..a199: 111
  const int cap = search.window()->screen()->availableGeometry().height() - 50;
  EXPECT_EQ(search.snippetsTableView()->height(), qMin(20 * 112, cap));
  field()->setText(QStringLiteral("a19"));  // a19, a190..a197
  EXPECT_EQ(search.filteredSnippets.size(), 9);
  EXPECT_EQ(search.window()->height(), 200 + 36 + 1);
  field()->setText(QStringLiteral("nothing"));
  EXPECT_EQ(cell(search.snippetsTableView(), 0), QStringLiteral("No Snippets Found"));
  // An empty query shows no list at all.
  field()->clear();
  EXPECT_EQ(search.window()->height(), 31);
  EXPECT_FALSE(search.snippetsTableView()->isVisible());

  // Opened from a panel at the bottom, it grows upwards and stays on screen.
  const QRect area = search.window()->screen()->availableGeometry();
  search.showAt(QPoint(50, area.bottom() - 10));
  field()->setText(QStringLiteral("a1"));
  EXPECT_LE(search.window()->geometry().bottom(), area.bottom());
  EXPECT_GE(search.window()->y(), area.top());
  field()->setText(QStringLiteral("a19"));
  EXPECT_LE(search.window()->geometry().bottom(), area.bottom());
}

TEST_F(SearchWindow, KeysOfTheFieldAndTheList) {
  main.fill(3, false);  // left out of suggestions, still found here
  search.snippets = main.library.snippets;
  QTest::keyClicks(field(), QStringLiteral("text"));
  EXPECT_EQ(search.filteredSnippets.size(), 3);
  // Escape with text searches again and stays; Ctrl+Q leaves, never quits.
  QTest::keyClick(field(), Qt::Key_Escape);
  EXPECT_TRUE(search.isVisible());
  EXPECT_EQ(main.activated, 0);
  bool quit = false;
  QObject quitGuard;  // disconnects before quit goes out of scope
  QObject::connect(qApp, &QCoreApplication::aboutToQuit, &quitGuard, [&] { quit = true; });
  QTest::keyClick(field(), Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(main.activated, 1);
  EXPECT_FALSE(quit);
  EXPECT_FALSE(search.isVisible());
  // Down moves into the list; Return there chooses, pasted after the delay.
  search.showAt(QPoint(50, 50));
  QApplication::setActiveWindow(search.window());
  QTest::keyClicks(field(), QStringLiteral("text"));
  QTest::keyClick(field(), Qt::Key_Down);
  EXPECT_EQ(QApplication::focusWidget(), search.snippetsTableView());
  QTest::keyClick(search.snippetsTableView(), Qt::Key_Down);
  QTest::keyClick(search.snippetsTableView(), Qt::Key_Return);
  EXPECT_TRUE(main.pasted.isEmpty());
  QTRY_COMPARE(main.pasted, QStringList{QStringLiteral("dup")});
  EXPECT_FALSE(search.isVisible());
  EXPECT_EQ(search.window()->height(), 31);
  // Return in the field takes the highlighted first match.
  search.showAt(QPoint(50, 50));
  QApplication::setActiveWindow(search.window());
  QTest::keyClicks(field(), QStringLiteral("text"));
  const QString first = search.filteredSnippets.first()->abbreviation;
  QTest::keyClick(field(), Qt::Key_Return);
  QTRY_COMPARE(main.pasted.size(), 2);
  EXPECT_EQ(main.pasted.last(), first);
  EXPECT_FALSE(search.isVisible());
  // Escape in the empty field leaves; with no application to go back to, it hides.
  main.lastApp = false;
  search.showAt(QPoint(50, 50));
  QTest::keyClick(field(), Qt::Key_Escape);
  EXPECT_FALSE(search.isVisible());
}

}  // namespace
