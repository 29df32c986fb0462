#include "ui/group_printer.h"

#include "content/text/html_export.h"
#include "ui/library_outline_model.h"

#include <QFile>
#include <QPrinter>
#include <QSet>
#include <QTextDocument>

namespace {

QString groupHtml(const QLGroup& group, const QList<SnippetPtr>& snippets, bool newPage) {
  QString html = QStringLiteral("<h2%1>%2</h2>")
                     .arg(newPage ? QStringLiteral(" style=\"page-break-before: always\"")
                                  : QString(),
                          group.name.toHtmlEscaped());
  for (const SnippetPtr& s : snippets) {
    html += QStringLiteral("<h4>%1").arg(LibraryOutlineModel::titleFor(*s).toHtmlEscaped());
    if (!s->abbreviation.isEmpty())
      html += QStringLiteral(" &nbsp;<code>%1</code>").arg(s->abbreviation.toHtmlEscaped());
    html += QStringLiteral("</h4>");
    const auto text = s->contentBuffer();
    if (s->snippetType == QLSnippet::Formatted && text)
      html += ql::htmlFragment(*text);
    else
      html += QStringLiteral("<pre>%1</pre>").arg(s->plainText.toHtmlEscaped());
    html += QStringLiteral("<hr/>");
  }
  return html;
}

}  // namespace

QString groupPrintHtml(const QLGroup& group, const QList<SnippetPtr>& snippets) {
  return groupHtml(group, snippets, false);
}

QList<SnippetPtr> groupMembers(const QLSettings& library, const QLGroup& group) {
  QList<SnippetPtr> members;
  const QSet<QString> uuids(group.snippts.cbegin(), group.snippts.cend());
  for (const SnippetPtr& s : library.snippets)
    if (uuids.contains(s->uuid)) members.append(s);
  return members;
}

QString libraryPrintHtml(const QLSettings& library) {
  QString html;
  bool first = true;
  for (const GroupPtr& g : library.groups) {
    html += groupHtml(*g, groupMembers(library, *g), !first);
    first = false;
  }
  return html;
}

bool printHtml(const QString& html, QPrinter* printer) {
  if (!printer) return false;
  // QTextDocument::print says nothing when the PDF file cannot be opened.
  if (printer->outputFormat() == QPrinter::PdfFormat) {
    QFile file(printer->outputFileName());
    if (printer->outputFileName().isEmpty() || !file.open(QIODevice::WriteOnly)) return false;
  }
  QTextDocument document;
  document.setHtml(html);
  document.print(printer);
  return printer->printerState() != QPrinter::Error;
}
