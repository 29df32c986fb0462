#pragma once

#include "model/ql_group.h"
#include "model/ql_preferences.h"

#include <QStringView>

namespace ql::matching {

// The position rule of a group: its expandType, or the preferences'
// extendAfter + 1 when the group follows them.
int positionMode(const QLGroup& group, const QLPreferences& preferences);
// Whether the character at position of text, the one just before the
// abbreviation, lets it expand: mode 1 wants a space, mode 2 anything but a
// letter, mark or digit, every other mode anything.
bool positionAllows(int mode, QStringView text, qsizetype position);

// The case rule of a snippet (abbreviationMatchType) for the abbreviation as
// typed: 0 literally equal, 1 equal ignoring case, 2 no test (the executor
// adapts the content's case), anything else never.
bool caseRuleAllows(int matchType, QStringView typed, QStringView abbreviation);

}  // namespace ql::matching
