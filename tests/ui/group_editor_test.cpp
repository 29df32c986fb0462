// The group editor in the library window: what its pop-ups show for stored
// values and store for choices, the picker's answer, and every change saved.
#include "platform/sim/sim_sound_player.h"
#include "ui/group_view_controller.h"
#include "ui_library.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>

using uitest::savedFile;

namespace {

class GroupEditorTest : public uitest::LibraryWindowTest {
 protected:
  void SetUp() override {
    LibraryWindowTest::SetUp();
    g = uitest::group(library, "Mail", {uitest::snippet("s", "sig", "Regards")});
    other = uitest::group(library, "Other", {});
    open();
    editor = window->groupView();
    sounds.setSoundNames({"Glass", "bell", "complete"});
    editor->soundPlayer = &sounds;
    editor->installedApplications = [] {
      return QList<ql::InstalledApplication>{{"Gedit", "", "", "Text Editor"}, {"XTerm", "", "", ""}};
    };
    editor->loadSounds();
    window->resetView();
    select(g);
  }

  void choose(const char* name, int item) {
    auto* box = editor->findChild<QComboBox*>(name);
    box->setCurrentIndex(item);
    Q_EMIT box->activated(item);
  }
  QComboBox* box(const char* name) const { return editor->findChild<QComboBox*>(name); }
  QLineEdit* field(const char* name) const { return editor->findChild<QLineEdit*>(name); }

  GroupPtr g, other;
  ql::sim::SimSoundPlayer sounds;
  GroupViewController* editor = nullptr;
};

TEST_F(GroupEditorTest, PopUpsShowStoredValuesAndStoreChoices) {
  ASSERT_EQ(window->tabView()->currentWidget(), editor);
  // The separator sits between the first rule and the others; values no
  // item stands for show the first.
  for (const auto& [type, item] : QList<std::pair<int, int>>{{1, 2}, {4, 5}, {9, 0}, {-1, 0}}) {
    g->exceptionType = type;
    editor->resetView();
    EXPECT_EQ(box("expandInButton")->currentIndex(), item) << type;
  }
  choose("expandInButton", 5);
  EXPECT_TRUE(savedFile().contains("<key>exceptionType</key>\n\t\t\t<integer>4</integer>"));
  choose("expandInButton", 1);  // the separator stands for no rule
  EXPECT_EQ(g->exceptionType, 4);
  choose("expandAfterButton", 2);
  EXPECT_EQ(g->expandType, 2);

  // Sound: absent, silent, a name the player knows, one it does not (kept
  // until the user picks another).
  ASSERT_EQ(box("soundButton")->count(), 5);
  const QList<std::pair<std::optional<QString>, int>> stored = {
      {std::nullopt, 0}, {QString(), 1}, {QStringLiteral("bell"), 3}, {QStringLiteral("Sosumi"), 0}};
  for (const auto& [sound, item] : stored) {
    g->sound = sound;
    editor->resetView();
    EXPECT_EQ(box("soundButton")->currentIndex(), item);
  }
  EXPECT_EQ(g->sound, QStringLiteral("Sosumi"));
  // Choosing a sound stores it and plays it; the fixed items play nothing.
  for (const auto& [item, sound] :
       QList<std::pair<int, std::optional<QString>>>{{2, QStringLiteral("Glass")}, {1, QString()}, {0, std::nullopt}}) {
    choose("soundButton", item);
    EXPECT_EQ(g->sound, sound) << item;
    EXPECT_EQ(savedFile().contains("<string>Glass</string>"), item == 2) << item;
  }
  EXPECT_EQ(sounds.played(), QStringList{"Glass"});

  editor->findChild<QCheckBox*>("includeInSuggestionsListButton")->click();
  editor->findChild<QCheckBox*>("allowGroupSuggestionsButton")->click();
  EXPECT_FALSE(g->includeInSuggestionsList);
  EXPECT_TRUE(g->allowGroupSuggestions);
  EXPECT_TRUE(savedFile().contains("<key>allowGroupSuggestions</key>\n\t\t\t<true/>"));
}

TEST_F(GroupEditorTest, TypingRenamesTheGroupEverywhereAndSavesEachKeystroke) {
  const QDateTime before = g->dateModified;
  field("nameTextField")->selectAll();
  QTest::keyClicks(field("nameTextField"), QStringLiteral("Letters"));
  EXPECT_EQ(g->name, "Letters");
  EXPECT_GT(g->dateModified, before);
  EXPECT_TRUE(savedFile().contains("<string>Letters</string>"));
  EXPECT_EQ(window->model()->indexOfGroup(g.get()).data().toString(), "Letters");
  QTest::keyClicks(field("abbreviationTextField"), QStringLiteral(";m"));
  EXPECT_EQ(g->abbreviation, ";m");
  EXPECT_TRUE(savedFile().contains("<string>;m</string>"));
  // The field's own undo reaches the group too.
  field("abbreviationTextField")->undo();
  EXPECT_TRUE(g->abbreviation.isEmpty());
  EXPECT_FALSE(savedFile().contains("<string>;m</string>"));
  // Showing another group changes neither.
  select(other);
  EXPECT_EQ(field("nameTextField")->text(), "Other");
  EXPECT_EQ(g->name, "Letters");
  EXPECT_EQ(other->dateModified, other->dateCreated);

  // A new group is named first.
  window->actionNewGroup();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window->window()));
  EXPECT_TRUE(field("nameTextField")->hasFocus());
  EXPECT_EQ(field("nameTextField")->selectedText(), "(Untitled)");
  // A snippet row leaves the group editor.
  window->selectSnippet(g.get(), library.snippets.first().get());
  EXPECT_FALSE(editor->group());
}

