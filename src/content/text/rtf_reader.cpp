#include "content/text/rtf_reader.h"

#include "content/text/code_pages.h"
#include "content/text/font_names.h"
#include "content/text/rtf_control_words.h"
#include "content/text/rtf_field.h"
#include "content/text/rtf_tokenizer.h"

#include <QHash>

#include <vector>

namespace ql {

namespace {

using CodeTable = std::array<char16_t, 128>;

// Deeper nesting than any real document; beyond it the input is refused.
constexpr int kMaxDepth = 1000;
// Word's own limit is 64 tab stops a paragraph.
constexpr int kMaxTabStops = 128;
constexpr int kDefaultHalfPoints = 24;

enum class Dest { Text, Skip, FontTable, ColorTable, FieldInst, Attachment, Picture, Ignore };

struct GroupState {
  Dest dest = Dest::Text;
  Dest uprOuter = Dest::Text;  // where \ud sends text back to
  bool ownsDest = false;       // this group opened an attachment
  // Character formatting.
  int font = -1;
  int halfPoints = kDefaultHalfPoints;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  int foreground = 0;
  int background = 0;
  QString link;
  // Paragraph formatting.
  TextAlignment alignment = TextAlignment::Natural;
  QList<int> tabs;
  bool nextTabNotLeft = false;
  int firstLineIndent = 0;
  int leftIndent = 0;
  int unicodeSkip = 1;
  const CodeTable* table = nullptr;
};

struct FontEntry {
  QString family;
  bool bold = false;
  bool italic = false;
  int codePage = 0;
};

class RtfReader final {
 public:
  explicit RtfReader(QByteArrayView data) : tokens_(data) {}
  std::optional<AttributedText> read();

 private:
  bool handleToken(const RtfTokenizer::Token& t);
  bool groupStart();
  void groupEnd();
  void controlWord(const RtfTokenizer::Token& t);
  void symbol(char s);
  void emitBytes(std::string_view bytes);
  void emit(char16_t c);
  void emitText(char16_t c);
  void paragraphEnd(char16_t c);
  void emitAttachment();
  void emitPicture();
  void pictureHex(std::string_view bytes);
  void flush();
  void fixParagraph(int start, int end, const GroupState& paragraph);
  const TextAttributes& attributes();
  void finishFont();
  void finishColor();
  bool consumeSkip();
  GroupState& st() { return stack_.back(); }

  RtfTokenizer tokens_;
  std::vector<GroupState> stack_;
  int skipDepth_ = 0;  // groups nested inside a skipped destination
  bool ignorableNext_ = false;
  int pendingSkip_ = 0;  // fallback characters after \uN still to drop
  bool skipPlaceholder_ = false;

  const CodeTable* docTable_ = codePageTable(1252);
  int defaultFont_ = 0;
  QHash<int, FontEntry> fonts_;
  int fontNumber_ = -1;
  FontEntry fontEntry_;
  std::vector<std::optional<TextColor>> colors_;
  int red_ = 0, green_ = 0, blue_ = 0;
  bool colorSet_ = false;
  QString fieldInstruction_;
  QString attachmentName_;
  QByteArray picture_;
  QString pictureType_;
  int pictureHighNibble_ = -1;

