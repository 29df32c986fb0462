// The snippet editor: content goes through the text view and back without
// loss, edits are reported once when finished, and the insert menu places
// its codes as the user expects.
#include "content/text/flat_rtfd.h"
#include "support/test_files.h"
#include "ui/content_text_view.h"
#include "ui/custom_button.h"
#include "ui/snippet_view_controller.h"
#include "ui/text_document_bridge.h"
#include "ui_library.h"

#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QFontMetricsF>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTest>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

struct Reports final : SnippetViewControllerDelegate {
  int finished = 0;
  void SnippetViewControllerDidFinish(SnippetViewController*) override { ++finished; }
};

QByteArray pngBytes() { return uitest::imageBytes(8, 6, "PNG"); }

// Bold, italic, a colour, an image, a tab stop, a link, over two paragraphs.
ql::AttributedText richSample() {
  ql::TextAttributes base;
  base.fontFamily = "Helvetica";
  base.pointSize = 13;
  base.tabStops = {720, 1440};
  ql::AttributedText t("Hello ", base);
  ql::TextAttributes bold = base;
  bold.bold = true;
  t.append("bold", bold);
  ql::TextAttributes italic = base;
  italic.italic = true;
  italic.foreground = ql::TextColor{200, 10, 30};
  t.append("\titalic red", italic);
  t.append(ql::AttributedText::attachment({"dot.png", pngBytes()}, base));
  ql::TextAttributes centered = base;
  centered.alignment = ql::TextAlignment::Center;
  t.append("\n", base);
  ql::TextAttributes link = centered;
  link.link = "https://example.org/a?b=c";
  link.underline = true;
  t.append("a link", link);
  t.append(" end", centered);
  return t;
}

class SnippetEditorTest : public testing::Test {
 protected:
  void SetUp() override {
    preferences.formattedSnippetFont = QLPreferences::fontDictionary("Helvetica", 13);
    editor.preferences = &preferences;
    editor.delegate = &reports;
    editor.showError = [this](const QString& m, const QString& d) { errors << m + "|" + d; };
    snippet = std::make_shared<QLSnippet>();
  }

  ContentTextView* content() { return uitest::contentOf(&editor); }
  // The editor shown on "x", active.
  void showOnX(QPoint at = {}) {
    snippet->plainText = "x";
    editor.setSnippet(snippet);
    editor.resize(600, 400);
    editor.move(at);
    editor.show();
    editor.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
  }
  void typeAtEnd(const QString& text) {
    QTextCursor c = content()->textCursor();
    c.movePosition(QTextCursor::End);
    content()->setTextCursor(c);
    QTest::keyClicks(content(), text);
  }

  QLPreferences preferences;
  Reports reports;
  SnippetViewController editor;
  SnippetPtr snippet;
  QStringList errors;
};

TEST(TextDocumentBridge, PlainContentSurvivesTheTextView) {
  QTextDocument doc;
  // Every kind of line break, a no-break space, control characters,
  // right-to-left text and characters outside the BMP stay as they were.
  const QString plain = QString::fromUtf8(
      "a\r\nb\rc\u2029d\ne\u00a0f\u0001\u0007\u200f"
      "\u05e9\u05dc\u05d5\u05dd \xf0\x9f\x98\x80\u2028g\n");
  ql::writePlainToDocument(plain, &doc);
  EXPECT_EQ(ql::readPlainFromDocument(&doc), plain);
  ql::writeToDocument(ql::AttributedText(plain), &doc);
  EXPECT_EQ(ql::readFromDocument(&doc).string(), plain);
}

TEST_F(SnippetEditorTest, FormattedSnippetEditedSavedAndReloadedKeepsItsFormatting) {
  snippet->snippetType = QLSnippet::Formatted;
  snippet->formattedText = ql::writeFlatRtfd(richSample());
  editor.setSnippet(snippet);
  // Loading is not an edit.
  editor.finishEditing();
  EXPECT_EQ(reports.finished, 0);

  typeAtEnd("!");
  editor.finishEditing();
  EXPECT_EQ(reports.finished, 1);
  EXPECT_TRUE(snippet->plainText.isEmpty());

  ql::AttributedText expected = richSample();
  expected.replace(expected.length(), 0, "!");
  const auto stored = ql::readFlatRtfd(snippet->formattedText);
  ASSERT_TRUE(stored);
  EXPECT_EQ(*stored, expected);
  EXPECT_TRUE(snippet->searchableText().endsWith("a link end!"));

  // Reloaded into the editor, it reads back the same.
  editor.setSnippet(snippet);
  EXPECT_EQ(ql::readFromDocument(content()->document()), expected);
}

