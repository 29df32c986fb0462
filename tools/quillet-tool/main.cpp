// quillet-tool: Quillet's command-line companion.
#include "cmd_text.h"
#include "commands.h"

#include <QCoreApplication>

#include <functional>
#include <map>

namespace {

const char* kUsage =
    "usage: quillet-tool COMMAND [ARGS]\n"
    "\n"
    "  check [FILE]        load a library, backup or saved group; print its counts\n"
    "  convert IN OUT      read IN (XML or binary) and write it as Quillet writes libraries\n"
    "  list [FILE]         one line per snippet: group, abbreviation, label\n"
    "  render FILE ABBREVIATION [--case N] [--clipboard TEXT] [--fill NAME=VALUE ...]\n"
    "                      what the snippet expands to, as JSON\n"
    "  import quillet|textexpander|windows FILE [--into LIBRARY] [--groups 0|1|2]\n"
    "         [--snippets 0|1|2] [--convert-codes] [--dry-run]\n"
    "                      check another library, print what it holds, merge it in\n"
    "  stats [--period 0|1|2] [--wpm N]\n"
    "                      expansions, characters and hours saved (all time, 30 days, 7 days)\n"
    "  text FILE --to plain|rtf|rtfd|html\n"
    "                      convert RTF, flat RTFD or an RTFD folder\n"
    "\n"
    "FILE defaults to your library file.\n";

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("quillet-tool"));
  QStringList args = QCoreApplication::arguments().mid(1);
  if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
    std::fputs(kUsage, args.isEmpty() ? stderr : stdout);
    std::fflush(stdout);
    return args.isEmpty() ? 2 : 0;
  }
  const std::map<QString, std::function<int(const QStringList&)>> commands = {
      {QStringLiteral("check"), tool::runCheck},
      {QStringLiteral("convert"), tool::runConvert},
      {QStringLiteral("list"), tool::runList},
      {QStringLiteral("render"), tool::runRender},
      {QStringLiteral("import"), tool::runImport},
      {QStringLiteral("stats"), tool::runStats},
      {QStringLiteral("text"), runTextCommand},
  };
  const QString name = args.takeFirst();
  const auto it = commands.find(name);
  if (it == commands.end()) {
    tool::printErr(QStringLiteral("unknown command '%1'").arg(name));
    std::fputs(kUsage, stderr);
    return 2;
  }
  return it->second(args);
}
