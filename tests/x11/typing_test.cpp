#include "platform/keys.h"
#include "platform/pasteboard_types.h"
#include "platform/x11/x11_input_synthesiser.h"
#include "platform/x11/x11_key_source.h"
#include "platform/x11/x11_pasteboard.h"
#include "platform/x11/x11_workspace.h"
#include "platform/x11/xtest_keyboard.h"
#include "x11_fixture.h"

#include <QThread>

namespace ql {
namespace {

using test::CatTerminal;
using test::waitUntil;

// Typing into a real terminal through the synthesiser and the paste chord.
class TypingTest : public test::X11Test {
 protected:
  void SetUp() override {
    X11Test::SetUp();
    wm = std::make_unique<test::WindowManager>();
    ASSERT_TRUE(wm->isRunning());
  }
  void TearDown() override {
    wm.reset();
    X11Test::TearDown();
  }

  void startTerminal() {
    terminal = std::make_unique<CatTerminal>();
    ASSERT_TRUE(terminal->waitReady());
    ASSERT_TRUE(waitUntil([&] {
      return x->workspace().frontmostApplication().name == QLatin1String("XTerm");
    })) << "front: " << x->workspace().frontmostApplication().name.toStdString();
  }

  void tap(quint16 key, quint64 flags = 0) {
    x->input().postKey(key, flags, true);
    x->input().postKey(key, flags, false);
  }

  std::unique_ptr<test::WindowManager> wm;
  std::unique_ptr<CatTerminal> terminal;
};

// The handler answers late on purpose, so the keys after the consumed one
// have surely reached the terminal before it erases.
TEST_F(TypingTest, ErasesConsumedPressesAndReplaysHeldTypingInOrder) {
  startTerminal();
  // First the program's own typing: characters the layout lacks go through a spare key.
  const QByteArray own = "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80Z\n";
  ASSERT_TRUE(x->keyboard().typeText(QStringLiteral("a\u00e9\u20ac\U0001F600Z\n")));
  ASSERT_TRUE(terminal->waitForContents(own)) << terminal->contents().toStdString();
  auto& source = x->keySource();
  ASSERT_TRUE(source.start());
  source.setEnabled(true);
  QString reported;
  QList<bool> erased;
  source.setKeyDownHandler([&](const KeyEvent& e) {
    reported += e.characters;
    if (e.characters != QLatin1String(".")) return false;
    QThread::msleep(150);
    erased.append(source.eraseDeliveredKey());
    return erased.last();
  });
  ASSERT_TRUE(test::run(QStringLiteral("xdotool"), {"type", "--delay", "10", "ab.cD e"}));
  ASSERT_TRUE(waitUntil([&] { return reported.size() == 7; }));
  tap(keys::Return);
  EXPECT_TRUE(terminal->waitForContents(own + "abcD e\n")) << terminal->contents().toStdString();
  EXPECT_EQ(reported, QStringLiteral("ab.cD e"));

  // A Return that already went through cannot be taken back: the press stays.
  ASSERT_TRUE(test::run(QStringLiteral("xdotool"), {"type", "--delay", "10", "x.\ny"}));
  ASSERT_TRUE(waitUntil([&] { return reported.size() == 11; }));
  tap(keys::Return);
  EXPECT_TRUE(terminal->waitForContents(own + "abcD e\nx.\ny\n")) << terminal->contents().toStdString();
  EXPECT_EQ(erased, (QList<bool>{true, false}));

  // Held typing arrives after the program's own input, in order.
  const QByteArray before = terminal->contents();
  reported.clear();
  source.setKeyDownHandler([&](const KeyEvent& e) {
    reported += e.characters;
    return e.characters == QLatin1String("q");  // consumed: never typed
  });
  source.setHoldingInput(true);
  ASSERT_TRUE(test::run(QStringLiteral("xdotool"), {"type", "--delay", "5", "xqYz"}));
  // Wait until the hold has caught the presses and releases, Shift's too.
  ASSERT_TRUE(waitUntil([&] { return source.heldKeyEvents() == 10; }));
  x->keyboard().typeText(QStringLiteral("OWN"));
  ASSERT_TRUE(waitUntil([&] { return terminal->contents() == before; }));
  EXPECT_TRUE(reported.isEmpty());
  source.setHoldingInput(false);
  tap(keys::Return);  // own input after the hold: after the replay too
  EXPECT_TRUE(terminal->waitForContents(before + "OWNxYz\n")) << terminal->contents().toStdString();
  EXPECT_EQ(reported, QStringLiteral("xqYz"));
}

TEST_F(TypingTest, WaitsForTheUserToReleaseModifiers) {
  EXPECT_EQ(x->input().heldModifiers(), 0u);
  EXPECT_TRUE(x->input().waitForModifiersReleased(0));
  test::Client user(QStringLiteral("xdotool"),
                    {"keydown", "ctrl", "keydown", "alt", "sleep", "0.3", "keyup", "alt", "keyup", "ctrl"});
  ASSERT_TRUE(waitUntil([&] { return x->input().heldModifiers() == (mods::Command | mods::Option); }));
  EXPECT_FALSE(x->input().waitForModifiersReleased(20));
  EXPECT_TRUE(x->input().waitForModifiersReleased(3000));
  EXPECT_EQ(x->input().heldModifiers(), 0u);
}

}  // namespace
}  // namespace ql
