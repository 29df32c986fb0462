// check, convert and list: the library file from the command line.
#include "commands.h"

#include "model/plist.h"
#include "model/ql_settings.h"

#include <QFileInfo>

#include <cstdio>

namespace tool {

void printOut(const QString& line) {
  std::fputs(line.toLocal8Bit().constData(), stdout);
  std::fputc('\n', stdout);
}

void printErr(const QString& line) {
  std::fputs(("quillet-tool: " + line).toLocal8Bit().constData(), stderr);
  std::fputc('\n', stderr);
}

bool loadLibrary(const QString& path, QLSettings& settings) {
  QString why;
  const auto root = ql::plist::readFile(path, &why);
  if (!root) {
    printErr(QStringLiteral("cannot read %1: %2").arg(path, why));
    return false;
  }
  if (!root->dict()) {
    printErr(QStringLiteral("%1 is not a Quillet library: its root is not a dictionary").arg(path));
    return false;
  }
  if (!settings.loadBackup(path)) {
    printErr(QStringLiteral("cannot load %1").arg(path));
    return false;
  }
  return true;
}

int runCheck(const QStringList& args) {
  if (args.size() > 1) {
    printErr(QStringLiteral("usage: quillet-tool check [FILE]"));
    return 2;
  }
  const QString path = args.isEmpty() ? QLSettings::settingsPath() : args.first();
  if (args.isEmpty() && !QFileInfo::exists(path)) {
    printOut(QStringLiteral("0 groups, 0 snippets"));
    printOut(QStringLiteral("No library yet; Quillet will keep it in %1").arg(path));
    return 0;
  }
  QLSettings settings;
  if (!loadLibrary(path, settings)) return 1;
  printOut(QStringLiteral("%1 groups, %2 snippets").arg(settings.groups.size()).arg(settings.snippets.size()));
  return 0;
}

int runConvert(const QStringList& args) {
  if (args.size() != 2) {
    printErr(QStringLiteral("usage: quillet-tool convert IN OUT"));
    return 2;
  }
  QLSettings settings;
  if (!loadLibrary(args[0], settings)) return 1;
  if (!settings.saveBackup(args[1])) {
    printErr(QStringLiteral("cannot write %1").arg(args[1]));
    return 1;
  }
  return 0;
}

int runList(const QStringList& args) {
  if (args.size() > 1) {
    printErr(QStringLiteral("usage: quillet-tool list [FILE]"));
    return 2;
  }
  const QString path = args.isEmpty() ? QLSettings::settingsPath() : args.first();
  if (args.isEmpty() && !QFileInfo::exists(path)) return 0;
  QLSettings settings;
  if (!loadLibrary(path, settings)) return 1;
  for (const SnippetPtr& s : settings.snippets) {
    const GroupPtr g = s->groupUuid ? settings.getGroupByUUID(*s->groupUuid) : nullptr;
    printOut(QStringLiteral("%1\t%2\t%3").arg(g ? g->name : QString(), s->abbreviation, s->label));
  }
  return 0;
}

}  // namespace tool
