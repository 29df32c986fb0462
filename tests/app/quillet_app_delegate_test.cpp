// The main controller on the simulated desktop: start-up, and typing
// sessions through the hook, the executor and the fill-in window.
#include "shell_rig.h"
#include "model/ql_statistics.h"
#include "support/test_files.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

namespace {

// Started by each test itself, on a library it wrote (or none), with the
// start-up alerts recorded.
class ControllerTest : public ShellTest {
 protected:
  void SetUp() override {
    QDir(appPath()).removeRecursively();
    controller = std::make_unique<QuilletAppDelegate>(desktop.platform());
    controller->alertPanel = [this](const QString& title, const QString& message,
                                    const QString& details, const QString& button) {
      alerts.append(title + QLatin1Char('|') + message + QLatin1Char('|') + details + QLatin1Char('|') + button);
      return alertAnswer;
    };
  }
  // A library on disk, as the user left it.
  void writeLibrary(int extendType, const QList<QPair<QString, QString>>& snippets) {
    QLSettings library;
    library.preferences.extendType = extendType;
    library.preferences.delimiters = {QStringLiteral("space"), QStringLiteral("!")};
    library.preferences.isPlaySound = false;
    auto group = test::addGroup(library, {});
    for (const auto& [abbreviation, content] : snippets) test::addSnippet(library, group, abbreviation, content);
    QDir().mkpath(appPath());
    ASSERT_TRUE(library.saveSettings());
  }
  // Started afresh on that library, typing into an empty field whose
  // bounds cannot be read.
  void startTyping(bool canWithhold, int extendType, const QList<QPair<QString, QString>>& snippets) {
    TearDown();
    SetUp();
    desktop.keySource().setCanWithholdKeys(canWithhold);
    writeLibrary(extendType, snippets);
    ASSERT_TRUE(controller->awakeFromNib());
    controller->executor().partPauseMs = 5;
    desktop.focusedField()->setText(QString());
    desktop.focusedField()->boundsReadable = false;
  }
};

}  // namespace

TEST_F(ControllerTest, FirstStartCreatesTheFoldersAndShutDownLetsGoOfTheKeyboard) {
  ASSERT_TRUE(controller->awakeFromNib());
  EXPECT_TRUE(QFileInfo(appPath(QStringLiteral("Backups"))).isDir());
  EXPECT_FALSE(QFile::exists(appPath(QStringLiteral("settings Backup.qlxdoc"))));
  EXPECT_TRUE(QFile::exists(appPath(QStringLiteral("statistics.plist"))));
  ASSERT_TRUE(controller->settings());
  EXPECT_TRUE(alerts.isEmpty());
  EXPECT_TRUE(desktop.keySource().isStarted());
  controller->applicationWillTerminate();
  EXPECT_FALSE(desktop.keySource().isStarted());
}

TEST_F(ControllerTest, StartupCopyHoldsExactlyTheLoadedLibrary) {
  writeLibrary(QLPreferences::DelimiterRetyped, {{QStringLiteral("sig"), QStringLiteral("Best")}});
  const QByteArray original = test::readFile(appPath(QStringLiteral("settings.qlxdoc")));
  ASSERT_TRUE(controller->awakeFromNib());
  EXPECT_EQ(test::readFile(appPath(QStringLiteral("settings Backup.qlxdoc"))), original);
}

TEST_F(ControllerTest, AnUnreadableLibraryIsMovedAsideNotOverwritten) {
  QDir().mkpath(appPath());
  ASSERT_TRUE(test::writeFile(appPath(QStringLiteral("settings.qlxdoc")), "<plist><dict><key>Groups</key>"));
  ASSERT_TRUE(controller->awakeFromNib());
  const QString aside = controller->movedAsideSettingsPath();
  ASSERT_TRUE(aside.startsWith(appPath(QStringLiteral("settings unreadable "))));
  ASSERT_TRUE(controller->settings()->saveSettings());
  EXPECT_EQ(test::readFile(aside), "<plist><dict><key>Groups</key>");
  EXPECT_FALSE(QFile::exists(appPath(QStringLiteral("settings Backup.qlxdoc"))));
}

