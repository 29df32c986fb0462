#pragma once

// The quillet program itself, started on the test's Xvfb with a library
// made for the test in a HOME of its own, and driven by xdotool like a user.
#include "support/e2e_library.h"
#include "support/test_files.h"
#include "x11_fixture.h"

#include <QDir>
#include <QFile>
#include <QRect>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace ql::test {

using E2ESnippet = ::test::LibrarySnippet;


// Ids of the mapped windows whose class (by "--class") or title (by
// "--name") matches pattern; toolkits also name hidden leader windows.
inline QList<QByteArray> visibleWindows(const QString& pattern, const QString& by = QStringLiteral("--class")) {
  QList<QByteArray> out;
  const QByteArray found =
      run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"), by, pattern})
          .value_or(QByteArray());
  for (const QByteArray& id : found.split('\n'))
    if (!id.trimmed().isEmpty()) out.append(id.trimmed());
  return out;
}
inline unsigned long visibleWindow(const QString& pattern, const QString& by = QStringLiteral("--class")) {
  const QList<QByteArray> found = visibleWindows(pattern, by);
  return found.isEmpty() ? 0 : found.first().toULong();
}
inline QByteArray activeWindow() {
  return run(QStringLiteral("xdotool"), {"getactivewindow"}).value_or(QByteArray()).trimmed();
}
inline std::optional<QByteArray> clipboard() {
  return run(QStringLiteral("xclip"), {"-selection", "clipboard", "-o", "-t", "UTF8_STRING"});
}
inline bool isActive(unsigned long window) { return activeWindow() == QByteArray::number(qulonglong(window)); }
inline bool isInstalled(const QString& program) { return !QStandardPaths::findExecutable(program).isEmpty(); }

// A window of Quillet's shown since own were: a list, a form, the search window.
inline QByteArray shownSince(const QList<QByteArray>& own) {
  for (const QByteArray& id : visibleWindows(QStringLiteral("[Qq]uillet")))
    if (!own.contains(id)) return id;
  return {};
}

inline QRect geometryOf(unsigned long window) {
  QRect r;
  const QByteArray shell =
      run(QStringLiteral("xdotool"), {"getwindowgeometry", "--shell", QString::number(window)}).value_or(QByteArray());
  for (const QByteArray& line : shell.split('\n')) {
    const int value = line.mid(line.indexOf('=') + 1).toInt();
    if (line.startsWith("X=")) r.moveLeft(value);
    if (line.startsWith("Y=")) r.moveTop(value);
    if (line.startsWith("WIDTH=")) r.setWidth(value);
    if (line.startsWith("HEIGHT=")) r.setHeight(value);
  }
  return r;
}

// A hot key preference for Ctrl+Alt+character.
inline QString hotKey(const QString& name, const QString& character, int keyCode) {
  return QStringLiteral("<key>%1</key><dict><key>characters</key><string>%2</string><key>keyCode</key>"
                        "<integer>%3</integer><key>modifierFlags</key><integer>1572864</integer></dict>")
      .arg(name, character)
      .arg(keyCode);
}

// The record keys of a formatted snippet with this flat RTFD content.
inline QString formattedKeys(const QByteArray& rtfd) {
  return QStringLiteral("<key>snippetType</key><integer>1</integer><key>isConvertToHTML</key><false/>"
                        "<key>formattedText</key><data>%1</data>")
      .arg(QString::fromLatin1(rtfd.toBase64()));
}

class QuilletProgram final {
 public:
  // morePreferences: property-list keys and values added to the preferences.
  QuilletProgram(int extendType, const QList<E2ESnippet>& snippets,
                 const QStringList& delimiters = {QStringLiteral("space")}, const QString& morePreferences = {})
      : appFolder_(home_.filePath(QStringLiteral(".local/share/Orrery Labs/Quillet1"))) {
    QDir().mkpath(appFolder_);
    ::test::writeFile(settingsPath(), ::test::libraryFile(extendType, {{{}, snippets}}, delimiters, morePreferences));
  }

