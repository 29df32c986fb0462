// The suggestion list and the search window of the running program, under
// openbox and under xfwm4 (which prevents focus stealing), with xterm
// running `cat > FILE`, and in a GTK entry read through AT-SPI. (A choice in
// FeatherPad is checked with the new-snippet window's editor.)
#include "e2e_quillet.h"
#include "x11_fixture.h"

#include <QFileInfo>
#include <QRect>
#include <QStandardPaths>

namespace ql {
namespace {

using test::activeWindow;
using test::CatTerminal;
using test::Client;
using test::QuilletProgram;
using test::pressKeys;
using test::run;
using test::typeText;
using test::visibleWindows;
using test::waitUntil;

// Ctrl+Alt+F opens the search window.
const QString kSearchHotKey = QStringLiteral(
    "<key>searchSnippetHotKey</key><dict><key>characters</key><string>f</string>"
    "<key>keyCode</key><integer>3</integer><key>modifierFlags</key><integer>1572864</integer></dict>");

// A window of Quillet's shown since own were: the list or the search window.
QByteArray shownSince(const QList<QByteArray>& own) {
  for (const QByteArray& id : visibleWindows(QStringLiteral("[Qq]uillet")))
    if (!own.contains(id)) return id;
  return {};
}

// The top-level window holding the keyboard focus.
QByteArray focusWindow() {
  return run(QStringLiteral("xdotool"), {"getwindowfocus"}).value_or(QByteArray()).trimmed();
}

QRect geometryOf(const QByteArray& window) {
  QRect r;
  const QByteArray shell =
      run(QStringLiteral("xdotool"), {"getwindowgeometry", "--shell", QString::fromLatin1(window)})
          .value_or(QByteArray());
  for (const QByteArray& line : shell.split('\n')) {
    const int value = line.mid(line.indexOf('=') + 1).toInt();
    if (line.startsWith("X=")) r.moveLeft(value);
    if (line.startsWith("Y=")) r.moveTop(value);
    if (line.startsWith("WIDTH=")) r.setWidth(value);
    if (line.startsWith("HEIGHT=")) r.setHeight(value);
  }
  return r;
}

bool hasKeyboard(unsigned long window) {
  const QByteArray id = QByteArray::number(qulonglong(window));
  return activeWindow() == id && focusWindow() == id;
}

class PopupE2E : public testing::TestWithParam<const char*> {};

// The terminal keeps the keyboard while the list is up and never sees the
// keys meant for it; every way of closing gives those keys back. The search
// window takes the keyboard and gives it back before pasting.
TEST_P(PopupE2E, TheListAndTheSearchWindowGiveTheTerminalItsKeysBack) {
  if (QStandardPaths::findExecutable(QString::fromLatin1(GetParam())).isEmpty())
    GTEST_SKIP() << GetParam() << " is not installed";
  test::WindowManager wm(QString::fromLatin1(GetParam()));
  ASSERT_TRUE(wm.isRunning());
  CatTerminal terminal;
  ASSERT_TRUE(terminal.waitReady());
  auto quillet = std::make_unique<QuilletProgram>(1, QList<test::E2ESnippet>{{"dup", "one"}, {"dup", "two"}},
                                                  QStringList{QStringLiteral("space")}, kSearchHotKey);
  ASSERT_TRUE(quillet->start(terminal.window()));
  ASSERT_TRUE(test::activateWindow(terminal.window()));
  const QList<QByteArray> ownWindows = visibleWindows(QStringLiteral("[Qq]uillet"));
  auto waitShown = [&](bool expected) {
    return waitUntil([&] { return shownSince(ownWindows).isEmpty() != expected; });
  };

  ASSERT_TRUE(typeText(QStringLiteral("a dup ")));
  ASSERT_TRUE(waitShown(true));
  EXPECT_TRUE(hasKeyboard(terminal.window()));
  ASSERT_TRUE(pressKeys({QStringLiteral("Down"), QStringLiteral("Return")}));
  ASSERT_TRUE(quillet->waitForExpansions(1));
  ASSERT_TRUE(waitShown(false));
  ASSERT_TRUE(pressKeys({QStringLiteral("Return")}));
  QByteArray expected = "a two \n";
  ASSERT_TRUE(terminal.waitForContents(expected)) << terminal.contents().toHex(' ').toStdString();

  struct Close {
    const char* name;
    std::function<bool()> act;
    QByteArray line;  // what the terminal has once Return follows
  };
  const QList<Close> closings = {
      {"escape", [] { return pressKeys({QStringLiteral("Escape")}); }, "b dup\n"},
      // A Ctrl shortcut reaches the terminal (a bell in cat's line).
      {"ctrl shortcut", [] { return pressKeys({QStringLiteral("ctrl+g")}); }, "c dup\x07\n"},
      {"click elsewhere",
       [] {
         return run(QStringLiteral("xdotool"), {"mousemove", "1270", "1014", "click", "1"}).has_value();
       },
       "d dup\n"},
  };
  char prefix = 'b';
  for (const Close& c : closings) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(typeText(QString(QLatin1Char(prefix++)) + QStringLiteral(" dup ")));
    ASSERT_TRUE(waitShown(true));
    EXPECT_TRUE(hasKeyboard(terminal.window()));
    ASSERT_TRUE(c.act());
    ASSERT_TRUE(waitShown(false));
    if (!hasKeyboard(terminal.window())) {
      ASSERT_TRUE(test::activateWindow(terminal.window()));
    }
    ASSERT_TRUE(pressKeys({QStringLiteral("Return")}));
    expected += c.line;
    EXPECT_TRUE(terminal.waitForContents(expected)) << terminal.contents().toStdString();
  }
  EXPECT_EQ(quillet->expansions(), 1);

