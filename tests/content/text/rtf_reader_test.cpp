#include "content/text/rtf_reader.h"

#include "rtf_samples.h"

#include <gtest/gtest.h>

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"  // designated initialisers name what matters

using ql::AttributedText;
using ql::TextAlignment;
using ql::TextAttributes;
using ql::TextColor;

namespace {

AttributedText read(const QByteArray& rtf) {
  const std::optional<AttributedText> t = ql::readRtf(rtf);
  EXPECT_TRUE(t.has_value());
  return t.value_or(AttributedText());
}

AttributedText read(const char* rtf) { return read(QByteArray(rtf)); }

}  // namespace

// Each probe is the whole of a character's attributes.
TEST(RtfReader, MacTextEditDocument) {
  const AttributedText t = read(samples::kMacTextEdit);
  EXPECT_EQ(t.string(), QStringLiteral("Hello world, café €5\ncentred\nsee here\n\uFFFC😀\n×שלום"));
  const QList<int> tabs{566, 1133, 1700};
  EXPECT_EQ(t.attributesAt(0), (TextAttributes{.tabStops = tabs}));
  // Helvetica-Bold is Helvetica in bold; the line break belongs to its paragraph.
  EXPECT_EQ(t.attributesAt(6), (TextAttributes{.bold = true, .tabStops = tabs}));
  EXPECT_EQ(t.attributesAt(20), (TextAttributes{.tabStops = tabs}));
  EXPECT_EQ(t.attributesAt(21),
            (TextAttributes{.fontFamily = QStringLiteral("Menlo"), .pointSize = 18, .italic = true,
                            .foreground = TextColor{251, 0, 7}, .background = TextColor{255, 251, 0},
                            .alignment = TextAlignment::Center, .tabStops = {566}}));
  // From here on \cb1, the table's white.
  const TextColor white{255, 255, 255};
  const int see = t.string().indexOf(QStringLiteral("see"));
  EXPECT_EQ(t.attributesAt(see), (TextAttributes{.underline = true, .background = white}));
  EXPECT_EQ(t.attributesAt(see + 4), (TextAttributes{.strikethrough = true, .background = white,
                                                     .link = QStringLiteral("https://example.com/x")}));
  EXPECT_EQ(t.attributesAt(see + 8), (TextAttributes{.background = white}));
  const int attachment = t.string().indexOf(QChar(0xFFFC));
  EXPECT_EQ(t.attributesAt(attachment),
            (TextAttributes{.background = white,
                            .attachment = ql::TextAttachment{QStringLiteral("Pasted Graphic.png"), {}}}));
  EXPECT_FALSE(t.hasAttachmentAt(attachment + 1));
  EXPECT_EQ(t.attributesAt(t.length() - 1), (TextAttributes{.background = white, .alignment = TextAlignment::Right,
                                                            .firstLineIndent = -360, .leftIndent = 720}));
}

TEST(RtfReader, LibreOfficeDocument) {
  const AttributedText t = read(samples::kLibreOffice);
  EXPECT_EQ(t.string(),
            QStringLiteral("Bold italic under strike\nred yellow link\n"
                           "Příliš žluťoučký kůň – Привет – שלום – 😀 – naïve\n"
                           "mono tab\nright\u2028line\n"));
  // Text without \f takes the default font \deff3.
  const QString serif = QStringLiteral("DejaVu Serif");
  const auto centred = TextAlignment::Center;
  EXPECT_EQ(t.attributesAt(0), (TextAttributes{.fontFamily = serif, .bold = true, .alignment = centred}));
  EXPECT_EQ(t.attributesAt(5), (TextAttributes{.fontFamily = serif, .italic = true, .alignment = centred}));
  EXPECT_EQ(t.attributesAt(12), (TextAttributes{.fontFamily = serif, .underline = true, .alignment = centred}));
  EXPECT_EQ(t.attributesAt(18), (TextAttributes{.fontFamily = serif, .strikethrough = true, .alignment = centred}));
  const auto left = TextAlignment::Left;
  const int red = t.string().indexOf(QStringLiteral("red"));
  EXPECT_EQ(t.attributesAt(red),
            (TextAttributes{.fontFamily = serif, .foreground = TextColor{255, 0, 0}, .alignment = left}));
  EXPECT_EQ(t.attributesAt(red + 4),
            (TextAttributes{.fontFamily = serif, .background = TextColor{255, 255, 0}, .alignment = left}));
  EXPECT_EQ(t.attributesAt(t.string().indexOf(QStringLiteral("link"))),
            (TextAttributes{.fontFamily = serif, .underline = true, .foreground = TextColor{0, 0, 128},
                            .link = QStringLiteral("https://example.org/a?b=1"), .alignment = left}));
  EXPECT_EQ(t.attributesAt(t.string().indexOf(QStringLiteral("mono"))),
            (TextAttributes{.fontFamily = QStringLiteral("DejaVu Sans Mono"), .pointSize = 10, .alignment = left,
                            .firstLineIndent = -720, .leftIndent = 1440}));
  EXPECT_EQ(t.attributesAt(t.length() - 1), (TextAttributes{.fontFamily = serif, .alignment = TextAlignment::Right}));
}

