// import: merge another program's library into a Quillet library.
#include "commands.h"

#include "model/import_session.h"
#include "model/ql_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tool {

namespace {

const char* kImportUsage =
    "usage: quillet-tool import quillet|textexpander|windows FILE [--into LIBRARY]\n"
    "                           [--groups 0|1|2] [--snippets 0|1|2] [--convert-codes] [--dry-run]";

bool option(const QString& text, int& value) {
  bool ok = false;
  const int v = text.toInt(&ok);
  if (!ok || v < 0 || v > 2) return false;
  value = v;
  return true;
}

// Some of the import messages hold a line break; a tool message is one line.
QString oneLine(const QString& message) {
  return QString(message).replace(QStringLiteral("\r\n"), QStringLiteral(" "));
}

void printSummary(const ql::ImportSession& s) {
  const auto row = [](const char* title, qint64 groups, qint64 snippets) {
    printOut(QStringLiteral("%1 %2 groups %3 snippets").arg(QLatin1String(title)).arg(groups).arg(snippets));
  };
  row("Found", s.foundGroup, s.foundSnippet);
  row("Duplicates", s.duplicateGroup, s.duplicateSnippet);
  row("Imported", s.importedGroup, s.importedSnippet);
}

}  // namespace

int runImport(const QStringList& args) {
  QStringList positional;
  QString into;
  int groups = ql::ImportSession::Skip;
  int snippets = ql::ImportSession::Skip;
  bool convertCodes = false;
  bool dryRun = false;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == QLatin1String("--into") && hasValue) {
      into = args[++i];
    } else if (a == QLatin1String("--groups") && hasValue && option(args[i + 1], groups)) {
      ++i;
    } else if (a == QLatin1String("--snippets") && hasValue && option(args[i + 1], snippets)) {
      ++i;
    } else if (a == QLatin1String("--convert-codes")) {
      convertCodes = true;
    } else if (a == QLatin1String("--dry-run")) {
      dryRun = true;
    } else if (a.startsWith(QLatin1String("--"))) {
      printErr(QString::fromLatin1(kImportUsage));
      return 2;
    } else {
      positional.append(a);
    }
  }
  const QStringList kinds = {QStringLiteral("quillet"), QStringLiteral("textexpander"),
                             QStringLiteral("windows")};
  if (positional.size() != 2 || !kinds.contains(positional[0])) {
    printErr(QString::fromLatin1(kImportUsage));
    return 2;
  }

  // The readers only say the format was wrong; a file that cannot be opened
  // is told as such, with the reason.
  QFile source(positional[1]);
  if (QFileInfo(positional[1]).isDir() || !source.open(QIODevice::ReadOnly)) {
    const QString why = QFileInfo(positional[1]).isDir() ? QStringLiteral("Is a directory") : source.errorString();
    printErr(QStringLiteral("cannot read %1: %2").arg(positional[1], why));
    return 1;
  }
  source.close();

  const QString library = QFileInfo(into.isEmpty() ? QLSettings::settingsPath() : into).absoluteFilePath();
  QLSettings live;
  // A library that cannot be read is never overwritten by one that holds
  // only the import.
  if (QFileInfo::exists(library) && !live.loadSettings(library, true, true)) {
    printErr(QStringLiteral("cannot read %1").arg(library));
    return 1;
  }

  ql::ImportSession session(&live);
  session.importType = int(kinds.indexOf(positional[0]));
  session.path = positional[1];
  session.groupOption = groups;
  session.snippetOption = snippets;
  session.convertCodes = convertCodes;
  if (!session.validateImport()) {
    printErr(oneLine(session.message));
    return 1;
  }
  printSummary(session);
  if (session.importedGroup == 0 && session.importedSnippet == 0) {
    printErr(oneLine(ql::ImportSession::kUnableToImport));
    return 1;
  }
  if (dryRun) return 0;
  if (!session.import(&live)) {
    printErr(oneLine(ql::ImportSession::kUnableToImport));
    return 1;
  }
  QDir().mkpath(QFileInfo(library).absolutePath());
  if (!live.saveBackup(library)) {
    printErr(QStringLiteral("cannot write %1").arg(library));
    return 1;
  }
  return 0;
}

}  // namespace tool
