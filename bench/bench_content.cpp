// Expanding a large formatted snippet: 10,000 characters with 40 codes of
// every kind, then cutting the result into parts.
#include "bench_main.h"
#include "content/text/flat_rtfd.h"
#include "model/ql_snippet.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

QLSnippet bigSnippet() {
  const QStringList codes = {"%Y", "%B", "%1m", "%A", "%e", "%H", "%1I", "%M", "%S", "%p",
                             "{clipboard}", "{key:tab}", "{key:return}", "{fill:name}", "%|",
                             "{fill:City}", "{key:enter}", "%d", "%b", "{key:esc}"};
  ql::AttributedText t;
  ql::TextAttributes plain, bold, italic;
  bold.bold = true;
  italic.italic = true;
  italic.foreground = ql::TextColor{200, 0, 0};
  int i = 0;
  while (t.length() < 10000) {
    t.append(QStringLiteral("Lorem ipsum dolor sit amet, consectetur adipiscing elit. "),
             i % 3 == 0 ? plain : (i % 3 == 1 ? bold : italic));
    if (i % 5 == 0 && i / 5 < 40) t.append(codes[(i / 5) % codes.size()], bold);
    if (i % 9 == 0) t.append(QStringLiteral("\n"), plain);
    ++i;
  }
  QLSnippet s;
  s.snippetType = QLSnippet::Formatted;
  s.formattedText = ql::writeFlatRtfd(t);
  return s;
}

void BM_ProcessSnippet(benchmark::State& state) {
  QLSnippet s = bigSnippet();
  for (auto _ : state) {
    QList<ql::CodeOccurrence> keys, fills;
    int length = 0;
    benchmark::DoNotOptimize(s.processSnippet(int(state.range(0)), &keys, &fills, &length));
  }
}
BENCHMARK(BM_ProcessSnippet)->Arg(0)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

void BM_SnippetParts(benchmark::State& state) {
  QLSnippet s = bigSnippet();
  int length = 0;
  const auto content = s.processSnippet(0, nullptr, nullptr, &length);
  for (auto _ : state) benchmark::DoNotOptimize(QLSnippet::snippetParts(*content));
}
BENCHMARK(BM_SnippetParts)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return runBenchmarks(argc, argv);
}
