#include "expansion/matching_rules.h"

#include "model/ql_snippet.h"
#include "model/text_folding.h"

namespace ql::matching {

int positionMode(const QLGroup& group, const QLPreferences& preferences) {
  return group.expandType == QLGroup::FollowExtendAfter ? preferences.extendAfter + 1 : group.expandType;
}

bool positionAllows(int mode, QStringView text, qsizetype position) {
  switch (mode) {
    case QLGroup::AfterSpace:
      return position >= 0 && position < text.size() && text[position] == u' ';
    case QLGroup::AfterNonAlphanumeric:
      return !folding::isAlphanumericAt(text, position);
    default:
      return true;
  }
}

bool caseRuleAllows(int matchType, QStringView typed, QStringView abbreviation) {
  switch (matchType) {
    case QLSnippet::MatchExact: return typed == abbreviation;
    case QLSnippet::MatchIgnoringCase: return folding::equalsIgnoringCase(typed, abbreviation);
    case QLSnippet::MatchAdaptingCase: return true;
    default: return false;
  }
}

}  // namespace ql::matching