TEST_F(SnippetEditorTest, EditsAreReportedOnceWhenFinishedAndNeverLost) {
  snippet->plainText = "abc";
  editor.setSnippet(snippet);
  editor.findChild<QLineEdit*>("label")->setFocus();
  QTest::keyClicks(editor.findChild<QLineEdit*>("label"), "Sig");
  EXPECT_EQ(snippet->label, "Sig");  // in the record at once
  EXPECT_EQ(reports.finished, 0);    // but not reported per keystroke
  typeAtEnd("de");
  EXPECT_EQ(reports.finished, 0);
  // Switching to another snippet finishes the edit and keeps the text.
  editor.setSnippet(std::make_shared<QLSnippet>());
  EXPECT_EQ(reports.finished, 1);
  EXPECT_EQ(snippet->plainText, "abcde");
  EXPECT_TRUE(snippet->formattedText.isEmpty());
  // Nothing changed since: nothing to report.
  editor.finishEditing();
  EXPECT_EQ(reports.finished, 1);
}

TEST_F(SnippetEditorTest, SwitchingTheContentTypeConvertsTheText) {
  snippet->snippetType = QLSnippet::Formatted;
  snippet->formattedText = ql::writeFlatRtfd(richSample());
  editor.setSnippet(snippet);
  editor.actionSnippetType(0);
  EXPECT_EQ(snippet->snippetType, QLSnippet::Plain);
  EXPECT_EQ(snippet->plainText, "Hello bold\titalic red\na link end");
  EXPECT_TRUE(snippet->formattedText.isEmpty());
  EXPECT_FALSE(editor.findChild<QToolButton*>("formatMenuButon")->isEnabled());

  editor.actionSnippetType(1);
  const auto stored = ql::readFlatRtfd(snippet->formattedText);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->string(), "Hello bold\titalic red\na link end");
  // One run: the preferences' font over the whole text.
  EXPECT_EQ(stored->runs().size(), 1u);
  EXPECT_EQ(stored->attributesAt(0).fontFamily, "Helvetica");
  EXPECT_EQ(stored->attributesAt(0).pointSize, 13);
  EXPECT_EQ(reports.finished, 2);
}

TEST_F(SnippetEditorTest, InsertMenuPlacesCodes) {
  snippet->plainText = "Hello %| world";
  editor.setSnippet(snippet);
  editor.insertMenuHandler("%cursor:atend");
  editor.finishEditing();
  EXPECT_EQ(snippet->plainText, "Hello  world%|");
  editor.insertMenuHandler("%cursor:atbegin");
  editor.finishEditing();
  EXPECT_EQ(snippet->plainText, "%|Hello  world");

  editor.insertMenuHandler("{fill:field}");
  EXPECT_EQ(content()->textCursor().selectedText(), "field");
  QTest::keyClicks(content(), "name");
  editor.finishEditing();
  EXPECT_EQ(snippet->plainText, "%|{fill:name}Hello  world");
}

TEST_F(SnippetEditorTest, RestingOnASubmenuButtonOpensItsMenu) {
  showOnX();
  const QList<CustomButton*> buttons = editor.submenuButtons();
  ASSERT_EQ(buttons.size(), 4);
  auto enter = [](CustomButton* b) {
    QEnterEvent e(QPointF(4, 4), QPointF(4, 4), b->mapToGlobal(QPointF(4, 4)));
    QCoreApplication::sendEvent(b, &e);
  };
  auto leave = [](CustomButton* b) {
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(b, &e);
  };
  auto openMenu = [] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); };

  // Passing over a button opens nothing.
  enter(buttons[2]);
  leave(buttons[2]);
  EXPECT_FALSE(buttons[2]->popupTimer()->isActive());

  // Resting on Time opens the Time entries, with the button focused; the
  // other buttons stand still until the menu closes.
  enter(buttons[1]);
  EXPECT_FALSE(openMenu());
  ASSERT_TRUE(QTest::qWaitFor([&] { return openMenu() != nullptr; }, 5000));
  EXPECT_EQ(openMenu()->title(), "Time");
  EXPECT_TRUE(openMenu()->actions().first()->text().startsWith("Hour"));
  EXPECT_TRUE(buttons[1]->hasFocus());
  enter(buttons[3]);
  EXPECT_FALSE(buttons[3]->popupTimer()->isActive());
  openMenu()->hide();
  for (CustomButton* b : buttons) EXPECT_TRUE(b->hasTrackingArea());

  // Only while the window is active.
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  enter(buttons[0]);
  EXPECT_FALSE(buttons[0]->popupTimer()->isActive());
}

