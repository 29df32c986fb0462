// Quillet expanding into a Qt text editor from Debian (FeatherPad), which
// saves its buffer to the file it opened.
#include "e2e_quillet.h"
#include "x11_fixture.h"

#include <QStandardPaths>

namespace ql {
namespace {

using test::Client;
using test::QuilletProgram;
using test::pressKeys;
using test::run;
using test::typeText;
using test::waitUntil;

TEST(EditorE2E, CursorMarkerAndKeyCodesInAQtEditor) {
  if (QStandardPaths::findExecutable(QStringLiteral("featherpad")).isEmpty())
    GTEST_SKIP() << "featherpad is not installed";
  test::WindowManager wm;
  ASSERT_TRUE(wm.isRunning());
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("note.txt"));
  ASSERT_TRUE(::test::writeFile(path, {}));
  const QString home = dir.filePath(QStringLiteral("editor-home"));
  Client editor(QStringLiteral("featherpad"), {QStringLiteral("--standalone"), path},
                {"HOME=" + home, "XDG_CONFIG_HOME=" + home + "/.config"});
  QByteArray window;
  ASSERT_TRUE(waitUntil([&] {
    window = run(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--class", "[Ff]eather[Pp]ad"})
                 .value_or(QByteArray())
                 .trimmed();
    return !window.isEmpty();
  }, 15000));
  window = window.split('\n').first();
  ASSERT_TRUE(test::activateWindow(window.toULong()));
  test::settle(500);

  QuilletProgram quillet(
      1, {{"tg", "<b>%|</b>"}, {"ln", "one{key:enter}two"}, {"sig", "Best regards"}});
  ASSERT_TRUE(quillet.start(window.toULong()));
  ASSERT_TRUE(typeText(QStringLiteral("x tg ")));
  ASSERT_TRUE(quillet.waitForExpansions(1));
  // The caret waits between the tags, in front of the retyped Space.
  ASSERT_TRUE(typeText(QStringLiteral("bold")));
  ASSERT_TRUE(pressKeys({QStringLiteral("End")}));
  ASSERT_TRUE(typeText(QStringLiteral("ln ")));
  ASSERT_TRUE(quillet.waitForExpansions(2));
  test::settle(300);
  ASSERT_TRUE(pressKeys({QStringLiteral("ctrl+s")}));

  QByteArray saved;
  EXPECT_TRUE(waitUntil([&] {
    saved = ::test::readFile(path);
    return saved.startsWith("x <b>bold</b> one\ntwo ");
  }, 5000)) << saved.toStdString();

  // Typed on without waiting, at a fast typist's pace: the held keys come
  // after each expansion, the last ones between the tags.
  ASSERT_TRUE(typeText(QStringLiteral(" sig and tg bold"), 12));
  ASSERT_TRUE(quillet.waitForExpansions(4));
  test::settle(300);
  ASSERT_TRUE(pressKeys({QStringLiteral("ctrl+s")}));
  EXPECT_TRUE(waitUntil([&] {
    saved = ::test::readFile(path);
    // The editor ends the file with a line break when saving.
    return saved.startsWith("x <b>bold</b> one\ntwo ") &&
           saved.trimmed().endsWith("\n Best regards and <b>bold</b>");
  }, 5000)) << saved.toStdString();
}

}  // namespace
}  // namespace ql
