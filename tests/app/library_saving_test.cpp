// The running program saves in the background: expansions and edits in the
// library window reach the disk without the keyboard or the window waiting
// for it, and quitting (or a logout's SIGTERM, which quits) writes whatever
// is still held back.
#include "shell_rig.h"
#include "support/test_files.h"
#include "ui/group_view_controller.h"
#include "ui/library_outline_model.h"
#include "ui/library_window_controller.h"

#include <QLineEdit>
#include <QTest>

namespace {

class LibrarySavingTest : public ShellTest {
 protected:
  // The settings file as it lies on disk, read without waiting for anything.
  static ql::PlistDict onDisk(const QString& name) {
    const auto value = ql::plist::parse(test::readFile(appPath(name)));
    return value && value->dict() ? *value->dict() : ql::PlistDict();
  }
  static qint64 integer(const ql::PlistDict& d, const char* key) {
    const ql::PlistValue* v = d.value(QString::fromLatin1(key));
    return v ? v->toInteger().value_or(-1) : -1;
  }
  static const ql::PlistDict& record(const ql::PlistDict& root, const char* list, int i) {
    return *(*root.value(QString::fromLatin1(list))->array())[size_t(i)].dict();
  }
};

}  // namespace

TEST_F(LibrarySavingTest, ExpansionsAndEditsAreWrittenLaterAndAllOfThemAtQuit) {
  start([](QLPreferences& p) {
    p.extendType = QLPreferences::DelimiterRetyped;
    p.delimiters = {QStringLiteral("space")};
  });
  QLSettings& library = *controller->settings();
  ASSERT_TRUE(library.saver);
  // Held back far longer than the test runs: only the end can write them.
  library.saver->quietMs = library.saver->usageMaxMs = library.saver->editMaxMs = 600'000;
  for (int i = 0; i < 5; ++i) desktop.typeText(QStringLiteral("sig "));
  EXPECT_EQ(library.snippets[0]->useCount, 5);
  LibraryWindowController* window = controller->libraryWindow();
  window->selectGroup(library.groups[0].get());
  QLineEdit* name = window->groupView()->findChild<QLineEdit*>("nameTextField");
  name->selectAll();
  QTest::keyClicks(name, QStringLiteral("Letters"));
  EXPECT_EQ(library.groups[0]->name, QStringLiteral("Letters"));
  // Nothing waited for the disk: the file is still the one loaded.
  EXPECT_EQ(integer(record(onDisk("settings.qlxdoc"), "Snippets", 0), "useCount"), 0);

  controller->applicationWillTerminate();
  const ql::PlistDict saved = onDisk("settings.qlxdoc");
  EXPECT_EQ(integer(record(saved, "Snippets", 0), "useCount"), 5);
  EXPECT_EQ(*record(saved, "Groups", 0).value(QStringLiteral("name"))->string(), QStringLiteral("Letters"));
  EXPECT_EQ(integer(*onDisk("statistics.plist").value(QStringLiteral("allTime"))->dict(), "expanded"), 5);
  // Written from copies, the file is the very text of the library written whole.
  EXPECT_EQ(test::readFile(appPath("settings.qlxdoc")), ql::plist::toXml(library.libraryDictionary()));
}

TEST_F(LibrarySavingTest, TheWindowsEditsAreOnDiskWhenTheApplicationQuits) {
  start();
  QLSettings& library = *controller->settings();
  library.saver->quietMs = library.saver->editMaxMs = 600'000;
  LibraryWindowController* window = controller->libraryWindow();
  window->selectGroup(library.groups[0].get());
  QLineEdit* abbreviation = window->groupView()->findChild<QLineEdit*>("abbreviationTextField");
  QTest::keyClicks(abbreviation, QStringLiteral("grp"));
  window->actionNewGroup();  // a structural change on top
  // What SIGTERM leads to: the application's normal end.
  QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection);
  const ql::PlistDict saved = onDisk("settings.qlxdoc");
  EXPECT_EQ(*record(saved, "Groups", 0).value(QStringLiteral("abbreviation"))->string(), QStringLiteral("grp"));
  EXPECT_EQ(saved.value(QStringLiteral("Groups"))->array()->size(), 2u);
}

TEST_F(LibrarySavingTest, UseCountsAndEditsReachTheDiskWithoutQuitting) {
  start([](QLPreferences& p) {
    p.extendType = QLPreferences::DelimiterRetyped;
    p.delimiters = {QStringLiteral("space")};
  });
  QLSettings& library = *controller->settings();
  library.saver->quietMs = 5;
  library.saver->usageMaxMs = library.saver->editMaxMs = 30;
  desktop.typeText(QStringLiteral("adr "));
  library.groups[0]->name = QStringLiteral("Renamed");
  controller->libraryWindow()->model()->save(library.groups[0].get(), nullptr);
  const QDeadlineTimer deadline(5000);
  while ((library.saver->isPending() ||
          integer(record(onDisk("settings.qlxdoc"), "Snippets", 1), "useCount") != 1) &&
         !deadline.hasExpired())
    spin(10);
  const ql::PlistDict saved = onDisk("settings.qlxdoc");
  EXPECT_EQ(integer(record(saved, "Snippets", 1), "useCount"), 1);
  EXPECT_EQ(*record(saved, "Groups", 0).value(QStringLiteral("name"))->string(), QStringLiteral("Renamed"));
}
