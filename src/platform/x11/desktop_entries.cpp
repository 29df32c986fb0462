#include "platform/x11/desktop_entries.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>

namespace ql {
namespace {

// The [Desktop Entry] group of one file, keys without locale suffixes.
QHash<QString, QString> readEntry(const QString& path) {
  QHash<QString, QString> values;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return values;
  bool inGroup = false;
  while (!file.atEnd()) {
    const QString line = QString::fromUtf8(file.readLine()).trimmed();
    if (line.startsWith(u'[')) {
      inGroup = line == QLatin1String("[Desktop Entry]");
      continue;
    }
    if (!inGroup || line.startsWith(u'#')) continue;
    const qsizetype eq = line.indexOf(u'=');
    if (eq <= 0) continue;
    const QString key = line.left(eq).trimmed();
    if (!key.contains(u'[')) values.insert(key, line.mid(eq + 1).trimmed());
  }
  return values;
}

}  // namespace

QList<InstalledApplication> desktopApplications() {
  QList<InstalledApplication> apps;
  QSet<QString> seenIds;
  const QStringList folders =
      QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("applications"),
                                QStandardPaths::LocateDirectory);
  for (const QString& folder : folders) {
    QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString path = it.next();
      const QString id = QDir(folder).relativeFilePath(path);
      if (seenIds.contains(id)) continue;  // an earlier folder overrides
      seenIds.insert(id);
      const QHash<QString, QString> e = readEntry(path);
      if (e.value(QStringLiteral("Type")) != QLatin1String("Application")) continue;
      if (e.value(QStringLiteral("NoDisplay")) == QLatin1String("true") ||
          e.value(QStringLiteral("Hidden")) == QLatin1String("true"))
        continue;
      InstalledApplication app;
      app.name = e.value(QStringLiteral("StartupWMClass"), e.value(QStringLiteral("Name")));
      if (app.name.isEmpty()) continue;
      app.path = path;
      app.iconName = e.value(QStringLiteral("Icon"));
      apps.append(app);
    }
  }
  std::sort(apps.begin(), apps.end(), [](const InstalledApplication& a, const InstalledApplication& b) {
    return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
  });
  return apps;
}

}  // namespace ql
