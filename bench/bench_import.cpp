// Importing large foreign libraries: a TextExpander file and a Windows
// export of 10,000 snippets each, read, checked and merged.
#include "bench_main.h"
#include "model/import_rich_text.h"
#include "model/import_session.h"
#include "model/ql_settings.h"

#include "../tests/model/typedstream_writer.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kGroups = 100;
constexpr int kSnippets = 10000;

// One formatted snippet in ten, like libraries seen in the wild; one of
// those in ten carries a small image.
QByteArray richText(int i) {
  testing_ts::ArchiveRun head;
  head.length = 8;
  head.font = "Helvetica-Bold";
  head.size = 14;
  head.color = std::array<float, 3>{0.2f, 0.3f, 0.4f};
  head.alignment = 4;
  head.tabs = {28, 56, 84};
  testing_ts::ArchiveRun body;
  body.length = 30;
  body.font = "Georgia";
  std::vector<testing_ts::ArchiveRun> runs = {head, body};
  QString text = QStringLiteral("Heading\nBody text of snippet number %1").arg(i, 5, 10, QLatin1Char('0'));
  text.truncate(38);
  if (i % 100 == 0) {
    testing_ts::ArchiveRun image;
    image.length = 1;
    image.attachment = QByteArray(2000, char(i));
    image.attachmentName = "image.png";
    runs.push_back(image);
    text += QChar(0xFFFC);
  }
  return testing_ts::attributedString(text, runs);
}

QByteArray textExpanderFile() {
  QByteArray x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
                 "<key>groupsTE2</key><array>\n";
  for (int g = 0; g < kGroups; ++g) {
    x += "<dict><key>name</key><string>Group " + QByteArray::number(g) +
         "</string><key>expandAfterMode</key><integer>0</integer>"
         "<key>expanderExceptionsMode</key><integer>4</integer><key>snippetUUIDs</key><array>";
    for (int s = g; s < kSnippets; s += kGroups) x += "<string>U" + QByteArray::number(s) + "</string>";
    x += "</array></dict>\n";
  }
  x += "</array><key>snippetsTE2</key><array>\n";
  for (int s = 0; s < kSnippets; ++s) {
    const bool rich = s % 10 == 0;
    x += "<dict><key>abbreviation</key><string>;abbr" + QByteArray::number(s) +
         "</string><key>abbreviationMode</key><integer>0</integer>"
         "<key>creationDate</key><date>2012-01-01T10:00:00Z</date>"
         "<key>label</key><string>Label " + QByteArray::number(s) + "</string>"
         "<key>plainText</key><string>Dear %fill:name%,\nthank you for message " + QByteArray::number(s) +
         " of %Y-%m-%d.%|\nRegards</string><key>snippetType</key><integer>" + (rich ? "1" : "0") +
         "</integer><key>useCount</key><integer>3</integer><key>uuidString</key><string>U" +
         QByteArray::number(s) + "</string>";
    if (rich) x += "<key>richText</key><data>" + richText(s).toBase64() + "</data>";
    x += "</dict>\n";
  }
  return x + "</array></dict></plist>\n";
}

QByteArray windowsFile() {
  QByteArray x = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Quillet><Groups>\n";
  for (int g = 0; g < kGroups; ++g) {
    x += "<Group><uuid>G" + QByteArray::number(g) + "</uuid><name>Group " + QByteArray::number(g) +
         "</name><expandType>0</expandType><snippts>";
    for (int s = g; s < kSnippets; s += kGroups) x += "<string>U" + QByteArray::number(s) + "</string>";
    x += "</snippts></Group>\n";
  }
  x += "</Groups><Snippets>\n";
  for (int s = 0; s < kSnippets; ++s)
    x += "<Snippet><uuid>U" + QByteArray::number(s) + "</uuid><abbreviation>;w" + QByteArray::number(s) +
         "</abbreviation><label>Label</label><plainText>Some text of snippet " + QByteArray::number(s) +
         "</plainText><snippetType>ST_PLAIN_TEXT</snippetType><useCount>2</useCount></Snippet>\n";
  return x + "</Snippets></Quillet>\n";
}

struct Files {
  QTemporaryDir dir;
  QString textExpander = dir.filePath("big.textexpander");
  QString windows = dir.filePath("big.qlxdoc");
  Files() {
    for (const auto& [path, bytes] : {std::pair{textExpander, textExpanderFile()},
                                      std::pair{windows, windowsFile()}}) {
      QFile f(path);
      f.open(QIODevice::WriteOnly);
      f.write(bytes);
    }
  }
};

const Files& files() {
  static const Files f;
  return f;
}

void BM_ReadTextExpander10k(benchmark::State& state) {
  for (auto _ : state) {
    QLSettings s;
    benchmark::DoNotOptimize(s.importFromTEMac(files().textExpander));
  }
  state.SetItemsProcessed(state.iterations() * kSnippets);
}
BENCHMARK(BM_ReadTextExpander10k)->Unit(benchmark::kMillisecond);

// What the user waits for: the check (read, duplicate counts, trial merge)
// and the merge into a library that already holds 2,000 snippets.
void BM_ImportTextExpander10k(benchmark::State& state) {
  QLSettings library;
  for (int i = 0; i < 2000; ++i) {
    if (i % 100 == 0) {
      library.groups.append(std::make_shared<QLGroup>());
      library.groups.last()->name = QStringLiteral("Mine %1").arg(i);
    }
    auto sn = std::make_shared<QLSnippet>();
    sn->abbreviation = QStringLiteral(";mine%1").arg(i);
    sn->plainText = QStringLiteral("text %1").arg(i);
    sn->groupUuid = library.groups.last()->uuid;
    library.groups.last()->snippts.append(sn->uuid);
    library.snippets.append(sn);
  }
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<QLSettings> live = ql::deepCopy(library);
    state.ResumeTiming();
    ql::ImportSession session(live.get());
    session.importType = ql::ImportSession::TextExpander;
    session.path = files().textExpander;
    session.convertCodes = true;
    session.validateImport();
    benchmark::DoNotOptimize(session.import(live.get()));
  }
  state.SetItemsProcessed(state.iterations() * kSnippets);
}
BENCHMARK(BM_ImportTextExpander10k)->Unit(benchmark::kMillisecond);

void BM_ReadWindows10k(benchmark::State& state) {
  for (auto _ : state) {
    QLSettings s;
    benchmark::DoNotOptimize(s.importFromQLXWindows(files().windows));
  }
  state.SetItemsProcessed(state.iterations() * kSnippets);
}
BENCHMARK(BM_ReadWindows10k)->Unit(benchmark::kMillisecond);

void BM_RichTextArchive(benchmark::State& state) {
  const QByteArray archive = richText(7);
  for (auto _ : state) benchmark::DoNotOptimize(ql::attributedTextFromArchive(archive));
}
BENCHMARK(BM_RichTextArchive);

}  // namespace

int main(int argc, char** argv) {
  return runBenchmarks(argc, argv);
}
