// The library window saves beside the window: the file must still end up
// holding the newest library, whoever wrote last, and be on disk at quit.
#include "ui/content_text_view.h"
#include "ui/library_window_controller.h"
#include "ui/snippet_view_controller.h"
#include "ui_library.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class LibrarySaveTest : public testing::Test {
 protected:
  void SetUp() override {
    uitest::removeSavedFile();
    // Large enough that a write is still going when the next command comes.
    QList<SnippetPtr> members;
    for (int i = 0; i < 3000; ++i)
      members.append(uitest::snippet(QStringLiteral("s%1").arg(i), QStringLiteral("a%1").arg(i),
                                     QString(200, QLatin1Char('x'))));
    g = uitest::group(library, "Big", members);
    g->isExpanded = true;
    library.saveSettings();
    window = std::make_unique<LibraryWindowController>(&library, nullptr);
    window->showAlert = [](const QString&, const QString&) { FAIL() << "no alert expected"; };
    window->resetView();
  }

  // The file as it is on disk now, without waiting for the writer.
  static QByteArray rawFile() { return test::readFile(QLSettings::settingsPath()); }

  QLSettings library;
  GroupPtr g;
  std::unique_ptr<LibraryWindowController> window;
};

TEST_F(LibrarySaveTest, TheNewestLibraryWinsWhoeverWritesIt) {
  window->selectGroup(g.get());
  for (int i = 0; i < 4; ++i) window->actionSort(5);
  window->actionNewGroup();
  // Readers see the queued saves, not the file as it was.
  QLSettings reread;
  ASSERT_TRUE(reread.loadSettings());
  EXPECT_EQ(reread.groups.size(), 2);

  // A synchronous save of the same file (the tray, an expansion) comes
  // after queued ones: they must not land over it later.
  window->actionNewGroup();
  window->actionSort(2);
  library.groups.last()->name = QStringLiteral("Written last");
  ASSERT_TRUE(library.saveSettings());
  ql::BackgroundWriter::instance().waitForIdle();
  EXPECT_TRUE(rawFile().contains("Written last"));
  QLSettings last;
  ASSERT_TRUE(last.loadSettings());
  ASSERT_EQ(last.groups.size(), 3);
  ASSERT_EQ(last.snippets.size(), library.snippets.size());
  for (qsizetype i = 0; i < last.snippets.size(); ++i)
    ASSERT_EQ(last.snippets[i]->uuid, library.snippets[i]->uuid);
}

TEST_F(LibrarySaveTest, QuittingWaitsUntilTheLastEditIsOnDisk) {
  const SnippetPtr s = library.snippets.first();
  window->selectSnippet(g.get(), s.get());
  window->actionSort(7);  // a large save in flight
  window->snippetView()->findChild<ContentTextView*>("content")->setFocus();
  QTest::keyClicks(window->snippetView()->findChild<ContentTextView*>("content"), "quitting edit");
  QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection);
  EXPECT_TRUE(rawFile().contains("quitting edit"));
  // Streamed in pieces, the file is the very text written in one go.
  EXPECT_EQ(rawFile(), ql::plist::toXml(library.libraryDictionary()));
}

}  // namespace
