// The new-snippet window driven through the real controller on the
// simulated desktop: each opening with plain and rich content, the group
// for the application in front, and the user's clipboard afterwards.
#include "shell_rig.h"

#include "content/text/flat_rtfd.h"
#include "content/text/rtf_writer.h"
#include "ui/new_snippet_window_controller.h"
#include "ui/snippet_view_controller.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

namespace types = ql::pasteboard_types;

constexpr quint16 kNewKey = 45, kSelectionKey = 1, kClipboardKey = 9, kApplicationKey = 0;
constexpr quint64 kChord = mods::Command | mods::Shift;
const QString kUsers = QStringLiteral("users own");

class NewSnippetTest : public ShellTest {
 protected:
  // Groups "Work" (one snippet) and "Personal", the four hot keys, TextEdit
  // in front and the user's text on the clipboard.
  void SetUp() override {
    ShellTest::SetUp();
    trayAvailable = false;
    start(
        [](QLPreferences& p) {
          p.newSnippetHotKey = hotKey(kNewKey, kChord);
          p.newSnippetFromSelectionHotKey = hotKey(kSelectionKey, kChord);
          p.newSnippetFromClipboardHotKey = hotKey(kClipboardKey, kChord);
          p.newSnippetFromApplicationHotKey = hotKey(kApplicationKey, kChord);
        },
        [](QLSettings& library) {
          for (const char* name : {"Work", "Personal"}) test::addGroup(library, QString::fromLatin1(name));
          test::addSnippet(library, library.groups[0], QStringLiteral("sig"), QStringLiteral("text"));
        });
    desktop.pasteboard().setContent({{types::String, kUsers.toUtf8()}}, QStringLiteral("Editor"));
  }

  NewSnippetWindowController* panel() { return controller->newSnippetPanel(); }
  bool panelShown() { return panel() && panel()->isVisible(); }
  // The hot key pressed in TextEdit; true once the window is up.
  bool open(quint16 key) {
    desktop.switchTo(QStringLiteral("TextEdit"));
    return desktop.pressHotKey(key, kChord) && QTest::qWaitFor([&] { return panelShown(); }, 3000);
  }
  void create(int group, int format) {
    panel()->window()->findChild<QComboBox*>("btnGroups")->setCurrentIndex(group);
    panel()->window()->findChild<QComboBox*>("btnFormat")->setCurrentIndex(format);
    panel()->window()->findChild<QPushButton*>("createButton")->click();
  }
  // The selection in TextEdit, bold when rich.
  void selectInEditor(const QString& text, bool bold = false) {
    ql::TextAttributes a;
    a.bold = bold;
    desktop.switchTo(QStringLiteral("TextEdit"));
    desktop.focusedField()->setText(ql::AttributedText(QStringLiteral("x ") + text, a));
    desktop.focusedField()->select(2, int(text.size()));
  }

  SnippetPtr newest() const { return controller->settings()->snippets.last(); }
  ql::AttributedText formatted() const {
    return ql::readFlatRtfd(newest()->formattedText).value_or(ql::AttributedText());
  }
  QString groupName() const {
    return controller->settings()->getGroupByUUID(newest()->groupUuid.value_or(QString()))->name;
  }
  qsizetype snippetCount() const { return controller->settings()->snippets.size(); }
  bool clipboardBack() { return QTest::qWaitFor([&] { return clipboardText() == kUsers; }, 4000); }
};

TEST_F(NewSnippetTest, EmptyAndClipboardOpeningsMakeTheSnippetInTheChosenGroupAndType) {
  ASSERT_TRUE(open(kNewKey));
  EXPECT_TRUE(desktop.isProgramFrontmost());
  create(1, 1);
  EXPECT_FALSE(panelShown());
  ASSERT_EQ(snippetCount(), 2);
  EXPECT_EQ(groupName(), QStringLiteral("Personal"));
  EXPECT_EQ(newest()->snippetType, 1);
  EXPECT_TRUE(formatted().isEmpty());
  // Made, selected and open in the library window.
  EXPECT_TRUE(controller->window->isVisible());
  EXPECT_EQ(controller->libraryWindow()->snippetView()->snippet(), newest());

  // Plain text on the clipboard into a formatted snippet and a plain one;
  // the format choice stays for the next opening.
  for (int format : {1, 0}) {
    ASSERT_TRUE(open(kClipboardKey));
    EXPECT_EQ(panel()->window()->findChild<QComboBox*>("btnFormat")->currentIndex(), 1);
    create(0, format);
    EXPECT_EQ(groupName(), QStringLiteral("Work"));
    EXPECT_EQ(newest()->snippetType, format);
    EXPECT_EQ(format == 1 ? formatted().string() : newest()->plainText, kUsers);
  }
  QLSettings saved;
  ASSERT_TRUE(saved.loadSettings());
  EXPECT_EQ(saved.snippets.last()->plainText, kUsers);
  EXPECT_EQ(clipboardText(), kUsers);
}

