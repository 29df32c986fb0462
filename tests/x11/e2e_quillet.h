#pragma once

// The quillet program itself, started on the test's Xvfb with a library
// made for the test in a HOME of its own, and driven by xdotool like a user.
#include "support/test_files.h"
#include "x_server.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <memory>
#include <optional>

namespace ql::test {

struct E2ESnippet {
  QString abbreviation;
  QString content;  // the plain text
  int matchType = 0;
};

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

class QuilletProgram final {
 public:
  // extendType: 0 immediate, 1 delimiter typed again, 2 delimiter dropped.
  // morePreferences: property-list keys and values added to the preferences.
  // formatted: flat RTFD content by abbreviation, for formatted snippets.
  QuilletProgram(int extendType, const QList<E2ESnippet>& snippets,
                 const QStringList& delimiters = {QStringLiteral("space")},
                 const QString& morePreferences = {}, const QHash<QString, QByteArray>& formatted = {})
      : appFolder_(home_.filePath(QStringLiteral(".local/share/Orrery Labs/Quillet1"))) {
    QDir().mkpath(appFolder_);
    ::test::writeFile(appFolder_ + QStringLiteral("/settings.qlxdoc"),
                      library(extendType, snippets, delimiters, morePreferences, formatted).toUtf8());
  }

  // typingIn: the window the user types in, given back the focus once
  // Quillet's own window has shown (0: the active window).
  bool start(unsigned long typingInWindow = 0) {
    const QString h = home_.path();
    const QByteArray typingIn =
        typingInWindow ? QByteArray::number(qulonglong(typingInWindow)) : activeWindow();
    client_ = std::make_unique<Client>(
        QStringLiteral(QUILLET_PROGRAM), QStringList{},
        QStringList{"HOME=" + h, "XDG_DATA_HOME=" + h + "/.local/share",
                    "XDG_CONFIG_HOME=" + h + "/.config", "XDG_CACHE_HOME=" + h + "/.cache"});
    // The statistics file is written once the hook is in place.
    if (!waitUntil([&] { return QFile::exists(statisticsPath()) || !client_->isRunning(); }, 10000) ||
        !client_->isRunning())
      return false;
    // Then Quillet shows its library window in front, and the user goes back
    // to the application they type in.
    QByteArray library;
    waitUntil([&] {
      library = run(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--name", "^Quillet$"})
                    .value_or(QByteArray())
                    .trimmed();
      return !library.isEmpty() && library.split('\n').contains(activeWindow());
    }, 10000);
    if (!typingIn.isEmpty())
      test::activateWindow(typingIn.toULong());
    return client_->isRunning();
  }

  bool isRunning() const { return client_ && client_->isRunning(); }
  // The library file, to read what was made or change it before start().
  QString settingsPath() const { return appFolder_ + QStringLiteral("/settings.qlxdoc"); }

  // Before start: the group's application rule and its applications.
  void setGroupRule(int exceptionType, const QStringList& applications) {
    QString text = QString::fromUtf8(::test::readFile(settingsPath()));
    QString names;
    for (const QString& a : applications) names += QStringLiteral("<string>%1</string>").arg(a.toHtmlEscaped());
    text.replace(QStringLiteral("<key>name</key><string>E2E</string>"),
                 QStringLiteral("<key>name</key><string>E2E</string><key>exceptionType</key><integer>%1</integer>"
                                "<key>exceptions</key><array>%2</array>")
                     .arg(exceptionType)
                     .arg(names));
    ::test::writeFile(settingsPath(), text.toUtf8());
  }

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

  static QString formattedKeys(const QByteArray& rtfd) {
    if (rtfd.isEmpty()) return {};
    return QStringLiteral("<key>snippetType</key><integer>1</integer><key>isConvertToHTML</key><false/>"
                          "<key>formattedText</key><data>%1</data>")
        .arg(QString::fromLatin1(rtfd.toBase64()));
  }

  static QString library(int extendType, const QList<E2ESnippet>& snippets, const QStringList& delimiters,
                         const QString& morePreferences, const QHash<QString, QByteArray>& formatted) {
    QString tokens;
    for (const QString& d : delimiters) tokens += QStringLiteral("<string>%1</string>").arg(d.toHtmlEscaped());
    const QString group = QStringLiteral("0E2E0000-0000-4000-8000-000000000001");
    QString members, records;
    for (int i = 0; i < snippets.size(); ++i) {
      const QString uuid = QStringLiteral("0E2E0000-0000-4000-8000-%1").arg(i + 100, 12, 10, QLatin1Char('0'));
      members += QStringLiteral("<string>%1</string>").arg(uuid);
      records += QStringLiteral(
                     "<dict><key>uuid</key><string>%1</string><key>groupUuid</key><string>%2</string>"
                     "<key>abbreviation</key><string>%3</string><key>abbreviationMatchType</key>"
                     "<integer>%4</integer><key>plainText</key><string>%5</string>%6</dict>")
                     .arg(uuid, group, snippets[i].abbreviation.toHtmlEscaped())
                     .arg(snippets[i].matchType)
                     .arg(snippets[i].content.toHtmlEscaped(),
                          formattedKeys(formatted.value(snippets[i].abbreviation)));
    }
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
               "<key>Preferences</key><dict><key>extendType</key><integer>%1</integer>"
               "<key>delimiters</key><array>%5</array>"
               "<key>isPlaySound</key><false/>%6</dict>"
               "<key>Groups</key><array><dict><key>uuid</key><string>%2</string>"
               "<key>name</key><string>E2E</string><key>snippts</key><array>%3</array></dict></array>"
               "<key>Snippets</key><array>%4</array></dict></plist>\n")
        .arg(extendType)
        .arg(group, members, records, tokens, morePreferences);
  }

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

}  // namespace ql::test
