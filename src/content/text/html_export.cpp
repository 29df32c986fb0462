#include "content/text/html_export.h"

#include "content/text/image_info.h"

namespace ql {

namespace {

void escape(QString& out, QStringView text) {
  for (const QChar c : text) {
    switch (c.unicode()) {
      case u'&': out += QLatin1String("&amp;"); break;
      case u'<': out += QLatin1String("&lt;"); break;
      case u'>': out += QLatin1String("&gt;"); break;
      case u'"': out += QLatin1String("&quot;"); break;
      case 0x2028: out += QLatin1String("<br>"); break;
      default:
        // Control characters other than tab have no place in HTML.
        if (c.unicode() >= 0x20 || c == u'\t') out += c;
        break;
    }
  }
}

QString cssColor(const TextColor& c) {
  return QStringLiteral("#%1%2%3")
      .arg(c.red, 2, 16, QLatin1Char('0'))
      .arg(c.green, 2, 16, QLatin1Char('0'))
      .arg(c.blue, 2, 16, QLatin1Char('0'));
}

QString points(int twips) { return QString::number(twips / 20.0) + QLatin1String("pt"); }

QString paragraphStyle(const TextAttributes& a) {
  QString style = QStringLiteral("margin: 0; white-space: pre-wrap");
  switch (a.alignment) {
    case TextAlignment::Natural: break;
    case TextAlignment::Left: style += QLatin1String("; text-align: left"); break;
    case TextAlignment::Center: style += QLatin1String("; text-align: center"); break;
    case TextAlignment::Right: style += QLatin1String("; text-align: right"); break;
    case TextAlignment::Justified: style += QLatin1String("; text-align: justify"); break;
  }
  if (a.leftIndent != 0) style += QLatin1String("; margin-left: ") + points(a.leftIndent);
  if (a.firstLineIndent != 0) style += QLatin1String("; text-indent: ") + points(a.firstLineIndent);
  return style;
}

QString spanStyle(const TextAttributes& a) {
  QString family = a.fontFamily;
  family.remove(u'\'').remove(u'"').remove(u';');
  QString style = QStringLiteral("font-family: '%1'; font-size: %2pt")
                      .arg(family, QString::number(a.pointSize));
  if (a.foreground) style += QLatin1String("; color: ") + cssColor(*a.foreground);
  if (a.background) style += QLatin1String("; background-color: ") + cssColor(*a.background);
  return style;
}

void image(QString& out, const TextAttachment& file) {
  const ImageInfo info = imageInfo(file.contents);
  if (!info.isImage()) return;
  out += QLatin1String("<img src=\"data:") + info.mimeType + QLatin1String(";base64,");
  out += QLatin1String(file.contents.toBase64());
  out += QLatin1String("\" alt=\"");
  escape(out, file.fileName);
  out += u'"';
  if (info.width > 0 && info.height > 0)
    out += QStringLiteral(" width=\"%1\" height=\"%2\"").arg(info.width).arg(info.height);
  out += u'>';
}

// One piece of a run inside one paragraph.
void segment(QString& out, const TextAttributes& a, QStringView text) {
  QString content;
  if (a.attachment) {
    for (const QChar c : text) {
      if (c == QChar(AttributedText::kAttachmentCharacter)) {
        image(content, *a.attachment);
      } else {
        escape(content, QStringView(&c, 1));
      }
    }
  } else {
    escape(content, text);
  }
  if (content.isEmpty()) return;  // an attachment that is not an image
  if (!a.link.isEmpty()) {
    out += QLatin1String("<a href=\"");
    escape(out, a.link);
    out += QLatin1String("\">");
  }
  out += QLatin1String("<span style=\"");
  escape(out, spanStyle(a));
  out += QLatin1String("\">");
  if (a.bold) out += QLatin1String("<b>");
  if (a.italic) out += QLatin1String("<i>");
  if (a.underline) out += QLatin1String("<u>");
  if (a.strikethrough) out += QLatin1String("<s>");
  out += content;
  if (a.strikethrough) out += QLatin1String("</s>");
  if (a.underline) out += QLatin1String("</u>");
  if (a.italic) out += QLatin1String("</i>");
  if (a.bold) out += QLatin1String("</b>");
  out += QLatin1String("</span>");
  if (!a.link.isEmpty()) out += QLatin1String("</a>");
}

}  // namespace

QString htmlFragment(const AttributedText& text) {
  QString out;
  const QString& s = text.string();
  const auto& runs = text.runs();
  size_t run = 0;
  int position = 0;
  while (position < text.length()) {
    qsizetype end = s.indexOf(u'\n', position);
    const int paragraphEnd = end < 0 ? text.length() : int(end);
    out += QLatin1String("<p style=\"") + paragraphStyle(text.attributesAt(position)) +
           QLatin1String("\">");
    if (paragraphEnd == position) out += QLatin1String("<br>");
    while (position < paragraphEnd) {
      while (runs[run].start + runs[run].length <= position) ++run;
      const int stop = std::min(paragraphEnd, runs[run].start + runs[run].length);
      segment(out, runs[run].attributes, QStringView(s).mid(position, stop - position));
      position = stop;
    }
    out += QLatin1String("</p>\n");
    position = paragraphEnd + 1;  // past the line feed
  }
  return out;
}

}  // namespace ql