  // The search window takes the keyboard, and the terminal has it back
  // before the choice is pasted there.
  SCOPED_TRACE("search window");
  ASSERT_TRUE(typeText(QStringLiteral("x ")));
  ASSERT_TRUE(pressKeys({QStringLiteral("ctrl+alt+f")}));
  QByteArray search;
  ASSERT_TRUE(waitUntil([&] {
    search = shownSince(ownWindows);
    return !search.isEmpty() && activeWindow() == search && focusWindow() == search;
  }));
  ASSERT_TRUE(typeText(QStringLiteral("two")));
  ASSERT_TRUE(pressKeys({QStringLiteral("Down"), QStringLiteral("Return")}));
  ASSERT_TRUE(waitUntil([&] { return hasKeyboard(terminal.window()); }));
  ASSERT_TRUE(quillet->waitForExpansions(2));
  ASSERT_TRUE(pressKeys({QStringLiteral("Return")}));
  expected += "x two\n";
  EXPECT_TRUE(terminal.waitForContents(expected)) << terminal.contents().toStdString();
}

INSTANTIATE_TEST_SUITE_P(WindowManagers, PopupE2E, testing::Values("openbox", "xfwm4"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param);
                         });

// In a GTK entry, which takes part in AT-SPI, the list opens under the word
// and not at the pointer's or the window's estimate.
TEST(PopupAtSpiE2E, TheListOpensUnderTheWordInAGtkEntry) {
  if (!QFileInfo::exists(QStringLiteral("/usr/libexec/at-spi-bus-launcher")))
    GTEST_SKIP() << "no AT-SPI";
  test::SessionBus bus;
  ASSERT_TRUE(bus.isRunning());
  test::WindowManager wm;
  ASSERT_TRUE(wm.isRunning());
  Client entry(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral(QUILLET_X11_TEST_DIR "/gtk_entry.py"), QString()});
  unsigned long window = 0;
  ASSERT_TRUE(waitUntil([&] { return (window = test::visibleWindow("^entry$", "--name")) != 0; }, 10000));
  ASSERT_TRUE(test::activateWindow(window));
  QuilletProgram quillet(1, {{"dup", "one"}, {"dup", "two"}});
  ASSERT_TRUE(quillet.start(window));
  const QList<QByteArray> own = visibleWindows(QStringLiteral("[Qq]uillet"));
  const QRect field = geometryOf(QByteArray::number(qulonglong(window)));
  ASSERT_TRUE(run(QStringLiteral("xdotool"), {"mousemove", "1200", "1000"}));
  // The accessibility bus answers within a budget; on a loaded machine a
  // first answer may come too late, and the list then opens at the guess.
  QRect popup;
  for (int attempt = 0; attempt < 5; ++attempt) {
    ASSERT_TRUE(pressKeys({QStringLiteral("ctrl+a"), QStringLiteral("BackSpace")}));
    ASSERT_TRUE(typeText(QStringLiteral("dup ")));
    QByteArray list;
    ASSERT_TRUE(waitUntil([&] { return !(list = shownSince(own)).isEmpty(); }));
    popup = geometryOf(list);
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
}  // namespace ql
