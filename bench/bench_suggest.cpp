// The suggestion popup and the search window over a library of 10,000
// snippets: opening the popup, and one narrowing keystroke in each list.
#include "bench_main.h"

#include "model/ql_settings.h"
#include "suggest/search_snippet_popup_controller.h"
#include "suggest/search_snippet_window_controller.h"

#include <QApplication>
#include <QLineEdit>

namespace {

class Library final : public SearchSnippetPopupControllerDelegate,
                      public SearchSnippetWindowControllerDelegate {
 public:
  QLSettings library;

  Library() {
    for (int g = 0; g < 10; ++g) library.groups.append(std::make_shared<QLGroup>());
    for (int i = 0; i < 10000; ++i) {
      auto s = std::make_shared<QLSnippet>();
      s->abbreviation = QStringLiteral("ab%1").arg(i);
      s->label = QStringLiteral("Snippet number %1").arg(i);
      s->plainText = QStringLiteral("Content of snippet %1, with some ordinary words in it.").arg(i);
      s->content(false);
      const GroupPtr& group = library.groups[i % 10];
      s->groupUuid = group->uuid;
      group->snippts.append(s->uuid);
      library.snippets.append(s);
    }
  }
  QLSettings* settings() override { return &library; }
  void closeSearchPopupWindow() override {}
  void closeSearchMenuWindow() override {}
  bool hasLastActiveApp() const override { return false; }
  void activteLastApp() override {}
  bool processSnippet(const SnippetPtr&, int, int, bool, const QString&, const QString&, int) override {
    return true;
  }
  bool processSnippet(const SnippetPtr&) override { return true; }
};

Library& shared() {
  static Library library;
  return library;
}

// From the key that opens it to the popup shown with every snippet matching
// "ab1" listed (1,111 of them).
void BM_PopupOpens(benchmark::State& state) {
  SearchSnippetPopupController popup;
  popup.delegate = &shared();
  for (auto _ : state) {
    popup.close();
    popup.snippets = shared().library.snippets;
    popup.groupUuid.clear();
    popup.setSearchString(QStringLiteral("ab1"));
    popup.showAt(QPoint(100, 100));
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_PopupOpens)->Unit(benchmark::kMillisecond);

// One more character typed while the popup is open.
void BM_PopupNarrows(benchmark::State& state) {
  SearchSnippetPopupController popup;
  popup.delegate = &shared();
  popup.snippets = shared().library.snippets;
  popup.showAt(QPoint(100, 100));
  for (auto _ : state) {
    state.PauseTiming();
    popup.setSearchString(QStringLiteral("ab1"));
    QCoreApplication::processEvents();
    state.ResumeTiming();
    popup.setSearchString(QStringLiteral("ab12"));
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_PopupNarrows)->Unit(benchmark::kMillisecond);

// One more character typed into the search window's field.
void BM_SearchWindowNarrows(benchmark::State& state) {
  SearchSnippetWindowController search;
  search.delegate = &shared();
  search.snippets = shared().library.snippets;
  search.showAt(QPoint(100, 100));
  for (auto _ : state) {
    state.PauseTiming();
    search.searchTextField()->setText(QStringLiteral("snippet 1"));
    QCoreApplication::processEvents();
    state.ResumeTiming();
    search.searchTextField()->setText(QStringLiteral("snippet 12"));
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_SearchWindowNarrows)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  return runBenchmarks<QApplication>(argc, argv);
}
