// Rich text: RTF and flat RTFD reading and writing, attributed-text edits.
#include "content/text/flat_rtfd.h"
#include "content/text/html_export.h"
#include "content/text/rtf_reader.h"
#include "content/text/rtf_writer.h"

#include <benchmark/benchmark.h>

#include <QRandomGenerator>

namespace {

// Mixed formatting: fonts, sizes, styles, colours, links, paragraph styles
// and non-ASCII text, grown until its RTF reaches the wanted size.
ql::AttributedText mixedDocument(qsizetype rtfBytes) {
  static const QStringList words = {
      QStringLiteral("Lorem ipsum dolor sit amet, "), QStringLiteral("café crème "),
      QStringLiteral("Привет мир "),                  QStringLiteral("שלום עולם "),
      QStringLiteral("emoji 😀 "),                    QStringLiteral("{braces} \\ "),
      QStringLiteral("tab\tseparated "),               QStringLiteral("€100 "),
  };
  static const QStringList fonts = {QStringLiteral("Helvetica"), QStringLiteral("Menlo"),
                                    QStringLiteral("Times New Roman")};
  QRandomGenerator rng(42);
  ql::AttributedText t;
  int i = 0;
  while (ql::writeRtf(t).size() < rtfBytes) {
    for (int n = 0; n < 2000; ++n, ++i) {
      ql::TextAttributes a;
      a.fontFamily = fonts[i % fonts.size()];
      a.pointSize = 10 + i % 8;
      a.bold = i % 3 == 0;
      a.italic = i % 5 == 0;
      a.underline = i % 7 == 0;
      if (i % 4 == 0) a.foreground = ql::TextColor{quint8(i % 256), 20, 200};
      if (i % 11 == 0) a.link = QStringLiteral("https://example.com/") + QString::number(i % 13);
      a.alignment = ql::TextAlignment((i / 10) % 5);
      a.tabStops = {560, 1120};
      QString text = words[rng.bounded(int(words.size()))];
      if (i % 10 == 9) text += u'\n';
      t.append(text, a);
    }
  }
  return t;
}

ql::AttributedText imageDocument() {
  QByteArray image(5 * 1024 * 1024, '\0');
  QRandomGenerator rng(7);
  rng.fillRange(reinterpret_cast<quint32*>(image.data()), image.size() / 4);
  image.replace(0, 8, "\x89PNG\r\n\x1a\n");
  ql::AttributedText t(QStringLiteral("Here is the picture: "));
  t.append(ql::AttributedText::attachment({QStringLiteral("photo.png"), image}));
  t.append(QStringLiteral("\nand some text after it."), ql::TextAttributes());
  return t;
}

void BM_ReadRtf1MB(benchmark::State& state) {
  const QByteArray rtf = ql::writeRtf(mixedDocument(1024 * 1024));
  for (auto _ : state) benchmark::DoNotOptimize(ql::readRtf(rtf));
  state.SetBytesProcessed(state.iterations() * rtf.size());
  state.counters["rtf_bytes"] = double(rtf.size());
}
BENCHMARK(BM_ReadRtf1MB)->Unit(benchmark::kMillisecond);

void BM_WriteRtf1MB(benchmark::State& state) {
  const ql::AttributedText text = mixedDocument(1024 * 1024);
  qsizetype size = 0;
  for (auto _ : state) {
    const QByteArray rtf = ql::writeRtf(text);
    size = rtf.size();
    benchmark::DoNotOptimize(rtf);
  }
  state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_WriteRtf1MB)->Unit(benchmark::kMillisecond);

void BM_ReadFlatRtfd5MBImage(benchmark::State& state) {
  const QByteArray data = ql::writeFlatRtfd(imageDocument());
  for (auto _ : state) benchmark::DoNotOptimize(ql::readFlatRtfd(data));
  state.SetBytesProcessed(state.iterations() * data.size());
}
BENCHMARK(BM_ReadFlatRtfd5MBImage)->Unit(benchmark::kMillisecond);

void BM_WriteFlatRtfd5MBImage(benchmark::State& state) {
  const ql::AttributedText text = imageDocument();
  for (auto _ : state) benchmark::DoNotOptimize(ql::writeFlatRtfd(text));
  state.SetBytesProcessed(state.iterations() * 5 * 1024 * 1024);
}
BENCHMARK(BM_WriteFlatRtfd5MBImage)->Unit(benchmark::kMillisecond);

// What one expansion does to a formatted snippet: 40 codes replaced in
// 10,000 characters of mixed runs.
void BM_Replace40In10k(benchmark::State& state) {
  ql::AttributedText base;
  for (int i = 0; base.length() < 10000; ++i) {
    ql::TextAttributes a;
    a.bold = i % 2;
    a.pointSize = 10 + i % 5;
    base.append(i % 5 == 0 ? QStringLiteral("date %Y here ") : QStringLiteral("some text "), a);
  }
  for (auto _ : state) {
    ql::AttributedText t = base;
    int at = 0;
    for (int n = 0; n < 40 && (at = t.indexOf(QStringLiteral("%Y"), at)) >= 0; ++n)
      t.replace(at, 2, QStringLiteral("2024"));
    benchmark::DoNotOptimize(t);
  }
}
BENCHMARK(BM_Replace40In10k)->Unit(benchmark::kMicrosecond);

void BM_HtmlFragment1MB(benchmark::State& state) {
  const ql::AttributedText text = mixedDocument(1024 * 1024);
  for (auto _ : state) benchmark::DoNotOptimize(ql::htmlFragment(text));
}
BENCHMARK(BM_HtmlFragment1MB)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
