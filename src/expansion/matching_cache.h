#pragma once

#include "expansion/matching_index.h"
#include "model/ql_settings.h"

#include <QList>

#include <memory>
#include <vector>

namespace ql {

// The eligible lists of the last few application rule outcomes, each with
// its index, so that switching between applications costs a look at the
// groups' rules instead of a walk over the library and a sort of every
// abbreviation. A library with a saver announces each edit by its revision;
// one without is prepared afresh at every switch.
class MatchingCache final {
 public:
  struct Prepared {
    QList<SnippetPtr> snippets;
    MatchingIndex index;
  };

  std::shared_ptr<const Prepared> prepare(const QLSettings& settings, const QString& application);

  // How many lists were built from the library (for tests and benchmarks).
  int builds() const { return builds_; }

 private:
  struct Entry {
    std::vector<bool> verdicts;  // per group, in library order
    std::shared_ptr<const Prepared> prepared;
  };
  bool isCurrent(const QLSettings& settings) const;

  quint64 revision_ = 0;
  QList<SnippetPtr> snippets_;  // the library's lists the entries were built from
  QList<GroupPtr> groups_;
  std::vector<Entry> entries_;  // most recent first
  int builds_ = 0;
};

}  // namespace ql
