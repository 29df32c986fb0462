#include "platform/x11/x11_login_items.h"

#include "platform/log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace ql {
namespace {

QString autostartFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/autostart");
}

// Exec quoting of the desktop entry format: the whole argument in double
// quotes, with ", `, $ and \ escaped.
QString quoted(const QString& argument) {
  QString escaped;
  for (QChar c : argument) {
    if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') escaped += u'\\';
    escaped += c;
  }
  // '%' introduces field codes; a literal one is doubled.
  escaped.replace(QStringLiteral("%"), QStringLiteral("%%"));
  return u'"' + escaped + u'"';
}

// The program of an Exec line: its first argument, unquoted.
QString execProgram(const QString& exec) {
  QString program;
  bool inQuotes = false;
  for (qsizetype i = 0; i < exec.size(); ++i) {
    const QChar c = exec[i];
    if (c == u'"') {
      inQuotes = !inQuotes;
    } else if (c == u'\\' && inQuotes && i + 1 < exec.size()) {
      program += exec[++i];
    } else if (c.isSpace() && !inQuotes) {
      if (!program.isEmpty()) break;
    } else {
      program += c;
    }
  }
  return program.replace(QStringLiteral("%%"), QStringLiteral("%"));
}

// An entry written by hand may name the program as found on PATH.
bool isSameProgram(const QString& exec, const QString& program) {
  if (exec == program) return true;
  if (exec.isEmpty() || exec.contains(u'/')) return false;
  const QString found = QFileInfo(QStandardPaths::findExecutable(exec)).canonicalFilePath();
  return !found.isEmpty() && found == QFileInfo(program).canonicalFilePath();
}

}  // namespace

X11LoginItems::X11LoginItems(QString program) : program_(std::move(program)) {
  if (program_.isEmpty()) program_ = QCoreApplication::applicationFilePath();
}

QString X11LoginItems::entryPath() const {
  return autostartFolder() + QStringLiteral("/quillet.desktop");
}

QStringList X11LoginItems::entriesStartingProgram() const {
  QStringList found;
  const QDir folder(autostartFolder());
  for (const QString& name : folder.entryList({QStringLiteral("*.desktop")}, QDir::Files)) {
    QFile file(folder.filePath(name));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) continue;
    while (!file.atEnd()) {
      const QString line = QString::fromUtf8(file.readLine()).trimmed();
      if (!line.startsWith(QLatin1String("Exec="))) continue;
      // The same program, not any whose path merely begins alike
      // ("quillet" must not take "quillet-tool" along).
      if (isSameProgram(execProgram(line.mid(5)), program_)) found.append(file.fileName());
      break;
    }
  }
  return found;
}

void X11LoginItems::add() {
  if (!QDir().mkpath(autostartFolder())) {
    logError(QStringLiteral("toggleLoginItem"), QStringLiteral("cannot create the autostart folder"));
    return;
  }
  QSaveFile file(entryPath());
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
    logError(QStringLiteral("toggleLoginItem"), file.errorString());
    return;
  }
  const QString entry = QStringLiteral(
                            "[Desktop Entry]\n"
                            "Type=Application\n"
                            "Name=Quillet\n"
                            "Comment=Text expander\n"
                            "Exec=%1 --autostart\n"
                            "Icon=quillet\n"
                            "Terminal=false\n"
                            "X-GNOME-Autostart-enabled=true\n")
                            .arg(quoted(program_));
  file.write(entry.toUtf8());
  if (!file.commit()) logError(QStringLiteral("toggleLoginItem"), file.errorString());
}

void X11LoginItems::remove() {
  for (const QString& path : entriesStartingProgram()) QFile::remove(path);
}

bool X11LoginItems::contains() const { return !entriesStartingProgram().isEmpty(); }

}  // namespace ql