TEST_F(GroupEditorTest, ThePickerChangesTheRuleOnlyWhenConfirmed) {
  g->exceptionType = QLGroup::AllAppsExcept;
  g->exceptions = {"XTerm", "Gone"};
  editor->resetView();
  EXPECT_EQ(editor->findChild<QLabel*>("applicationsLabel")->text(), "XTerm, Gone");

  // Another rule than the stored one starts with nothing chosen; cancelling
  // keeps rule, list and pop-up.
  choose("expandInButton", 4);
  AppSelectionSheetController* sheet = editor->appSelectionSheet();
  ASSERT_TRUE(sheet && sheet->window()->isVisible());
  EXPECT_EQ(sheet->window()->parentWidget(), window->window());
  EXPECT_EQ(sheet->selectedAppViewTitle(), "Expand in only these applications:");
  EXPECT_TRUE(sheet->selectedAppNames().isEmpty());
  sheet->addApps({"Gedit"});
  sheet->sheetClosed();
  EXPECT_EQ(g->exceptionType, QLGroup::AllAppsExcept);
  EXPECT_EQ(g->exceptions, (QStringList{"XTerm", "Gone"}));
  EXPECT_EQ(box("expandInButton")->currentIndex(), 3);

  // The same rule again: its list, the name no application has included.
  choose("expandInButton", 3);
  sheet = editor->appSelectionSheet();
  EXPECT_EQ(sheet->selectedAppViewTitle(), "Expand in all applications except:");
  EXPECT_EQ(sheet->selectedAppNames(), (QStringList{"XTerm", "Gone"}));
  sheet->sheetOk();
  EXPECT_EQ(g->exceptions, (QStringList{"XTerm", "Gone"}));

  // Confirmed: rule and list in the order chosen, saved; an empty list too.
  choose("expandInButton", 4);
  sheet = editor->appSelectionSheet();
  sheet->addApps({"XTerm", "Gedit"});
  sheet->sheetOk();
  EXPECT_EQ(g->exceptionType, QLGroup::OnlyApps);
  EXPECT_EQ(g->exceptions, (QStringList{"XTerm", "Gedit"}));
  EXPECT_TRUE(savedFile().contains("<string>Gedit</string>"));
  EXPECT_EQ(editor->findChild<QLabel*>("applicationsLabel")->text(), "XTerm, Gedit");
  choose("expandInButton", 4);
  editor->appSelectionSheet()->removeApps({"XTerm", "Gedit"});
  editor->appSelectionSheet()->sheetOk();
  EXPECT_EQ(g->exceptionType, QLGroup::OnlyApps);
  EXPECT_TRUE(g->exceptions.isEmpty());
  EXPECT_FALSE(savedFile().contains("<string>Gedit</string>"));
}

}  // namespace
