// Quillet itself under a headless KWin: a GTK field on native Wayland is
// typed in, the test keyboard reaches Quillet (through QUILLET_INPUT_EVENTS)
// and KWin (through fake input), and wl-paste checks the clipboard from
// outside. Quillet runs as KWin's user: KWin grants fake input only to a
// process whose executable it can read (kwin_session.h).
#include "client_environment.h"
#include "fake_input_test_keyboard.h"
#include "kwin_session.h"
#include "platform/pasteboard.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wayland_pasteboard.h"
#include "support/e2e_library.h"
#include "support/test_files.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

#include <linux/input-event-codes.h>
#include <sys/stat.h>

namespace ql::test {
namespace {

using ::test::LibraryGroup;
using ::test::readFile;

// foot 1.13 dies of a floating-point exception on KWin 5.27's virtual
// output, so the target is the GTK field.
class KwinE2E : public testing::Test {
 protected:
  void SetUp() override {
    QString whyNot;
    if (!kwin.start(&whyNot)) GTEST_SKIP() << "no headless KWin: " << whyNot.toStdString();
    if (QStandardPaths::findExecutable(QStringLiteral("wl-paste")).isEmpty())
      GTEST_SKIP() << "wl-paste is not installed (scripts/packages.txt lists wl-clipboard)";
    ASSERT_TRUE(home.isValid());
    fifo = home.filePath(QStringLiteral("input-events"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // KWin announces fake input once its seat is up.
    QElapsedTimer waited;
    waited.start();
    do {
      keyboard = std::make_unique<FakeInputTestKeyboard>(kwin.asUser(), kwin.environment(), fifo);
      if (keyboard->isValid()) break;
      QThread::msleep(100);
    } while (waited.elapsed() < 10000);
    QString refused;
    ASSERT_TRUE(keyboard->isValid(&refused)) << "KWin gives the test keyboard no fake input: "
                                             << refused.toStdString();
  }

  void TearDown() override {
    keyboard.reset();
    if (quillet) {
      quillet->terminate();
      if (!quillet->waitForFinished(5000)) quillet->kill();
      if (HasFailure()) std::fprintf(stderr, "quillet said:\n%s\n", quillet->readAll().constData());
    }
    if (entry) {
      entry->kill();
      entry->waitForFinished(3000);
    }
  }

  QStringList environment() const { return clientEnvironment(kwin.environment(), home.path()); }
  QProcessEnvironment processEnvironment() const { return clientProcessEnvironment(environment()); }

  // gtk_entry.py's two fields on native Wayland, the first one focused;
  // their texts and the focus are in entryOut, a line each.
  void openEntry() {
    entryOut = home.filePath(QStringLiteral("fields.txt"));
    entry = std::make_unique<QProcess>();
    QProcessEnvironment env = processEnvironment();
    env.insert(QStringLiteral("GDK_BACKEND"), QStringLiteral("wayland"));
    env.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
    entry->setProcessEnvironment(env);
    entry->start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(QUILLET_X11_TEST_DIR "/gtk_entry.py"), QStringLiteral("--two"), entryOut});
    ASSERT_TRUE(entry->waitForStarted(5000));
    ASSERT_TRUE(spinUntil([&] { return readFile(entryOut).endsWith("\nfirst"); }, 30000))
        << "the GTK window did not get the focus";
  }
  // The first field's text once it is `expected` (or what it is then).
  QByteArray entryText(const QByteArray& expected) {
    spinUntil([&] { return readFile(entryOut).startsWith(expected + '\n'); }, 10000);
    const QByteArray all = readFile(entryOut);
    return all.left(all.indexOf('\n'));
  }

