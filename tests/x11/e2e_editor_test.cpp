// Quillet with a Qt text editor from Debian (FeatherPad): expansions typed
// into it, and "New snippet from selection", whose hot key copies the text
// selected there; the user's own clipboard comes back afterwards.
#include "e2e_quillet.h"

namespace ql::test {
namespace {

class EditorE2E : public E2ETest {
 protected:
  void SetUp() override {
    if (!isInstalled(QStringLiteral("featherpad"))) GTEST_SKIP() << "featherpad is not installed";
    E2ETest::SetUp();
  }
  void openEditor(const QByteArray& contents = {}) {
    editor = std::make_unique<FeatherPad>(contents);
    ASSERT_TRUE(editor->waitReady());
  }
  std::unique_ptr<FeatherPad> editor;
};

TEST_F(EditorE2E, CursorMarkerKeyCodesAndKeysRightBehindAPaste) {
  openEditor();
  settle(500);  // the editor settles its focus after mapping
  startQuillet(1, {{"tg", "<b>%|</b>"}, {"ln", "one{key:enter}two"}, {"sig", "Best regards"},
                   {"adr", "Main{key:tab}St"}});
  ASSERT_TRUE(typeText(QStringLiteral("x tg ")));
  ASSERT_TRUE(quillet->waitForExpansions(1));
  // The caret waits between the tags, in front of the retyped Space.
  ASSERT_TRUE(typeText(QStringLiteral("bold")));
  ASSERT_TRUE(pressKeys({QStringLiteral("End")}));
  ASSERT_TRUE(typeText(QStringLiteral("ln ")));
  ASSERT_TRUE(quillet->waitForExpansions(2));
  settle(300);
  EXPECT_TRUE(editor->saveUntil([](const QByteArray& s) { return s.startsWith("x <b>bold</b> one\ntwo "); }))
      << editor->saved().toStdString();

  // Typed on without waiting, at a fast typist's pace: the held keys come
  // after each expansion, the last ones between the tags; then every
  // delimiter and the next word right behind a paste.
  ASSERT_TRUE(typeText(QStringLiteral(" sig and tg bold"), 12));
  ASSERT_TRUE(quillet->waitForExpansions(4));
  ASSERT_TRUE(pressKeys({QStringLiteral("End")}));
  ASSERT_TRUE(typeText(QStringLiteral("sig adr sig adr sig adr."), 15));
  ASSERT_TRUE(quillet->waitForExpansions(9));
  settle(300);
  // The editor ends the file with a line break when saving.
  EXPECT_TRUE(editor->saveUntil([](const QByteArray& s) {
    return s.startsWith("x <b>bold</b> one\ntwo ") &&
           s.trimmed().endsWith("\n Best regards and <b>bold</b> Best regards Main\tSt Best regards Main\tSt "
                                "Best regards adr.");
  })) << editor->saved().toStdString();
}

TEST_F(EditorE2E, NewSnippetFromTheSelectionTheApplicationTheListAndTheSearchWindowWithTheClipboardGivenBack) {
  const QByteArray mine = "the users own words";
  ownClipboard(mine);
  openEditor("Kind regards from the editor");
  // New snippets (plain) from the selection on Ctrl+Alt+N, from the
  // application on Ctrl+Alt+M; the search window on Ctrl+Alt+F.
  startQuillet(1, {{"dup", "one"}, {"dup", "two"}}, {QStringLiteral("space")},
               hotKey(QStringLiteral("newSnippetFromSelectionHotKey"), QStringLiteral("n"), keys::N) +
                   hotKey(QStringLiteral("newSnippetFromApplicationHotKey"), QStringLiteral("m"), keys::M) +
                   hotKey(QStringLiteral("searchSnippetHotKey"), QStringLiteral("f"), keys::F) +
                   QStringLiteral("<key>snippetFormatType</key><integer>0</integer>"));
  ASSERT_TRUE(waitUntil([&] { return isActive(editor->window()); }, 10000));
  auto library = [&] { return QString::fromUtf8(::test::readFile(quillet->settingsPath())); };
  // "regards from" selected, which the editor publishes as PRIMARY.
  auto select = [] {
    return pressKeys({"ctrl+Home", "ctrl+Right", "ctrl+shift+Right", "ctrl+shift+Right"}) && waitUntil([] {
             return run(QStringLiteral("xclip"), {"-selection", "primary", "-o"}).value_or(QByteArray()).trimmed() ==
                    "regards from";
           });
  };
  // The floating window up in front, with the focus.
  auto panel = [] { return visibleWindow(QStringLiteral("^New Snippet$"), QStringLiteral("--name")); };
  auto panelShown = [&] { return waitUntil([&] { return panel() != 0 && isActive(panel()); }, 10000); };

  ASSERT_TRUE(select());
  ASSERT_TRUE(pressKeys({"ctrl+alt+n"}));
  ASSERT_TRUE(panelShown());
  // The selection is on the clipboard while the window is open.
  EXPECT_EQ(clipboard().value_or(QByteArray()).trimmed(), QByteArray("regards from"));
  ASSERT_TRUE(pressKeys({"Return"}));
  // Made and saved with the selected text, and the clipboard is the user's again.
  EXPECT_TRUE(waitUntil([&] { return library().contains(QStringLiteral("<string>regards from")); }, 10000))
      << library().toStdString();
  EXPECT_EQ(panel(), 0u);
  EXPECT_TRUE(clipboardComesBack(mine));

  // Cancelled: nothing made, the editor in front, the clipboard back.
  ASSERT_TRUE(activateWindow(editor->window()));
  ASSERT_TRUE(pressKeys({"ctrl+End", "ctrl+shift+Left"}));
  ASSERT_TRUE(pressKeys({"ctrl+alt+n"}));
  ASSERT_TRUE(panelShown());
  EXPECT_EQ(clipboard().value_or(QByteArray()).trimmed(), QByteArray("editor"));
  ASSERT_TRUE(pressKeys({"Escape"}));
  EXPECT_TRUE(waitUntil([&] { return isActive(editor->window()); }, 10000));
  EXPECT_TRUE(clipboardComesBack(mine));
  EXPECT_FALSE(library().contains(QStringLiteral("<string>editor</string>")));
  EXPECT_TRUE(quillet->isRunning());

  // From the application: a group for the class its windows carry, the name
  // application rules match at expansion.
  {
    SCOPED_TRACE("from the application");
    ASSERT_TRUE(select());
    ASSERT_TRUE(pressKeys({"ctrl+alt+m"}));
    ASSERT_TRUE(panelShown());
    ASSERT_TRUE(pressKeys({"Return"}));
    static const QRegularExpression group(QStringLiteral(
        R"(<key>name</key>\s*<string>FeatherPad</string>(?:(?!</dict>)[\s\S])*)"
        R"(<key>exceptionType</key>\s*<integer>3</integer>\s*)"
        R"(<key>exceptions</key>\s*<array>\s*<string>FeatherPad</string>\s*</array>)"));
    EXPECT_TRUE(waitUntil([&] { return group.match(library()).hasMatch(); }, 10000)) << library().toStdString();
    EXPECT_TRUE(clipboardComesBack(mine));
  }

  // Chosen from the suggestion list: the snippet replaces the abbreviation.
  SCOPED_TRACE("suggestion list");
  ASSERT_TRUE(activateWindow(editor->window()));
  own = visibleWindows(QStringLiteral("[Qq]uillet"));
  ASSERT_TRUE(pressKeys({"ctrl+a", "BackSpace"}));
  ASSERT_TRUE(typeText(QStringLiteral("x dup ")));
  ASSERT_TRUE(waitShown(true));
  ASSERT_TRUE(pressKeys({"Down", "Return"}));
  ASSERT_TRUE(quillet->waitForExpansions(1));
  EXPECT_TRUE(waitShown(false));
  EXPECT_TRUE(clipboardComesBack(mine));

  // Chosen in the search window: it takes the focus, gives it back to the
  // editor and the choice lands at the caret there.
  {
    SCOPED_TRACE("search window");
    ASSERT_TRUE(pressKeys({"ctrl+alt+f"}));
    ASSERT_TRUE(waitShownActive());
    ASSERT_TRUE(typeText(QStringLiteral("one")));
    ASSERT_TRUE(pressKeys({"Down", "Return"}));
    ASSERT_TRUE(quillet->waitForExpansions(2));
    EXPECT_TRUE(waitUntil([&] { return isActive(editor->window()); }, 10000));
    EXPECT_TRUE(clipboardComesBack(mine));
  }
  EXPECT_TRUE(editor->saveUntil([](const QByteArray& s) {
    return s.trimmed().startsWith("x two") && s.trimmed().endsWith("one");
  })) << editor->saved().toStdString();
}

}  // namespace
}  // namespace ql::test
