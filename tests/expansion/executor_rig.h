#pragma once

// The executor on the simulated desktop, with a library, statistics and a
// main controller that records what the executor asks of it.
#include "content/text/flat_rtfd.h"
#include "expansion/expansion_executor.h"
#include "model/ql_settings.h"
#include "model/ql_statistics.h"
#include "model/string_utilities.h"
#include "platform/sim/sim_desktop.h"
#include "support/event_loop.h"
#include "support/library_records.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

namespace ql::test {

using ::test::spin;

class RecordingController final : public ExpansionExecutorDelegate {
 public:
  QLSettings* settings() override { return library; }
  QLStatistics* statistics() override { return stats; }
  void setHookEnabled(bool on) override { hookCalls.append(on); }
  void showFillInForm(FillInForm f) override { form = std::move(f); }
  void statisticsChanged() override { ++statisticsRefreshes; }
  void cleanUp() override {}
  bool isRestoreClipboard() const override {
    return library ? library->preferences.isRestoreClipboard : true;
  }

  QLSettings* library = nullptr;
  QLStatistics* stats = nullptr;
  QList<bool> hookCalls;
  std::optional<FillInForm> form;
  int statisticsRefreshes = 0;
};

class ExecutorTest : public testing::Test {
 protected:
  ExecutorTest()
      : services(desktop.platform()),
        stats({}, dir.filePath(QStringLiteral("statistics.plist"))),
        executor(desktop.platform(), services, controller) {
    QDir().mkpath(Utilities::getAppPath());
    controller.library = &library;
    controller.stats = &stats;
    executor.partPauseMs = 2;
    library.preferences.extendType = QLPreferences::DelimiterRetyped;
    library.preferences.delimiters = {QStringLiteral("space")};
    library.preferences.sound = QStringLiteral("bell");
    group = std::make_shared<QLGroup>();
    library.groups.append(group);
  }

  SnippetPtr addSnippet(const QString& abbreviation, const QString& content,
                        int matchType = QLSnippet::MatchExact) {
    SnippetPtr s = ::test::addSnippet(library, group, abbreviation, content, matchType);
    s->content(true);
    return s;
  }

  SnippetPtr addFormatted(const QString& abbreviation, const AttributedText& content) {
    SnippetPtr s = addSnippet(abbreviation, QString());
    s->snippetType = QLSnippet::Formatted;
    s->formattedText = writeFlatRtfd(content);
    s->content(true);
    return s;
  }

  // As matching calls it: delimiter mode consumed the delimiter (offset 0),
  // immediate mode the abbreviation's last character (offset 1).
  bool expandTyped(const SnippetPtr& s, const QString& typed, const QString& delimiter) {
    return executor.processSnippet(s, 0, 0, true, delimiter, typed, delimiter.isEmpty() ? 1 : 0);
  }

  QString field() { return desktop.focusedField() ? desktop.focusedField()->string() : QString(); }
  int caret() { return desktop.focusedField()->caret(); }
  QStringList posted() { return desktop.postedKeyNames(); }

  sim::SimDesktop desktop;
  SystemServices services;
  QTemporaryDir dir;
  QLSettings library;
  QLStatistics stats;
  RecordingController controller;
  ExpansionExecutor executor;
  GroupPtr group;
};

}  // namespace ql::test