TEST(RtfReader, WordPadDocumentWithCharsetsPerFont) {
  const AttributedText t = read(samples::kWordPad);
  EXPECT_EQ(t.string(), QStringLiteral("Plain bold green\nPříliš Привет €\na\tb\u2028c\n"));
  const QString calibri = QStringLiteral("Calibri");
  EXPECT_EQ(t.attributesAt(0), (TextAttributes{.fontFamily = calibri, .pointSize = 11}));
  EXPECT_EQ(t.attributesAt(6), (TextAttributes{.fontFamily = calibri, .pointSize = 11, .bold = true}));
  EXPECT_EQ(t.attributesAt(11), (TextAttributes{.fontFamily = calibri, .pointSize = 11, .italic = true,
                                                .foreground = TextColor{0, 176, 80}}));
  EXPECT_EQ(t.attributesAt(t.length() - 1),
            (TextAttributes{.fontFamily = calibri, .pointSize = 11, .tabStops = {720, 1440}}));
}

TEST(RtfReader, TextOfSmallDocuments) {
  const struct {
    QByteArray rtf;
    QString text;
  } cases[] = {
      // The document's code page, then a font's own charset.
      {R"({\rtf1\ansi\ansicpg1250 \'9e\'e8})", QStringLiteral("žč")},
      {R"({\rtf1\ansi\ansicpg1251 \'c4\'e0})", QStringLiteral("Да")},
      {R"({\rtf1\ansi\ansicpg1252 \'80\'93\'e9})", QStringLiteral("€“é")},
      {R"({\rtf1\ansi\ansicpg10000 \'8e\'a5})", QStringLiteral("é•")},
      {R"({\rtf1\mac \'8e})", QStringLiteral("é")},
      {R"({\rtf1\ansi{\fonttbl\f0 A;\f1\fcharset238 B;}\f1\'e8\f0\'e8})", QStringLiteral("čè")},
      {"{\\rtf1\\ansi\\ansicpg1251 \xc4\xe0}", QStringLiteral("Да")},  // raw bytes above 127
      {R"({\rtf1\ansi\ansicpg999 \'e9})", QStringLiteral("é")},  // unknown code page: a fallback
      // \uN and the fallbacks it skips; a group end stops the skipping, \ucN is scoped by groups.
      {R"({\rtf1 \u8364?x})", QStringLiteral("€x")},
      {R"({\rtf1 \uc2\u8364\'80\'80x})", QStringLiteral("€x")},
      {R"({\rtf1 \uc0\u8364 x})", QStringLiteral("€x")},
      {R"({\rtf1 \u-4064?})", QStringLiteral("\uF020")},
      {R"({\rtf1\uc0\u-10179\u-8704})", QStringLiteral("😀")},
      {R"({\rtf1\uc0\u55357\u56832})", QStringLiteral("😀")},
      {R"({\rtf1 {\uc3\u8364}abc})", QStringLiteral("€abc")},
      {R"({\rtf1 {\uc0 }\u8364?})", QStringLiteral("€")},
      {R"({\rtf1 {\upr{caf\'e9}{\*\ud{caf\u233?}}}})", QStringLiteral("café")},  // the \ud form wins
      {"{\\rtf1 a\\tab b\\line c\\par d\\\nE\\~\\_\\emdash\\endash\\bullet"
       "\\lquote\\rquote\\ldblquote\\rdblquote\\\\\\{\\}\\-x\tq}",
       QStringLiteral("a\tb\u2028c\nd\nE\u00A0\u2011—–•‘’“”\\{}x\tq")},
      // Line breaks in the file are not text; CR LF after a backslash is one break.
      {"{\\rtf1 a\r\nb\\\r\nc}", QStringLiteral("ab\nc")},
      {R"({\rtf1{\info{\title Secret}}{\*\generator X;}{\stylesheet{\s0 Normal;}})"
       R"({\*\unknowndest {nested {deeper}} text}\unknownword42 visible)"
       R"({\pict\wmetafile8 0102}{\*\bkmkstart b}{\footnote note} done})",
       QStringLiteral("visible done")},
      // \bin data never becomes text, even with braces inside.
      {"{\\rtf1 a\\bin3 {}}b}", QStringLiteral("ab")},
      {"{\\rtf1{\\*\\x \\bin3 {}}}b}", QStringLiteral("b")},
      // Truncated documents keep what was read; unbalanced ones stop at the end.
      {"{\\rtf1 abc{\\b de", QStringLiteral("abcde")},
      {"{\\rtf1 abc}}}}more", QStringLiteral("abc")},
      {"{\\rtf1 a\\'", QStringLiteral("a")},
      {"{\\rtf1 a\\'zz\\", QStringLiteral("azz")},
      // Invalid UTF-8 and NUL bytes are bytes in the code page, not errors.
      {QByteArray("{\\rtf1 \xff\xfe\0x}", 12), QStringLiteral("ÿþx")},
  };
  for (const auto& c : cases) EXPECT_EQ(read(c.rtf).string(), c.text) << c.rtf.toStdString();
}