  void startQuillet(const QList<LibraryGroup>& groups, const QString& morePreferences = {}) {
    const QString folder = home.filePath(QStringLiteral(".local/share/Orrery Labs/Quillet1"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(::test::writeFile(folder + QStringLiteral("/settings.qlxdoc"),
                                  ::test::libraryFile(1, groups, {QStringLiteral("space")}, morePreferences)));
    statistics = folder + QStringLiteral("/statistics.plist");
    kwin.giveToUser(home.path());
    quillet = std::make_unique<QProcess>();
    QProcessEnvironment env = processEnvironment();
    env.insert(QStringLiteral("QUILLET_PLATFORM"), QStringLiteral("wayland"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QUILLET_INPUT_EVENTS"), fifo);
    env.insert(QStringLiteral("QUILLET_NO_ALERTS"), QStringLiteral("1"));
    quillet->setProcessEnvironment(env);
    quillet->setProcessChannelMode(QProcess::MergedChannels);
    QStringList command = kwin.asUser();
    command << QStringLiteral(QUILLET_PROGRAM);
    quillet->start(command.takeFirst(), command);
    ASSERT_TRUE(quillet->waitForStarted(5000));
    // The statistics file is written once the hook is in place.
    ASSERT_TRUE(spinUntil([&] { return QFile::exists(statistics) || quillet->state() != QProcess::Running; }, 20000));
    ASSERT_EQ(quillet->state(), QProcess::Running) << quillet->readAll().toStdString();
    ASSERT_TRUE(keyboard->openFifo());
  }

  int expansions() const {
    static const QRegularExpression expanded(QStringLiteral("<key>expanded</key>\\s*<integer>(\\d+)</integer>"));
    const auto m = expanded.match(QString::fromUtf8(readFile(statistics)));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
  }

  // `quillet --action NAME` as a KWin hot key runs it: as the user.
  int action(const QString& name) {
    int code = -1;
    QStringList command = kwin.asUser();
    command << QStringLiteral(QUILLET_PROGRAM) << QStringLiteral("--action") << name;
    const QString program = command.takeFirst();
    runSpinning(program, command, environment(), &code);
    return code;
  }

  KwinSession kwin;
  QTemporaryDir home;
  QString fifo, statistics, entryOut;
  std::unique_ptr<FakeInputTestKeyboard> keyboard;
  std::unique_ptr<QProcess> entry;
  std::unique_ptr<QProcess> quillet;
};

TEST_F(KwinE2E, PlainSnippetsExpandAndTypingGoesOn) {
  openEntry();
  startQuillet({{{}, {{"sig", "Best regards"}, {"cm", "(%|)"}}}});
  keyboard->type(QStringLiteral("a sig "));
  ASSERT_TRUE(spinUntil([&] { return expansions() >= 1; })) << readFile(entryOut).toStdString();
  keyboard->type(QStringLiteral("cm "));
  ASSERT_TRUE(spinUntil([&] { return expansions() >= 2; }));
  keyboard->type(QStringLiteral("On"));
  EXPECT_EQ(entryText("a Best regards (On) "), QByteArray("a Best regards (On) "));
  EXPECT_FALSE(quillet->readAll().contains("KWin does not let Quillet type"));
  // A hot key's command turns expansion off.
  EXPECT_EQ(action(QStringLiteral("toggle")), 0);
  keyboard->tap(KEY_END);
  keyboard->type(QStringLiteral(" sig x"));
  EXPECT_EQ(entryText("a Best regards (On)  sig x"), QByteArray("a Best regards (On)  sig x"));
  EXPECT_EQ(expansions(), 2);
}

TEST_F(KwinE2E, FormattedContentIsOfferedAsHtmlAndArrivesAsItsText) {
  const QByteArray rtf = "{\\rtf1\\ansi plain {\\b BOLD} end}";
  const QString formatted = QStringLiteral("<key>snippetType</key><integer>1</integer>"
                                           "<key>formattedText</key><data>%1</data>")
                                .arg(QString::fromLatin1(rtf.toBase64()));
  openEntry();
  // The snippet stays on the clipboard a while, to be looked at.
  startQuillet({{{}, {{"fm", "", 0, formatted}}}}, QStringLiteral("<key>restoreClipboardDelay</key><real>3</real>"));
  keyboard->type(QStringLiteral("a fm "));
  ASSERT_TRUE(spinUntil([&] { return expansions() >= 1; }));
  EXPECT_EQ(entryText("a plain BOLD end "), QByteArray("a plain BOLD end "));
  const QStringList env = environment();
  const std::optional<QByteArray> types = runSpinning(QStringLiteral("wl-paste"), {"--list-types"}, env);
  ASSERT_TRUE(types);
  EXPECT_TRUE(types->contains("text/html")) << types->toStdString();
  const std::optional<QByteArray> html =
      runSpinning(QStringLiteral("wl-paste"), {"--no-newline", "--type", "text/html"}, env);
  ASSERT_TRUE(html);
  EXPECT_TRUE(html->contains("<b>") || html->contains("font-weight")) << html->toStdString();
}

// The user's copy, in three types, is inside the snippet and back on the
// clipboard afterwards, byte for byte.
TEST_F(KwinE2E, ClipboardCodeAndTheUsersClipboardComesBackInEveryType) {
  auto connection = WaylandConnection::open(QFile::encodeName(kwin.socket()));
  ASSERT_TRUE(connection);
  WaylandPasteboard mine(*connection);
  ASSERT_TRUE(mine.isValid()) << "KWin offers no data control";
  const QList<PasteboardItem> items = {
      {QStringLiteral("text/plain;charset=utf-8"), QByteArray("mine")},
      {QStringLiteral("text/html"), QByteArray("<b>mine</b>")},
      {QStringLiteral("application/x-quillet-test"), QByteArray("\x00\x01\xff bytes", 9)},
  };
  ASSERT_TRUE(mine.write(items));
  openEntry();
  startQuillet({{{}, {{"cb", "got {clipboard}!"}}}});
  keyboard->type(QStringLiteral("a cb "));
  ASSERT_TRUE(spinUntil([&] { return expansions() >= 1; }));
  keyboard->type(QStringLiteral("z"));
  EXPECT_EQ(entryText("a got mine! z"), QByteArray("a got mine! z"));
  const QStringList env = environment();
  std::optional<QByteArray> types;
  ASSERT_TRUE(spinUntil(
      [&] {
        types = runSpinning(QStringLiteral("wl-paste"), {"--list-types"}, env);
        return types && types->contains("application/x-quillet-test") && !mine.isOwnedByProgram();
      },
      10000))
      << (types ? types->toStdString() : "wl-paste failed");
  EXPECT_FALSE(types->contains("x-kde-passwordManagerHint"));
  for (const PasteboardItem& item : items) {
    const std::optional<QByteArray> bytes =
        runSpinning(QStringLiteral("wl-paste"), {"--no-newline", "--type", item.type}, env);
    ASSERT_TRUE(bytes) << item.type.toStdString();
    EXPECT_EQ(*bytes, item.data) << item.type.toStdString();
  }
}

TEST_F(KwinE2E, GroupRulesFollowTheApplicationInFront) {
  // KWin names the GTK window by its program; no desktop entry renames it.
  const QString onlyEntry = QStringLiteral(
      "<key>exceptionType</key><integer>3</integer><key>exceptions</key><array><string>gtk_entry.py</string></array>");
  const QString onlyGedit = QStringLiteral(
      "<key>exceptionType</key><integer>3</integer><key>exceptions</key><array><string>Gedit</string></array>");
  openEntry();
  startQuillet({{onlyEntry, {{"sig", "Best regards"}}}, {onlyGedit, {{"tb", "Third"}}}});
  keyboard->type(QStringLiteral("tb sig "));
  ASSERT_TRUE(spinUntil([&] { return expansions() >= 1; }));
  keyboard->type(QStringLiteral("x"));
  EXPECT_EQ(entryText("tb Best regards x"), QByteArray("tb Best regards x"));
  EXPECT_EQ(expansions(), 1);
}

}  // namespace
}  // namespace ql::test
