#include "expansion/matching_cache.h"

#include "expansion/matching_eligible.h"
#include "platform/log.h"

#include <algorithm>
#include <exception>

namespace ql {

namespace {

// Enough for the rule outcomes of the applications one works in by turns.
constexpr size_t kEntries = 4;

template <typename T>
bool sameRecords(const QList<T>& a, const QList<T>& b) {
  return a.size() == b.size() &&
         (a.constData() == b.constData() || std::equal(a.cbegin(), a.cend(), b.cbegin()));
}

}  // namespace

bool MatchingCache::isCurrent(const QLSettings& settings) const {
  return settings.saver && settings.revision == revision_ &&
         sameRecords(settings.snippets, snippets_) && sameRecords(settings.groups, groups_);
}

std::shared_ptr<const MatchingCache::Prepared> MatchingCache::prepare(const QLSettings& settings,
                                                                      const QString& application) {
  if (!isCurrent(settings)) {
    entries_.clear();
    revision_ = settings.revision;
    snippets_ = settings.snippets;
    groups_ = settings.groups;
  }
  const bool global = matching::globalRuleAllows(settings.preferences, application);
  std::vector<bool> verdicts;
  verdicts.reserve(size_t(settings.groups.size()));
  for (const GroupPtr& g : settings.groups)
    verdicts.push_back(g && matching::groupRuleAllows(*g, global, application));

  const auto it = std::find_if(entries_.begin(), entries_.end(),
                               [&](const Entry& e) { return e.verdicts == verdicts; });
  if (it != entries_.end()) {
    std::rotate(entries_.begin(), it, it + 1);
    return entries_.front().prepared;
  }
  auto prepared = std::make_shared<Prepared>();
  ++builds_;
  try {
    matching::appendEligibleSnippets(settings, application, &prepared->snippets);
  } catch (const std::exception& e) {
    // What came before the failure is kept.
    logError(QStringLiteral("appChanged"), QString::fromUtf8(e.what()));
  }
  prepared->index.build(prepared->snippets);
  entries_.insert(entries_.begin(), Entry{std::move(verdicts), prepared});
  if (entries_.size() > kEntries) entries_.pop_back();
  return prepared;
}

}  // namespace ql
