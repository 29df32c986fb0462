#include "content/text/rtf_writer.h"

#include "content/text/code_pages.h"
#include "content/text/image_info.h"

#include <QHash>

#include <string>
#include <vector>

namespace ql {

namespace {

// The reader ends paragraphs at \par only, so the writer does too.
bool isParagraphEnd(QChar c) { return c == u'\n'; }

// What the reader has in force at a point of the output.
struct Format {
  int font = -1;
  int halfPoints = 24;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  int foreground = 0;
  int background = 0;
  TextAlignment alignment = TextAlignment::Natural;
  QList<int> tabs;
  int firstLineIndent = 0;
  int leftIndent = 0;
};

class RtfWriter final {
 public:
  RtfWriter(const AttributedText& text, RtfAttachments mode, const TextAttributes* typing)
      : text_(text), mode_(mode), typing_(text.length() == 0 ? typing : nullptr) {}
  QByteArray write();

 private:
  void collectTables();
  void header();
  void segment(const TextAttributes& a, int start, int end, bool paragraphStart);
  void paragraphFormat(const TextAttributes& a);
  void characterFormat(const TextAttributes& a);
  void openLink(const QString& url);
  void closeLink();
  void attachment(const TextAttachment& file);
  void word(const char* name);
  void word(const char* name, int value);
  void character(char16_t c);
  void characters(const QString& s);

  void picture(const TextAttachment& file);

