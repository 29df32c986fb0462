#include "expansion/matching_eligible.h"

#include <QHash>

namespace ql::matching {

namespace {

// Types 1 to 3 of both rules: every application, all but the listed ones,
// only the listed ones; anything else allows none.
bool ruleAllows(int type, const QStringList& exceptions, const QString& application) {
  switch (type) {
    case 1: return true;
    case 2: return !exceptions.contains(application);
    case 3: return exceptions.contains(application);
    default: return false;
  }
}

}  // namespace

bool globalRuleAllows(const QLPreferences& preferences, const QString& application) {
  return ruleAllows(preferences.exceptionType, preferences.exceptions, application);
}

bool groupRuleAllows(const QLGroup& group, bool globalVerdict, const QString& application) {
  if (group.exceptionType == QLGroup::FollowPreferences) return globalVerdict;
  return ruleAllows(group.exceptionType, group.exceptions, application);
}

void appendEligibleSnippets(const QLSettings& settings, const QString& application,
                            QList<SnippetPtr>* eligible) {
  const bool global = globalRuleAllows(settings.preferences, application);
  // One pass over the snippets instead of one per group.
  QHash<QString, QList<SnippetPtr>> byGroup;
  for (const SnippetPtr& s : settings.snippets) {
    if (!s || !s->groupUuid) continue;
    if (s->abbreviation.isEmpty() || s->searchableTextView().isEmpty()) continue;
    byGroup[*s->groupUuid].append(s);
  }
  for (const GroupPtr& g : settings.groups) {
    if (!g || !groupRuleAllows(*g, global, application)) continue;
    const auto it = byGroup.constFind(g->uuid);
    if (it != byGroup.cend()) eligible->append(*it);
  }
}

}  // namespace ql::matching
