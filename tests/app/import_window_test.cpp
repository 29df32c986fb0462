#include "app/import_window_controller.h"
#include "model/import_choices.h"
#include "model/ql_settings.h"
#include "support/library_records.h"
#include "support/test_files.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <unistd.h>

using ql::ImportSession;

namespace {

QString sample(const char* name) {
  return QStringLiteral(QUILLET_APP_TEST_DATA "/") + QLatin1String(name);
}

class ImportWindow : public ::testing::Test, public ImportWindowControllerDelegate {
 protected:
  void SetUp() override {
    ql::ImportChoices().save();
    QDir().mkpath(QFileInfo(QLSettings::settingsPath()).path());  // made at start-up
  }
  void TearDown() override { ql::ImportChoices().save(); }

  void ImportCompleted(ImportWindowController*) override { ++completed_; }

  QString write(const QString& name, const QByteArray& bytes) {
    const QString path = dir_.filePath(name);
    EXPECT_TRUE(test::writeFile(path, bytes));
    return path;
  }

  std::unique_ptr<ImportWindowController> open(int kind) {
    auto w = std::make_unique<ImportWindowController>(&library_);
    w->delegate = this;
    w->showWindow();
    w->window()->findChild<QComboBox*>("importTypePopup")->setCurrentIndex(kind);
    return w;
  }

  static void validate(ImportWindowController& w, const QString& path) {
    w.window()->findChild<QLineEdit*>("filenameTextField")->setText(path);
    QTest::mouseClick(w.window()->findChild<QPushButton*>("importButton"), Qt::LeftButton);
  }

  static QString cell(const ImportWindowController& w, int row, int column) {
    return w.window()->findChild<QTableWidget*>("tableView")->item(row, column)->text();
  }
  // Groups and snippets found, duplicated and to import: "g s | g s | g s".
  static std::string counts(const ImportWindowController& w) {
    QStringList rows;
    for (int row = 0; row < 3; ++row) rows << cell(w, row, 1) + ' ' + cell(w, row, 2);
    return rows.join(" | ").toStdString();
  }

  static QString alertText(const ImportWindowController& w) {
    return w.alert() ? w.alert()->informativeText() : QString();
  }

  QTemporaryDir dir_;
  QLSettings library_;
  int completed_ = 0;
};

// A Windows export: group "Mail" with snippets sig and addr, group "Web" with url.
const QByteArray kWindowsExport =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Quillet><Groups>"
    "<Group><uuid>G1</uuid><name>Mail</name><sound>Glass</sound>"
    "<snippts><string>S1</string><string>S2</string></snippts></Group>"
    "<Group><uuid>G2</uuid><name>Web</name><snippts><string>S3</string></snippts></Group>"
    "</Groups><Snippets>"
    "<Snippet><groupUuid>G1</groupUuid><uuid>S1</uuid><abbreviation>sig</abbreviation>"
    "<plainText>new signature</plainText></Snippet>"
    "<Snippet><groupUuid>G1</groupUuid><uuid>S2</uuid><abbreviation>addr</abbreviation>"
    "<plainText>1 Main St</plainText></Snippet>"
    "<Snippet><groupUuid>G2</groupUuid><uuid>S3</uuid><abbreviation>url</abbreviation>"
    "<plainText>example.org</plainText></Snippet>"
    "</Snippets></Quillet>\n";

}  // namespace

TEST_F(ImportWindow, TextExpanderSamplesAreCountedMergedAndThenFoundAsDuplicates) {
  auto w = open(ImportSession::TextExpander);
  w->window()->findChild<QCheckBox*>("convertCodesCheckBox")->click();
  validate(*w, sample("touch-sdk-default.textexpander"));
  EXPECT_EQ(counts(*w), "1 11 | 0 0 | 1 11");
  EXPECT_TRUE(library_.snippets.isEmpty());  // a check changes nothing

  QTest::mouseClick(w->window()->findChild<QPushButton*>("saveButton"), Qt::LeftButton);
  EXPECT_EQ(completed_, 1);
  EXPECT_FALSE(w->window()->isVisible());
  ASSERT_EQ(library_.groups.size(), 1);
  EXPECT_EQ(library_.groups[0]->name, "Sample Snippets");
  EXPECT_EQ(library_.snippets.size(), 11);
  QLSettings saved;
  ASSERT_TRUE(saved.loadSettings());
  EXPECT_EQ(saved.snippets.size(), 11);

  // The same file again, everything skipped; adding duplicates instead, the
  // imported row follows the options at once.
  w->showWindow();
  validate(*w, sample("touch-sdk-default.textexpander"));
  EXPECT_EQ(counts(*w), "1 11 | 1 11 | 0 0");
  w->window()->findChild<QButtonGroup*>("groupMatrix")->button(1)->click();
  w->window()->findChild<QButtonGroup*>("snippetMatrix")->button(1)->click();
  EXPECT_EQ(counts(*w), "1 11 | 1 11 | 1 11");
  QTest::mouseClick(w->window()->findChild<QPushButton*>("saveButton"), Qt::LeftButton);
  EXPECT_EQ(completed_, 2);
  EXPECT_TRUE(ImportWindowController(&library_).window()->findChild<QCheckBox*>("convertCodesCheckBox")->isChecked());  // remembered
}

