// One key press through the keyboard hook (word buffer and matching) with
// 100,000 eligible snippets, in immediate and delimiter mode; and the
// rebuild of the eligible list when the front application changes.
//
// Each key press is timed on its own; the counters median_us and p99_us are
// over all presses of the run (the time column is their mean).
#include "bench_main.h"
#include "expansion/keyboard_hook.h"
#include "model/ql_settings.h"
#include "platform/log.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_keyboard_layout.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <vector>

namespace {

constexpr int kSnippets = 100000;
constexpr int kGroups = 100;

class QuietDelegate final : public KeyboardHookDelegate {
 public:
  bool mouseMouseEvent(KeyboardHook*, const ql::MouseEvent&) override { return false; }
  bool keyEvent(KeyboardHook*, const ql::KeyEvent&) override { return false; }
  QLSettings* settings() override { return library; }
  void closeSearchMenuWindow() override {}
  void closeSearchPopupWindow() override {}
  void closeFillInWindow() override {}
  void processSuggestionsHotKey(const QString&) override {}
  bool processSnippet(const SnippetPtr&, int, int, bool, const QString&, const QString&, int) override {
    ++expansions;
    return true;
  }
  void showPopup(const QString&, const QString&) override { ++popups; }

  QLSettings* library = nullptr;
  qint64 expansions = 0;
  qint64 popups = 0;
};

QString randomWord(std::mt19937& rng, int minLength, int maxLength) {
  std::uniform_int_distribution<int> length(minLength, maxLength);
  std::uniform_int_distribution<int> letter(0, 25);
  QString w;
  for (int n = length(rng); n > 0; --n) w += QChar(u'a' + letter(rng));
  return w;
}

// 100 groups of 1,000 snippets, abbreviations of 4 to 9 letters.
QLSettings& library() {
  static QLSettings lib = [] {
    QLSettings l;
    std::mt19937 rng(11);
    for (int g = 0; g < kGroups; ++g) l.groups.append(std::make_shared<QLGroup>());
    for (int i = 0; i < kSnippets; ++i) {
      auto s = std::make_shared<QLSnippet>();
      s->abbreviation = randomWord(rng, 4, 9);
      s->plainText = QStringLiteral("Snippet number %1").arg(i);
      s->abbreviationMatchType = i % 3;
      const GroupPtr& group = l.groups[i % kGroups];
      s->groupUuid = group->uuid;
      group->snippts.append(s->uuid);
      s->content(false);
      l.snippets.append(s);
    }
    return l;
  }();
  return lib;
}

// Prose-like typing: words and spaces, every eighth word an abbreviation.
std::vector<ql::KeyEvent> typing(int count) {
  std::mt19937 rng(5);
  const QLSettings& lib = library();
  QString text;
  for (int word = 0; text.size() < count; ++word) {
    text += word % 8 == 7 ? lib.snippets[int(rng() % lib.snippets.size())]->abbreviation
                          : randomWord(rng, 1, 9);
    text += QLatin1Char(' ');
  }
  std::vector<ql::KeyEvent> events;
  for (QChar c : text) {
    const auto stroke = ql::sim::SimKeyboardLayout::keyFor(c);
    ql::KeyEvent e;
    e.keyCode = stroke->keyCode;
    e.modifierFlags = stroke->modifierFlags;
    e.characters = QString(c);
    e.charactersIgnoringModifiers = e.characters;
    events.push_back(e);
  }
  return events;
}

void perKeyPress(benchmark::State& state, int extendType) {
  ql::sim::SimDesktop desktop;
  QuietDelegate delegate;
  QLSettings& lib = library();
  lib.preferences.extendType = extendType;
  lib.preferences.delimiters = {QStringLiteral("space"), QStringLiteral("."), QStringLiteral(",")};
  delegate.library = &lib;
  KeyboardHook hook(desktop.platform());
  hook.delegate = &delegate;
  hook.installHook(true);
  hook.appChanged(desktop.workspace().frontmostApplication());
  if (hook.snippets().size() != kSnippets) state.SkipWithError("not every snippet is eligible");

  const std::vector<ql::KeyEvent> events = typing(200000);
  std::vector<double> samples;
  samples.reserve(1 << 20);
  size_t next = 0;
  for (auto _ : state) {
    const ql::KeyEvent& e = events[next];
    next = (next + 1) % events.size();
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(hook.eventTapFunction(e));
    const auto end = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(end - start).count();
    state.SetIterationTime(seconds);
    samples.push_back(seconds * 1e6);
  }
  std::sort(samples.begin(), samples.end());
  if (!samples.empty()) {
    state.counters["median_us"] = samples[samples.size() / 2];
    state.counters["p99_us"] = samples[samples.size() * 99 / 100];
    state.counters["max_us"] = samples.back();
  }
  state.counters["expansions"] = double(delegate.expansions);
}

void BM_KeyPressImmediate(benchmark::State& state) { perKeyPress(state, QLPreferences::Immediate); }
BENCHMARK(BM_KeyPressImmediate)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(200000);

void BM_KeyPressDelimiter(benchmark::State& state) {
  perKeyPress(state, QLPreferences::DelimiterRetyped);
}
BENCHMARK(BM_KeyPressDelimiter)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(200000);

// A word that never ends (no space, no click): the cost per press stays flat.
void BM_KeyPressImmediateEndlessWord(benchmark::State& state) {
  ql::sim::SimDesktop desktop;
  QuietDelegate delegate;
  QLSettings& lib = library();
  lib.preferences.extendType = QLPreferences::Immediate;
  delegate.library = &lib;
  KeyboardHook hook(desktop.platform());
  hook.delegate = &delegate;
  hook.appChanged(desktop.workspace().frontmostApplication());
  ql::KeyEvent e;
  e.keyCode = ql::keys::Q;
  e.characters = QStringLiteral("q");
  for (auto _ : state) benchmark::DoNotOptimize(hook.eventTapFunction(e));
  state.counters["buffer"] = double(hook.words().size());
}
BENCHMARK(BM_KeyPressImmediateEndlessWord)->Unit(benchmark::kMicrosecond);

// Switching between applications with the same rules reuses the lookups.
void BM_AppChangedSameRules(benchmark::State& state) {
  ql::sim::SimDesktop desktop;
  QuietDelegate delegate;
  delegate.library = &library();
  KeyboardHook hook(desktop.platform());
  hook.delegate = &delegate;
  const ql::ApplicationInfo app = desktop.workspace().frontmostApplication();
  for (auto _ : state) {
    hook.appChanged(app);
    benchmark::DoNotOptimize(hook.snippets().size());
  }
}
BENCHMARK(BM_AppChangedSameRules)->Unit(benchmark::kMillisecond);

// Switching between two applications whose rules differ (one group of 1,000
// snippets is left out in one of them): a full rebuild each time.
void BM_AppChangedOtherRules(benchmark::State& state) {
  ql::sim::SimDesktop desktop;
  QuietDelegate delegate;
  QLSettings& lib = library();
  delegate.library = &lib;
  const GroupPtr first = lib.groups.first();
  first->exceptionType = QLGroup::AllAppsExcept;
  first->exceptions = {QStringLiteral("Mail")};
  KeyboardHook hook(desktop.platform());
  hook.delegate = &delegate;
  const ql::ApplicationInfo editor = desktop.workspace().frontmostApplication();
  const ql::ApplicationInfo mail{QStringLiteral("Mail"), 99, 0};
  bool toMail = false;
  for (auto _ : state) {
    hook.appChanged(toMail ? mail : editor);
    toMail = !toMail;
    benchmark::DoNotOptimize(hook.snippets().size());
  }
  first->exceptionType = QLGroup::FollowPreferences;
  first->exceptions.clear();
}
BENCHMARK(BM_AppChangedOtherRules)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return runBenchmarks(argc, argv);
}
