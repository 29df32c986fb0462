#pragma once

#include "model/ql_settings.h"

#include <QList>
#include <QString>

namespace ql::matching {

// The preferences' application rule for the application of that name.
bool globalRuleAllows(const QLPreferences& preferences, const QString& application);
// A group's application rule; a group that follows the preferences takes
// their verdict.
bool groupRuleAllows(const QLGroup& group, bool globalVerdict, const QString& application);

// Appends the snippets that may expand in the application: for each group
// whose rule allows it, in the library's group order, its snippets in the
// library's snippet order, those with both an abbreviation and a plain
// rendering. Appends as it goes, so a failure keeps what came before.
void appendEligibleSnippets(const QLSettings& settings, const QString& application,
                            QList<SnippetPtr>* eligible);

}  // namespace ql::matching
