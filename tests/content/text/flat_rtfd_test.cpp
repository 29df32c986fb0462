#include "content/text/flat_rtfd.h"

#include "support/flat_wrapper.h"
#include "text_corpus.h"

#include <gtest/gtest.h>

using ql::AttributedText;

namespace {

using namespace test::flat;

const QByteArray kRtfWithImage =
    "{\\rtf1\\ansi x{{\\NeXTGraphic pic.png \\width40 \\height60}\\'ac}y}";

}  // namespace

TEST(FlatRtfd, ReadsTheFormWrittenForRealAttachments) {
  // The attachment is a directory wrapping "..", named and with attributes,
  // its payload padded to a page boundary, as observed.
  const QByteArray png = corpus::tinyPng();
  auto padded = [&](qsizetype pad) {
    return flat(directory({{"TXT.rtf", fileRecord(kRtfWithImage)},
                           {"pic.png", attachmentDirectory(png, "pic.png", quint32(pad))}}));
  };
  const QByteArray data = padded(4096 - padded(0).indexOf(png));
  ASSERT_EQ(data.indexOf(png), 4096);
  const auto t = ql::readFlatRtfd(data);
  ASSERT_TRUE(t.has_value());
  EXPECT_EQ(t->string(), QStringLiteral("x\uFFFCy"));
  ASSERT_TRUE(t->hasAttachmentAt(1));
  EXPECT_EQ(t->attributesAt(1).attachment->fileName, QStringLiteral("pic.png"));
  EXPECT_EQ(t->attributesAt(1).attachment->contents, png);
}

TEST(FlatRtfd, ReadsThePlainFormAndToleratesMissingFiles) {
  const QByteArray plain = flat(directory({{"__@UTF8PreferredName@__", fileRecord("Doc.rtfd")},
                                           {"TXT.rtf", fileRecord(kRtfWithImage)},
                                           {"PIC.PNG", fileRecord("bytes")}}));
  const auto t = ql::readFlatRtfd(plain);
  ASSERT_TRUE(t.has_value());
  EXPECT_EQ(t->attributesAt(1).attachment->contents, QByteArray("bytes"));  // any letter case

  // An attachment whose file is missing keeps its name and no bytes.
  const auto missing = ql::readFlatRtfd(flat(directory({{"TXT.rtf", fileRecord(kRtfWithImage)}})));
  ASSERT_TRUE(missing.has_value());
  EXPECT_TRUE(missing->hasAttachmentAt(1));
  EXPECT_TRUE(missing->attributesAt(1).attachment->contents.isEmpty());
}

TEST(FlatRtfd, TheDocumentedEmptyDirectoryHasNoText) {
  const QByteArray test1 = QByteArray::fromHex(
      "72746664 00000000 03000000 02000000 13000000 5f5f40507265666572726564"
      "4e616d65405f5f 17000000 5f5f405554463850726566657272656e644e616d65405f5f"
      "0D000000 0D000000 01000000 05000000 5465737431 01000000 05000000 5465737431");
  EXPECT_FALSE(ql::readFlatRtfd(test1).has_value());
}

TEST(FlatRtfd, WritesTextFirstAndUniqueSafeNames) {
  AttributedText t(QStringLiteral("a"));
  t.append(AttributedText::attachment({QStringLiteral("x.png"), QByteArray("1")}));
  t.append(AttributedText::attachment({QStringLiteral("x.png"), QByteArray("2")}));
  t.append(AttributedText::attachment({QStringLiteral("x.png"), QByteArray("1")}));
  t.append(AttributedText::attachment({QStringLiteral("../TXT.rtf"), QByteArray("3")}));
  t.append(AttributedText::attachment({QStringLiteral(""), QByteArray("4")}));
  const QByteArray data = ql::writeFlatRtfd(t);
  EXPECT_TRUE(data.startsWith("rtfd" + u32(0) + u32(3) + u32(5) + u32(7) + "TXT.rtf"));
  const auto back = ql::readFlatRtfd(data);
  ASSERT_TRUE(back.has_value());
  auto file = [&](int i) { return *back->attributesAt(i).attachment; };
  EXPECT_EQ(file(1).fileName, QStringLiteral("x.png"));
  EXPECT_EQ(file(2).fileName, QStringLiteral("x 2.png"));
  EXPECT_EQ(file(2).contents, QByteArray("2"));
  EXPECT_EQ(file(3).fileName, QStringLiteral("x.png"));  // same bytes share a file
  EXPECT_EQ(file(4).fileName, QStringLiteral("..TXT.rtf"));  // no folders
  EXPECT_EQ(file(4).contents, QByteArray("3"));
  EXPECT_EQ(file(5).fileName, QStringLiteral("Attachment"));
}

TEST(FlatRtfd, RefusesLyingAndHostileContainers) {
  const QByteArray good = ql::writeFlatRtfd(AttributedText(QStringLiteral("hello")));
  ASSERT_TRUE(ql::readFlatRtfd(good).has_value());
  // Every truncation fails cleanly.
  for (qsizetype n = 0; n < good.size(); ++n)
    EXPECT_FALSE(ql::readFlatRtfd(good.left(n)).has_value()) << n;
  // Counts and lengths that claim more than there is.
  const QByteArray rtf = "{\\rtf1 x}";
  EXPECT_FALSE(ql::readFlatRtfd(flat(u32(3) + u32(0xFFFFFFFFu))).has_value());
  EXPECT_FALSE(ql::readFlatRtfd(flat(u32(1) + u32(0xFFFFFFF0u) + rtf)).has_value());
  EXPECT_FALSE(ql::readFlatRtfd(flat(u32(1) + u32(0x80000000u) + u32(0xFFFFFFFFu) + u32(0) + rtf))
                   .has_value());
  EXPECT_FALSE(ql::readFlatRtfd(flat(u32(1) + u32(0x80000000u) + u32(9) + u32(0xFFFFFFFFu) + rtf))
                   .has_value());
  QByteArray lyingName = u32(3) + u32(1) + u32(0xFFFFFF00u) + "TXT.rtf" + u32(17) + fileRecord(rtf);
  EXPECT_FALSE(ql::readFlatRtfd(flat(lyingName)).has_value());
  QByteArray lyingBlock = u32(3) + u32(1) + u32(7) + "TXT.rtf" + u32(0xFFFFFFFFu) + fileRecord(rtf);
  EXPECT_FALSE(ql::readFlatRtfd(flat(lyingBlock)).has_value());
  // Unknown kinds, and directories nested beyond any real wrapper.
  EXPECT_FALSE(ql::readFlatRtfd(flat(u32(2) + u32(0))).has_value());
  QByteArray nested = fileRecord(rtf);
  for (int i = 0; i < 40; ++i) nested = directory({{"TXT.rtf", nested}});
  EXPECT_FALSE(ql::readFlatRtfd(flat(nested)).has_value());
  // A text that is not RTF.
  EXPECT_FALSE(ql::readFlatRtfd(flat(directory({{"TXT.rtf", fileRecord("nope")}}))).has_value());
  // A lone file record is the text itself.
  EXPECT_TRUE(ql::readFlatRtfd(flat(fileRecord(rtf))).has_value());
}