  // typingIn: the window the user types in, given back the focus once
  // Quillet's own window has shown (0: the active window).
  bool start(unsigned long typingInWindow = 0) {
    const QByteArray typingIn =
        typingInWindow ? QByteArray::number(qulonglong(typingInWindow)) : activeWindow();
    client_ = std::make_unique<Client>(QStringLiteral(QUILLET_PROGRAM), QStringList{}, environment());
    // The statistics file is written once the hook is in place.
    if (!waitUntil([&] { return QFile::exists(statisticsPath()) || !client_->isRunning(); }, 10000) ||
        !client_->isRunning())
      return false;
    // Then Quillet shows its library window in front, and the user goes back
    // to the application they type in.
    waitUntil([&] { return visibleWindows(QStringLiteral("^Quillet$"), QStringLiteral("--name")).contains(activeWindow()); },
              10000);
    if (!typingIn.isEmpty()) activateWindow(typingIn.toULong());
    return client_->isRunning();
  }

  bool isRunning() const { return client_ && client_->isRunning(); }
  QStringList environment() const {
    const QString h = home_.path();
    // The test's X server, even when the tests run in a Wayland session.
    return {"HOME=" + h, "XDG_DATA_HOME=" + h + "/.local/share", "XDG_CONFIG_HOME=" + h + "/.config",
            "XDG_CACHE_HOME=" + h + "/.cache", "QUILLET_PLATFORM=x11"};
  }
  // The library file, to read what was made or change it before start().
  QString settingsPath() const { return appFolder_ + QStringLiteral("/settings.qlxdoc"); }

  // Expansions counted so far, as the statistics file says.
  int expansions() const {
    if (!QFile::exists(statisticsPath())) return -1;
    static const QRegularExpression expanded(
        QStringLiteral("<key>expanded</key>\\s*<integer>(\\d+)</integer>"));
    const auto m = expanded.match(QString::fromUtf8(::test::readFile(statisticsPath())));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
  }
  bool waitForExpansions(int count, int timeoutMs = 5000) const {
    return waitUntil([&] { return expansions() >= count; }, timeoutMs);
  }

 private:
  QString statisticsPath() const { return appFolder_ + QStringLiteral("/statistics.plist"); }

  QTemporaryDir home_;
  QString appFolder_;
  std::unique_ptr<Client> client_;
};

// Types like a person: xdotool presses each key, one after the other.
inline bool typeText(const QString& text, int delayMs = 30) {
  return run(QStringLiteral("xdotool"),
             {QStringLiteral("type"), QStringLiteral("--delay"), QString::number(delayMs), text})
      .has_value();
}

inline bool pressKeys(const QStringList& keys) {
  return run(QStringLiteral("xdotool"), QStringList{QStringLiteral("key")} + keys).has_value();
}

// FeatherPad, a Qt text editor from Debian, on a file of its own that it
// saves with Ctrl+S.
class FeatherPad final {
 public:
  explicit FeatherPad(const QByteArray& contents = {}) : path_(dir_.filePath(QStringLiteral("note.txt"))) {
    ::test::writeFile(path_, contents);
    const QString home = dir_.filePath(QStringLiteral("editor-home"));
    client_ = std::make_unique<Client>(QStringLiteral("featherpad"), QStringList{QStringLiteral("--standalone"), path_},
                                       QStringList{"HOME=" + home, "XDG_CONFIG_HOME=" + home + "/.config"});
  }
  // Mapped and active.
  bool waitReady() {
    return waitUntil([&] { return (window_ = visibleWindow(QStringLiteral("[Ff]eather[Pp]ad"))) != 0; }, 15000) &&
           activateWindow(window_);
  }
  unsigned long window() const { return window_; }
  QByteArray saved() const { return ::test::readFile(path_); }
  // Saves, and waits until the file says what is expected.
  bool saveUntil(const std::function<bool(const QByteArray&)>& expected) {
    return pressKeys({QStringLiteral("ctrl+s")}) && waitUntil([&] { return expected(saved()); });
  }

 private:
  QTemporaryDir dir_;
  QString path_;
  std::unique_ptr<Client> client_;
  unsigned long window_ = 0;
};

// The field of gtk_entry.py, mapped and active (0: not).
inline unsigned long openEntry(std::unique_ptr<Client>& entry, const QStringList& arguments) {
  entry = std::make_unique<Client>(QStringLiteral("/usr/bin/python3"),
                                   QStringList{QStringLiteral(QUILLET_X11_TEST_DIR "/gtk_entry.py")} + arguments);
  unsigned long window = 0;
  const bool shown = waitUntil([&] { return (window = visibleWindow("^entry$", "--name")) != 0; }, 30000);
  return shown && activateWindow(window) ? window : 0;
}

