// The new-snippet window driven through the real controller on the
// simulated desktop: each opening with plain and rich content, the group
// for the application in front, and the user's clipboard afterwards.
#include "shell_rig.h"

#include "content/text/flat_rtfd.h"
#include "content/text/rtf_writer.h"
#include "ui/library_outline_model.h"
#include "ui/new_snippet_window_controller.h"
#include "ui/snippet_view_controller.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryFile>

namespace {

namespace types = ql::pasteboard_types;

constexpr quint16 kNewKey = 45, kSelectionKey = 1, kClipboardKey = 9, kApplicationKey = 0;
constexpr quint64 kChord = mods::Command | mods::Shift;

class NewSnippetTest : public ShellTest {
 protected:
  // A library with the groups "Work" (one snippet) and "Personal", and the
  // four new-snippet hot keys.
  void startLibrary(const std::function<void(QLSettings&)>& edit = {}) {
    QLSettings library;
    library.preferences.isPlaySound = false;
    library.preferences.newSnippetHotKey = hotKey(kNewKey, kChord);
    library.preferences.newSnippetFromSelectionHotKey = hotKey(kSelectionKey, kChord);
    library.preferences.newSnippetFromClipboardHotKey = hotKey(kClipboardKey, kChord);
    library.preferences.newSnippetFromApplicationHotKey = hotKey(kApplicationKey, kChord);
    for (const char* name : {"Work", "Personal"}) {
      auto group = std::make_shared<QLGroup>();
      group->name = QString::fromLatin1(name);
      library.groups.append(group);
    }
    test::addSnippet(library, library.groups[0], QStringLiteral("sig"), QStringLiteral("text"));
    if (edit) edit(library);
    ASSERT_TRUE(library.saveSettings());
    controller = std::make_unique<QuilletAppDelegate>(desktop.platform());
    controller->alertPanel = [](auto&&...) { return 0; };
    controller->isSystemTrayAvailable = [] { return false; };
    ASSERT_TRUE(controller->awakeFromNib());
    controller->applicationDidFinishLaunching();
    controller->window->hide();
    desktop.switchTo(QStringLiteral("TextEdit"));
    desktop.pasteboard().setContent({{types::String, QByteArrayLiteral("users own")}},
                                    QStringLiteral("Editor"));
  }

  NewSnippetWindowController* panel() { return controller->newSnippetPanel(); }
  bool panelShown() { return panel() && panel()->isVisible(); }
  bool waitForPanel() { return QTest::qWaitFor([&] { return panelShown(); }, 3000); }

  void choose(int group, int format) {
    panel()->btnGroups()->setCurrentIndex(group);
    panel()->btnFormat()->setCurrentIndex(format);
  }
  void create() { panel()->createButton()->click(); }

  // The selection in TextEdit, bold when rich.
  void selectInEditor(const QString& text, bool bold) {
    ql::TextAttributes a;
    a.bold = bold;
    desktop.focusedField()->setText(ql::AttributedText(QStringLiteral("x ") + text + QStringLiteral(" y"), a));
    desktop.focusedField()->select(2, int(text.size()));
  }

