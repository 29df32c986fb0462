#include "content/text/flat_rtfd.h"
#include "model/import_rich_text.h"
#include "typedstream_writer.h"

#include <gtest/gtest.h>

using ql::AttributedText;
using ql::TextAlignment;
using ql::TextColor;
using testing_ts::ArchiveRun;

namespace {

QByteArray png() {
  QByteArray b("\x89PNG\r\n\x1a\n", 8);
  b += QByteArray::fromHex("0000000d49484452 00000010 00000008 0806000000 1f15c489");
  b += QByteArray(40, '\x01');
  return b;
}

}  // namespace

TEST(RichTextArchive, CharacterAndParagraphAttributes) {
  ArchiveRun title;
  title.length = 5;
  title.font = "Baskerville-BoldItalic";
  title.size = 20;
  title.color = std::array<float, 3>{1, 0, 0};
  title.alignment = 2;
  ArchiveRun body;
  body.length = 6;
  body.font = "Menlo-Regular";
  body.size = 11.5f;
  body.background = std::array<float, 3>{0, 0.4f, 1};
  body.alignment = 4;
  body.tabs = {56, 28};
  body.underline = true;
  body.link = "https://example.org/a";
  // Runs with equal attributes share one set; the third run reuses the first.
  ArchiveRun again = title;
  again.length = 3;
  const QString text = QStringLiteral("Title\nbody\nend");
  const auto t = ql::attributedTextFromArchive(testing_ts::attributedString(text, {title, body, again}));
  ASSERT_TRUE(t);
  // Archives written on big-endian machines read the same.
  EXPECT_EQ(ql::attributedTextFromArchive(testing_ts::attributedString(text, {title, body, again}, false, true)), t);
  EXPECT_EQ(t->string(), text);

  const auto& a = t->attributesAt(0);
  EXPECT_EQ(a.fontFamily, "Baskerville");
  EXPECT_TRUE(a.bold);
  EXPECT_TRUE(a.italic);
  EXPECT_DOUBLE_EQ(a.pointSize, 20);
  EXPECT_EQ(a.foreground, (TextColor{255, 0, 0}));
  EXPECT_EQ(a.alignment, TextAlignment::Center);

  const auto& b = t->attributesAt(6);
  EXPECT_EQ(b.fontFamily, "Menlo");
  EXPECT_FALSE(b.bold);
  EXPECT_DOUBLE_EQ(b.pointSize, 11.5);
  EXPECT_EQ(b.background, (TextColor{0, 102, 255}));
  EXPECT_FALSE(b.foreground);
  EXPECT_EQ(b.alignment, TextAlignment::Natural);
  EXPECT_EQ(b.tabStops, QList<int>({560, 1120}));  // points to twips, ascending
  EXPECT_TRUE(b.underline);
  EXPECT_EQ(b.link, "https://example.org/a");

  EXPECT_EQ(t->attributesAt(12), a);
}

TEST(RichTextArchive, AttachmentsFromFileWrappersAndPlainData) {
  ArchiveRun before;
  before.length = 1;
  // The image's run also covers an ordinary character, which is no attachment.
  ArchiveRun image;
  image.length = 2;
  image.attachment = png();
  image.attachmentName = "Pasted Graphic.png";
  ArchiveRun raw = image;
  raw.length = 1;
  raw.flatWrapper = false;  // the image's bytes without a wrapper
  raw.attachment = png() + "other";
  const auto t = ql::attributedTextFromArchive(
      testing_ts::attributedString(QStringLiteral("A\uFFFCb\uFFFC"), {before, image, raw}));
  ASSERT_TRUE(t);
  ASSERT_TRUE(t->attributesAt(1).attachment);
  EXPECT_EQ(t->attributesAt(1).attachment->fileName, "Pasted Graphic.png");
  EXPECT_EQ(t->attributesAt(1).attachment->contents, png());
  EXPECT_FALSE(t->attributesAt(2).attachment);
  ASSERT_TRUE(t->attributesAt(3).attachment);
  EXPECT_EQ(t->attributesAt(3).attachment->fileName, "Attachment.png");
  EXPECT_EQ(t->attributesAt(3).attachment->contents, png() + "other");
  EXPECT_FALSE(t->attributesAt(0).attachment);

  // What the reader makes of it survives as the RTFD a snippet stores.
  const auto back = ql::readFlatRtfd(ql::writeFlatRtfd(*t));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->attributesAt(1).attachment->contents, png());
  EXPECT_EQ(back->attributesAt(3).attachment->contents, png() + "other");
}

TEST(RichTextArchive, RunsCountUtf16UnitsAndStayInsideTheText) {
  ArchiveRun emoji;
  emoji.length = 2;  // one character outside the Basic Multilingual Plane
  emoji.font = "Helvetica-Bold";
  ArchiveRun rest;
  rest.length = 500;  // longer than what is left
  rest.font = "Courier";
  const QString text = QString::fromUtf8("\xF0\x9F\x98\x80xy");
  const auto t = ql::attributedTextFromArchive(testing_ts::attributedString(text, {emoji, rest}, true));
  ASSERT_TRUE(t);
  EXPECT_EQ(t->string(), text);
  EXPECT_TRUE(t->attributesAt(1).bold);
  EXPECT_EQ(t->attributesAt(2).fontFamily, "Courier");
  EXPECT_EQ(t->attributesAt(3).fontFamily, "Courier");
}