  const AttributedText& text_;
  const RtfAttachments mode_;
  const TextAttributes* typing_;
  std::string out_;  // appends of single bytes are cheapest here
  QStringList fonts_;
  QHash<QString, int> fontIndex_;
  std::vector<TextColor> colors_;
  Format format_;
  bool linkOpen_ = false;
  QString link_;
  Format beforeLink_;
  bool needDelimiter_ = false;
};

int colorIndex(const std::vector<TextColor>& colors, const std::optional<TextColor>& c) {
  if (!c) return 0;
  for (size_t i = 0; i < colors.size(); ++i)
    if (colors[i] == *c) return int(i) + 1;
  return 0;
}

QByteArray RtfWriter::write() {
  out_.reserve(size_t(text_.length()) * 2 + 512);
  collectTables();
  header();
  if (typing_) {
    paragraphFormat(*typing_);
    characterFormat(*typing_);
  }
  const QString& s = text_.string();
  bool paragraphStart = true;
  for (const AttributedText::Run& r : text_.runs()) {
    int start = r.start;
    const int end = r.start + r.length;
    for (int i = start; i < end; ++i) {
      if (isParagraphEnd(s.at(i)) || i + 1 == end) {
        segment(r.attributes, start, i + 1, paragraphStart);
        paragraphStart = isParagraphEnd(s.at(i));
        start = i + 1;
      }
    }
  }
  closeLink();
  out_.append("}");
  return QByteArray(out_.data(), qsizetype(out_.size()));
}

void RtfWriter::collectTables() {
  for (const AttributedText::Run& r : text_.runs()) {
    const TextAttributes& a = r.attributes;
    if (!fontIndex_.contains(a.fontFamily)) {
      fontIndex_.insert(a.fontFamily, int(fonts_.size()));
      fonts_.append(a.fontFamily);
    }
    for (const auto& c : {a.foreground, a.background})
      if (c && colorIndex(colors_, c) == 0) colors_.push_back(*c);
  }
  if (fonts_.isEmpty() && typing_) {
    fontIndex_.insert(typing_->fontFamily, 0);
    fonts_.append(typing_->fontFamily);
  }
  if (fonts_.isEmpty()) fonts_.append(TextAttributes().fontFamily);
}

void RtfWriter::header() {
  // \uc0 first: font names may hold \uN too, and nothing follows them as a fallback.
  out_.append("{\\rtf1\\ansi\\ansicpg1252\\cocoartf2761\n\\cocoatextscaling0\\cocoaplatform0\\uc0");
  out_.append("{\\fonttbl");
  for (qsizetype i = 0; i < fonts_.size(); ++i) {
    word("f", int(i));
    out_.append(fonts_[i] == QLatin1String("Helvetica") ? "\\fswiss" : "\\fnil");
    word("fcharset", 0);
    needDelimiter_ = true;
    for (const QChar c : fonts_[i]) {
      if (c == u';') {
        out_.append("\\'3b");
        needDelimiter_ = false;
      } else {
        character(c.unicode());
      }
    }
    out_.append(";");
    needDelimiter_ = false;
  }
  out_.append("}\n{\\colortbl;");
  for (const TextColor& c : colors_) {
    word("red", c.red);
    word("green", c.green);
    word("blue", c.blue);
    out_.append(";");
    needDelimiter_ = false;
  }
  out_.append("}\n");
  needDelimiter_ = false;
}

// Writes text_[start, end), all of one run and at most one paragraph.
void RtfWriter::segment(const TextAttributes& a, int start, int end, bool paragraphStart) {
  const bool paragraphChanges = paragraphStart &&
      (a.alignment != format_.alignment || a.tabStops != format_.tabs ||
       a.firstLineIndent != format_.firstLineIndent || a.leftIndent != format_.leftIndent);
  if (paragraphChanges || a.link != link_) closeLink();
  if (paragraphChanges || (paragraphStart && start == 0)) paragraphFormat(a);
  if (a.link != link_) openLink(a.link);
  characterFormat(a);
  const QString& s = text_.string();
  for (int i = start; i < end; ++i) {
    if (a.attachment && s.at(i) == QChar(AttributedText::kAttachmentCharacter)) {
      attachment(*a.attachment);
    } else {
      character(s.at(i).unicode());
    }
  }
}

void RtfWriter::paragraphFormat(const TextAttributes& a) {
  out_.append("\n");
  word("pard");
  for (const int tab : a.tabStops) word("tx", tab);
  if (a.leftIndent != 0) word("li", a.leftIndent);
  if (a.firstLineIndent != 0) word("fi", a.firstLineIndent);
  switch (a.alignment) {
    case TextAlignment::Natural: break;
    case TextAlignment::Left: word("ql"); break;
    case TextAlignment::Center: word("qc"); break;
    case TextAlignment::Right: word("qr"); break;
    case TextAlignment::Justified: word("qj"); break;
  }
  word("pardirnatural");
  word("partightenfactor", 0);
  out_.append("\n");  // ends the word like a space, but is not text either
  needDelimiter_ = false;
  format_.alignment = a.alignment;
  format_.tabs = a.tabStops;
  format_.firstLineIndent = a.firstLineIndent;
  format_.leftIndent = a.leftIndent;
}

void RtfWriter::characterFormat(const TextAttributes& a) {
  Format& f = format_;
  const int font = fontIndex_.value(a.fontFamily, 0);
  if (font != f.font) word("f", f.font = font);
  const int halfPoints = qBound(1, qRound(a.pointSize * 2), 32767);
  if (halfPoints != f.halfPoints) word("fs", f.halfPoints = halfPoints);
  if (a.bold != f.bold) a.bold ? word("b") : word("b", 0);
  if (a.italic != f.italic) a.italic ? word("i") : word("i", 0);
  if (a.underline != f.underline) a.underline ? word("ul") : word("ulnone");
  if (a.strikethrough != f.strike) a.strikethrough ? word("strike") : word("strike", 0);
  f.bold = a.bold;
  f.italic = a.italic;
  f.underline = a.underline;
  f.strike = a.strikethrough;
  const int fg = colorIndex(colors_, a.foreground);
  if (fg != f.foreground) word("cf", f.foreground = fg);
  const int bg = colorIndex(colors_, a.background);
  if (bg != f.background) word("cb", f.background = bg);
}

void RtfWriter::openLink(const QString& url) {
  if (url.isEmpty()) return;
  out_.append("{\\field{\\*\\fldinst{HYPERLINK \"");
  needDelimiter_ = false;
  // Field arguments escape quotes and backslashes with a backslash.
  QString quoted = url;
  quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
  characters(quoted);
  out_.append("\"}}{\\fldrslt ");
  needDelimiter_ = false;
  beforeLink_ = format_;
  linkOpen_ = true;
  link_ = url;
}

void RtfWriter::closeLink() {
  if (!linkOpen_) return;
  out_.append("}}");
  needDelimiter_ = false;
  format_ = beforeLink_;
  linkOpen_ = false;
  link_.clear();
}

void RtfWriter::picture(const TextAttachment& file) {
  const ImageInfo info = imageInfo(file.contents);
  const char* blip = info.mimeType == QLatin1String("image/png")    ? "pngblip"
                     : info.mimeType == QLatin1String("image/jpeg") ? "jpegblip"
                                                                    : nullptr;
  if (!blip) return;
  out_.append("{\\pict");
  word(blip);
  word("picw", info.width);
  word("pich", info.height);
  word("picwgoal", info.width * 15);  // pixels at 96 dpi, in twips
  word("pichgoal", info.height * 15);
  static const char digits[] = "0123456789abcdef";
  out_.reserve(out_.size() + size_t(file.contents.size()) * 2 + size_t(file.contents.size()) / 64 + 8);
  for (qsizetype i = 0; i < file.contents.size(); ++i) {
    if (i % 64 == 0) out_ += '\n';
    const auto b = uchar(file.contents.at(i));
    out_ += digits[b >> 4];
    out_ += digits[b & 15];
  }
  out_.append("\n}");
  needDelimiter_ = false;
}

void RtfWriter::attachment(const TextAttachment& file) {
  if (mode_ == RtfAttachments::Pictures) {
    picture(file);
    return;
  }
  const ImageInfo info = imageInfo(file.contents);
  out_.append("{{\\NeXTGraphic ");
  needDelimiter_ = false;
  QString name;
  for (const QChar c : file.fileName)
    if (c.unicode() >= 0x20) name.append(c);
  characters(name.trimmed());
  out_ += ' ';
  needDelimiter_ = false;
  word("width", info.width * 20);
  word("height", info.height * 20);
  word("appleattachmentpadding", 0);
  word("appleembedtype", 0);
  word("appleaqc");
  out_.append("\n}\\'ac}");
  needDelimiter_ = false;
}

void RtfWriter::word(const char* name) {
  out_ += '\\';
  out_.append(name);
  needDelimiter_ = true;
}

void RtfWriter::word(const char* name, int value) {
  out_ += '\\';
  out_.append(name);
  char digits[12];
  int n = 0;
  unsigned magnitude = value < 0 ? 0u - unsigned(value) : unsigned(value);
  do {
    digits[n++] = char('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  if (value < 0) out_ += '-';
  while (n > 0) out_ += digits[--n];
  needDelimiter_ = true;
}

void RtfWriter::characters(const QString& s) {
  for (const QChar c : s) character(c.unicode());
}

void RtfWriter::character(char16_t c) {
  if (c >= 0x20 && c < 0x7F) {
    if (needDelimiter_) out_ += ' ';
    needDelimiter_ = false;
    if (c == u'\\' || c == u'{' || c == u'}') out_ += '\\';
    out_ += char(c);
    return;
  }
  switch (c) {
    case u'\n':
      out_.append("\\\n");
      needDelimiter_ = false;
      return;
    case u'\t': word("tab"); return;
    case 0x2028: word("line"); return;
    case 0x000C: word("page"); return;
    default: break;
  }
  const int byte = c >= 0x80 ? encodeCp1252(c) : -1;
  if (byte >= 0) {
    static const char digits[] = "0123456789abcdef";
    out_.append("\\'");
    out_ += digits[byte >> 4];
    out_ += digits[byte & 15];
    needDelimiter_ = false;
    return;
  }
  // \uN takes a signed 16-bit number; \uc0 in the header means no fallback.
  word("u", c > 0x7FFF ? int(c) - 0x10000 : int(c));
}

}  // namespace

QByteArray writeRtf(const AttributedText& text, RtfAttachments attachments,
                    const TextAttributes* typing) {
  return RtfWriter(text, attachments, typing).write();
}

}  // namespace ql
