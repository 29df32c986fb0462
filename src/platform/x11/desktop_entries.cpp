#include "platform/x11/desktop_entries.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>

namespace ql {
namespace {

constexpr qint64 kMaxEntrySize = 256 * 1024;

// String values escape \s, \n, \t, \r and \\.
QString unescape(const QString& value) {
  if (!value.contains(u'\\')) return value;
  QString out;
  out.reserve(value.size());
  for (qsizetype i = 0; i < value.size(); ++i) {
    const QChar c = value[i];
    if (c != u'\\' || i + 1 == value.size()) {
      out += c;
      continue;
    }
    const QChar n = value[++i];
    if (n == u's') out += u' ';
    else if (n == u'n') out += u'\n';
    else if (n == u't') out += u'\t';
    else if (n == u'r') out += u'\r';
    else out += n;
  }
  return out;
}

// The program Exec starts: its first word (quotes allowed), past an "env"
// with its assignments.
QString programOf(const QString& exec) {
  QStringList words;
  QString word;
  bool quoted = false, inWord = false;
  for (qsizetype i = 0; i < exec.size() && words.size() < 8; ++i) {
    const QChar c = exec[i];
    if (quoted) {
      if (c == u'\\' && i + 1 < exec.size()) word += exec[++i];
      else if (c == u'"') quoted = false;
      else word += c;
    } else if (c == u'"') {
      quoted = inWord = true;
    } else if (c.isSpace()) {
      if (inWord) words.append(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.append(word);
  qsizetype i = 0;
  if (i < words.size() && QFileInfo(words[i]).fileName() == QLatin1String("env")) {
    ++i;
    while (i < words.size() && (words[i].contains(u'=') || words[i].startsWith(u'-'))) ++i;
  }
  return i < words.size() ? QFileInfo(words[i]).fileName() : QString();
}

QString displayFor(const InstalledApplication& app) {
  return app.displayName.isEmpty() ? app.name : app.displayName;
}

}  // namespace

QStringList localeKeys(const QString& locale) {
  QString l = locale;
  QString modifier;
  if (const qsizetype at = l.indexOf(u'@'); at >= 0) {
    modifier = l.mid(at + 1);
    l.truncate(at);
  }
  if (const qsizetype dot = l.indexOf(u'.'); dot >= 0) l.truncate(dot);
  if (l.isEmpty() || l == QLatin1String("C") || l == QLatin1String("POSIX")) return {};
  const QString lang = l.section(u'_', 0, 0);
  const bool hasCountry = l.contains(u'_');
  QStringList keys;
  if (hasCountry && !modifier.isEmpty()) keys << l + u'@' + modifier;
  if (hasCountry) keys << l;
  if (!modifier.isEmpty()) keys << lang + u'@' + modifier;
  keys << lang;
  return keys;
}

QString messagesLocale() {
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const QString v = qEnvironmentVariable(var);
    if (!v.isEmpty()) return v;
  }
  return {};
}

std::optional<DesktopEntry> readDesktopEntry(const QString& path, const QStringList& locales) {
  QFile file(path);
  // Real entries are a few kilobytes; a huge file is not one, and would
  // hold up the picker.
  if (file.size() > kMaxEntrySize || !file.open(QIODevice::ReadOnly)) return std::nullopt;
  QHash<QString, QString> values;
  bool inGroup = false;
  while (!file.atEnd()) {
    const QString line = QString::fromUtf8(file.readLine()).trimmed();
    if (line.startsWith(u'[')) {
      // Only the first group matters; actions come after it.
      if (inGroup) break;
      inGroup = line == QLatin1String("[Desktop Entry]");
      continue;
    }
    if (!inGroup || line.isEmpty() || line.startsWith(u'#')) continue;
    const qsizetype eq = line.indexOf(u'=');
    if (eq <= 0) continue;
    const QString key = line.left(eq).trimmed();
    if (!values.contains(key)) values.insert(key, line.mid(eq + 1).trimmed());
  }
  if (values.value(QStringLiteral("Type")) != QLatin1String("Application") ||
      values.value(QStringLiteral("NoDisplay")) == QLatin1String("true") ||
      values.value(QStringLiteral("Hidden")) == QLatin1String("true"))
    return std::nullopt;
  DesktopEntry entry;
  for (const QString& l : locales) {
    entry.name = unescape(values.value(QStringLiteral("Name[%1]").arg(l)));
    if (!entry.name.isEmpty()) break;
  }
  entry.untranslatedName = unescape(values.value(QStringLiteral("Name")));
  if (entry.name.isEmpty()) entry.name = entry.untranslatedName;
  if (entry.name.isEmpty()) return std::nullopt;
  const QStringList categories =
      values.value(QStringLiteral("Categories")).split(u';', Qt::SkipEmptyParts);
  entry.isQt = categories.contains(QLatin1String("Qt")) || categories.contains(QLatin1String("KDE"));
  entry.executable = programOf(values.value(QStringLiteral("Exec")));
  entry.startupWMClass = unescape(values.value(QStringLiteral("StartupWMClass")));
  entry.icon = unescape(values.value(QStringLiteral("Icon")));
  return entry;
}

QString toolkitWindowClass(const QString& executable) {
  QString cls = executable;
  if (!cls.isEmpty()) cls[0] = cls[0].toUpper();
  return cls;
}

QString expectedWindowClass(const DesktopEntry& entry) {
  if (entry.isQt && !entry.executable.isEmpty() &&
      entry.untranslatedName.compare(entry.executable, Qt::CaseInsensitive) == 0)
    return entry.untranslatedName;
  return toolkitWindowClass(entry.executable);
}

QStringList applicationFolders() {
  return QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                   QStringLiteral("applications"),
                                   QStandardPaths::LocateDirectory);
}

QList<InstalledApplication> applicationCatalogue(const QStringList& folders,
                                                 const QList<RunningApplication>& running,
                                                 const QStringList& locales) {
  // Running programs by the names their windows could be found under.
  QHash<QString, QString> classByProgram;
  // StartupWMClass may name the instance rather than the class ("chromium"
  // for "Chromium"); a running window tells which.
  QHash<QString, QString> classByInstance;
  QSet<QString> classes;
  for (const RunningApplication& r : running) {
    if (r.windowClass.isEmpty()) continue;
    classes.insert(r.windowClass);
    if (!r.instance.isEmpty() && !classByInstance.contains(r.instance))
      classByInstance.insert(r.instance, r.windowClass);
  }
  for (const RunningApplication& r : running) {
    if (r.windowClass.isEmpty()) continue;
    for (const QString& key : {r.executable, r.instance})
      if (!key.isEmpty() && !classByProgram.contains(key.toLower()))
        classByProgram.insert(key.toLower(), r.windowClass);
  }

  QList<InstalledApplication> apps;
  QSet<QString> seenIds, names;
  for (const QString& folder : folders) {
    const QDir base(folder);
    QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString path = it.next();
      const QString id = base.relativeFilePath(path);
      if (seenIds.contains(id)) continue;  // an earlier folder overrides
      seenIds.insert(id);
      const std::optional<DesktopEntry> e = readDesktopEntry(path, locales);
      if (!e) continue;
      InstalledApplication app;
      app.name = e->startupWMClass;
      if (!app.name.isEmpty() && !classes.contains(app.name))
        app.name = classByInstance.value(app.name, app.name);
      if (app.name.isEmpty()) app.name = classByProgram.value(e->executable.toLower());
      if (app.name.isEmpty()) app.name = expectedWindowClass(*e);
      if (app.name.isEmpty() || names.contains(app.name)) continue;
      names.insert(app.name);
      app.displayName = e->name;
      app.path = path;
      app.iconName = e->icon;
      apps.append(app);
    }
  }
  for (const RunningApplication& r : running) {
    if (r.windowClass.isEmpty() || names.contains(r.windowClass)) continue;
    names.insert(r.windowClass);
    apps.append({r.windowClass, r.executable, QString(), QString()});
  }
  std::sort(apps.begin(), apps.end(), [](const InstalledApplication& a, const InstalledApplication& b) {
    return displayFor(a).compare(displayFor(b), Qt::CaseInsensitive) < 0;
  });
  return apps;
}

QList<InstalledApplication> desktopApplications(const QList<RunningApplication>& running) {
  return applicationCatalogue(applicationFolders(), running, localeKeys(messagesLocale()));
}

}  // namespace ql
