// The fill-in window on its form logic, driven through its widgets.
#include "app/fill_in_window_controller.h"
#include "content/text/flat_rtfd.h"
#include "model/ql_snippet.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

struct Answers final : FillInWindowControllerDelegate {
  void fillInOk(FillInWindowController*, int contentLength) override { oks.append(contentLength); }
  void fillInCancel(FillInWindowController*) override { ++cancels; }
  QList<int> oks;
  int cancels = 0;
};

QList<ql::CodeOccurrence> fillsOf(const QString& text) {
  QList<ql::CodeOccurrence> fills;
  for (qsizetype at = text.indexOf(QStringLiteral("{fill:")); at >= 0;
       at = text.indexOf(QStringLiteral("{fill:"), at + 1)) {
    const qsizetype end = text.indexOf(QLatin1Char('}'), at);
    fills.append({text.mid(at, end - at + 1), int(at), int(end - at + 1)});
  }
  return fills;
}

class FillInWindowTest : public testing::Test {
 protected:
  void open(const QString& text, const QList<ql::CodeOccurrence>& keys = {}) {
    window.delegate = &answers;
    window.form.data = ql::SnippetContent::fromText(text);
    window.form.keys = keys;
    window.form.fills = fillsOf(text);
    window.form.delimiter = QStringLiteral("49");
    window.show();
    window.resetView();
  }
  QString preview() const { return window.snippetTextView()->toPlainText(); }

  Answers answers;
  FillInWindowController window;
};

}  // namespace

// Return and Escape are driven through the controller's typing session.
TEST_F(FillInWindowTest, PreviewFollowsTheEntriesAndKeypadEnterOrTheButtonConfirm) {
  open(QStringLiteral("Dear {fill:name}, from {fill:town}."));
  QLineEdit* name = window.fields()[0];
  QTest::keyClicks(name, QStringLiteral("Ann"));
  EXPECT_EQ(preview(), QStringLiteral("Dear Ann, from town.")) << preview().toStdString();
  QLineEdit* town = window.fields()[1];
  town->setFocus();
  town->selectAll();
  QTest::keyClick(town, Qt::Key_Delete);
  EXPECT_EQ(preview(), QStringLiteral("Dear Ann, from {fill:town}.")) << preview().toStdString();
  EXPECT_TRUE(answers.oks.isEmpty());

  QTest::keyClick(town, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(answers.oks, QList<int>{int(QStringLiteral("Dear Ann, from .").size())});
  EXPECT_EQ(window.form.data.text, QStringLiteral("Dear Ann, from ."));
  open(QStringLiteral("{fill:x}"));
  window.okButton()->click();
  EXPECT_EQ(answers.oks.size(), 2);
  EXPECT_EQ(window.form.data.text, QStringLiteral("x"));  // the untouched name goes in
}
