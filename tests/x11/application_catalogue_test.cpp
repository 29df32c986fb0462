// The applications the picker offers: desktop entries read by the XDG rules
// and named as the workspace will report their windows, checked on made-up
// entries and on real programs under Xvfb.
#include "platform/x11/desktop_entries.h"
#include "platform/x11/x11_workspace.h"
#include "ui/app_selection_sheet_controller.h"
#include "e2e_quillet.h"
#include "x11_fixture.h"

#include <QDialog>
#include <QDir>
#include <QStandardPaths>

namespace ql {
namespace {

using test::Client;
using test::waitUntil;

void writeEntry(const QString& folder, const QString& id, const QByteArray& body) {
  QDir().mkpath(QFileInfo(folder + u'/' + id).path());
  QFile f(folder + u'/' + id);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[Desktop Entry]\n" + body + "\n[Desktop Action new]\nName=Other\nExec=other\n");
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
  test::WindowManager wm;
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
    ASSERT_TRUE(waitUntil([&] { return (window = test::visibleWindow("^" + p.cls + "$")) != 0; }, 15000))
        << p.executable.toStdString();
    ASSERT_TRUE(test::activateWindow(window));
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
