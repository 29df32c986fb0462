// The suggestion list and the search window of the running program, under
// openbox and under xfwm4 (which prevents focus stealing), with xterm
// running `cat > FILE`, and in a GTK entry read through AT-SPI.
#include "platform/x11/x11_accessibility.h"
#include "platform/x11/x11_workspace.h"
#include "e2e_quillet.h"

#include <QFileInfo>

namespace ql::test {
namespace {

// The top-level window holding the keyboard focus.
QByteArray focusWindow() {
  return run(QStringLiteral("xdotool"), {"getwindowfocus"}).value_or(QByteArray()).trimmed();
}

bool hasKeyboard(unsigned long window) {
  return isActive(window) && focusWindow() == QByteArray::number(qulonglong(window));
}

class PopupE2E : public E2ETest, public testing::WithParamInterface<const char*> {
 protected:
  PopupE2E() { windowManager = QString::fromLatin1(GetParam()); }
};

// The terminal keeps the keyboard while the list is up and never sees the
// keys meant for it; every way of closing gives those keys back. The search
// window takes the keyboard and gives it back before pasting.
TEST_P(PopupE2E, TheListAndTheSearchWindowGiveTheTerminalItsKeysBack) {
  openTerminal();
  startQuillet(1, {{"dup", "one"}, {"dup", "two"}}, {QStringLiteral("space")},
               hotKey(QStringLiteral("searchSnippetHotKey"), QStringLiteral("f"), keys::F));
  const unsigned long window = terminal->window();
  ASSERT_TRUE(activateWindow(window));

  ASSERT_TRUE(typeText(QStringLiteral("a dup ")));
  ASSERT_TRUE(waitShown(true));
  EXPECT_TRUE(hasKeyboard(window));
  ASSERT_TRUE(pressKeys({QStringLiteral("Down"), QStringLiteral("Return")}));
  ASSERT_TRUE(quillet->waitForExpansions(1));
  ASSERT_TRUE(waitShown(false));
  QByteArray expected = "a two \n";
  ASSERT_TRUE(endLine(expected));

  struct Close {
    const char* name;
    QStringList xdotool;
    QByteArray line;  // what the terminal has once Return follows
  };
  const QList<Close> closings = {
      {"escape", {"key", "Escape"}, "b dup\n"},
      // A Ctrl shortcut reaches the terminal (a bell in cat's line).
      {"ctrl shortcut", {"key", "ctrl+g"}, "c dup\x07\n"},
      {"click elsewhere", {"mousemove", "1270", "1014", "click", "1"}, "d dup\n"},
  };
  char prefix = 'b';
  for (const Close& c : closings) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(typeText(QString(QLatin1Char(prefix++)) + QStringLiteral(" dup ")));
    ASSERT_TRUE(waitShown(true));
    EXPECT_TRUE(hasKeyboard(window));
    ASSERT_TRUE(run(QStringLiteral("xdotool"), c.xdotool));
    ASSERT_TRUE(waitShown(false));
    if (!hasKeyboard(window)) {
      ASSERT_TRUE(activateWindow(window));
    }
    expected += c.line;
    EXPECT_TRUE(endLine(expected));
  }
  EXPECT_EQ(quillet->expansions(), 1);