// A window manager, the user's own clipboard, the application typed in and
// Quillet, for the tests that run the program.
class E2ETest : public testing::Test {
 protected:
  void SetUp() override {
    if (!isInstalled(windowManager)) GTEST_SKIP() << windowManager.toStdString() << " is not installed";
    // xfwm4 reads its settings over the session bus and exits without one.
    if (windowManager == QLatin1String("xfwm4") && qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
      bus = std::make_unique<SessionBus>();
      ASSERT_TRUE(bus->isRunning());
    }
    wm = std::make_unique<WindowManager>(windowManager);
    ASSERT_TRUE(wm->isRunning());
  }
  void TearDown() override {
    if (layoutChanged) run(QStringLiteral("setxkbmap"), {QStringLiteral("us")});
  }

  void setLayout(const QString& layout) {
    layoutChanged = true;
    ASSERT_TRUE(run(QStringLiteral("setxkbmap"), {layout}));
  }

  // Served by xclip for the whole test, until someone else copies.
  void ownClipboard(const QByteArray& text) {
    const QString path = dir.filePath(QStringLiteral("mine.txt"));
    ASSERT_TRUE(::test::writeFile(path, text));
    xclip = std::make_unique<Client>(QStringLiteral("xclip"),
                                     QStringList{"-selection", "clipboard", "-loops", "0", "-quiet", "-i", path});
    ASSERT_TRUE(waitUntil([&] { return clipboard() == text; }));
  }
  bool clipboardComesBack(const QByteArray& text) {
    return waitUntil([&] { return clipboard() == text; }, 10000);
  }

  // An xterm with `cat` reading, in front, and a line typed has come
  // through: on a loaded machine the first keys can come before the window
  // has the focus or before `cat` runs; what they left is the test's base.
  void openTerminal(bool pastes = true) {
    terminal = std::make_unique<CatTerminal>(pastes);
    ASSERT_TRUE(terminal->waitReady());
    for (int attempt = 0; attempt < 5; ++attempt) {
      ASSERT_TRUE(activateWindow(terminal->window()));
      ASSERT_TRUE(typeText(QStringLiteral("ok")) && pressKeys({QStringLiteral("Return")}));
      if (waitUntil([&] { return terminal->contents().endsWith("ok\n"); }, 3000)) {
        base = terminal->contents();
        return;
      }
    }
    FAIL() << "the terminal takes no keys";
  }
  bool terminalHas(const QByteArray& typed, int timeoutMs = 5000) {
    const bool ok = terminal->waitForContents(base + typed, timeoutMs);
    if (!ok) ADD_FAILURE() << terminal->contents().right(400).toStdString();
    return ok;
  }
  // Return, then the terminal has typed (and the Return) after its base.
  bool endLine(const QByteArray& typed, int timeoutMs = 5000) {
    return pressKeys({QStringLiteral("Return")}) && terminalHas(typed, timeoutMs);
  }

  // Started for the active window, which gets the focus back.
  void startQuillet(int extendType, const QList<E2ESnippet>& snippets,
                    const QStringList& delimiters = {QStringLiteral("space")}, const QString& morePreferences = {}) {
    quillet = std::make_unique<QuilletProgram>(extendType, snippets, delimiters, morePreferences);
    ASSERT_TRUE(quillet->start());
    own = visibleWindows(QStringLiteral("[Qq]uillet"));
  }
  // One of Quillet's windows shown since start, and has it the keyboard?
  bool waitShown(bool shown) {
    return waitUntil([&] { return shownSince(own).isEmpty() != shown; });
  }
  bool waitShownActive() {
    return waitUntil([&] {
      const QByteArray w = shownSince(own);
      return !w.isEmpty() && isActive(w.toULong());
    }, 10000);
  }

  QString windowManager = QStringLiteral("openbox");
  std::unique_ptr<SessionBus> bus;  // before the window manager, gone after it
  QTemporaryDir dir;
  std::unique_ptr<WindowManager> wm;
  std::unique_ptr<Client> xclip;
  std::unique_ptr<CatTerminal> terminal;
  QByteArray base;  // what the terminal held before the test typed
  std::unique_ptr<QuilletProgram> quillet;
  QList<QByteArray> own;  // Quillet's windows once it started
  bool layoutChanged = false;
};

}  // namespace ql::test