TEST_F(NewSnippetTest, WithASearchActiveTheNewSnippetIsShownWithTheContentCopied) {
  // Formatted preferred: a plain snippet made from the window keeps no formatted text.
  controller->settings()->preferences.snippetFormatType = 1;
  controller->actionOpenQuillet();
  LibraryWindowController* library = controller->libraryWindow();
  for (int format : {0, 1}) {
    library->searchTextField()->setText(QStringLiteral("nothing matches this"));
    ASSERT_TRUE(open(kClipboardKey));
    create(1, format);
    ASSERT_EQ(groupName(), QStringLiteral("Personal"));
    EXPECT_EQ(format == 1 ? formatted().string() : newest()->plainText, kUsers);
    EXPECT_EQ(newest()->formattedText.isEmpty(), format == 0);
    EXPECT_TRUE(library->searchTextField()->text().isEmpty());
    EXPECT_EQ(library->selectedSnippet(), newest());
    EXPECT_EQ(library->snippetView()->snippet(), newest());
  }
  EXPECT_EQ(snippetCount(), 3);
  ASSERT_TRUE(clipboardBack());
}

TEST_F(NewSnippetTest, ClipboardFormattingIsKeptFromRtfAndHtmlWithoutPicturesItOnlyPointsTo) {
  ql::TextAttributes bold;
  bold.bold = true;
  QTemporaryDir dir;
  ASSERT_TRUE(QImage(4, 4, QImage::Format_RGB32).save(dir.filePath(QStringLiteral("p.png"))));
  const QByteArray html = "<meta charset='utf-8'><p>plain <b>strong</b><img src=\"" +
                          QUrl::fromLocalFile(dir.filePath(QStringLiteral("p.png"))).toEncoded() + "\"> &#233;</p>";
  const QList<QList<ql::PasteboardItem>> contents = {
      {{types::String, "strong"}, {types::Rtf, ql::writeRtf(ql::AttributedText(QStringLiteral("strong"), bold))}},
      {{types::Html, html}},
  };
  for (const auto& content : contents) {
    desktop.pasteboard().setContent(content, QStringLiteral("Browser"));
    for (int format : {1, 0}) {
      ASSERT_TRUE(open(kClipboardKey));
      create(0, format);
      if (format == 0) {
        EXPECT_TRUE(newest()->plainText.contains(QStringLiteral("strong")));
        EXPECT_FALSE(newest()->plainText.contains(QLatin1Char('<')));
        continue;
      }
      const ql::AttributedText text = formatted();
      const int at = text.string().indexOf(QStringLiteral("strong"));
      ASSERT_GE(at, 0) << text.string().toStdString();
      EXPECT_TRUE(text.attributesAt(at).bold);
      EXPECT_FALSE(text.string().contains(ql::AttributedText::kAttachmentCharacter));
      EXPECT_EQ(text.string().endsWith(QStringLiteral(" \u00e9")), content.size() == 1);  // the HTML's entity
    }
  }
}

TEST_F(NewSnippetTest, FromSelectionCopiesMakesTheSnippetAndGivesTheClipboardBack) {
  // Nothing selected: the window starts empty and the clipboard is left alone.
  desktop.focusedField()->setText(QStringLiteral("no selection"));
  const quint64 changes = desktop.pasteboard().changeCount();
  ASSERT_TRUE(open(kSelectionKey));
  EXPECT_TRUE(panel()->notice().startsWith(QStringLiteral("Nothing was selected in TextEdit")));
  create(0, 0);
  // Not the unrelated clipboard content, and the clipboard never touched.
  EXPECT_EQ(newest()->plainText, QString());
  spin(1700);
  EXPECT_EQ(desktop.pasteboard().changeCount(), changes);

  // Rich selection, formatted snippet: the formatting comes along.
  selectInEditor(QStringLiteral("pick me"), true);
  desktop.clearLog();
  ASSERT_TRUE(open(kSelectionKey));
  EXPECT_EQ(desktop.postedKeyNames().count(QStringLiteral("Cmd-C")), 2);
  create(1, 1);
  EXPECT_EQ(formatted().string(), QStringLiteral("pick me"));
  EXPECT_TRUE(formatted().attributesAt(0).bold);
  EXPECT_TRUE(clipboardBack());

  // The hot key twice before the copy starts: one copy, and the user's
  // clipboard (not the copy) comes back.
  selectInEditor(QStringLiteral("twice"));
  desktop.clearLog();
  ASSERT_TRUE(desktop.pressHotKey(kSelectionKey, kChord));
  ASSERT_TRUE(open(kSelectionKey));
  spin(700);
  EXPECT_EQ(desktop.postedKeyNames().count(QStringLiteral("Cmd-C")), 2);
  create(0, 0);
  EXPECT_EQ(newest()->plainText, QStringLiteral("twice"));
  EXPECT_TRUE(clipboardBack());

  // From the status menu: the copy is made there too.
  selectInEditor(QStringLiteral("menu pick"));
  desktop.clearLog();
  controller->actionNewSnippetFromSelectionHotKey();
  ASSERT_TRUE(QTest::qWaitFor([&] { return panelShown(); }, 3000));
  EXPECT_EQ(desktop.postedKeyNames().count(QStringLiteral("Cmd-C")), 2);
  create(0, 0);
  EXPECT_EQ(newest()->plainText, QStringLiteral("menu pick"));
  EXPECT_TRUE(clipboardBack());

  // Cancel (Escape), leaving for another window of the program, leaving for
  // another application, and the hot key twice in a row: nothing made, the
  // clipboard back each time.
  const qsizetype before = snippetCount();
  const std::function<void()> ends[] = {
      [&] {
        QTest::keyClick(panel()->window(), Qt::Key_Escape);
        EXPECT_EQ(desktop.frontmost()->name, QStringLiteral("TextEdit"));
      },
      [&] {
        ASSERT_TRUE(QTest::qWaitForWindowActive(panel()->window()));
        controller->window->show();
        controller->window->activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !panelShown(); }, 3000));
      },
      [&] { desktop.switchTo(QStringLiteral("TextEdit")); },
      [&] {
        EXPECT_TRUE(desktop.pressHotKey(kSelectionKey, kChord));
        panel()->window()->findChild<QPushButton*>("cancelButton")->click();
      },
  };
  for (const auto& end : ends) {
    ASSERT_TRUE(open(kSelectionKey));
    EXPECT_EQ(clipboardText(), QStringLiteral("menu pick"));
    end();
    EXPECT_FALSE(panelShown());
    EXPECT_TRUE(clipboardBack());
  }
  EXPECT_EQ(snippetCount(), before);
}

