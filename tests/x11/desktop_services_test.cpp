#include "platform/x11/x11_accessibility.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_login_items.h"
#include "platform/x11/x11_relauncher.h"
#include "platform/x11/x11_sound_player.h"
#include "platform/x11/x11_workspace.h"
#include "x11_fixture.h"

#include "support/log_capture.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace ql {
using SelectionStatus = FocusedSelection::Status;  // Xlib has a Status macro
}  // namespace ql

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace ql {
namespace {

using test::Client;
using test::SessionBus;
using test::run;
using test::waitUntil;

using DesktopServicesTest = test::X11Test;

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

TEST_F(DesktopServicesTest, SelectionComesFromPrimaryWithBoundsInTheFocusedWindow) {
  EXPECT_TRUE(x->accessibility().hasAssistiveAccess());
  {
    LogCapture log;
    const FocusedSelection nothing = x->accessibility().focusedSelection();
    EXPECT_EQ(nothing.status, SelectionStatus::NoFocusedElement);
    EXPECT_TRUE(log.contains(QStringLiteral("Could not get focussed element")));
  }

  test::WindowManager wm;
  Client term(QStringLiteral("xterm"), {"-class", "SelTerm", "-geometry", "40x5+100+100", "-e",
                                        "sh", "-c", "echo quillet selection; sleep 60"});
  ASSERT_TRUE(waitUntil([&] { return x->workspace().frontmostApplication().name == QLatin1String("SelTerm"); }));
  const unsigned long window = x->workspace().frontmostApplication().windowId;

  // A double click selects a word; xterm publishes it as PRIMARY.
  ASSERT_TRUE(waitUntil([&] {
    run(QStringLiteral("xdotool"), {"mousemove", "--window", QString::number(window), "12", "8",
                                    "click", "--repeat", "2", "1"});
    const FocusedSelection s = x->accessibility().focusedSelection();
    return s.text == QStringLiteral("quillet");
  }));
  const FocusedSelection s = x->accessibility().focusedSelection();
  EXPECT_EQ(s.status, SelectionStatus::Ok);
  EXPECT_TRUE(QRectF(100, 100, 400, 200).contains(s.bounds.topLeft()))
      << s.bounds.x() << "," << s.bounds.y();

  // Another client's PRIMARY is what is selected now.
  Client xclip(QStringLiteral("xclip"), {"-selection", "primary", "-loops", "0", "-quiet"});
  xclip.process().write("other words");
  xclip.process().closeWriteChannel();
  EXPECT_TRUE(waitUntil([&] { return x->accessibility().focusedSelection().text == QStringLiteral("other words"); }));
}

TEST_F(DesktopServicesTest, SelectionBoundsComeFromAtSpiWhereTheApplicationTakesPart) {
  if (!QFileInfo::exists(QStringLiteral("/usr/libexec/at-spi-bus-launcher")))
    GTEST_SKIP() << "no AT-SPI";
  SessionBus bus;
  ASSERT_TRUE(bus.isRunning());
  test::WindowManager wm;
  const QString script = QStringLiteral(QUILLET_X11_TEST_DIR "/gtk_entry.py");
  Client entry(QStringLiteral("/usr/bin/python3"), {script});
  ASSERT_TRUE(waitUntil([&] { return x->workspace().frontmostApplication().processId == entry.pid(); }, 10000));
  FocusedSelection s;
  ASSERT_TRUE(waitUntil([&] {
    s = x->accessibility().focusedSelection();
    return s.status == SelectionStatus::Ok && s.bounds.width() > 10;
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
}

TEST_F(DesktopServicesTest, SoundsAreTheThemeFilesAndUnknownNamesAreRefused) {
  QTemporaryDir dir;
  writeFile(dir.filePath(QStringLiteral("bell.oga")), "not really ogg");
  writeFile(dir.filePath(QStringLiteral("message-new-instant.ogg")), "");
  writeFile(dir.filePath(QStringLiteral("readme.txt")), "");
  X11SoundPlayer player(&x->connection(), {dir.path()});
  // The system names stand in through the closest theme sound present.
  EXPECT_EQ(player.soundNames(),
            (QStringList{QStringLiteral("Basso"), QStringLiteral("Blow"), QStringLiteral("Frog"),
                         QStringLiteral("Glass"), QStringLiteral("Morse"), QStringLiteral("Ping"),
                         QStringLiteral("bell"), QStringLiteral("message-new-instant")}));
  EXPECT_FALSE(player.play(QStringLiteral("Nonesuch")));

  // The beep is the server's bell; a second client sees it ring.
  Display* other = XOpenDisplay(nullptr);
  ASSERT_TRUE(other);
  int xkbEvent = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion, opcode = 0;
  ASSERT_TRUE(XkbQueryExtension(other, &opcode, &xkbEvent, &error, &major, &minor));
  XkbSelectEvents(other, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
  XSync(other, False);
  int bells = 0;
  auto countBells = [&] {
    while (XPending(other)) {
      XEvent e;
      XNextEvent(other, &e);
      if (e.type == xkbEvent) ++bells;
    }
    return bells;
  };
  player.beep();
  EXPECT_TRUE(waitUntil([&] { return countBells() == 1; }));
  // Sounds that cannot be played (a broken file, no sound device, a system
  // name the theme lacks) are silence, never the bell the user did not
  // choose. The second beep comes after them on the same connection.
  EXPECT_TRUE(player.play(QStringLiteral("bell")));
  EXPECT_TRUE(player.play(QStringLiteral("Basso")));
  EXPECT_TRUE(player.play(QStringLiteral("Submarine")));
  player.beep();
  EXPECT_TRUE(waitUntil([&] { return countBells() >= 2; }));
  EXPECT_EQ(countBells(), 2);
  XCloseDisplay(other);

  X11SoundPlayer theme(&x->connection());
  if (QDir(QStringLiteral("/usr/share/sounds/freedesktop/stereo")).exists()) {
    const QStringList names = theme.soundNames();
    EXPECT_TRUE(names.contains(QStringLiteral("bell")));
    for (const char* name : {"Basso", "Blow", "Bottle", "Frog", "Funk", "Glass", "Hero", "Morse",
                             "Ping", "Pop", "Purr", "Sosumi", "Submarine", "Tink"})
      EXPECT_TRUE(names.contains(QLatin1String(name))) << name;
  }
}

TEST(LoginItemsTest, AutostartEntryStartsTheProgramAndIsRemovedWithDuplicates) {
  const QString program = QStringLiteral("/opt/My Apps/quillet $1");
  X11LoginItems items(program);
  items.remove();
  EXPECT_FALSE(items.contains());
  items.add();
  items.add();
  EXPECT_TRUE(items.contains());
  QFile entry(items.entryPath());
  ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
  const QByteArray text = entry.readAll();
  EXPECT_TRUE(text.contains("Exec=\"/opt/My Apps/quillet \\$1\"\n")) << text.toStdString();
  EXPECT_TRUE(text.contains("Type=Application\n"));

  const QString folder = QFileInfo(items.entryPath()).path();
  writeFile(folder + QStringLiteral("/quillet-copy.desktop"),
            "[Desktop Entry]\nType=Application\nExec=\"/opt/My Apps/quillet \\$1\" --hidden\n");
  writeFile(folder + QStringLiteral("/other.desktop"),
            "[Desktop Entry]\nType=Application\nExec=/usr/bin/other\n");
  writeFile(folder + QStringLiteral("/longer.desktop"),
            "[Desktop Entry]\nType=Application\nExec=\"/opt/My Apps/quillet \\$1-tool\"\n");
  items.remove();
  EXPECT_FALSE(items.contains());
  EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/quillet-copy.desktop")));
  EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/other.desktop")));
  EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/longer.desktop")));
}

TEST(RelaunchTest, HelperStartsTheProgramOnceTheOldProcessHasEnded) {
  const QString helper = X11Relauncher().helperPath();
  if (helper.isEmpty()) GTEST_SKIP() << "quillet-relaunch is not built";
  QTemporaryDir dir;
  const QString marker = dir.filePath(QStringLiteral("started"));
  const QString program = dir.filePath(QStringLiteral("fake quillet"));
  writeFile(program, "#!/bin/sh\necho again > '" + marker.toUtf8() + "'\n");
  QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

  auto old = std::make_unique<Client>(QStringLiteral("sleep"), QStringList{"60"});
  Client relaunch(helper, {program, QString::number(old->pid())});
  test::settle(200);  // nothing may start while the old process lives
  EXPECT_FALSE(QFile::exists(marker));
  old.reset();
  EXPECT_TRUE(waitUntil([&] { return QFile::exists(marker); }));

  EXPECT_FALSE(run(helper, {program}).has_value());  // no PID: refused
}

}  // namespace
}  // namespace ql
