// Printing a group and the whole library through the window's printer to
// PDF, read back with poppler's pdftotext and pdfinfo; the page setup is
// kept between runs.
#include "content/text/flat_rtfd.h"
#include "ui_library.h"

#include <QAction>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

namespace {

// What a poppler tool prints for the file; fails the test when it cannot run.
QString poppler(const QString& tool, const QStringList& arguments) {
  QProcess p;
  p.start(tool, arguments);
  if (!p.waitForFinished(30000) || p.exitCode() != 0) {
    ADD_FAILURE() << tool.toStdString() << " failed (poppler-utils installed?)";
    return {};
  }
  return QString::fromUtf8(p.readAllStandardOutput());
}

QString pageText(const QString& pdf, int page) {
  return poppler("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
}

// The numbers pdfinfo gives after label, such as "Pages:" or "Page size:".
QList<double> info(const QString& pdf, const QString& label) {
  QList<double> out;
  const QString line = poppler("pdfinfo", {pdf}).section(label, 1).section('\n', 0, 0);
  for (auto it = QRegularExpression("[\\d.]+").globalMatch(line); it.hasNext();) out << it.next().captured().toDouble();
  return out;
}

int pageCount(const QString& pdf) { return int(info(pdf, "Pages:").value(0, -1)); }

class LibraryPrintTest : public uitest::LibraryWindowTest {
 protected:
  void SetUp() override {
    LibraryWindowTest::SetUp();
    for (const char* key : {"PrintPageSize", "PrintOrientation", "PrintMargins"}) QSettings().remove(key);
    const SnippetPtr letter = uitest::snippet("Letter end", "kr", "");
    ql::TextAttributes bold;
    bold.bold = true;
    letter->snippetType = QLSnippet::Formatted;
    letter->formattedText = ql::writeFlatRtfd(ql::AttributedText("Kind regards", bold));
    letter->plainText.clear();
    letter->content(true);
    mail = uitest::group(library, "Mail", {uitest::snippet("Greeting", "hi", "Hello there"), letter});
    uitest::group(library, "Code", {uitest::snippet("", "ifx", "if (x) {}")});
    uitest::group(library, "Empty", {});
    openPrinting();
  }

  void openPrinting() {
    open();
    window->choosePrinter = [this](QPrinter* p) {
      suggested = p->outputFileName();
      p->setOutputFormat(QPrinter::PdfFormat);
      p->setOutputFileName(pdf);
      return printerAnswer;
    };
  }

  QTemporaryDir dir;
  QString pdf = dir.filePath("out.pdf");
  bool printerAnswer = true;
  QString suggested;  // the file the print dialog would offer
  GroupPtr mail;
};

}  // namespace

TEST_F(LibraryPrintTest, AGroupAndTheWholeLibraryPrintToPdf) {
  window->selectGroup(mail.get());
  window->actionPrintAsGroup();
  ASSERT_EQ(pageCount(pdf), 1);
  const QString group = pageText(pdf, 1);
  for (const char* expected : {"Mail", "Greeting", "hi", "Hello there", "Letter end", "kr", "Kind regards"})
    EXPECT_TRUE(group.contains(expected)) << expected;
  EXPECT_FALSE(group.contains("Code"));

  // Every group on a page of its own, in library order; an empty one too.
  // The dialog offers a file of that name, not the group's again.
  window->actionPrintAllGroup();
  EXPECT_EQ(suggested, dir.filePath("Quillet Snippets.pdf"));
  ASSERT_EQ(pageCount(pdf), 3);
  EXPECT_TRUE(pageText(pdf, 1).contains("Kind regards"));
  EXPECT_TRUE(pageText(pdf, 2).contains("Code"));
  EXPECT_TRUE(pageText(pdf, 2).contains("if (x) {}"));
  EXPECT_TRUE(pageText(pdf, 3).contains("Empty"));
  EXPECT_TRUE(alerts.isEmpty());

  // Cancelled: nothing printed; unwritable: said so.
  QFile::remove(pdf);
  printerAnswer = false;
  window->actionPrintAllGroup();
  EXPECT_FALSE(QFile::exists(pdf));
  printerAnswer = true;
  pdf = dir.path();  // a folder
  window->actionPrintAllGroup();
  ASSERT_EQ(alerts.size(), 1);
  EXPECT_TRUE(alerts[0].startsWith("Unable to print!|"));

  library.groups.clear();
  library.snippets.clear();
  window->model()->setSettings(&library);
  window->resetView();
  EXPECT_FALSE(window->window()->findChild<QAction*>("actionPrintAllGroups")->isEnabled());
}

TEST_F(LibraryPrintTest, ThePageSetupIsUsedAndKept) {
  window->choosePageSetup = [](QPrinter* p) {
    p->setPageLayout(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape,
                                 QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    return true;
  };
  window->actionPageSetup();
  window->actionPrintAllGroup();
  const QList<double> size = info(pdf, "Page size:");
  ASSERT_GE(size.size(), 2);
  EXPECT_NEAR(size[0], 595.3, 1.0);  // A5, landscape
  EXPECT_NEAR(size[1], 419.5, 1.0);

  // The next start prints the same way; a setup changed, then cancelled,
  // changes nothing.
  openPrinting();
  window->choosePageSetup = [](QPrinter* p) {
    p->setPageOrientation(QPageLayout::Portrait);
    return false;
  };
  window->actionPageSetup();
  window.reset();
  openPrinting();
  const QPageLayout layout = window->printer()->pageLayout();
  EXPECT_EQ(layout.pageSize().id(), QPageSize::A5);
  EXPECT_EQ(layout.orientation(), QPageLayout::Landscape);
  EXPECT_NEAR(layout.margins(QPageLayout::Millimeter).left(), 10, 0.01);
}