TEST_F(ImportWindow, WindowsExportWithDuplicatesOverwrittenOrSkippedAndTheChoicesRemembered) {
  auto mail = test::addGroup(library_, "Mail");
  auto sig = test::addSnippet(library_, mail, "sig", "old signature");
  const QString file = write("export.qlxdoc", kWindowsExport);

  auto w = open(ImportSession::Windows);
  EXPECT_FALSE(w->window()->findChild<QCheckBox*>("convertCodesCheckBox")->isEnabled());  // TextExpander files only
  w->window()->findChild<QButtonGroup*>("groupMatrix")->button(2)->click();
  w->window()->findChild<QButtonGroup*>("snippetMatrix")->button(0)->click();
  validate(*w, file);
  EXPECT_EQ(counts(*w), "2 3 | 1 1 | 2 2");  // addr and url; sig is skipped
  w->window()->findChild<QButtonGroup*>("snippetMatrix")->button(2)->click();  // overwrite sig after all
  EXPECT_EQ(counts(*w), "2 3 | 1 1 | 2 3");
  QTest::mouseClick(w->window()->findChild<QPushButton*>("saveButton"), Qt::LeftButton);
  EXPECT_EQ(completed_, 1);
  EXPECT_EQ(library_.snippets.size(), 3);
  EXPECT_EQ(sig->plainText, "new signature");

  // Every choice was remembered, and a new window starts from them.
  ImportWindowController again(&library_);
  EXPECT_EQ(again.window()->findChild<QComboBox*>("importTypePopup")->currentIndex(), 2);
  EXPECT_EQ(again.window()->findChild<QButtonGroup*>("groupMatrix")->checkedId(), 2);
  EXPECT_EQ(again.window()->findChild<QButtonGroup*>("snippetMatrix")->checkedId(), 2);
  // Again with every snippet there already: the groups alone are an import.
  again.delegate = this;
  again.showWindow();
  again.window()->findChild<QButtonGroup*>("snippetMatrix")->button(0)->click();
  validate(again, file);
  EXPECT_EQ(counts(again), "2 3 | 2 3 | 2 0");
  QTest::mouseClick(again.window()->findChild<QPushButton*>("saveButton"), Qt::LeftButton);
  EXPECT_EQ(alertText(again), QString());
  EXPECT_EQ(completed_, 2);
  // Stored choices out of range fall back to the first.
  QSettings(QStringLiteral("Orrery Labs"), QStringLiteral("Quillet")).setValue("IMPORTGROUPOPTION", 9);
  QSettings(QStringLiteral("Orrery Labs"), QStringLiteral("Quillet")).setValue("IMPORTTYPE", -3);
  ImportWindowController fallback(&library_);
  EXPECT_EQ(fallback.window()->findChild<QButtonGroup*>("groupMatrix")->checkedId(), 0);
  EXPECT_EQ(fallback.window()->findChild<QComboBox*>("importTypePopup")->currentIndex(), 0);
}

TEST_F(ImportWindow, FileDialogOffersTheKindChosenAndFillsInTheFile) {
  auto w = open(ImportSession::TextExpander);
  for (const auto& [kind, pattern] : {std::pair{ImportSession::TextExpander, "*.textexpander"},
                                      std::pair{ImportSession::Windows, "*.qlxdoc"}}) {
    w->window()->findChild<QComboBox*>("importTypePopup")->setCurrentIndex(kind);
    QTest::mouseClick(w->window()->findChild<QPushButton*>("selectButton"), Qt::LeftButton);
    auto* dialog = w->window()->findChild<QFileDialog*>();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->nameFilters().join(' ').contains(pattern));
    Q_EMIT dialog->fileSelected(sample(pattern));
    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w->window()->findChild<QLineEdit*>("filenameTextField")->text(), sample(pattern));
  }
}

