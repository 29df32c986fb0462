// Quillet itself under a headless sway: foot is the application typed in,
// the test keyboard reaches Quillet (through QUILLET_INPUT_EVENTS) and the
// compositor, and wl-paste checks the clipboard from outside.
#include "client_environment.h"
#include "platform/pasteboard.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wayland_pasteboard.h"
#include "support/e2e_library.h"
#include "support/test_files.h"
#include "sway_session.h"
#include "test_keyboard.h"

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

const QList<LibraryGroup> kLibrary = {
    {{}, {{"sig", "Best regards"}, {"tb", "left{key:tab}right"}, {"zê", "Zukunft"}}}};

class SwayE2E : public testing::Test {
 protected:
  void SetUp() override {
    QString whyNot;
    if (!sway.start(&whyNot)) GTEST_SKIP() << "no headless sway: " << whyNot.toStdString();
    for (const char* program : {"foot", "wl-paste"})
      if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty())
        GTEST_SKIP() << program << " is not installed (scripts/packages.txt lists it)";
    ASSERT_TRUE(home.isValid());
    fifo = home.filePath(QStringLiteral("input-events"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // The socket is there as soon as it is bound, a moment before sway
    // listens on it and has announced every global.
    QElapsedTimer waited;
    waited.start();
    do {
      keyboard = std::make_unique<TestKeyboard>(sway.socket(), fifo);
      if (keyboard->isValid()) break;
      QThread::msleep(50);
    } while (waited.elapsed() < 5000);
    ASSERT_TRUE(keyboard->isValid()) << "the compositor offers no virtual keyboard";
  }

  void TearDown() override {
    if (quillet) {
      quillet->terminate();
      if (!quillet->waitForFinished(5000)) quillet->kill();
      if (HasFailure()) std::fprintf(stderr, "quillet said:\n%s\n", quillet->readAll().constData());
    }
    for (QProcess* client : {foot.get(), entry.get()}) {
      if (!client) continue;
      client->kill();
      client->waitForFinished(3000);
    }
  }

  QStringList environment() const { return clientEnvironment(sway.environment(), home.path()); }
  QProcessEnvironment processEnvironment() const { return clientProcessEnvironment(environment()); }

  // foot running `cat` into a file, in front, with a first line through.
  void openFoot() {
    output = home.filePath(QStringLiteral("typed.txt"));
    foot = std::make_unique<QProcess>();
    foot->setProcessEnvironment(processEnvironment());
    foot->start(QStringLiteral("foot"), {"-a", "foot", "sh", "-c", "exec cat > " + output});
    ASSERT_TRUE(foot->waitForStarted(5000));
    ASSERT_TRUE(spinUntil([&] { return QFile::exists(output); }, 15000)) << "foot did not start cat";
    // The first keys may come before the window has the focus.
    ASSERT_TRUE(spinUntil(
        [&] {
          keyboard->type(QStringLiteral("ready\n"));
          keyboard->sync();
          return spinUntil([&] { return readFile(output).contains("ready\n"); }, 1000);
        },
        15000));
    base = readFile(output).size();
  }

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

  void startQuillet(int extendType = 1, const QList<LibraryGroup>& groups = kLibrary,
                    const QString& morePreferences = {}) {
    const QString folder = home.filePath(QStringLiteral(".local/share/Orrery Labs/Quillet1"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(::test::writeFile(folder + QStringLiteral("/settings.qlxdoc"),
                                  ::test::libraryFile(extendType, groups, {QStringLiteral("space")}, morePreferences)));
    statistics = folder + QStringLiteral("/statistics.plist");
    quillet = std::make_unique<QProcess>();
    QProcessEnvironment env = processEnvironment();
    env.insert(QStringLiteral("QUILLET_PLATFORM"), QStringLiteral("wayland"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QUILLET_INPUT_EVENTS"), fifo);
    env.insert(QStringLiteral("QUILLET_NO_ALERTS"), QStringLiteral("1"));
    quillet->setProcessEnvironment(env);
    quillet->setProcessChannelMode(QProcess::MergedChannels);
    quillet->start(QStringLiteral(QUILLET_PROGRAM), {});
    ASSERT_TRUE(quillet->waitForStarted(5000));
    // The statistics file is written once the hook is in place.
    ASSERT_TRUE(spinUntil([&] { return QFile::exists(statistics) || quillet->state() != QProcess::Running; }, 20000));
    ASSERT_EQ(quillet->state(), QProcess::Running) << quillet->readAll().toStdString();
    ASSERT_TRUE(keyboard->openFifo());
    // The seat's keymap is the test keyboard's again after Quillet's own joined.
    keyboard->tap(KEY_LEFTSHIFT);
    keyboard->sync();
  }

  int expansions() const {
    static const QRegularExpression expanded(QStringLiteral("<key>expanded</key>\\s*<integer>(\\d+)</integer>"));
    const auto m = expanded.match(QString::fromUtf8(readFile(statistics)));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
  }

  // What was typed into foot since it came up, once a line ending in
  // `expected` has come through.
  QByteArray typedUntil(const QByteArray& expected) {
    spinUntil([&] { return readFile(output).mid(base).endsWith(expected); }, 10000);
    return readFile(output).mid(base);
  }

  int action(const QString& name, QByteArray* errors = nullptr) {
    int code = -1;
    QStringList env = environment();
    runSpinning(QStringLiteral(QUILLET_PROGRAM), {"--action", name}, env, &code, errors);
    return code;
  }

  SwaySession sway;
  QTemporaryDir home;
  QString fifo, output, statistics, entryOut;
  qsizetype base = 0;
  QString appFolder() const { return home.filePath(QStringLiteral(".local/share/Orrery Labs/Quillet1")); }

  std::unique_ptr<TestKeyboard> keyboard;
  std::unique_ptr<QProcess> foot;
  std::unique_ptr<QProcess> entry;
  std::unique_ptr<QProcess> quillet;
};

// The BackSpace reaches foot first and erases the delimiter; Quillet takes
// the rest back, and typing goes on after it.
TEST_F(SwayE2E, PlainAndTabSnippetsExpandInFootAndBackSpaceTakesOneBack) {
  openFoot();
  startQuillet();
  keyboard->type(QStringLiteral("x tb "));
  ASSERT_TRUE(spinUntil([&] { return expansions() >= 1; }));
  keyboard->type(QStringLiteral("sig "));
  ASSERT_TRUE(spinUntil([&] { return expansions() >= 2; }));
  keyboard->tap(KEY_BACKSPACE);
  ASSERT_TRUE(spinUntil([&] { return expansions() == 1; }));
  keyboard->type(QStringLiteral("on\n"));
  EXPECT_EQ(typedUntil("on\n"), QByteArray("x left\tright sig on\n"));
}

// A native GTK field: the caret at the cursor marker, typing on there, the
// user's clipboard inside a snippet, and immediate mode.
TEST_F(SwayE2E, CursorMarkerAndClipboardCodeInAGtkField) {
  auto connection = WaylandConnection::open(QFile::encodeName(sway.socket()));
  ASSERT_TRUE(connection);
  WaylandPasteboard mine(*connection);
  ASSERT_TRUE(mine.isValid());
  ASSERT_TRUE(mine.write({{QStringLiteral("text/plain;charset=utf-8"), QByteArray("mine")}}));
  openEntry();
  startQuillet(1, {{{}, {{"cm", "(%|)"}, {"cb", "got {clipboard}!"}}}});
  keyboard->type(QStringLiteral("a cm "));
  ASSERT_TRUE(spinUntil([&] { return expansions() >= 1; }));
  keyboard->type(QStringLiteral("in"));
  EXPECT_EQ(entryText("a (in) "), QByteArray("a (in) "));
  keyboard->tap(KEY_END);
  keyboard->type(QStringLiteral("cb "));
  ASSERT_TRUE(spinUntil([&] { return expansions() >= 2; }));
  keyboard->type(QStringLiteral("z"));
  EXPECT_EQ(entryText("a (in) got mine! z"), QByteArray("a (in) got mine! z"));
}

TEST_F(SwayE2E, FormattedContentIsOfferedAsHtmlAndArrivesAsItsText) {
  const QByteArray rtf = "{\\rtf1\\ansi plain {\\b BOLD} end}";
  const QString formatted = QStringLiteral("<key>snippetType</key><integer>1</integer>"
                                           "<key>formattedText</key><data>%1</data>")
                                .arg(QString::fromLatin1(rtf.toBase64()));
  openEntry();
  // The snippet stays on the clipboard a while, to be looked at.
  startQuillet(1, {{{}, {{"fm", "", 0, formatted}}}},
               QStringLiteral("<key>restoreClipboardDelay</key><real>3</real>"));
  keyboard->type(QStringLiteral("a fm "));
  ASSERT_TRUE(spinUntil([&] { return expansions() >= 1; }));
  EXPECT_EQ(entryText("a plain BOLD end "), QByteArray("a plain BOLD end "));
  const QStringList env = environment();
  const std::optional<QByteArray> types = runSpinning(QStringLiteral("wl-paste"), {"--list-types"}, env);
  ASSERT_TRUE(types);
  EXPECT_TRUE(types->contains("text/html")) << types->toStdString();
  EXPECT_TRUE(types->contains("text/plain")) << types->toStdString();
  const std::optional<QByteArray> html =
      runSpinning(QStringLiteral("wl-paste"), {"--no-newline", "--type", "text/html"}, env);
  ASSERT_TRUE(html);
  EXPECT_TRUE(html->contains("BOLD")) << html->toStdString();
  EXPECT_TRUE(html->contains("<b>") || html->contains("font-weight")) << html->toStdString();
}

TEST_F(SwayE2E, TheUsersClipboardComesBackInEveryType) {
  // The user's copy, from a client of its own, in three types.
  auto connection = WaylandConnection::open(QFile::encodeName(sway.socket()));
  ASSERT_TRUE(connection);
  WaylandPasteboard mine(*connection);
  ASSERT_TRUE(mine.isValid());
  const QList<PasteboardItem> items = {
      {QStringLiteral("text/plain;charset=utf-8"), QByteArray("mine\n")},
      {QStringLiteral("text/html"), QByteArray("<b>mine</b>")},
      {QStringLiteral("application/x-quillet-test"), QByteArray("\x00\x01\xff bytes", 9)},
  };
  ASSERT_TRUE(mine.write(items));
  openFoot();
  startQuillet();
  keyboard->type(QStringLiteral("sig "));
  ASSERT_TRUE(spinUntil([&] { return expansions() >= 1; }));
  keyboard->type(QStringLiteral("\n"));
  EXPECT_EQ(typedUntil("\n"), QByteArray("Best regards \n"));
  // Restored: someone else owns the clipboard, with our types.
  ASSERT_TRUE(spinUntil([&] { return !mine.isOwnedByProgram() && connection->roundtrip(); }) || true);
  const QStringList env = environment();
  std::optional<QByteArray> types;
  ASSERT_TRUE(spinUntil(
      [&] {
        types = runSpinning(QStringLiteral("wl-paste"), {"--list-types"}, env);
        return types && types->contains("application/x-quillet-test");
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

TEST_F(SwayE2E, GroupRulesFollowTheApplicationInFront) {
  // foot's app_id is named as its desktop entry makes the picker name it.
  const QString onlyFoot = QStringLiteral(
      "<key>exceptionType</key><integer>3</integer><key>exceptions</key><array><string>Foot</string></array>");
  const QString onlyGedit = QStringLiteral(
      "<key>exceptionType</key><integer>3</integer><key>exceptions</key><array><string>Gedit</string></array>");
  openFoot();
  startQuillet(1, {{onlyFoot, {{"sig", "Best regards"}}}, {onlyGedit, {{"tb", "left{key:tab}right"}}}});
  keyboard->type(QStringLiteral("tb sig "));
  ASSERT_TRUE(spinUntil([&] { return expansions() >= 1; }));
  keyboard->type(QStringLiteral("\n"));
  EXPECT_EQ(typedUntil("\n"), QByteArray("tb Best regards \n"));
  EXPECT_EQ(expansions(), 1);
  // In the GTK application the foot group's snippet stays as typed.
  openEntry();
  keyboard->type(QStringLiteral("sig x"));
  EXPECT_EQ(entryText("sig x"), QByteArray("sig x"));
  EXPECT_EQ(expansions(), 1);
}

TEST_F(SwayE2E, DeadKeysOfTheSessionLayoutTypeTheAbbreviation) {
  // A German keyboard: the compositor hands its keymap to Quillet, which
  // reads the same key positions below it. Y is Z there, and the key left
  // of 1 is a dead circumflex.
  keyboard.reset();
  keyboard = std::make_unique<TestKeyboard>(sway.socket(), fifo, "de");
  ASSERT_TRUE(keyboard->isValid());
  openFoot();
  startQuillet();
  keyboard->tap(KEY_Y);
  keyboard->tap(KEY_GRAVE);
  keyboard->tap(KEY_E);
  keyboard->tap(KEY_SPACE);
  ASSERT_TRUE(spinUntil([&] { return expansions() >= 1; }));
  keyboard->tap(KEY_ENTER);
  EXPECT_EQ(typedUntil("\n"), QByteArray("Zukunft \n"));
}

TEST_F(SwayE2E, EveryActionReachesTheRunningQuilletAndFailsWithoutOne) {
  QByteArray errors;
  const QStringList names = {"toggle", "enable", "disable", "suggest", "search", "new-snippet",
                             "new-snippet-from-selection", "new-snippet-from-clipboard",
                             "new-snippet-for-application", "backup-now", "open", "quit"};
  for (const QString& name : names) {
    EXPECT_EQ(action(name, &errors), 1) << name.toStdString();
    EXPECT_TRUE(errors.contains("not running")) << name.toStdString();
  }
  // --help names them all.
  const std::optional<QByteArray> help =
      runSpinning(QStringLiteral(QUILLET_PROGRAM), {"--help"}, environment());
  ASSERT_TRUE(help);
  for (const QString& name : names) EXPECT_TRUE(help->contains(name.toUtf8())) << name.toStdString();

  openFoot();
  startQuillet();
  EXPECT_EQ(action(QStringLiteral("toggle")), 0);
  keyboard->type(QStringLiteral("sig \n"));
  EXPECT_EQ(typedUntil("sig \n"), QByteArray("sig \n"));
  EXPECT_EQ(expansions(), 0);
  EXPECT_EQ(action(QStringLiteral("enable")), 0);
  // Return only once the expansion is in: a key typed meanwhile reaches
  // foot first, and nothing can hold it back on Wayland.
  keyboard->type(QStringLiteral("sig "));
  ASSERT_TRUE(spinUntil([&] { return expansions() >= 1; }));
  keyboard->type(QStringLiteral("\n"));
  EXPECT_EQ(typedUntil("regards \n"), QByteArray("sig \nBest regards \n"));
  for (const QString& name : names.mid(2, names.size() - 3))
    EXPECT_EQ(action(name, &errors), 0) << name.toStdString() << ": " << errors.toStdString();
  // Unknown names fail before anything is asked.
  EXPECT_EQ(action(QStringLiteral("fly"), &errors), 2);
  EXPECT_TRUE(errors.contains("unknown action")) << errors.toStdString();
  // The backup was written by the time the action answered.
  EXPECT_FALSE(QDir(appFolder() + QStringLiteral("/Backups")).entryList({"*.qlxdoc"}).isEmpty());
  EXPECT_EQ(action(QStringLiteral("quit")), 0);
  EXPECT_TRUE(quillet->waitForFinished(10000));
  EXPECT_EQ(quillet->exitCode(), 0);
}

}  // namespace
}  // namespace ql::test
