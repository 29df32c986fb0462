// Writes the end-to-end benchmark's settings file: one snippet the typist
// expands ("zq" -> "BEST-REGARDS-ANN#", delimiters Space and '.', retyped)
// and COUNT generated ones around it, the same as the large-library
// benchmarks use.
// usage: make_bench_library PATH COUNT
#include "library_generator.h"
#include "model/ql_settings.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_bench_library PATH COUNT\n");
    return 2;
  }
  bool ok = false;
  const int count = QString::fromLocal8Bit(argv[2]).toInt(&ok);
  if (!ok || count < 0) {
    std::fprintf(stderr, "make_bench_library: COUNT must be a number\n");
    return 2;
  }
  QLSettings library;
  library.preferences.extendType = QLPreferences::DelimiterRetyped;
  library.preferences.delimiters = {QStringLiteral("space"), QStringLiteral(".")};
  library.preferences.isPlaySound = false;
  library.preferences.isAutomaticBackup = false;
  library.preferences.isShowStatusBarIcon = false;
  auto group = std::make_shared<QLGroup>();
  group->name = QStringLiteral("Bench");
  auto s = std::make_shared<QLSnippet>();
  s->abbreviation = QStringLiteral("zq");
  s->plainText = QStringLiteral("BEST-REGARDS-ANN#");
  s->groupUuid = group->uuid;
  s->content(true);
  group->snippts.append(s->uuid);
  library.groups.append(group);
  library.snippets.append(s);
  bench::generateLibrary(library, count);
  if (!library.saveBackup(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "make_bench_library: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
