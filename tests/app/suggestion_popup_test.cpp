// The suggestion popup, driven by typing on the simulated desktop through
// the main controller (the search window is driven on X11).
#include "shell_rig.h"

#include "platform/keys.h"

#include <QLabel>
#include <QLineEdit>

using ql::sim::SimTextField;
namespace keys = ql::keys;

namespace {

class SuggestionTest : public ShellTest {
 protected:
  // Two snippets share "sig"; "sign" and a group "grp" of its own; a group
  // left out of suggestions holds "sigx".
  void start(bool canWithhold = true) {
    desktop.keySource().setCanWithholdKeys(canWithhold);
    ShellTest::start(
        [](QLPreferences& p) {
          p.extendType = QLPreferences::DelimiterRetyped;
          p.delimiters = {QStringLiteral(";")};
          p.snippetProcessDelay = 0.01;
        },
        [](QLSettings& library) {
          auto main = test::addGroup(library, {});
          auto grp = test::addGroup(library, {});
          grp->abbreviation = QStringLiteral("grp");
          auto hidden = test::addGroup(library, {});
          hidden->includeInSuggestionsList = false;
          test::addGroup(library, {})->abbreviation = QStringLiteral("nil");
          const QList<std::tuple<GroupPtr, const char*, const char*>> snippets = {
              {main, "sig", "Best"}, {main, "sig", "Kind"},  {main, "sign", "Signed"},
              {grp, "g1", "Alpha"},  {grp, "g2", "Beta"},    {hidden, "sigx", "Hidden"}};
          for (const auto& [group, abbreviation, content] : snippets)
            test::addSnippet(library, group, QString::fromLatin1(abbreviation), QString::fromLatin1(content));
        });
    desktop.focusedField()->setText(QString());
  }

  SearchSnippetPopupController* popup() { return controller->popupPanel(); }
  bool popupOpen() { return popup() && popup()->isVisible(); }
  QStringList listed() {
    QStringList out;
    for (const SnippetPtr& s : popup()->filteredSnippets) out.append(s->plainText);
    return out;
  }
  // Types text as a fresh word in an empty field of TextEdit.
  void typeWord(const QString& text) {
    if (desktop.frontmost()->name != QStringLiteral("TextEdit")) desktop.switchTo(QStringLiteral("TextEdit"));
    desktop.typeKey(keys::Space);
    desktop.focusedField()->setText(QString());
    desktop.typeText(text);
  }

  struct Closing {
    const char* name;
    std::function<void()> act;
    QString fieldAfter;  // null: not checked
  };
  // Each way of closing, on a list opened afresh: it closes, forgets its
  // word, leaves the field so; then after() for what must hold next.
  void closeEach(const QList<Closing>& closings, const std::function<void()>& after = [] {}) {
    for (const Closing& c : closings) {
      SCOPED_TRACE(c.name);
      typeWord(QStringLiteral("sig;"));
      ASSERT_TRUE(popupOpen());
      c.act();
      EXPECT_FALSE(popupOpen());
      EXPECT_TRUE(popup()->searchString().isEmpty());
      if (!c.fieldAfter.isNull()) {
        EXPECT_EQ(field(), c.fieldAfter);
      }
      after();
    }
  }
};

TEST_F(SuggestionTest, SharedAbbreviationOpensUnderTheWordAndTheArrowsOrAClickChoose) {
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

  desktop.typeKey(keys::Down);
  desktop.typeKey(keys::Down);
  desktop.typeKey(keys::Up);
  desktop.typeKey(keys::Return);
  EXPECT_FALSE(popupOpen());
  EXPECT_EQ(field(), QStringLiteral("a Kind;"));
  // A later listing for several matches starts with nothing of this one;
  // the pointer over a row selects it, a click on a row chooses.
  desktop.typeText(QStringLiteral(" sig;"));
  ASSERT_TRUE(popupOpen());
  EXPECT_EQ(popup()->searchString(), QStringLiteral("sig"));
  SearchTableView* table = popup()->snippetsTableView();
  const QRect row3 = table->visualRect(table->model()->index(3, 0));
  desktop.moveMouse(QPointF(table->viewport()->mapToGlobal(row3.center())));  // seen by the mouse monitor
  EXPECT_EQ(table->selectedRow(), 3);
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(table->model()->index(2, 0)).center());
  EXPECT_FALSE(popupOpen());
  EXPECT_EQ(field(), QStringLiteral("a Kind; Kind;"));
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

  desktop.typeKey(keys::Escape);
  // Escape never reaches the application; the others do.
  closeEach({
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
  });
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

  closeEach(
      {
          {"escape", [&] { desktop.typeKey(keys::Escape); }, QStringLiteral("sig")},
          // Down with Alt is not reserved: it moved the caret, so the list goes.
          {"alt down", [&] { desktop.typeKey(keys::Down, mods::Option); }, QStringLiteral("sig")},
          {"ctrl shortcut", [&] { desktop.typeKey(keys::Z, mods::Command, QStringLiteral("z")); }, QString()},
          {"illegal", [&] { desktop.typeKey(keys::Home); }, QString()},
          {"click", [&] { desktop.click(QPointF(900, 700)); }, QStringLiteral("sig")},
          {"switched off", [&] { controller->actionDisableQuillet(); }, QStringLiteral("sig")},
      },
      [&] {
        // The next Return is the application's again.
        EXPECT_TRUE(reserved.isEmpty());
        desktop.typeKey(keys::Return);
        EXPECT_TRUE(field().endsWith(QLatin1Char('\n')));
        if (!controller->isQLEnabled) controller->actionDisableQuillet();
      });
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
  auto shiftTapAfter = [&](const char* word) {
    typeWord(QString::fromLatin1(word));
    desktop.holdModifiers(mods::Shift);
    desktop.releaseModifiers();
  };
  for (const char* typed : {"zzz", "nil"}) {
    shiftTapAfter(typed);
    EXPECT_FALSE(popupOpen()) << typed;
  }
  shiftTapAfter("grp");
  ASSERT_TRUE(popupOpen());
  EXPECT_EQ(listed(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Beta")}));
  EXPECT_EQ(popup()->headingLabel()->text(), QStringLiteral("Group Lookup :"));
  desktop.typeKey(keys::Down);
  desktop.typeKey(keys::Tab);  // stays in the popup, never reaches the field
  desktop.typeKey(keys::Return);
  EXPECT_EQ(field(), QStringLiteral("Beta"));
}

}  // namespace

TEST_F(SuggestionTest, NoListOpensOverAPasswordFieldAndAnOpenOneCloses) {
  start();
  typeWord(QStringLiteral("sig;"));
  ASSERT_TRUE(popupOpen());
  desktop.passwordFocus().setPasswordField(true);
  EXPECT_FALSE(popupOpen());

  // The hot key, a Shift tap after a group's abbreviation, a shared one.
  desktop.focusedField()->setText(QStringLiteral("x bes"));
  controller->processSuggestionsHotKey(ql::KeyEvent{});
  EXPECT_FALSE(popupOpen());
  typeWord(QStringLiteral("grp"));
  desktop.holdModifiers(mods::Shift);
  desktop.releaseModifiers();
  EXPECT_FALSE(popupOpen());
  typeWord(QStringLiteral("sig;"));
  EXPECT_FALSE(popupOpen());
  EXPECT_EQ(field(), QStringLiteral("sig;"));

  desktop.passwordFocus().setPasswordField(false);
  typeWord(QStringLiteral("sig;"));
  EXPECT_TRUE(popupOpen());
}
