#include "platform/x11/desktop_entries.h"
#include "platform/x11/x11_accessibility.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_login_items.h"
#include "platform/x11/x11_relauncher.h"
#include "platform/x11/x11_sound_player.h"
#include "platform/x11/x11_workspace.h"
#include "ui/app_selection_sheet_controller.h"
#include "e2e_quillet.h"

#include "support/log_capture.h"

#include <QDir>
#include <QFileInfo>

namespace ql {
using SelectionStatus = FocusedSelection::Status;  // Xlib has a Status macro
}  // namespace ql

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace ql {
namespace {

using test::Client;
using test::WindowManager;
using test::activateWindow;
using test::visibleWindow;
using test::run;
using test::waitUntil;

using DesktopServicesTest = test::X11Test;

using ::test::writeFile;

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

  // On Debian's sound theme every system name has a file to stand in.
  if (QDir(QStringLiteral("/usr/share/sounds/freedesktop/stereo")).exists()) {
    const QStringList names = X11SoundPlayer(&x->connection()).soundNames();
    for (const char* name : {"bell", "Basso", "Blow", "Bottle", "Frog", "Funk", "Glass", "Hero", "Morse", "Ping",
                             "Pop", "Purr", "Sosumi", "Submarine", "Tink"})
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
  const QByteArray text = ::test::readFile(items.entryPath());
  // Marked, so that at login Quillet waits in the tray.
  EXPECT_TRUE(text.contains("Exec=\"/opt/My Apps/quillet \\$1\" --autostart\n")) << text.toStdString();
  EXPECT_TRUE(text.contains("Type=Application\n"));

  const QString folder = QFileInfo(items.entryPath()).path();
  writeFile(folder + QStringLiteral("/quillet-copy.desktop"),
            "[Desktop Entry]\nType=Application\nExec=\"/opt/My Apps/quillet \\$1\" --hidden\n");
  writeFile(folder + QStringLiteral("/other.desktop"), "[Desktop Entry]\nType=Application\nExec=/usr/bin/other\n");
  writeFile(folder + QStringLiteral("/longer.desktop"),
            "[Desktop Entry]\nType=Application\nExec=\"/opt/My Apps/quillet \\$1-tool\"\n");
  items.remove();
  EXPECT_FALSE(items.contains());
  EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/quillet-copy.desktop")));
  EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/other.desktop")));
  EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/longer.desktop")));

  // An entry naming the program on the PATH counts (the README's way: the
  // installed desktop entry copied into autostart).
  QTemporaryDir dir;
  const QString bin = dir.filePath(QStringLiteral("bin"));
  QDir().mkpath(bin);
  ASSERT_TRUE(writeFile(bin + QStringLiteral("/quillet"), "#!/bin/sh\n"));
  QFile::setPermissions(bin + QStringLiteral("/quillet"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", bin.toUtf8() + ':' + path);
  X11LoginItems installed(bin + QStringLiteral("/quillet"));
  writeFile(installed.entryPath(), "[Desktop Entry]\nType=Application\nName=Quillet\nExec=quillet\n");
  EXPECT_TRUE(installed.contains());
  installed.remove();
  EXPECT_FALSE(QFile::exists(installed.entryPath()));
  qputenv("PATH", path);
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

// The applications the picker offers: desktop entries read by the XDG rules
// and named as the workspace will report their windows, checked on made-up
// entries and on real programs.
void writeEntry(const QString& folder, const QString& id, const QByteArray& body) {
  QDir().mkpath(QFileInfo(folder + u'/' + id).path());
  ASSERT_TRUE(writeFile(folder + u'/' + id,
                        "[Desktop Entry]\n" + body + "\n[Desktop Action new]\nName=Other\nExec=other\n"));
}

const InstalledApplication* find(const QList<InstalledApplication>& apps, const QString& name) {
  for (const InstalledApplication& a : apps)
    if (a.name == name) return &a;
  return nullptr;
}

TEST(ApplicationCatalogue, NamesEntriesAsTheirWindowsWillBeReported) {
  QTemporaryDir dir;
  const QString user = dir.filePath("user/applications"), system = dir.filePath("system/applications");
  writeEntry(system, "org.gnome.gedit.desktop",
             "Type=Application\nName=Text Editor\nName[de]=Texteditor\nExec=gedit %U\nIcon=gedit");
  writeEntry(system, "xterm.desktop", "Type=Application\nName=XTerm\nExec=xterm\nStartupWMClass=XTerm");
  writeEntry(system, "featherpad.desktop",
             "Type=Application\nName=FeatherPad\nExec=featherpad %U\nCategories=Qt;Utility;");
  writeEntry(system, "kde/tool.desktop",
             "Type=Application\nName=Tool\\sBox\nExec=env A=1 \"/opt/my tools/toolbox\" --x");
  writeEntry(system, "hidden.desktop", "Type=Application\nName=Hidden\nExec=hid\nNoDisplay=true");
  writeEntry(system, "gone.desktop", "Type=Application\nName=Gone\nExec=gone");
  writeEntry(system, "link.desktop", "Type=Link\nName=Link\nURL=file:///");
  writeEntry(system, "noname.desktop", "Type=Application\nExec=noname");
  writeEntry(system, "running.desktop", "Type=Application\nName=Runner\nExec=/usr/bin/runner");
  writeEntry(system, "browser.desktop", "Type=Application\nName=Browser\nExec=browse\nStartupWMClass=browse");
  // The user's entry with the same id hides the system's.
  writeEntry(user, "gone.desktop", "Type=Application\nName=Gone\nExec=gone\nHidden=true");
  const QList<RunningApplication> running = {{"RunnerMain", "runner", "runner"},
                                             {"Browse", "browse", "browse"},
                                             {"Unlisted", "unlisted", "unlisted"},
                                             {"", "", "nameless"}};

  const QList<InstalledApplication> apps =
      applicationCatalogue({user, system}, running, localeKeys("de_DE.UTF-8"));
  QStringList names;
  for (const InstalledApplication& a : apps) names << a.name + u'=' + a.displayName;
  EXPECT_EQ(names, (QStringList{"Browse=Browser", "FeatherPad=FeatherPad", "RunnerMain=Runner", "Gedit=Texteditor",
                                "Toolbox=Tool Box", "Unlisted=", "XTerm=XTerm"}));
  EXPECT_EQ(find(apps, "Gedit")->iconName, "gedit");
  EXPECT_TRUE(find(apps, "Gedit")->path.endsWith("org.gnome.gedit.desktop"));

  EXPECT_EQ(localeKeys("sr_RS.UTF-8@latin"), (QStringList{"sr_RS@latin", "sr_RS", "sr@latin", "sr"}));
  EXPECT_TRUE(localeKeys("C.UTF-8").isEmpty());
  // Without a language the plain Name, and no entry twice under one name.
  writeEntry(user, "gedit-copy.desktop", "Type=Application\nName=Copy\nExec=/usr/bin/gedit");
  const QList<InstalledApplication> plain = applicationCatalogue({user, system}, {}, {});
  EXPECT_EQ(find(plain, "Gedit")->displayName, "Copy");
  EXPECT_EQ(find(plain, "Runner")->displayName, "Runner");
  EXPECT_EQ(std::count_if(plain.begin(), plain.end(),
                          [](const InstalledApplication& a) { return a.name == "Gedit"; }),
            1);
}

// Real programs from Debian: the name the catalogue (and so the picker)
// gives each one, before and while it runs, is the one the workspace
// reports for its window, and so the one a group's application rule
// matches at expansion.
TEST(ApplicationCatalogue, RealProgramsAreListedUnderTheirWindowsNames) {
  struct Program {
    QString executable, desktopFile;
    QStringList arguments;
    QString cls;
  };
  const QList<Program> programs = {
      {"xterm", "debian-xterm.desktop", {"-e", "sleep", "60"}, "XTerm"},
      {"featherpad", "featherpad.desktop", {"--standalone"}, "FeatherPad"},
      {"l3afpad", "l3afpad.desktop", {}, "L3afpad"},
  };
  for (const Program& p : programs)
    if (QStandardPaths::findExecutable(p.executable).isEmpty())
      GTEST_SKIP() << p.executable.toStdString() << " is not installed";
  WindowManager wm;
  ASSERT_TRUE(wm.isRunning());
  QString error;
  auto x = X11Platform::create({}, &error);
  ASSERT_TRUE(x) << error.toStdString();

  auto entryFor = [](const QList<InstalledApplication>& apps, const QString& file) {
    for (const InstalledApplication& a : apps)
      if (a.path.endsWith(u'/' + file)) return a;
    return InstalledApplication{};
  };
  const QList<InstalledApplication> before = x->workspace().installedApplications();
  QTemporaryDir home;
  std::vector<std::unique_ptr<Client>> clients;
  for (const Program& p : programs) {
    const InstalledApplication listed = entryFor(before, p.desktopFile);
    ASSERT_FALSE(listed.name.isEmpty()) << p.desktopFile.toStdString();
    clients.push_back(std::make_unique<Client>(
        p.executable, p.arguments,
        QStringList{"HOME=" + home.path(), "XDG_CONFIG_HOME=" + home.path() + "/.config"}));
    unsigned long window = 0;
    ASSERT_TRUE(waitUntil([&] { return (window = visibleWindow("^" + p.cls + "$")) != 0; }, 15000))
        << p.executable.toStdString();
    ASSERT_TRUE(activateWindow(window));
    ASSERT_TRUE(waitUntil([&] { return x->workspace().frontmostApplication().windowId == window; }));
    const QString reported = x->workspace().frontmostApplication().name;
    EXPECT_EQ(listed.name, reported) << p.executable.toStdString();
    EXPECT_EQ(entryFor(x->workspace().installedApplications(), p.desktopFile).name, reported);
  }

  // The picker lists them under those names, and hands them back.
  AppSelectionSheetController sheet(nullptr, [&] { return x->workspace().installedApplications(); });
  sheet.showSheet();
  for (const Program& p : programs) sheet.addApps({p.cls});
  EXPECT_EQ(sheet.selectedAppNames(), (QStringList{"XTerm", "FeatherPad", "L3afpad"}));
  sheet.sheetOk();
}

}  // namespace
}  // namespace ql