// On a real X server the pointer's return after a menu's grab looks like a
// new visit; run by CTest under xvfb-run.
TEST_F(SnippetEditorTest, X11AMenuClosedWhileThePointerRestsStaysClosed) {
  if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X server";
  showOnX({40, 40});
  CustomButton* time = editor.submenuButtons()[1];
  auto openMenu = [] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); };
  const QPoint onTime = time->mapToGlobal(time->rect().center());

  QCursor::setPos(onTime);
  ASSERT_TRUE(QTest::qWaitFor([&] { return openMenu() != nullptr; }, 5000));
  EXPECT_EQ(openMenu()->title(), "Time");
  QTest::keyClick(openMenu(), Qt::Key_Escape);
  ASSERT_TRUE(QTest::qWaitFor([&] { return openMenu() == nullptr; }, 2000));
  // The pointer rests: twice the hover delay and more goes by without a menu.
  EXPECT_FALSE(QTest::qWaitFor([&] { return openMenu() != nullptr; }, 3 * CustomButton::kHoverDelayMs));
  EXPECT_TRUE(time->isWaitingForLeave());
  QTest::mouseClick(time, Qt::LeftButton);  // a click opens it, and types nothing
  ASSERT_TRUE(QTest::qWaitFor([&] { return openMenu() != nullptr; }, 2000));
  QTest::keyClick(openMenu(), Qt::Key_Escape);
  ASSERT_TRUE(QTest::qWaitFor([&] { return openMenu() == nullptr; }, 2000));
  EXPECT_EQ(content()->toPlainText(), "x");

  // Leaving and coming back is a new visit.
  QCursor::setPos(editor.mapToGlobal(QPoint(300, 300)));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !time->isWaitingForLeave(); }, 2000));
  QCursor::setPos(onTime);
  ASSERT_TRUE(QTest::qWaitFor([&] { return openMenu() != nullptr; }, 5000));
  openMenu()->hide();
}

TEST_F(SnippetEditorTest, TabsFollowTheUsersTabWidthAndUnitsAsInTheFillInForm) {
  QSettings defaults;
  defaults.setValue("TabWidth", 8);
  defaults.setValue("AppleMeasurementUnits", "Centimeters");
  preferences.plainSnippetFont = QLPreferences::fontDictionary("DejaVu Sans Mono", 10);
  snippet->plainText = "a\tb";
  editor.setSnippet(snippet);
  const QFontMetricsF mono(content()->document()->defaultFont());
  EXPECT_DOUBLE_EQ(content()->tabStopDistance(), 8 * mono.horizontalAdvance(' '));
  // Formatted: a stop every centimetre, and text made formatted gets them.
  editor.actionSnippetType(1);
  EXPECT_NEAR(content()->tabStopDistance(), 567 / 15.0, 1e-9);
  editor.finishEditing();
  const ql::AttributedText converted = ql::readFlatRtfd(snippet->formattedText).value_or(ql::AttributedText());
  ASSERT_GT(converted.length(), 0);
  EXPECT_EQ(converted.attributesAt(0).tabStops.first(), 567);
  EXPECT_EQ(converted.attributesAt(0).tabStops.size(), 12);
  defaults.remove("TabWidth");
  defaults.remove("AppleMeasurementUnits");
}

TEST_F(SnippetEditorTest, ImagesGoIntoFormattedContentAndFailuresAreReported) {
  snippet->snippetType = QLSnippet::Formatted;
  editor.setSnippet(snippet);
  QTemporaryDir dir;
  const QString good = dir.filePath("dot.png");
  ASSERT_TRUE(test::writeFile(good, pngBytes()));
  EXPECT_EQ(editor.attachFiles({good}), 1);
  editor.finishEditing();
  const auto stored = ql::readFlatRtfd(snippet->formattedText);
  ASSERT_TRUE(stored);
  ASSERT_TRUE(stored->attributesAt(0).attachment);
  EXPECT_EQ(stored->attributesAt(0).attachment->contents, pngBytes());

  EXPECT_EQ(editor.attachFiles({dir.filePath("missing.png")}), 0);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].startsWith("The file \"missing.png\" could not be inserted"));
  EXPECT_EQ(editor.attachFiles({dir.filePath("a.png"), dir.filePath("b.png")}), 0);
  EXPECT_TRUE(errors.value(1).startsWith("None of the images could be inserted.|"));
}

TEST_F(SnippetEditorTest, TabLeavesTheContentAndCtrlTabTypesATab) {
  showOnX();
  content()->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return content()->hasFocus(); }));
  QTest::keyClick(content(), Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_TRUE(content()->hasFocus());
  QTest::keyClick(content(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_FALSE(content()->hasFocus());
  // Leaving the content after a change is a finished edit.
  EXPECT_EQ(reports.finished, 1);
  EXPECT_EQ(snippet->plainText, "\tx");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_TRUE(content()->hasFocus());
  EXPECT_EQ(snippet->plainText, "\tx");
}

TEST_F(SnippetEditorTest, UnreadableFormattedContentIsLeftAlone) {
  snippet->snippetType = QLSnippet::Formatted;
  snippet->formattedText = "not a flat rtfd";
  editor.setSnippet(snippet);
  EXPECT_TRUE(content()->isReadOnly());
  editor.actionSnippetType(0);
  editor.finishEditing();
  EXPECT_EQ(snippet->formattedText, "not a flat rtfd");
  EXPECT_EQ(snippet->snippetType, QLSnippet::Formatted);
}

}  // namespace
