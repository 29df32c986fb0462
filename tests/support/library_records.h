#pragma once

#include "model/ql_settings.h"

#include <memory>

namespace test {

// A group of that name added to library.
inline GroupPtr addGroup(QLSettings& library, const QString& name) {
  auto g = std::make_shared<QLGroup>();
  g->name = name;
  library.groups.append(g);
  return g;
}

// A plain snippet added to library, a member of group unless that is null.
inline SnippetPtr addSnippet(QLSettings& library, const GroupPtr& group, const QString& abbreviation,
                             const QString& content = QStringLiteral("text"),
                             int matchType = QLSnippet::MatchExact) {
  auto s = std::make_shared<QLSnippet>();
  s->abbreviation = abbreviation;
  s->plainText = content;
  s->abbreviationMatchType = matchType;
  if (group) {
    s->groupUuid = group->uuid;
    group->snippts.append(s->uuid);
  }
  library.snippets.append(s);
  return s;
}

}  // namespace test