TEST(RtfReader, FormattingIsScopedByGroups) {
  const AttributedText t = read(
      R"({\rtf1{\colortbl;\red1\green2\blue3;}{\b\i\ul\strike\cf1\fs40 x}y\b z\plain w})");
  EXPECT_EQ(t.string(), QStringLiteral("xyzw"));
  EXPECT_EQ(t.attributesAt(0), (TextAttributes{.pointSize = 20, .bold = true, .italic = true, .underline = true,
                                               .strikethrough = true, .foreground = TextColor{1, 2, 3}}));
  EXPECT_EQ(t.attributesAt(1), TextAttributes());
  EXPECT_TRUE(t.attributesAt(2).bold);
  EXPECT_EQ(t.attributesAt(3), TextAttributes());
  // \ulc is an underline colour, not an underline; \ul0 and \ulnone end one.
  EXPECT_FALSE(read(R"({\rtf1\ulc1 a})").attributesAt(0).underline);
  EXPECT_FALSE(read(R"({\rtf1\ul\ul0 a})").attributesAt(0).underline);
  EXPECT_TRUE(read(R"({\rtf1\uldb a})").attributesAt(0).underline);
}

TEST(RtfReader, ParagraphFormattingAppliesToTheWholeParagraph) {
  // Set after the text has begun, and reset by \pard.
  const AttributedText t =
      read(R"({\rtf1 one \qc\li100\fi-50\tx300\tqr\tx900\tx1200 two\par\pard three})");
  EXPECT_EQ(t.string(), QStringLiteral("one two\nthree"));
  const TextAttributes paragraph{
      .alignment = TextAlignment::Center, .tabStops = {300, 1200}, .firstLineIndent = -50, .leftIndent = 100};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(t.attributesAt(i), paragraph) << i;  // right tabs dropped
  EXPECT_EQ(t.attributesAt(8), TextAttributes());
}

