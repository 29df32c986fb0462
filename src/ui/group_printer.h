#pragma once

#include "model/ql_settings.h"

#include <QString>

// A group as a printable HTML document: its name, then each snippet's
// title, abbreviation and content (formatted content keeps its formatting).
QString groupPrintHtml(const QLGroup& group, const QList<SnippetPtr>& snippets);