  SnippetPtr newest() const { return controller->settings()->snippets.last(); }
  ql::AttributedText formatted(const SnippetPtr& s) const {
    return ql::readFlatRtfd(s->formattedText).value_or(ql::AttributedText());
  }
  GroupPtr groupOf(const SnippetPtr& s) const { return controller->settings()->getGroupByUUID(s->groupUuid.value_or(QString())); }
  qsizetype snippetCount() const { return controller->settings()->snippets.size(); }
  bool clipboardBack() {
    return QTest::qWaitFor([&] { return clipboardText() == QStringLiteral("users own"); }, 4000);
  }
};

TEST_F(NewSnippetTest, EmptyAndClipboardOpeningsMakeTheSnippetInTheChosenGroupAndType) {
  startLibrary();
  // Empty: the window floats over the editor, preselects the current group.
  EXPECT_TRUE(desktop.pressHotKey(kNewKey, kChord));
  ASSERT_TRUE(waitForPanel());
  EXPECT_TRUE(desktop.isProgramFrontmost());
  ASSERT_EQ(panel()->btnGroups()->count(), 2);
  EXPECT_EQ(panel()->btnGroups()->itemText(1), QStringLiteral("Personal"));
  EXPECT_TRUE(panel()->window()->windowFlags() & Qt::WindowStaysOnTopHint);
  choose(1, 1);
  create();
  EXPECT_FALSE(panelShown());
  ASSERT_EQ(snippetCount(), 2);
  EXPECT_EQ(groupOf(newest())->name, QStringLiteral("Personal"));
  EXPECT_EQ(newest()->snippetType, 1);
  EXPECT_TRUE(formatted(newest()).isEmpty());
  // Made, selected and open for its abbreviation in the library window.
  EXPECT_TRUE(controller->window->isVisible());
  EXPECT_EQ(controller->libraryWindow()->selectedSnippet(), newest());
  EXPECT_EQ(controller->libraryWindow()->snippetView()->snippet(), newest());
  EXPECT_EQ(clipboardText(), QStringLiteral("users own"));

  // From the clipboard, plain text into a formatted snippet and into a
  // plain one; the format choice stays for the next opening.
  for (int format : {1, 0}) {
    desktop.switchTo(QStringLiteral("TextEdit"));
    EXPECT_TRUE(desktop.pressHotKey(kClipboardKey, kChord));
    ASSERT_TRUE(waitForPanel());
    EXPECT_EQ(panel()->btnFormat()->currentIndex(), 1);
    choose(0, format);
    create();
    EXPECT_EQ(groupOf(newest())->name, QStringLiteral("Work"));
    EXPECT_EQ(newest()->snippetType, format);
    if (format == 1)
      EXPECT_EQ(formatted(newest()).string(), QStringLiteral("users own"));
    else
      EXPECT_EQ(newest()->plainText, QStringLiteral("users own"));
  }
  // Saved with its content.
  QLSettings saved;
  ASSERT_TRUE(saved.loadSettings());
  ASSERT_EQ(saved.snippets.size(), 4);
  EXPECT_EQ(saved.snippets.last()->plainText, QStringLiteral("users own"));
  EXPECT_EQ(clipboardText(), QStringLiteral("users own"));
}

TEST_F(NewSnippetTest, ClipboardFormattingIsKeptFromRtfAndHtmlWithoutPicturesItOnlyPointsTo) {
  startLibrary();
  ql::TextAttributes bold;
  bold.bold = true;
  QTemporaryFile picture(QDir::tempPath() + QStringLiteral("/quillet-XXXXXX.png"));
  ASSERT_TRUE(picture.open());
  QImage(4, 4, QImage::Format_RGB32).save(&picture, "PNG");
  picture.close();
  const QByteArray html = "<meta charset='utf-8'><p>plain <b>strong</b><img src=\"" +
                          QUrl::fromLocalFile(picture.fileName()).toEncoded() + "\"> &#233;</p>";
  const QList<QList<ql::PasteboardItem>> contents = {
      {{types::String, "strong"}, {types::Rtf, ql::writeRtf(ql::AttributedText(QStringLiteral("strong"), bold))}},
      {{types::Html, html}},
  };
  for (const auto& content : contents) {
    desktop.pasteboard().setContent(content, QStringLiteral("Browser"));
    for (int format : {1, 0}) {
      desktop.switchTo(QStringLiteral("TextEdit"));
      EXPECT_TRUE(desktop.pressHotKey(kClipboardKey, kChord));
      ASSERT_TRUE(waitForPanel());
      choose(0, format);
      create();
      const SnippetPtr s = newest();
      if (format == 1) {
        const ql::AttributedText text = formatted(s);
        const int at = text.string().indexOf(QStringLiteral("strong"));
        ASSERT_GE(at, 0) << text.string().toStdString();
        EXPECT_TRUE(text.attributesAt(at).bold);
        // The picture the HTML points to stays on disk, not in the snippet.
        EXPECT_FALSE(text.string().contains(ql::AttributedText::kAttachmentCharacter));
        if (content.size() == 1) {
          EXPECT_FALSE(text.attributesAt(0).bold);
          EXPECT_TRUE(text.string().endsWith(QStringLiteral(" \u00e9")));
        }
      } else {
        EXPECT_TRUE(s->plainText.contains(QStringLiteral("strong")));
        EXPECT_FALSE(s->plainText.contains(QLatin1Char('<')));
      }
    }
  }
}

TEST_F(NewSnippetTest, FromSelectionCopiesMakesTheSnippetAndGivesTheClipboardBack) {
  startLibrary();
  // Rich selection, formatted snippet: the formatting comes along.
  selectInEditor(QStringLiteral("pick me"), true);
  desktop.clearLog();
  EXPECT_TRUE(desktop.pressHotKey(kSelectionKey, kChord));
  ASSERT_TRUE(waitForPanel());
  EXPECT_EQ(desktop.postedKeyNames().count(QStringLiteral("Cmd-C")), 2);
  EXPECT_TRUE(panel()->notice().contains(QStringLiteral("TextEdit")));
  choose(1, 1);
  create();
  EXPECT_EQ(formatted(newest()).string(), QStringLiteral("pick me"));
  EXPECT_TRUE(formatted(newest()).attributesAt(0).bold);
  EXPECT_EQ(groupOf(newest())->name, QStringLiteral("Personal"));
  EXPECT_TRUE(clipboardBack());

  // From the status menu: the copy is made there too.
  desktop.switchTo(QStringLiteral("TextEdit"));
  selectInEditor(QStringLiteral("menu pick"), false);
  desktop.clearLog();
  controller->actionNewSnippetFromSelectionHotKey();
  ASSERT_TRUE(waitForPanel());
  EXPECT_EQ(desktop.postedKeyNames().count(QStringLiteral("Cmd-C")), 2);
  choose(0, 0);
  create();
  EXPECT_EQ(newest()->plainText, QStringLiteral("menu pick"));
  EXPECT_TRUE(clipboardBack());

  // Cancel: nothing made, the editor in front again, the clipboard back.
  desktop.switchTo(QStringLiteral("TextEdit"));
  const qsizetype before = snippetCount();
  EXPECT_TRUE(desktop.pressHotKey(kSelectionKey, kChord));
  ASSERT_TRUE(waitForPanel());
  EXPECT_EQ(clipboardText(), QStringLiteral("menu pick"));
  QTest::keyClick(panel()->window(), Qt::Key_Escape);
  EXPECT_FALSE(panelShown());
  EXPECT_EQ(snippetCount(), before);
  EXPECT_EQ(desktop.frontmost()->name, QStringLiteral("TextEdit"));
  EXPECT_TRUE(clipboardBack());

  // Leaving the window for another hides it and gives the clipboard back
  // at once.
  desktop.switchTo(QStringLiteral("TextEdit"));
  EXPECT_TRUE(desktop.pressHotKey(kSelectionKey, kChord));
  ASSERT_TRUE(waitForPanel());
  ASSERT_TRUE(QTest::qWaitForWindowActive(panel()->window()));
  controller->window->show();
  controller->window->activateWindow();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !panelShown(); }, 3000));
  EXPECT_EQ(clipboardText(), QStringLiteral("users own"));
  // The same when the user goes to another application.
  desktop.switchTo(QStringLiteral("TextEdit"));
  EXPECT_TRUE(desktop.pressHotKey(kSelectionKey, kChord));
  ASSERT_TRUE(waitForPanel());
  EXPECT_EQ(clipboardText(), QStringLiteral("menu pick"));
  desktop.switchTo(QStringLiteral("TextEdit"));
  EXPECT_FALSE(panelShown());
  EXPECT_EQ(clipboardText(), QStringLiteral("users own"));
  EXPECT_EQ(snippetCount(), before);

  // The hot key twice in a row: the second copy does not pass for the
  // user's clipboard.
  EXPECT_TRUE(desktop.pressHotKey(kSelectionKey, kChord));
  EXPECT_TRUE(desktop.pressHotKey(kSelectionKey, kChord));
  ASSERT_TRUE(waitForPanel());
  panel()->cancelButton()->click();
  EXPECT_TRUE(clipboardBack());
}

