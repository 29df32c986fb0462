#include "ui/group_printer.h"

#include "content/text/html_export.h"
#include "ui/library_outline_model.h"

QString groupPrintHtml(const QLGroup& group, const QList<SnippetPtr>& snippets) {
  QString html = QStringLiteral("<h2>%1</h2>").arg(group.name.toHtmlEscaped());
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
