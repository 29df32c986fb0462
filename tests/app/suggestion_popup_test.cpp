// The suggestion popup and the search window, driven by typing on the
// simulated desktop through the main controller.
#include "app/quillet_app_delegate.h"
#include "support/library_records.h"
#include "model/string_utilities.h"
#include "platform/keys.h"
#include "platform/sim/sim_desktop.h"

#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using ql::sim::SimDesktop;
using ql::sim::SimTextField;
namespace keys = ql::keys;
namespace mods = ql::mods;

namespace {

QString appPath() { return ql::Utilities::getAppPath(); }

class SuggestionTest : public testing::Test {
 protected:
  void SetUp() override { QDir(appPath()).removeRecursively(); }
  void TearDown() override {
    controller.reset();
    QDir(appPath()).removeRecursively();
  }

  // Two snippets share "sig"; "sign" and a group "grp" of its own; a group
  // left out of suggestions holds "sigx".
  void start(bool canWithhold = true, const ql::PlistDict& searchHotKey = {}) {
    desktop.keySource().setCanWithholdKeys(canWithhold);
    QLSettings library;
    library.preferences.extendType = QLPreferences::DelimiterRetyped;
    library.preferences.delimiters = {QStringLiteral(";")};
    library.preferences.isPlaySound = false;
    library.preferences.snippetProcessDelay = 0.01;
    library.preferences.searchSnippetHotKey = searchHotKey;
    auto add = [&](const GroupPtr& group, const QString& abbreviation, const QString& content) {
      test::addSnippet(library, group, abbreviation, content);
    };
    auto main = std::make_shared<QLGroup>();
    auto grp = std::make_shared<QLGroup>();
    grp->abbreviation = QStringLiteral("grp");
    auto hidden = std::make_shared<QLGroup>();
    hidden->includeInSuggestionsList = false;
    auto empty = std::make_shared<QLGroup>();
    empty->abbreviation = QStringLiteral("nil");
    library.groups = {main, grp, hidden, empty};
    add(main, QStringLiteral("sig"), QStringLiteral("Best"));
    add(main, QStringLiteral("sig"), QStringLiteral("Kind"));
    add(main, QStringLiteral("sign"), QStringLiteral("Signed"));
    add(grp, QStringLiteral("g1"), QStringLiteral("Alpha"));
    add(grp, QStringLiteral("g2"), QStringLiteral("Beta"));
    add(hidden, QStringLiteral("sigx"), QStringLiteral("Hidden"));
    QDir().mkpath(appPath());
    ASSERT_TRUE(library.saveSettings());
    controller = std::make_unique<QuilletAppDelegate>(desktop.platform());
    controller->alertPanel = [](auto&&...) { return 0; };
    ASSERT_TRUE(controller->awakeFromNib());
    desktop.focusedField()->setText(QString());
  }

  QString field() { return desktop.focusedField()->string(); }
  SearchSnippetPopupController* popup() { return controller->popupPanel(); }
  bool popupOpen() { return popup() && popup()->isVisible(); }
  QStringList listed() {
    QStringList out;
    for (const SnippetPtr& s : popup()->filteredSnippets) out.append(s->plainText);
    return out;
  }