TEST_F(ControllerTest, UnreadableStatisticsAreMovedAsideAndCountingStartsAfresh) {
  QDir().mkpath(appPath());
  ASSERT_TRUE(test::writeFile(appPath(QStringLiteral("statistics.plist")), "<plist><dict><key>allTime"));
  ASSERT_TRUE(controller->awakeFromNib());
  const QString aside = controller->statistics()->movedAsidePath;
  ASSERT_TRUE(aside.startsWith(appPath(QStringLiteral("statistics unreadable ")))) << aside.toStdString();
  EXPECT_EQ(test::readFile(aside), "<plist><dict><key>allTime");
  QLStatistics fresh({}, appPath(QStringLiteral("statistics.plist")));
  EXPECT_TRUE(fresh.load());
  EXPECT_EQ(fresh.allTime.expanded, 0);
}

TEST_F(ControllerTest, MissingKeyboardAccessWarnsAndQuitsOrRunsOnWithoutExpanding) {
  desktop.accessibility().setAssistiveAccess(false);
  alertAnswer = 1;
  EXPECT_FALSE(controller->awakeFromNib());
  ASSERT_EQ(alerts.size(), 1);
  EXPECT_TRUE(alerts[0].startsWith("Quillet Warning: Quillet cannot use the keyboard|")) << alerts[0].toStdString();
  EXPECT_TRUE(alerts[0].contains("does not offer the RECORD and XTEST extensions")) << alerts[0].toStdString();
  EXPECT_TRUE(alerts[0].endsWith("|Quit")) << alerts[0].toStdString();
  EXPECT_FALSE(alerts[0].contains("Universal Access"));

  // Dismissed otherwise, start-up goes on; a key source that cannot start
  // warns again and the program runs without a hook.
  SetUp();
  alerts.clear();
  alertAnswer = 0;
  desktop.keySource().setStartFails(true);
  EXPECT_TRUE(controller->awakeFromNib());
  EXPECT_EQ(alerts.size(), 2);
  EXPECT_FALSE(controller->eventHandler());
  EXPECT_TRUE(QFile::exists(appPath(QStringLiteral("statistics.plist"))));
  desktop.typeText(QStringLiteral("sig "));
  EXPECT_EQ(field(), QStringLiteral("sig "));
}

// The last row: a shared abbreviation with no place on screen for the choice
// leaves the text as typed.
TEST_F(ControllerTest, TypingSessionsInEveryModeAndKeySource) {
  const QPair<QString, QString> sig{QStringLiteral("sig"), QStringLiteral("Best regards")};
  const QPair<QString, QString> kind{QStringLiteral("sig"), QStringLiteral("Kind")};
  struct Mode {
    int extendType;
    QString typed;
    QString expected;
    QList<QPair<QString, QString>> snippets;
  };
  const QList<Mode> modes = {
      {QLPreferences::DelimiterRetyped, QStringLiteral("Hi sig ok"), QStringLiteral("Hi Best regards ok"), {sig}},
      {QLPreferences::DelimiterDropped, QStringLiteral("Hi sig ok"), QStringLiteral("Hi Best regardsok"), {sig}},
      {QLPreferences::DelimiterRetyped, QStringLiteral("Wow sig!"), QStringLiteral("Wow Best regards!"), {sig}},
      {QLPreferences::Immediate, QStringLiteral("Hi sig ok"), QStringLiteral("Hi Best regards ok"), {sig}},
      {QLPreferences::DelimiterRetyped, QStringLiteral("a sig! b"), QStringLiteral("a sig! b"), {sig, kind}},
  };
  for (bool canWithhold : {true, false}) {
    for (const Mode& m : modes) {
      startTyping(canWithhold, m.extendType, m.snippets);
      desktop.typeText(m.typed);
      EXPECT_EQ(field(), m.expected) << m.extendType << " " << canWithhold;
    }
  }
}

// Under both kinds of key source: where keys arrive after delivery the
// BackSpace has erased the delimiter already.
TEST_F(ControllerTest, BackSpaceTakesAnExpansionBackAndTheWordStaysUntilRetyped) {
  for (bool canWithhold : {true, false}) {
    startTyping(canWithhold, QLPreferences::DelimiterRetyped, {{QStringLiteral("sig"), QStringLiteral("Best regards")}});
    desktop.typeText(QStringLiteral("Hi sig "));
    ASSERT_EQ(field(), QStringLiteral("Hi Best regards "));
    desktop.typeKey(ql::keys::Delete);
    EXPECT_EQ(field(), QStringLiteral("Hi sig ")) << canWithhold;
    // An ordinary BackSpace now; the delimiter typed again finds no word.
    desktop.typeKey(ql::keys::Delete);
    desktop.typeText(QStringLiteral(" ok sig "));
    EXPECT_EQ(field(), QStringLiteral("Hi sig ok Best regards ")) << canWithhold;
    EXPECT_EQ(controller->statistics()->allTime.expanded, 1);
  }
}

