// The library window with a large library: 10,000 snippets in 1,000 groups
// (one group holds 1,000 of them), on the offscreen platform. Targets:
// shown < 500 ms, a search keystroke < 50 ms, selecting a snippet < 30 ms,
// sorting and saving < 200 ms (the window's share; the file is written
// beside it), memory with the window open < 120 MB.
#include "bench_main.h"
#include "model/ql_settings.h"
#include "model/string_utilities.h"
#include "ui/custom_outline_view.h"
#include "ui/library_outline_model.h"
#include "ui/library_window_controller.h"
#include "ui/snippet_view_controller.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

const QStringList kWords = {"alpha", "bravo", "charlie", "delta",  "echo", "foxtrot",
                            "golf",  "hotel", "india",   "juliet", "kilo", "lima"};

std::unique_ptr<QLSettings> makeLibrary() {
  auto s = std::make_unique<QLSettings>();
  for (int g = 0; g < 1000; ++g) {
    auto group = std::make_shared<QLGroup>();
    group->name = QStringLiteral("Group %1").arg(g);
    group->isExpanded = g % 10 == 0;
    s->groups.append(group);
  }
  for (int i = 0; i < 10000; ++i) {
    auto sn = std::make_shared<QLSnippet>();
    sn->abbreviation = QStringLiteral("ab%1").arg(i);
    sn->label =
        i % 3 ? QStringLiteral("Snippet %1 %2").arg(i).arg(kWords[i % kWords.size()]) : QString();
    QString body;
    for (int w = 0; w < 30; ++w) body += kWords[(i * 7 + w) % kWords.size()] + QLatin1Char(' ');
    sn->plainText = body;
    sn->useCount = (i * 7919) % 1000;
    sn->content(true);
    // The first 1,000 snippets share group 0; the rest spread over the others.
    const GroupPtr& g = s->groups[i < 1000 ? 0 : 1 + (i % 999)];
    sn->groupUuid = g->uuid;
    g->snippts.append(sn->uuid);
    s->snippets.append(sn);
  }
  return s;
}

struct Env {
  QTemporaryDir home;
  Env() {
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    QDir().mkpath(ql::Utilities::getAppPath());
  }
};

Env& env() {
  static Env e;
  return e;
}

// Shows the window and lets it paint.
void showAndPaint(LibraryWindowController& w) {
  w.resetView();
  w.showWindow();
  QCoreApplication::processEvents();
  w.window()->repaint();
}

void BM_WindowShown(benchmark::State& state) {
  env();
  for (auto _ : state) {
    state.PauseTiming();
    auto library = makeLibrary();
    state.ResumeTiming();
    {
      LibraryWindowController w(library.get(), nullptr);
      showAndPaint(w);
      state.PauseTiming();
    }
    library.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_WindowShown)->Unit(benchmark::kMillisecond)->Iterations(5);

struct Open {
  Env& home = env();
  std::unique_ptr<QLSettings> library = makeLibrary();
  LibraryWindowController window{library.get(), nullptr};
  Open() {
    library->saveSettings();
    showAndPaint(window);
  }
};

void BM_SearchKeystroke(benchmark::State& state) {
  Open open;
  QLineEdit* search = open.window.searchTextField();
  const QStringList typed = {"c",      "ch",      "cha",    "char", "charl",
                             "charli", "charlie", "charli", "charl"};
  int i = 0;
  search->setText("c");
  for (auto _ : state) {
    search->setText(typed[++i % typed.size()]);
    QCoreApplication::processEvents();
    open.window.outlineView()->viewport()->repaint();
  }
}
BENCHMARK(BM_SearchKeystroke)->Unit(benchmark::kMillisecond);

void BM_SelectSnippetToEditor(benchmark::State& state) {
  Open open;
  const GroupPtr g = open.library->groups[0];
  const auto& members = open.window.model()->childrenForItem(g.get());
  int i = 0;
  for (auto _ : state) {
    open.window.selectSnippet(g.get(), members[(i += 37) % members.size()].get());
    QCoreApplication::processEvents();
    open.window.window()->repaint();
  }
}
BENCHMARK(BM_SelectSnippetToEditor)->Unit(benchmark::kMillisecond);

// Arguments: the sort tag, and 1 to wait until the saved file is on disk
// too (the writer works beside the window; this is what a quit right after
// the sort would wait), 0 for the window's own time.
void BM_SortAndSave(benchmark::State& state) {
  Open open;
  open.window.selectGroup(open.library->groups[0].get());
  for (auto _ : state) {
    open.window.actionSort(int(state.range(0)));
    QCoreApplication::processEvents();
    open.window.outlineView()->viewport()->repaint();
    if (state.range(1)) open.window.model()->waitForSaves();
  }
}
BENCHMARK(BM_SortAndSave)->Args({5, 0})->Args({7, 0})->Args({5, 1})->Unit(benchmark::kMillisecond);

// A snippet of 1 MB shown in the editor.
void BM_SelectHugeSnippet(benchmark::State& state) {
  Open open;
  const GroupPtr g = open.library->groups[0];
  const auto& members = open.window.model()->childrenForItem(g.get());
  members[0]->plainText = QString(1'000'000, QLatin1Char('x'));
  members[0]->content(true);
  int i = 0;
  for (auto _ : state) {
    open.window.selectSnippet(g.get(), members[(i++ % 2) ? 1 : 0].get());
    QCoreApplication::processEvents();
    open.window.window()->repaint();
  }
}
BENCHMARK(BM_SelectHugeSnippet)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_MemoryWithWindowOpen(benchmark::State& state) {
  const long before = statusKb("VmRSS:");
  for (auto _ : state) {
    Open open;
    state.counters["rss_MB"] = double(statusKb("VmRSS:")) / 1024.0;
    state.counters["peak_MB"] = double(statusKb("VmHWM:")) / 1024.0;
    state.counters["added_MB"] = double(statusKb("VmRSS:") - before) / 1024.0;
  }
}
BENCHMARK(BM_MemoryWithWindowOpen)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  return runBenchmarks<QApplication>(argc, argv);
}