TEST_F(NewSnippetTest, NothingSelectedStartsEmptyAndLeavesTheClipboardAlone) {
  startLibrary();
  desktop.focusedField()->setText(QStringLiteral("no selection"));
  desktop.focusedField()->setCaret(3);
  const quint64 changes = desktop.pasteboard().changeCount();
  EXPECT_TRUE(desktop.pressHotKey(kSelectionKey, kChord));
  ASSERT_TRUE(waitForPanel());
  EXPECT_TRUE(panel()->notice().startsWith(QStringLiteral("Nothing was selected in TextEdit")));
  choose(0, 0);
  create();
  // Not the unrelated clipboard content, and the clipboard never touched.
  EXPECT_EQ(newest()->plainText, QString());
  spin(1700);
  EXPECT_EQ(desktop.pasteboard().changeCount(), changes);
  EXPECT_EQ(clipboardText(), QStringLiteral("users own"));
}

TEST_F(NewSnippetTest, FromApplicationFindsOrMakesTheApplicationsGroup) {
  startLibrary();
  // No group for it yet: one is made that expands only there, and saved so.
  selectInEditor(QStringLiteral("for textedit"), false);
  EXPECT_TRUE(desktop.pressHotKey(kApplicationKey, kChord));
  ASSERT_TRUE(waitForPanel());
  const GroupPtr made = controller->settings()->getGroupByName(QStringLiteral("TextEdit"));
  ASSERT_TRUE(made);
  EXPECT_EQ(made->exceptionType, int(QLGroup::OnlyApps));
  EXPECT_EQ(made->exceptions, QStringList{QStringLiteral("TextEdit")});
  {
    QLSettings saved;
    ASSERT_TRUE(saved.loadSettings());
    const GroupPtr onDisk = saved.getGroupByName(QStringLiteral("TextEdit"));
    ASSERT_TRUE(onDisk);
    EXPECT_EQ(onDisk->exceptionType, int(QLGroup::OnlyApps));
  }
  EXPECT_EQ(panel()->btnGroups()->currentText(), QStringLiteral("TextEdit"));
  panel()->btnFormat()->setCurrentIndex(0);
  create();
  EXPECT_EQ(groupOf(newest()), made);
  EXPECT_EQ(newest()->plainText, QStringLiteral("for textedit"));
  EXPECT_TRUE(clipboardBack());

  // A group named like the application is reused, its rule untouched.
  desktop.addApplication(QStringLiteral("Mail"));
  desktop.switchTo(QStringLiteral("Mail"));
  desktop.focusedField()->setText(QStringLiteral("to mail"));
  desktop.focusedField()->select(0, 7);
  controller->settings()->getGroupByName(QStringLiteral("Personal"))->name = QStringLiteral("Mail");
  const qsizetype groups = controller->settings()->groups.size();
  EXPECT_TRUE(desktop.pressHotKey(kApplicationKey, kChord));
  ASSERT_TRUE(waitForPanel());
  EXPECT_EQ(controller->settings()->groups.size(), groups);
  EXPECT_EQ(panel()->btnGroups()->currentText(), QStringLiteral("Mail"));
  create();
  EXPECT_EQ(groupOf(newest())->name, QStringLiteral("Mail"));
  EXPECT_EQ(groupOf(newest())->exceptionType, int(QLGroup::FollowPreferences));
  EXPECT_TRUE(clipboardBack());
}