TEST_F(ControllerTest, AWordTypedRightAfterAnExpansionSurvivesTheRestore) {
  writeLibrary(QLPreferences::DelimiterRetyped,
               {{QStringLiteral("sig"), QStringLiteral("Best")}, {QStringLiteral("adr"), QStringLiteral("Main")}});
  ASSERT_TRUE(controller->awakeFromNib());
  controller->executor().partPauseMs = 5;
  desktop.typeText(QStringLiteral("sig ad"));
  spin(200);  // the delayed restore of the first expansion runs meanwhile
  desktop.typeText(QStringLiteral("r "));
  EXPECT_EQ(field(), QStringLiteral("Best Main "));
}

// The window's entries fill the preview as typed; Return, Keypad Enter or
// the button confirm, Escape or leaving the window insert nothing.
TEST_F(ControllerTest, FillInSessionAnsweredInTheWindow) {
  writeLibrary(QLPreferences::DelimiterRetyped,
               {{QStringLiteral("dear"), QStringLiteral("Dear {fill:name}%|, from {fill:town}.")}});
  ASSERT_TRUE(controller->awakeFromNib());
  controller->executor().partPauseMs = 5;
  desktop.typeText(QStringLiteral("Hi dear "));
  FillInWindowController* form = controller->fillInPanel();
  ASSERT_TRUE(form);
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(desktop.isProgramFrontmost());
  ASSERT_EQ(form->fields().size(), 2);
  const auto preview = [&] { return form->snippetTextView()->toPlainText(); };
  QLineEdit* town = form->fields()[1];
  QTest::keyClicks(form->fields()[0], QStringLiteral("Ann"));
  EXPECT_EQ(preview(), QStringLiteral("Dear Ann%|, from town."));
  town->setFocus();
  town->selectAll();
  QTest::keyClick(town, Qt::Key_Delete);
  EXPECT_EQ(preview(), QStringLiteral("Dear Ann%|, from {fill:town}."));
  QTest::keyClick(town, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(desktop.frontmost()->name, QStringLiteral("TextEdit"));
  // The expansion follows 0.1 s later, with the delimiter before the caret.
  EXPECT_EQ(field(), QStringLiteral("Hi "));
  spin(250);
  EXPECT_EQ(field(), QStringLiteral("Hi Dear Ann, from . "));
  EXPECT_EQ(desktop.focusedField()->caret(), int(QStringLiteral("Hi Dear Ann").size()));

  // Cancel, and leaving the window, insert nothing.
  const QString before = field();
  desktop.focusedField()->setCaret(int(before.size()));
  desktop.typeText(QStringLiteral("dear "));
  ASSERT_TRUE(form->isVisible());
  QTest::keyClick(form->fields().value(0), Qt::Key_Escape);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(desktop.frontmost()->name, QStringLiteral("TextEdit"));
  desktop.typeText(QStringLiteral("dear "));
  ASSERT_TRUE(form->isVisible());
  controller->windowDeactivated();
  EXPECT_FALSE(form->isVisible());
  spin(250);
  EXPECT_EQ(field(), before);
  EXPECT_EQ(controller->settings()->snippets[0]->useCount, 1);

  // Return in an entry, or the button with the entries untouched: the
  // names go in.
  for (bool button : {false, true}) {
    desktop.focusedField()->setCaret(int(field().size()));
    desktop.typeText(QStringLiteral("dear "));
    ASSERT_TRUE(form->isVisible());
    if (button)
      form->okButton()->click();
    else
      QTest::keyClick(form->fields().value(0), Qt::Key_Return);
    spin(250);
    EXPECT_TRUE(field().endsWith(QStringLiteral("Dear name, from town. "))) << button;
  }
  EXPECT_EQ(controller->settings()->snippets[0]->useCount, 3);
}