  SimDesktop desktop;
  std::unique_ptr<QuilletAppDelegate> controller;
};

TEST_F(SuggestionTest, SharedAbbreviationOpensUnderTheWordAndTheArrowsChoose) {
  start();
  desktop.typeText(QStringLiteral("a sig;"));
  ASSERT_TRUE(popupOpen());
  EXPECT_EQ(field(), QStringLiteral("a sig"));
  EXPECT_EQ(popup()->headingLabel()->text(), QStringLiteral("Lookup For :"));
  // Library order; the group left out of suggestions is not searched.
  EXPECT_EQ(listed(), (QStringList{QStringLiteral("Best"), QStringLiteral("Kind"), QStringLiteral("Signed")}));
  // Under the word, which starts at column 2 of the field's grid, moved
  // left by its length.
  const QRectF frame = desktop.focusedField()->frame;
  EXPECT_EQ(popup()->window()->pos(),
            QPoint(int(frame.x() + 2 * SimTextField::kCharacterWidth) - 3,
                   int(frame.y() + SimTextField::kLineHeight)));
  EXPECT_EQ(popup()->window()->height(), 20 * 4 + 36 + 1);
  EXPECT_EQ(popup()->snippetsTableView()->selectedRow(), 1);

  desktop.typeKey(keys::Down);
  desktop.typeKey(keys::Down);
  desktop.typeKey(keys::Up);
  desktop.typeKey(keys::Return);
  EXPECT_FALSE(popupOpen());
  EXPECT_EQ(field(), QStringLiteral("a Kind;"));
  // A later listing for several matches starts with nothing of this one.
  desktop.typeText(QStringLiteral(" sig;"));
  ASSERT_TRUE(popupOpen());
  EXPECT_EQ(popup()->searchString(), QStringLiteral("sig"));
}

TEST_F(SuggestionTest, TypingNarrowsAndEachClosingKeyCloses) {
  start();
  desktop.typeText(QStringLiteral("sig;"));
  ASSERT_TRUE(popupOpen());
  desktop.typeText(QStringLiteral("n"));
  EXPECT_EQ(listed(), QStringList{QStringLiteral("Signed")});
  EXPECT_EQ(field(), QStringLiteral("sign"));
  desktop.typeKey(keys::Delete);
  EXPECT_EQ(listed().size(), 3);
  desktop.typeText(QStringLiteral("zz"));
  EXPECT_TRUE(listed().isEmpty());
  EXPECT_EQ(popup()->snippetsTableView()->model()->data(popup()->snippetsTableView()->model()->index(0, 0)).toString(),
            QStringLiteral("No Snippets Found"));
  EXPECT_EQ(popup()->window()->height(), 20 + 36 + 1);

  struct Close {
    const char* name;
    std::function<void()> act;
    QString fieldAfter;  // Escape never reaches the application; the others do
  };
  desktop.typeKey(keys::Escape);
  const QList<Close> closings = {
      {"escape", [&] { desktop.typeKey(keys::Escape); }, QStringLiteral("sig")},
      {"left", [&] { desktop.typeKey(keys::Left); }, QString()},
      {"right", [&] { desktop.typeKey(keys::Right); }, QString()},
      {"illegal", [&] { desktop.typeKey(keys::Home); }, QString()},
      {"emptied", [&] { for (int i = 0; i < 3; ++i) desktop.typeKey(keys::Delete); }, QString()},
      {"click", [&] { desktop.click(QPointF(900, 700)); }, QString()},
      {"space", [&] { desktop.typeKey(keys::Space); }, QStringLiteral("sig ")},
      {"switch",
       [&] {
         if (!desktop.application(QStringLiteral("Other"))) desktop.addApplication(QStringLiteral("Other"));
         desktop.switchTo(QStringLiteral("Other"));
       },
       QString()},
  };
  for (const Close& c : closings) {
    if (desktop.frontmost()->name != QStringLiteral("TextEdit")) desktop.switchTo(QStringLiteral("TextEdit"));
    desktop.typeKey(keys::Space);  // a fresh word
    desktop.focusedField()->setText(QString());
    desktop.typeText(QStringLiteral("sig;"));
    ASSERT_TRUE(popupOpen()) << c.name;
    c.act();
    EXPECT_FALSE(popupOpen()) << c.name;
    EXPECT_TRUE(popup()->searchString().isEmpty()) << c.name;
    if (!c.fieldAfter.isNull()) {
      EXPECT_EQ(field(), c.fieldAfter) << c.name;
    }
  }
}

// Where keys reach the application before the program sees them (X11),
// the list reserves its navigation keys while it is open, and only then.
TEST_F(SuggestionTest, WhereKeysArriveFirstTheListReservesItsKeysOnlyWhileOpen) {
  start(false);
  const QList<quint16>& reserved = desktop.keySource().reservedKeys();
  desktop.typeText(QStringLiteral("a sig;"));
  ASSERT_TRUE(popupOpen());
  EXPECT_EQ(field(), QStringLiteral("a sig"));  // the delimiter taken back
  EXPECT_EQ(reserved.size(), 6);
  desktop.typeKey(keys::Down);
  desktop.typeKey(keys::Return);
  EXPECT_FALSE(popupOpen());
  EXPECT_TRUE(reserved.isEmpty());
  EXPECT_EQ(field(), QStringLiteral("a Kind;"));

  struct Close {
    const char* name;
    std::function<void()> act;
    QString fieldAfter;
  };
  const QList<Close> closings = {
      {"escape", [&] { desktop.typeKey(keys::Escape); }, QStringLiteral("sig")},
      // Down with Alt is not reserved: it moved the caret, so the list goes.
      {"alt down", [&] { desktop.typeKey(keys::Down, mods::Option); }, QStringLiteral("sig")},
      {"ctrl shortcut", [&] { desktop.typeKey(keys::Z, mods::Command, QStringLiteral("z")); }, QString()},
      {"illegal", [&] { desktop.typeKey(keys::Home); }, QString()},
      {"click", [&] { desktop.click(QPointF(900, 700)); }, QStringLiteral("sig")},
      {"switched off", [&] { controller->actionDisableQuillet(); }, QStringLiteral("sig")},
  };
  for (const Close& c : closings) {
    desktop.focusedField()->setText(QString());
    desktop.typeKey(keys::Space);
    desktop.focusedField()->setText(QString());
    desktop.typeText(QStringLiteral("sig;"));
    ASSERT_TRUE(popupOpen()) << c.name;
    c.act();
    EXPECT_FALSE(popupOpen()) << c.name;
    EXPECT_TRUE(reserved.isEmpty()) << c.name;
    if (!c.fieldAfter.isNull()) {
      EXPECT_EQ(field(), c.fieldAfter) << c.name;
    }
    // The next Return is the application's again.
    desktop.typeKey(keys::Return);
    EXPECT_TRUE(field().endsWith(QLatin1Char('\n'))) << c.name;
    if (!controller->isQLEnabled) controller->actionDisableQuillet();
  }
}

TEST_F(SuggestionTest, HotKeyListsTheWordBeforeTheCaretOrEverythingAtALineStart) {
  start();
  desktop.typeText(QStringLiteral("x bes"));
  controller->processSuggestionsHotKey(ql::KeyEvent{});
  ASSERT_TRUE(popupOpen());
  EXPECT_EQ(popup()->searchString(), QStringLiteral("bes"));
  EXPECT_EQ(listed(), QStringList{QStringLiteral("Best")});
  EXPECT_EQ(field(), QStringLiteral("x bes"));
  desktop.typeKey(keys::KeypadEnter);
  // Exactly the word's characters go before the content.
  EXPECT_EQ(field(), QStringLiteral("x Best"));

  desktop.focusedField()->setText(QStringLiteral("line\n"));
  controller->processSuggestionsHotKey(ql::KeyEvent{});
  ASSERT_TRUE(popupOpen());
  EXPECT_TRUE(popup()->searchString().isEmpty());
  EXPECT_EQ(listed().size(), 6);  // every snippet of the library
  EXPECT_EQ(popup()->window()->height(), 20 * 7 + 36 + 1);
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_LE((popup()->window()->geometry().center() - screen.center()).manhattanLength(), 2);
  desktop.typeKey(keys::Escape);
  EXPECT_FALSE(popupOpen());

  // A field that does not tell its text: the word is what was typed.
  desktop.focusedField()->selectionReadable = false;
  desktop.typeText(QStringLiteral("x sig"));
  controller->processSuggestionsHotKey(ql::KeyEvent{});
  ASSERT_TRUE(popupOpen());
  EXPECT_EQ(popup()->searchString(), QStringLiteral("sig"));
  EXPECT_EQ(listed().size(), 3);
  desktop.typeKey(keys::Escape);

  // From the program's own windows nothing opens.
  desktop.switchTo(SimDesktop::kProgramName);
  controller->processSuggestionsHotKey(ql::KeyEvent{});
  EXPECT_FALSE(popupOpen());
}

TEST_F(SuggestionTest, ShiftTapAfterAGroupAbbreviationListsItsSnippets) {
  start();
  for (const char* typed : {"zzz", "nil"}) {
    desktop.typeKey(keys::Space);  // a fresh word
    desktop.focusedField()->setText(QString());
    desktop.typeText(QString::fromLatin1(typed));
    desktop.holdModifiers(mods::Shift);
    desktop.releaseModifiers();
    EXPECT_FALSE(popupOpen()) << typed;
  }
  desktop.focusedField()->setText(QString());
  desktop.typeKey(keys::Space);
  desktop.focusedField()->setText(QString());
  desktop.typeText(QStringLiteral("grp"));
  desktop.holdModifiers(mods::Shift);
  desktop.releaseModifiers();
  ASSERT_TRUE(popupOpen());
  EXPECT_EQ(popup()->headingLabel()->text(), QStringLiteral("Group Lookup :"));
  EXPECT_EQ(listed(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Beta")}));
  desktop.typeKey(keys::Down);
  desktop.typeKey(keys::Tab);  // stays in the popup, never reaches the field
  desktop.typeKey(keys::Return);
  EXPECT_EQ(field(), QStringLiteral("Beta"));
}

TEST_F(SuggestionTest, AClickOnARowChoosesAndHoverSelects) {
  start();
  desktop.typeText(QStringLiteral("sig;"));
  ASSERT_TRUE(popupOpen());
  SearchTableView* table = popup()->snippetsTableView();
  const QRect row3 = table->visualRect(table->model()->index(3, 0));
  // The pointer moving over the popup, seen by the mouse monitor.
  desktop.moveMouse(QPointF(table->viewport()->mapToGlobal(row3.center())));
  EXPECT_EQ(table->selectedRow(), 3);
  const QRect row2 = table->visualRect(table->model()->index(2, 0));
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row2.center());
  EXPECT_FALSE(popupOpen());
  EXPECT_EQ(field(), QStringLiteral("Kind;"));
}

TEST_F(SuggestionTest, SearchWindowPastesIntoThePreviousApplication) {
  start();
  desktop.typeText(QStringLiteral("Dear "));
  Q_EMIT controller->searchWindowRequested(QPoint(100, 100));
  SearchSnippetWindowController* search = controller->searchWindow();
  ASSERT_TRUE(search && search->isVisible());
  EXPECT_EQ(search->window()->height(), 31);
  // Groups left out of suggestions are found here.
  QTest::keyClicks(search->searchTextField(), QStringLiteral("hid"));
  ASSERT_EQ(search->filteredSnippets.size(), 1);
  QTest::keyClick(search->searchTextField(), Qt::Key_Down);
  QTest::keyClick(search->snippetsTableView(), Qt::Key_Return);
  EXPECT_FALSE(search->isVisible());
  QTRY_COMPARE(field(), QStringLiteral("Dear Hidden"));
}

TEST_F(SuggestionTest, OptionalHotKeyOpensTheSearchWindow) {
  ql::PlistDict key;
  key.insert(QStringLiteral("characters"), QStringLiteral("f"));
  key.insert(QStringLiteral("keyCode"), qint64(keys::F));
  key.insert(QStringLiteral("modifierFlags"), qint64(mods::Command | mods::Option));
  start(true, key);
  ASSERT_TRUE(desktop.pressHotKey(keys::F, mods::Command | mods::Option));
  ASSERT_TRUE(controller->searchWindow());
  EXPECT_TRUE(controller->searchWindow()->isVisible());
  QLSettings saved;
  ASSERT_TRUE(saved.loadSettings());
  EXPECT_EQ(saved.preferences.searchSnippetHotKey, key);
  // Unset, it is not written at all, and nothing is registered for it.
  QLPreferences none;
  EXPECT_FALSE(none.getData().contains(QStringLiteral("searchSnippetHotKey")));
}

}  // namespace