TEST_F(ImportWindow, CancellingALargeCheckAddsNothing) {
  QByteArray xml = "<?xml version=\"1.0\"?>\n<Export><Group><name>Many</name><snippts>";
  for (int i = 0; i < 10000; ++i) xml += "<string>S" + QByteArray::number(i) + "</string>";
  xml += "</snippts></Group>";
  for (int i = 0; i < 10000; ++i)
    xml += "<Snippet><uuid>S" + QByteArray::number(i) + "</uuid><abbreviation>a" + QByteArray::number(i) +
           "</abbreviation><plainText>text</plainText></Snippet>";
  const QString file = write("many.qlxdoc", xml + "</Export>");

  auto w = open(ImportSession::Windows);
  qint64 lastRead = 0;
  bool clicked = false;
  QObject::connect(w.get(), &ImportWindowController::progressed, [&](qint64 read, qint64) {
    lastRead = read;
    EXPECT_FALSE(w->window()->findChild<QPushButton*>("saveButton")->isEnabled());
    if (!clicked && read > 0) {
      clicked = true;
      // Delivered by the window's own event handling between two steps.
      QMetaObject::invokeMethod(w->window()->findChild<QPushButton*>("importButton"), "click", Qt::QueuedConnection);
    }
  });
  validate(*w, file);
  EXPECT_TRUE(clicked);
  EXPECT_LT(lastRead, 10000);
  EXPECT_TRUE(w->window()->findChild<QPushButton*>("saveButton")->isEnabled());
  EXPECT_EQ(cell(*w, 0, 2), "0");
  QTest::mouseClick(w->window()->findChild<QPushButton*>("saveButton"), Qt::LeftButton);
  EXPECT_EQ(alertText(*w), ImportSession::kUnableToImport);
  EXPECT_TRUE(library_.groups.isEmpty());
  EXPECT_TRUE(library_.snippets.isEmpty());
  EXPECT_EQ(completed_, 0);
  // The next check starts afresh.
  validate(*w, write("small.qlxdoc", kWindowsExport));
  EXPECT_EQ(cell(*w, 0, 2), "3");

  // Closing the window while a check runs stops it too.
  clicked = true;
  QObject::disconnect(w.get(), &ImportWindowController::progressed, nullptr, nullptr);
  QObject::connect(w.get(), &ImportWindowController::progressed, w.get(), [&] { w->window()->reject(); });
  validate(*w, file);
  EXPECT_FALSE(w->window()->isVisible());
  EXPECT_TRUE(library_.snippets.isEmpty());
}

TEST_F(ImportWindow, BadFilesAlertAndChangeNothing) {
  const QByteArray whole = test::readFile(sample("touch-sdk-default.textexpander"));
  QByteArray binary(4096, '\0');
  for (int i = 0; i < binary.size(); ++i) binary[i] = char((i * 7919) % 251);
  const QString big = dir_.filePath("big.textexpander");
  {
    QFile f(big);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(300LL << 20));  // sparse: takes no room
  }
  const struct {
    int kind;
    QString path;
  } cases[] = {
      {ImportSession::TextExpander, write("empty.textexpander", {})},
      {ImportSession::TextExpander, write("cut.textexpander", whole.left(whole.size() / 2))},
      {ImportSession::TextExpander, write("binary.textexpander", binary)},
      {ImportSession::Windows, write("cut.qlxdoc", "<Export><Snippet><abbreviation>a</abbrev")},
      {ImportSession::Quillet, write("text.qlxdoc", "just some words, no library")},
      {ImportSession::TextExpander, big},
      {ImportSession::Quillet, dir_.filePath("missing.qlxdoc")},
  };
  auto w = open(ImportSession::TextExpander);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    w->window()->findChild<QComboBox*>("importTypePopup")->setCurrentIndex(c.kind);
    validate(*w, c.path);
    EXPECT_TRUE(alertText(*w).startsWith(ImportSession::kInvalid)) << alertText(*w).toStdString();
    if (c.path == big) { EXPECT_TRUE(alertText(*w).contains("256 MB")); }  // refused unread
    EXPECT_EQ(cell(*w, 0, 2), "0");
    EXPECT_FALSE(w->session().importedSettings);
    EXPECT_TRUE(w->window()->findChild<QPushButton*>("importButton")->isEnabled());
    w->alert()->close();
  }
  EXPECT_TRUE(library_.groups.isEmpty());
  EXPECT_TRUE(library_.snippets.isEmpty());

  // A file the user may not read; the superuser reads everything.
  const QString locked = write("locked.textexpander", whole);
  QFile::setPermissions(locked, QFileDevice::WriteOwner);
  if (geteuid() != 0) {
    w->window()->findChild<QComboBox*>("importTypePopup")->setCurrentIndex(ImportSession::TextExpander);
    validate(*w, locked);
    EXPECT_TRUE(alertText(*w).startsWith(ImportSession::kInvalid));
    EXPECT_FALSE(w->session().importedSettings);
  }

  validate(*w, QString());
  EXPECT_EQ(alertText(*w), ImportSession::kSelectFile);
  EXPECT_EQ(completed_, 0);
}