TEST(RtfReader, HyperlinkFields) {
  const AttributedText t = read(
      R"({\rtf1{\field{\*\fldinst HYPERLINK \\l "top" }{\fldrslt a}})"
      R"({\field{\*\fldinst{ HYPERLINK "http://x.org/?q=1" \\o "tip"}}{\fldrslt{\b b}}})"
      R"({\field{\*\fldinst PAGE}{\fldrslt 3}}})");
  EXPECT_EQ(t.string(), QStringLiteral("ab3"));
  EXPECT_EQ(t.attributesAt(0).link, QStringLiteral("#top"));
  EXPECT_EQ(t.attributesAt(1).link, QStringLiteral("http://x.org/?q=1"));
  EXPECT_TRUE(t.attributesAt(1).bold);
  EXPECT_TRUE(t.attributesAt(2).link.isEmpty());
}

TEST(RtfReader, AttachmentsTakeOneCharacterAndDropThePlaceholder) {
  const AttributedText t = read(
      "{\\rtf1\\ansi a{{\\NeXTGraphic  my file\\'e9.tiff \\width20 \\height20}\\'ac}b"
      "{{\\NeXTGraphic x.pdf}}c}");
  EXPECT_EQ(t.string(), QStringLiteral("a\uFFFCb\uFFFCc"));
  EXPECT_EQ(t.attributesAt(1).attachment->fileName, QStringLiteral("my fileé.tiff"));
  EXPECT_TRUE(t.attributesAt(1).attachment->contents.isEmpty());
  EXPECT_EQ(t.attributesAt(3).attachment->fileName, QStringLiteral("x.pdf"));
  EXPECT_FALSE(t.hasAttachmentAt(4));
}

TEST(RtfReader, PngAndJpegPicturesBecomeAttachments) {
  // As Word and LibreOffice embed them: hex or \bin data, a fallback copy in
  // \nonshppict that must not appear twice.
  const AttributedText t = read(
      "{\\rtf1 a{\\*\\shppict{\\pict{\\*\\picprop x}\\picw2\\pngblip 89504E47\r\n0d0a}}"
      "{\\nonshppict{\\pict\\wmetafile8 0102}}b{\\pict\\jpegblip\\bin3 \xff\xd8\xff}"
      "{\\pict\\emfblip 0102}c}");
  EXPECT_EQ(t.string(), QStringLiteral("a\uFFFCb\uFFFCc"));
  EXPECT_EQ(*t.attributesAt(1).attachment,
            (ql::TextAttachment{QStringLiteral("Picture.png"), QByteArray("\x89PNG\r\n")}));
  EXPECT_EQ(*t.attributesAt(3).attachment,
            (ql::TextAttachment{QStringLiteral("Picture.jpg"), QByteArray("\xff\xd8\xff")}));
}

TEST(RtfReader, RefusesWhatIsNotRtf) {
  EXPECT_FALSE(ql::readRtf(QByteArray()).has_value());
  EXPECT_FALSE(ql::readRtf("plain text").has_value());
  EXPECT_FALSE(ql::readRtf("{\\rtfx}").has_value());
  EXPECT_FALSE(ql::readRtf("{\\pard}").has_value());
  EXPECT_TRUE(ql::readRtf("  \r\n{\\rtf1 ok}").has_value());
}

TEST(RtfReader, HostileInputEndsCleanly) {
  // A million nested groups: refused, not a stack or memory explosion.
  const QByteArray deep = "{\\rtf1 " + QByteArray(1000000, '{') + "x" + QByteArray(1000000, '}');
  EXPECT_FALSE(ql::readRtf(deep).has_value());
  // The same nesting inside a skipped destination costs nothing.
  const QByteArray skipped =
      "{\\rtf1{\\*\\junk " + QByteArray(1000000, '{') + QByteArray(1000000, '}') + "}ok}";
  EXPECT_EQ(read(skipped).string(), QStringLiteral("ok"));
  // A parameter of 10,000 digits saturates.
  const QByteArray digits = "{\\rtf1\\fs" + QByteArray(10000, '9') + " a\\u-" +
                            QByteArray(10000, '9') + " b\\bin" + QByteArray(10000, '9') + "}";
  EXPECT_EQ(read(digits).string(), QStringLiteral("a"));
  // Tab stops beyond any real ruler are ignored rather than copied per run.
  QByteArray tabs = "{\\rtf1 ";
  for (int i = 0; i < 20000; ++i) tabs += "\\tx" + QByteArray::number(i) + " a";
  EXPECT_LE(read(tabs).attributesAt(0).tabStops.size(), 128);
}
