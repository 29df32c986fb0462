#pragma once

#include "model/ql_settings.h"

#include <QString>

class QPrinter;

// A group as a printable HTML document: its name, then each snippet's
// title, abbreviation and content (formatted content keeps its formatting).
QString groupPrintHtml(const QLGroup& group, const QList<SnippetPtr>& snippets);
// Every group of the library in library order, each starting on a new page.
QString libraryPrintHtml(const QLSettings& library);
// The snippets of the library that the group lists, in library order.
QList<SnippetPtr> groupMembers(const QLSettings& library, const QLGroup& group);

// Lays the document out on the printer's pages and prints it; false when
// the printer (or the PDF file) could not be written.
bool printHtml(const QString& html, QPrinter* printer);