  AttributedText out_;
  QString pending_;
  TextAttributes pendingAttributes_;
  TextAttributes attributes_;
  bool dirty_ = true;
  int paragraphStart_ = 0;
};

std::optional<AttributedText> RtfReader::read() {
  RtfTokenizer::Token t = tokens_.next();
  if (t.kind != RtfTokenizer::Kind::GroupStart) return std::nullopt;
  t = tokens_.next();
  if (t.kind != RtfTokenizer::Kind::Word || t.word != "rtf") return std::nullopt;
  stack_.emplace_back();
  st().table = docTable_;
  controlWord(t);
  while (!stack_.empty()) {
    t = tokens_.next();
    if (t.kind == RtfTokenizer::Kind::End) break;  // unterminated: keep what was read
    if (!handleToken(t)) return std::nullopt;
  }
  flush();
  // A last paragraph without \par takes the paragraph style of its last character.
  if (paragraphStart_ < out_.length()) {
    const TextAttributes& last = out_.attributesAt(out_.length() - 1);
    GroupState paragraph;
    paragraph.alignment = last.alignment;
    paragraph.tabs = last.tabStops;
    paragraph.firstLineIndent = last.firstLineIndent;
    paragraph.leftIndent = last.leftIndent;
    fixParagraph(paragraphStart_, out_.length(), paragraph);
  }
  return std::move(out_);
}

bool RtfReader::handleToken(const RtfTokenizer::Token& t) {
  using K = RtfTokenizer::Kind;
  if ((skipDepth_ > 0 || st().dest == Dest::Skip) && t.kind != K::GroupStart &&
      t.kind != K::GroupEnd) {
    if (t.kind == K::Word && t.word == "bin" && t.param > 0) tokens_.skipBytes(t.param);
    return true;
  }
  switch (t.kind) {
    case K::GroupStart: return groupStart();
    case K::GroupEnd: groupEnd(); return true;
    case K::Word: controlWord(t); return true;
    case K::Symbol: symbol(t.symbol); return true;
    case K::Hex:
      if (!consumeSkip()) emit(decodeByte(st().table, t.hex));
      return true;
    case K::Text: emitBytes(t.word); return true;
    case K::End: return true;
  }
  return true;
}

bool RtfReader::groupStart() {
  pendingSkip_ = 0;
  skipPlaceholder_ = false;
  ignorableNext_ = false;
  if (skipDepth_ > 0 || st().dest == Dest::Skip) {
    ++skipDepth_;
    return true;
  }
  if (int(stack_.size()) >= kMaxDepth) return false;
  GroupState copy = st();
  copy.ownsDest = false;
  stack_.push_back(std::move(copy));
  return true;
}

void RtfReader::groupEnd() {
  pendingSkip_ = 0;
  ignorableNext_ = false;
  skipPlaceholder_ = false;
  if (skipDepth_ > 0) {
    --skipDepth_;
    return;
  }
  const Dest dest = stack_.back().dest;
  const bool owns = stack_.back().ownsDest;
  if (dest == Dest::FontTable) finishFont();
  stack_.pop_back();
  dirty_ = true;
  if (owns && dest == Dest::Attachment && !stack_.empty()) {
    emitAttachment();
    skipPlaceholder_ = true;
  }
  if (owns && dest == Dest::Picture && !stack_.empty()) emitPicture();
}

bool RtfReader::consumeSkip() {
  if (pendingSkip_ > 0) {
    --pendingSkip_;
    return true;
  }
  return false;
}

void RtfReader::controlWord(const RtfTokenizer::Token& t) {
  const bool ignorable = ignorableNext_;
  ignorableNext_ = false;
  const RtfWord w = rtfWord(t.word);
  if (w != RtfWord::U && w != RtfWord::Bin && consumeSkip()) return;
  GroupState& s = st();
  const int p = t.param;
  const bool on = !t.hasParam || p != 0;
  auto setDest = [&](Dest d) { s.dest = d; };
  switch (w) {
    case RtfWord::Unknown:
      if (ignorable) {
        setDest(Dest::Skip);
      }
      return;
    case RtfWord::SkipDestination: setDest(Dest::Skip); return;
    case RtfWord::Ansi: docTable_ = codePageTable(1252); s.table = docTable_; return;
    case RtfWord::Mac: docTable_ = codePageTable(10000); s.table = docTable_; return;
    case RtfWord::Pc: docTable_ = codePageTable(437); s.table = docTable_; return;
    case RtfWord::Pca: docTable_ = codePageTable(850); s.table = docTable_; return;
    case RtfWord::Ansicpg:
      if (const CodeTable* table = codePageTable(p)) {
        docTable_ = table;
        s.table = table;
      }
      return;
    case RtfWord::Deff: defaultFont_ = p; return;
    case RtfWord::Fonttbl: setDest(Dest::FontTable); return;
    case RtfWord::Colortbl: setDest(Dest::ColorTable); return;
    case RtfWord::F:
      if (s.dest == Dest::FontTable) {
        finishFont();
        fontNumber_ = p;
        return;
      }
      s.font = p;
      if (const auto it = fonts_.constFind(p); it != fonts_.constEnd()) {
        s.bold = s.bold || it->bold;
        s.italic = s.italic || it->italic;
        const CodeTable* table = codePageTable(it->codePage);
        s.table = table ? table : docTable_;
      } else {
        s.table = docTable_;
      }
      break;
    case RtfWord::Fcharset:
      if (s.dest == Dest::FontTable) fontEntry_.codePage = codePageForCharset(p);
      return;
    case RtfWord::Cpg:
      if (s.dest == Dest::FontTable && codePageTable(p)) fontEntry_.codePage = p;
      return;
    case RtfWord::Red: red_ = qBound(0, p, 255); colorSet_ = true; return;
    case RtfWord::Green: green_ = qBound(0, p, 255); colorSet_ = true; return;
    case RtfWord::Blue: blue_ = qBound(0, p, 255); colorSet_ = true; return;
    case RtfWord::Plain:
      s.font = -1;
      s.halfPoints = kDefaultHalfPoints;
      s.bold = s.italic = s.underline = s.strike = false;
      s.foreground = s.background = 0;
      s.table = docTable_;
      break;
    case RtfWord::Fs: s.halfPoints = t.hasParam ? qBound(1, p, 32767) : kDefaultHalfPoints; break;
    case RtfWord::B: s.bold = on; break;
    case RtfWord::I: s.italic = on; break;
    case RtfWord::Ul: s.underline = on; break;
    case RtfWord::UlNone: s.underline = false; break;
    case RtfWord::Strike: s.strike = on; break;
    case RtfWord::Striked: s.strike = on; break;
    case RtfWord::Cf: s.foreground = p; break;
    case RtfWord::Cb:
    case RtfWord::Highlight:
    case RtfWord::Chcbpat: s.background = p; break;
    case RtfWord::Pard:
      s.alignment = TextAlignment::Natural;
      s.tabs = QList<int>();  // not clear(): an empty list keeps no buffer to compare
      s.nextTabNotLeft = false;
      s.firstLineIndent = s.leftIndent = 0;
      break;
    case RtfWord::Ql: s.alignment = TextAlignment::Left; break;
    case RtfWord::Qc: s.alignment = TextAlignment::Center; break;
    case RtfWord::Qr: s.alignment = TextAlignment::Right; break;
    case RtfWord::Qj: s.alignment = TextAlignment::Justified; break;
    case RtfWord::Qnatural: s.alignment = TextAlignment::Natural; break;
    case RtfWord::Tqr:
    case RtfWord::Tqc:
    case RtfWord::Tqdec: s.nextTabNotLeft = true; return;
    case RtfWord::Tb: s.nextTabNotLeft = false; return;
    case RtfWord::Tx:
      if (!s.nextTabNotLeft && s.tabs.size() < kMaxTabStops) s.tabs.append(p);
      s.nextTabNotLeft = false;
      break;
    case RtfWord::Fi: s.firstLineIndent = p; break;
    case RtfWord::Li: s.leftIndent = p; break;
    case RtfWord::Par:
    case RtfWord::Row:
    case RtfWord::Sect: paragraphEnd(u'\n'); return;
    case RtfWord::Line: emit(0x2028); return;
    case RtfWord::Tab:
    case RtfWord::Cell: emit(u'\t'); return;
    case RtfWord::Page: emit(0x000C); return;
    case RtfWord::Emdash: emit(0x2014); return;
    case RtfWord::Endash: emit(0x2013); return;
    case RtfWord::Emspace: emit(0x2003); return;
    case RtfWord::Enspace: emit(0x2002); return;
    case RtfWord::Qmspace: emit(0x2005); return;
    case RtfWord::Bullet: emit(0x2022); return;
    case RtfWord::Lquote: emit(0x2018); return;
    case RtfWord::Rquote: emit(0x2019); return;
    case RtfWord::Ldblquote: emit(0x201C); return;
    case RtfWord::Rdblquote: emit(0x201D); return;
    case RtfWord::Zwj: emit(0x200D); return;
    case RtfWord::Zwnj: emit(0x200C); return;
    case RtfWord::Ltrmark: emit(0x200E); return;
    case RtfWord::Rtlmark: emit(0x200F); return;
    case RtfWord::Zwbo: emit(0x200B); return;
    case RtfWord::Zwnbo: emit(0xFEFF); return;
    case RtfWord::U: {
      const int skip = s.unicodeSkip;
      if (t.hasParam && p >= -32768 && p <= 65535) emit(char16_t(p < 0 ? p + 65536 : p));
      pendingSkip_ = skip;
      return;
    }
    case RtfWord::Uc: s.unicodeSkip = qBound(0, p, 16); return;
    case RtfWord::Upr:
      s.uprOuter = s.dest;
      s.dest = Dest::Ignore;
      return;
    case RtfWord::Ud: s.dest = s.uprOuter; return;
    case RtfWord::Bin: {
      const QByteArrayView bytes = tokens_.skipBytes(p);
      if (s.dest == Dest::Picture) picture_.append(bytes);
      consumeSkip();
      return;
    }
    case RtfWord::Field: return;
    case RtfWord::Fldinst:
      fieldInstruction_.clear();
      setDest(Dest::FieldInst);
      return;
    case RtfWord::Fldrslt:
      if (const QString target = hyperlinkTarget(fieldInstruction_); !target.isEmpty())
        s.link = target;
      fieldInstruction_.clear();
      break;
    case RtfWord::NeXTGraphic:
      attachmentName_.clear();
      setDest(Dest::Attachment);
      s.ownsDest = true;
      return;
    case RtfWord::Listtext: return;  // the Mac keeps list markers as text
    case RtfWord::Shppict: return;    // holds the \pict that Word-era readers show
    case RtfWord::Pict:
      picture_.clear();
      pictureType_.clear();
      pictureHighNibble_ = -1;
      setDest(Dest::Picture);
      s.ownsDest = true;
      return;
    case RtfWord::Pngblip: pictureType_ = QStringLiteral("png"); return;
    case RtfWord::Jpegblip: pictureType_ = QStringLiteral("jpg"); return;
  }
  dirty_ = true;
}

void RtfReader::symbol(char s) {
  if (s == '*') {
    ignorableNext_ = true;
    return;
  }
  if (consumeSkip()) return;
  switch (s) {
    case '\\':
    case '{':
    case '}': emit(char16_t(s)); return;
    case '\n': paragraphEnd(u'\n'); return;
    case '~': emit(0x00A0); return;
    case '_': emit(0x2011); return;
    case '-': return;  // optional hyphen
    case '\t': emit(u'\t'); return;
    default: return;
  }
}

void RtfReader::emitBytes(std::string_view bytes) {
  if (st().dest == Dest::Picture) {
    pictureHex(bytes);
    return;
  }
  if (st().dest == Dest::Text && pendingSkip_ == 0 && !skipPlaceholder_ && !bytes.empty()) {
    // The bulk of a document: plain text decoded in one go.
    if (dirty_ && !pending_.isEmpty() && !(attributes() == pendingAttributes_)) flush();
    if (pending_.isEmpty()) pendingAttributes_ = attributes();
    const CodeTable* table = st().table;
    const qsizetype at = pending_.size();
    pending_.resize(at + qsizetype(bytes.size()));
    QChar* out = pending_.data() + at;
    for (const char byte : bytes) {
      const auto b = static_cast<unsigned char>(byte);
      if (b >= 0x20 || b == '\t') *out++ = QChar(decodeByte(table, b));
    }
    pending_.resize(out - pending_.data());
    return;
  }
  for (const char byte : bytes) {
    if (consumeSkip()) continue;
    const auto b = static_cast<unsigned char>(byte);
    if (b == '\t') {
      emit(u'\t');
    } else if (b >= 0x20) {
      if (b == ';' && (st().dest == Dest::FontTable || st().dest == Dest::ColorTable)) {
        if (st().dest == Dest::FontTable) finishFont(); else finishColor();
        continue;
      }
      emit(decodeByte(st().table, b));
    }
  }
}

void RtfReader::emit(char16_t c) {
  switch (st().dest) {
    case Dest::Text: emitText(c); return;
    case Dest::FontTable:
      if (fontNumber_ >= 0) fontEntry_.family.append(QChar(c));
      return;
    case Dest::FieldInst: fieldInstruction_.append(QChar(c)); return;
    case Dest::Attachment: attachmentName_.append(QChar(c)); return;
    case Dest::ColorTable:
    case Dest::Picture:
    case Dest::Skip:
    case Dest::Ignore: return;
  }
}

void RtfReader::emitText(char16_t c) {
  if (skipPlaceholder_) {
    skipPlaceholder_ = false;
    return;
  }
  if (dirty_ && !pending_.isEmpty() && !(attributes() == pendingAttributes_)) flush();
  if (pending_.isEmpty()) pendingAttributes_ = attributes();
  pending_.append(QChar(c));
}

void RtfReader::flush() {
  if (pending_.isEmpty()) return;
  out_.append(pending_, pendingAttributes_);
  pending_.resize(0);  // keeps the buffer for the next run
}

void RtfReader::paragraphEnd(char16_t c) {
  skipPlaceholder_ = false;
  if (st().dest != Dest::Text) {
    emit(c);
    return;
  }
  emitText(c);
  flush();
  fixParagraph(paragraphStart_, out_.length(), st());
  paragraphStart_ = out_.length();
}

// Paragraph attributes are those in force where the paragraph ends.
void RtfReader::fixParagraph(int start, int end, const GroupState& p) {
  if (start >= end) return;
  bool same = true;
  const auto& runs = out_.runs();
  for (size_t i = size_t(out_.runIndexAt(start)); i < runs.size(); ++i) {
    const AttributedText::Run& r = runs[i];
    if (r.start >= end) break;
    const TextAttributes& a = r.attributes;
    if (a.alignment != p.alignment || a.tabStops != p.tabs ||
        a.firstLineIndent != p.firstLineIndent || a.leftIndent != p.leftIndent) {
      same = false;
      break;
    }
  }
  if (same) return;
  out_.modifyAttributes(start, end - start, [&](TextAttributes& a) {
    a.alignment = p.alignment;
    a.tabStops = p.tabs;
    a.firstLineIndent = p.firstLineIndent;
    a.leftIndent = p.leftIndent;
  });
}

void RtfReader::emitAttachment() {
  if (st().dest != Dest::Text) return;
  QString name;
  for (const QChar c : attachmentName_)
    if (c.unicode() >= 0x20) name.append(c);
  // The attachment character carries the formatting around it.
  TextAttributes a = attributes();
  a.attachment = TextAttachment{name.trimmed(), {}};
  flush();
  out_.append(QString(QChar(AttributedText::kAttachmentCharacter)), a);
}

void RtfReader::pictureHex(std::string_view bytes) {
  for (const char c : bytes) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    if (v < 0) continue;
    if (pictureHighNibble_ < 0) {
      pictureHighNibble_ = v;
    } else {
      picture_.append(char(pictureHighNibble_ << 4 | v));
      pictureHighNibble_ = -1;
    }
  }
}

// PNG and JPEG pictures become attachments; metafiles and bitmaps in
// other forms have no file type the rest of the program knows.
void RtfReader::emitPicture() {
  if (st().dest != Dest::Text || pictureType_.isEmpty() || picture_.isEmpty()) return;
  TextAttributes a = attributes();
  a.attachment = TextAttachment{QStringLiteral("Picture.") + pictureType_, picture_};
  flush();
  out_.append(QString(QChar(AttributedText::kAttachmentCharacter)), a);
  picture_.clear();
}

const TextAttributes& RtfReader::attributes() {
  if (!dirty_) return attributes_;
  dirty_ = false;
  const GroupState& s = st();
  TextAttributes a;
  const int font = s.font >= 0 ? s.font : defaultFont_;
  if (const auto it = fonts_.constFind(font); it != fonts_.constEnd()) a.fontFamily = it->family;
  a.pointSize = s.halfPoints / 2.0;
  a.bold = s.bold;
  a.italic = s.italic;
  a.underline = s.underline;
  a.strikethrough = s.strike;
  if (s.foreground > 0 && s.foreground < int(colors_.size())) a.foreground = colors_[size_t(s.foreground)];
  if (s.background > 0 && s.background < int(colors_.size())) a.background = colors_[size_t(s.background)];
  a.link = s.link;
  a.alignment = s.alignment;
  a.tabStops = s.tabs;
  a.firstLineIndent = s.firstLineIndent;
  a.leftIndent = s.leftIndent;
  attributes_ = std::move(a);
  return attributes_;
}

void RtfReader::finishFont() {
  if (fontNumber_ < 0) return;
  const FontFace face = fontFaceFromName(fontEntry_.family);
  fontEntry_.family = face.family;
  fontEntry_.bold = face.bold;
  fontEntry_.italic = face.italic;
  fonts_.insert(fontNumber_, fontEntry_);
  fontNumber_ = -1;
  fontEntry_ = FontEntry();
}

void RtfReader::finishColor() {
  if (colorSet_) {
    colors_.push_back(TextColor{quint8(red_), quint8(green_), quint8(blue_)});
  } else {
    colors_.push_back(std::nullopt);
  }
  red_ = green_ = blue_ = 0;
  colorSet_ = false;
}

}  // namespace

std::optional<AttributedText> readRtf(const QByteArray& rtf) {
  qsizetype start = 0;
  while (start < rtf.size() && (rtf.at(start) == ' ' || rtf.at(start) == '\t' ||
                                rtf.at(start) == '\r' || rtf.at(start) == '\n'))
    ++start;
  const QByteArrayView document = QByteArrayView(rtf).sliced(start);
  if (!document.startsWith("{\\rtf")) return std::nullopt;
  RtfReader reader(document);
  return reader.read();
}

}  // namespace ql