// The group made for an application, with its rule, is checked on X11.
TEST_F(NewSnippetTest, FromApplicationReusesAGroupNamedLikeTheApplication) {
  controller->settings()->getGroupByName(QStringLiteral("Work"))->name = QStringLiteral("Mail");
  desktop.addApplication(QStringLiteral("Mail"));
  desktop.switchTo(QStringLiteral("Mail"));
  desktop.focusedField()->setText(QStringLiteral("to mail"));
  desktop.focusedField()->select(0, 7);
  const qsizetype groups = controller->settings()->groups.size();
  EXPECT_TRUE(desktop.pressHotKey(kApplicationKey, kChord));
  ASSERT_TRUE(QTest::qWaitFor([&] { return panelShown(); }, 3000));
  EXPECT_EQ(controller->settings()->groups.size(), groups);
  panel()->window()->findChild<QPushButton*>("createButton")->click();
  EXPECT_EQ(groupName(), QStringLiteral("Mail"));
  EXPECT_EQ(controller->settings()->getGroupByName(QStringLiteral("Mail"))->exceptionType,
            int(QLGroup::FollowPreferences));
}

TEST_F(NewSnippetTest, ARenamedGroupIsAskedForAgainAndReopeningOrQuittingGiveTheClipboardBack) {
  selectInEditor(QStringLiteral("keep me"));
  ASSERT_TRUE(open(kSelectionKey));
  panel()->window()->findChild<QComboBox*>("btnGroups")->setCurrentIndex(1);
  controller->settings()->groups[1]->name = QStringLiteral("Home");
  const qsizetype before = snippetCount();
  panel()->window()->findChild<QPushButton*>("createButton")->click();
  // Not silently dropped: the window stays, with the groups as they are now.
  EXPECT_TRUE(panelShown());
  EXPECT_EQ(snippetCount(), before);
  EXPECT_TRUE(panel()->notice().contains(QStringLiteral("renamed or removed")));
  create(1, 0);
  EXPECT_EQ(groupName(), QStringLiteral("Home"));
  EXPECT_EQ(newest()->plainText, QStringLiteral("keep me"));
  EXPECT_TRUE(clipboardBack());

  // Quillet started again hides the window; quitting right after Create
  // gives the clipboard back at once.
  ASSERT_TRUE(open(kSelectionKey));
  controller->applicationShouldHandleReopen(false);
  EXPECT_FALSE(panelShown());
  EXPECT_EQ(clipboardText(), kUsers);
  ASSERT_TRUE(open(kSelectionKey));
  create(0, 0);
  EXPECT_NE(clipboardText(), kUsers);
  controller->applicationWillTerminate();
  EXPECT_EQ(clipboardText(), kUsers);

  // The program in front: none of the four hot keys opens the window.
  desktop.switchTo(SimDesktop::kProgramName);
  for (quint16 key : {kNewKey, kSelectionKey, kClipboardKey, kApplicationKey})
    EXPECT_TRUE(desktop.pressHotKey(key, kChord));
  spin(700);
  EXPECT_FALSE(panelShown());
}

}  // namespace