TEST_F(NewSnippetTest, AGroupRenamedIsAskedForAgainReopenAndQuitGiveTheClipboardBackAndTheProgramInFrontOpensNothing) {
  startLibrary();
  selectInEditor(QStringLiteral("keep me"), false);
  EXPECT_TRUE(desktop.pressHotKey(kSelectionKey, kChord));
  ASSERT_TRUE(waitForPanel());
  choose(1, 0);
  controller->settings()->groups[1]->name = QStringLiteral("Home");
  const qsizetype before = snippetCount();
  create();
  // Not silently dropped: the window stays, with the groups as they are now.
  EXPECT_TRUE(panelShown());
  EXPECT_EQ(snippetCount(), before);
  EXPECT_TRUE(panel()->notice().contains(QStringLiteral("renamed or removed")));
  EXPECT_EQ(panel()->btnGroups()->itemText(1), QStringLiteral("Home"));
  choose(1, 0);
  create();
  EXPECT_EQ(groupOf(newest())->name, QStringLiteral("Home"));
  EXPECT_EQ(newest()->plainText, QStringLiteral("keep me"));
  EXPECT_TRUE(clipboardBack());

  // Quillet started again hides the window; quitting gives the clipboard
  // back at once.
  desktop.switchTo(QStringLiteral("TextEdit"));
  EXPECT_TRUE(desktop.pressHotKey(kSelectionKey, kChord));
  ASSERT_TRUE(waitForPanel());
  controller->applicationShouldHandleReopen(false);
  EXPECT_FALSE(panelShown());
  EXPECT_EQ(clipboardText(), QStringLiteral("users own"));
  desktop.switchTo(QStringLiteral("TextEdit"));
  EXPECT_TRUE(desktop.pressHotKey(kSelectionKey, kChord));
  ASSERT_TRUE(waitForPanel());
  create();
  EXPECT_NE(clipboardText(), QStringLiteral("users own"));
  controller->applicationWillTerminate();
  EXPECT_EQ(clipboardText(), QStringLiteral("users own"));

  // The program in front: none of the four hot keys opens the window.
  controller->window->show();
  desktop.switchTo(SimDesktop::kProgramName);
  for (quint16 key : {kNewKey, kSelectionKey, kClipboardKey, kApplicationKey})
    EXPECT_TRUE(desktop.pressHotKey(key, kChord));
  spin(700);
  EXPECT_FALSE(panelShown());
  EXPECT_EQ(controller->settings()->getGroupByName(SimDesktop::kProgramName), nullptr);
}

}  // namespace