  // The search window takes the keyboard, and the terminal has it back
  // before the choice is pasted there.
  SCOPED_TRACE("search window");
  ASSERT_TRUE(typeText(QStringLiteral("x ")));
  ASSERT_TRUE(pressKeys({QStringLiteral("ctrl+alt+f")}));
  ASSERT_TRUE(waitUntil([&] {
    const QByteArray search = shownSince(own);
    return !search.isEmpty() && hasKeyboard(search.toULong());
  }));
  ASSERT_TRUE(typeText(QStringLiteral("two")));
  ASSERT_TRUE(pressKeys({QStringLiteral("Down"), QStringLiteral("Return")}));
  ASSERT_TRUE(waitUntil([&] { return hasKeyboard(window); }));
  ASSERT_TRUE(quillet->waitForExpansions(2));
  EXPECT_TRUE(endLine(expected + "x two\n"));
}

INSTANTIATE_TEST_SUITE_P(WindowManagers, PopupE2E, testing::Values("openbox", "xfwm4"),
                         [](const testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

// A GTK entry takes part in AT-SPI: the selection's and the caret's
// bounds come from there, and the list opens under the word, not at the
// pointer's or the window's estimate.
class AtSpiE2E : public X11Test {};

TEST_F(AtSpiE2E, SelectionAndCaretBoundsAndTheListUnderTheWordInAGtkEntry) {
  if (!QFileInfo::exists(QStringLiteral("/usr/libexec/at-spi-bus-launcher"))) GTEST_SKIP() << "no AT-SPI";
  SessionBus bus;
  ASSERT_TRUE(bus.isRunning());
  WindowManager wm;
  ASSERT_TRUE(wm.isRunning());
  std::unique_ptr<Client> entry;
  const unsigned long window = openEntry(entry, {});  // "hello quillet world", "quillet" selected
  ASSERT_TRUE(window);
  ASSERT_TRUE(waitUntil([&] { return x->workspace().frontmostApplication().processId == entry->pid(); }, 10000));
  FocusedSelection s;
  ASSERT_TRUE(waitUntil([&] {
    s = x->accessibility().focusedSelection();
    return s.status == FocusedSelection::Status::Ok && s.bounds.width() > 10;
  }, 15000)) << s.bounds.x() << "," << s.bounds.y() << " " << s.bounds.width() << "x" << s.bounds.height();
  EXPECT_EQ(s.text, QStringLiteral("quillet"));
  // The selected word, inside the window, not the whole field.
  EXPECT_GT(s.bounds.x(), 150);
  EXPECT_GT(s.bounds.y(), 150);
  EXPECT_LT(s.bounds.width(), 200);
  EXPECT_GT(s.bounds.height(), 5);
  // The caret, asked without a key posted: at the end of the selected word,
  // with the word's box and its line up to the caret; the pointer far away.
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"mousemove", "1200", "1000"}));
  const CaretPlace caret = x->accessibility().focusedCaret(7);
  EXPECT_TRUE(caret.exact);
  EXPECT_EQ(caret.lineBefore, QStringLiteral("hello quillet"));
  EXPECT_NEAR(caret.bounds.x(), s.bounds.x(), 2);
  EXPECT_NEAR(caret.bounds.width(), s.bounds.width(), 2);
  EXPECT_NEAR(caret.bounds.bottom(), s.bounds.bottom(), 2);
  x.reset();

  QuilletProgram quillet(1, {{"dup", "one"}, {"dup", "two"}});
  ASSERT_TRUE(quillet.start(window));
  const QList<QByteArray> own = visibleWindows(QStringLiteral("[Qq]uillet"));
  const QRect field = geometryOf(window);
  // The accessibility bus answers within a budget; on a loaded machine a
  // first answer may come too late, and the list then opens at the guess.
  QRect popup;
  for (int attempt = 0; attempt < 5; ++attempt) {
    ASSERT_TRUE(pressKeys({QStringLiteral("ctrl+a"), QStringLiteral("BackSpace")}));
    ASSERT_TRUE(typeText(QStringLiteral("dup ")));
    QByteArray list;
    ASSERT_TRUE(waitUntil([&] { return !(list = shownSince(own)).isEmpty(); }));
    popup = geometryOf(list.toULong());
    ASSERT_TRUE(pressKeys({QStringLiteral("Escape")}));
    ASSERT_TRUE(waitUntil([&] { return !visibleWindows(QStringLiteral("[Qq]uillet")).contains(list); }));
    if (popup.left() < field.left() + 60) break;
  }
  // The word starts the field: the list's left edge near the field's, its
  // top just under the text line, inside the window's height.
  EXPECT_LT(popup.left(), field.left() + 60) << popup.left() << " field " << field.left();
  EXPECT_GT(popup.top(), field.top()) << popup.top() << " field " << field.top();
  EXPECT_LT(popup.top(), field.bottom() + 10) << popup.top() << " field " << field.bottom();
}

}  // namespace
}  // namespace ql::test
