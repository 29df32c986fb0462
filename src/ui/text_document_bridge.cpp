#include "ui/text_document_bridge.h"

#include <QApplication>
#include <QBuffer>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPainter>
#include <QSettings>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

namespace ql {
namespace {

// Lengths: twips in the text, device-independent pixels (1/96 inch) in the
// document; 15 twips make one pixel, so both ways are exact for whole twips.
constexpr double kTwipsPerPixel = 15.0;

constexpr int kAttachmentData = QTextFormat::UserProperty + 1;
constexpr int kAttachmentName = QTextFormat::UserProperty + 2;
// The line break that ended the paragraph when it was not "\n".
constexpr int kSeparator = QTextFormat::UserProperty + 3;

// Images wider than this are shown scaled down; the bytes are untouched.
constexpr int kShownWidth = 480;

QTextCharFormat charFormat(const TextAttributes& a) {
  QTextCharFormat f;
  f.setFontFamilies(QStringList{a.fontFamily});
  f.setFontPointSize(a.pointSize);
  f.setFontWeight(a.bold ? QFont::Bold : QFont::Normal);
  f.setFontItalic(a.italic);
  f.setFontUnderline(a.underline);
  f.setFontStrikeOut(a.strikethrough);
  if (a.foreground)
    f.setForeground(QColor(a.foreground->red, a.foreground->green, a.foreground->blue));
  if (a.background)
    f.setBackground(QColor(a.background->red, a.background->green, a.background->blue));
  if (!a.link.isEmpty()) {
    f.setAnchor(true);
    f.setAnchorHref(a.link);
  }
  return f;
}

QTextBlockFormat blockFormat(const TextAttributes& a) {
  QTextBlockFormat f;
  switch (a.alignment) {
    case TextAlignment::Natural:
      break;
    case TextAlignment::Left:
      f.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
      break;
    case TextAlignment::Center:
      f.setAlignment(Qt::AlignHCenter);
      break;
    case TextAlignment::Right:
      f.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
      break;
    case TextAlignment::Justified:
      f.setAlignment(Qt::AlignJustify);
      break;
  }
  QList<QTextOption::Tab> tabs;
  for (int t : a.tabStops) tabs.append(QTextOption::Tab(t / kTwipsPerPixel, QTextOption::LeftTab));
  if (!tabs.isEmpty()) f.setTabPositions(tabs);
  if (a.leftIndent != 0) f.setLeftMargin(a.leftIndent / kTwipsPerPixel);
  if (a.firstLineIndent != 0) f.setTextIndent(a.firstLineIndent / kTwipsPerPixel);
  return f;
}

std::optional<TextColor> colorOf(const QTextCharFormat& f, int property) {
  if (!f.hasProperty(property)) return std::nullopt;
  const QBrush brush = f.brushProperty(property);
  if (brush.style() == Qt::NoBrush) return std::nullopt;
  const QColor c = brush.color().toRgb();
  return TextColor{quint8(c.red()), quint8(c.green()), quint8(c.blue())};
}

TextAttributes attributesOf(const QTextCharFormat& f, const QTextBlockFormat& b,
                            const QFont& fallback) {
  TextAttributes a;
  const QStringList families = f.fontFamilies().toStringList();
  a.fontFamily = families.isEmpty() ? fallback.family() : families.first();
  a.pointSize =
      f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : fallback.pointSizeF();
  a.bold = f.fontWeight() >= QFont::DemiBold;
  a.italic = f.fontItalic();
  a.underline = f.fontUnderline();
  a.strikethrough = f.fontStrikeOut();
  a.foreground = colorOf(f, QTextFormat::ForegroundBrush);
  a.background = colorOf(f, QTextFormat::BackgroundBrush);
  if (f.isAnchor()) a.link = f.anchorHref();
  if (b.hasProperty(QTextFormat::BlockAlignment)) {
    const Qt::Alignment h = b.alignment() & Qt::AlignHorizontal_Mask;
    if (h & Qt::AlignJustify)
      a.alignment = TextAlignment::Justified;
    else if (h & Qt::AlignHCenter)
      a.alignment = TextAlignment::Center;
    else if (h & Qt::AlignRight)
      a.alignment = TextAlignment::Right;
    else if (h & Qt::AlignLeft)
      a.alignment = TextAlignment::Left;
  }
  for (const QTextOption::Tab& t : b.tabPositions())
    a.tabStops.append(qRound(t.position * kTwipsPerPixel));
  a.leftIndent = qRound(b.leftMargin() * kTwipsPerPixel);
  a.firstLineIndent = qRound(b.textIndent() * kTwipsPerPixel);
  return a;
}

bool isBreak(QChar c) { return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator; }

// Length of the line break at position (a "\r\n" pair counts as one).
int breakLength(const QString& s, qsizetype at, qsizetype end) {
  return s[at] == u'\r' && at + 1 < end && s[at + 1] == u'\n' ? 2 : 1;
}

QImage shownImage(const TextAttachment& attachment) {
  QBuffer buffer;
  buffer.setData(attachment.contents);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const QSize size = reader.size();
  if (size.width() > kShownWidth)
    reader.setScaledSize(size.scaled(kShownWidth, size.height() * kShownWidth / size.width() + 1,
                                     Qt::KeepAspectRatio));
  QImage image = reader.read();
  if (!image.isNull()) return image;
  // Not an image (or not one Qt reads): a file icon stands for it.
  const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
  return icon.pixmap(32, 32).toImage();
}

// Breaks the text at line breaks and inserts each paragraph with its format.
template <typename InsertPiece>
void writeParagraphs(const QString& s, QTextCursor& c, InsertPiece piece,
                     const std::function<QTextBlockFormat(qsizetype)>& blockAt,
                     const std::function<QTextCharFormat(qsizetype)>& breakFormat) {
  qsizetype start = 0;
  const qsizetype end = s.size();
  for (qsizetype i = 0; i < end; ++i) {
    if (!isBreak(s[i])) continue;
    piece(start, i);
    const int len = breakLength(s, i, end);
    const QString sep = s.mid(i, len);
    if (sep != QStringLiteral("\n")) {
      QTextBlockFormat current = c.blockFormat();
      current.setProperty(kSeparator, sep);
      c.setBlockFormat(current);
    }
    c.insertBlock(blockAt(qMin(i + len, end - 1)), breakFormat(i));
    i += len - 1;
    start = i + 1;
  }
  piece(start, end);
}

}  // namespace

TextAttributes attributesForFont(const QFont& font, const QList<int>& tabStops) {
  TextAttributes a;
  a.fontFamily = font.family();
  a.pointSize = font.pointSizeF() > 0 ? font.pointSizeF() : 12.0;
  a.bold = font.bold();
  a.italic = font.italic();
  a.tabStops = tabStops;
  return a;
}

int formattedTabInterval() {
  const bool centimetres = QSettings().value(QStringLiteral("AppleMeasurementUnits")).toString() ==
                           QLatin1String("Centimeters");
  return centimetres ? 567 : 720;
}

QList<int> formattedTabStops() {
  QList<int> stops;
  const int interval = formattedTabInterval();
  for (int i = 1; i <= 12; ++i) stops.append(i * interval);
  return stops;
}

double formattedTabDistance() { return formattedTabInterval() / kTwipsPerPixel; }

double plainTabDistance(const QFont& font) {
  const int tabWidth = QSettings().value(QStringLiteral("TabWidth"), 4).toInt();
  const QFontMetricsF metrics(font);
  const double space = metrics.horizontalAdvance(QLatin1Char(' '));
  return qBound(1, tabWidth, 64) * (space > 0 ? space : metrics.maxWidth());
}

void insertAttachment(QTextCursor& cursor, const TextAttachment& attachment,
                      const TextAttributes& attributes) {
  static int counter = 0;
  QTextDocument* doc = cursor.document();
  const QString name = QStringLiteral("ql-attachment:%1").arg(++counter);
  const QImage image = shownImage(attachment);
  doc->addResource(QTextDocument::ImageResource, QUrl(name), image);
  QTextImageFormat f;
  f.merge(charFormat(attributes));
  f.setName(name);
  if (image.width() > 0) {
    f.setWidth(image.width());
    f.setHeight(image.height());
  }
  f.setProperty(kAttachmentData, attachment.contents);
  f.setProperty(kAttachmentName, attachment.fileName);
  cursor.insertImage(f);
}

void writeToDocument(const AttributedText& text, QTextDocument* document) {
  document->clear();
  QTextCursor c(document);
  c.beginEditBlock();
  const QString& s = text.string();
  if (!s.isEmpty()) {
    c.setBlockFormat(blockFormat(text.attributesAt(0)));
    c.setBlockCharFormat(charFormat(text.attributesAt(0)));
  }
  auto piece = [&](qsizetype from, qsizetype to) {
    while (from < to) {
      const int run = text.runIndexAt(int(from));
      const AttributedText::Run& r = text.runs()[size_t(run)];
      const qsizetype stop = qMin<qsizetype>(to, r.start + r.length);
      if (r.attributes.attachment) {
        for (qsizetype i = from; i < stop; ++i)
          insertAttachment(c, *r.attributes.attachment, r.attributes);
      } else {
        c.insertText(s.mid(from, stop - from), charFormat(r.attributes));
      }
      from = stop;
    }
  };
  writeParagraphs(
      s, c, piece, [&](qsizetype i) { return blockFormat(text.attributesAt(int(i))); },
      [&](qsizetype i) { return charFormat(text.attributesAt(int(i))); });
  c.endEditBlock();
}

AttributedText readFromDocument(const QTextDocument* document) {
  AttributedText out;
  const QFont fallback = document->defaultFont();
  for (QTextBlock b = document->begin(); b.isValid(); b = b.next()) {
    const QTextBlockFormat bf = b.blockFormat();
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment frag = it.fragment();
      if (!frag.isValid()) continue;
      const QTextCharFormat cf = frag.charFormat();
      const TextAttributes a = attributesOf(cf, bf, fallback);
      const QString t = frag.text();
      if (cf.isImageFormat()) {
        const TextAttachment file{cf.property(kAttachmentName).toString(),
                                  cf.property(kAttachmentData).toByteArray()};
        for (qsizetype i = 0; i < t.size(); ++i) out.append(AttributedText::attachment(file, a));
      } else {
        out.append(t, a);
      }
    }
    const QTextBlock next = b.next();
    if (next.isValid()) {
      QString sep = bf.property(kSeparator).toString();
      if (sep.isEmpty()) sep = QStringLiteral("\n");
      out.append(sep, attributesOf(next.charFormat(), bf, fallback));
    }
  }
  return out;
}

void writePlainToDocument(const QString& text, QTextDocument* document) {
  document->clear();
  QTextCursor c(document);
  c.beginEditBlock();
  auto piece = [&](qsizetype from, qsizetype to) {
    if (to > from) c.insertText(text.mid(from, to - from));
  };
  writeParagraphs(
      text, c, piece, [](qsizetype) { return QTextBlockFormat(); },
      [](qsizetype) { return QTextCharFormat(); });
  c.endEditBlock();
}

QString readPlainFromDocument(const QTextDocument* document) {
  QString out;
  for (QTextBlock b = document->begin(); b.isValid(); b = b.next()) {
    out += b.text();
    if (b.next().isValid()) {
      const QString sep = b.blockFormat().property(kSeparator).toString();
      out += sep.isEmpty() ? QStringLiteral("\n") : sep;
    }
  }
  return out;
}

}  // namespace ql
