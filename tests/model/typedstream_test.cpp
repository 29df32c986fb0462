#include "model/import_rich_text.h"
#include "model/typedstream.h"
#include "typedstream_writer.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using ql::typedstream::Archive;
using ql::TextAlignment;
using ql::TextColor;
using testing_ts::ArchiveRun;

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }

// "Hi" without attributes, byte for byte as the format notes give it.
QByteArray hiArchive() {
  QByteArray b = hex("040b") + "streamtyped" + hex("81e803 840140");
  b += hex("848484 12") + "NSAttributedString" + hex("00 8484 08") + "NSObject" + hex("00 85");
  b += hex("92 848484 08") + "NSString" + hex("01 94 8401") + "+" + hex("02") + "Hi" + hex("86");
  b += hex("8402") + "iI" + hex("0102");
  b += hex("92 848484 0c") + "NSDictionary" + hex("00 94 8401") + "i" + hex("00 86");
  b += hex("86");
  return b;
}

QByteArray png() {
  QByteArray b("\x89PNG\r\n\x1a\n", 8);
  b += QByteArray::fromHex("0000000d49484452 00000010 00000008 0806000000 1f15c489");
  b += QByteArray(40, '\x01');
  return b;
}

// Runs with every character and paragraph attribute; the third shares the first's set.
std::vector<ArchiveRun> styledRuns() {
  const ArchiveRun title{.length = 5, .font = "Baskerville-BoldItalic", .size = 20,
                         .color = std::array<float, 3>{1, 0, 0}, .alignment = 2};
  const ArchiveRun body{.length = 6, .font = "Menlo-Regular", .size = 11.5f,
                        .background = std::array<float, 3>{0, 0.4f, 1}, .alignment = 4, .tabs = {56, 28},
                        .underline = true, .link = "https://example.org/a"};
  ArchiveRun again = title;
  again.length = 3;
  return {title, body, again};
}
const QString kStyledText = QStringLiteral("Title\nbody\nend");

}  // namespace

TEST(TypedStream, DecodesTheDocumentedExample) {
  const auto archive = Archive::decode(hiArchive());
  ASSERT_TRUE(archive);
  ASSERT_EQ(archive->roots().size(), 1u);
  const auto* root = archive->object(archive->roots()[0]);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->classChain, QStringList({"NSAttributedString", "NSObject"}));
  // The string, the run (set 1, length 2) and the first set's dictionary.
  ASSERT_EQ(root->values.size(), 4u);
  const auto* string = archive->object(root->values[0]);
  ASSERT_TRUE(string);
  EXPECT_EQ(string->classChain, QStringList({"NSString", "NSObject"}));
  EXPECT_EQ(string->versions, std::vector<int>({1, 0}));
  EXPECT_EQ(string->values.at(0).bytes, "Hi");
  EXPECT_EQ(root->values[1].integer, 1);
  EXPECT_EQ(root->values[2].integer, 2);
  EXPECT_TRUE(archive->object(root->values[3])->isKindOf("NSDictionary"));
}

TEST(TypedStream, NumbersInEitherByteOrderAndWidth) {
  for (bool big : {false, true}) {
    testing_ts::Writer w(big);
    w.type("iiiqfSI");
    for (qint64 v : {-110LL, 300LL, -70000LL}) w.integer(v);
    w.raw(char(0x87));  // an 8-byte integer
    const quint64 large = 5000000000ULL;
    for (int k = 0; k < 8; ++k) w.raw(char((large >> (8 * (big ? 7 - k : k))) & 0xFF));
    w.real(0.25f);
    w.integer(-1);
    w.integer(-1);
    const auto archive = Archive::decode(w.bytes());
    ASSERT_TRUE(archive) << big;
    const auto& v = archive->roots();
    ASSERT_EQ(v.size(), 7u);
    EXPECT_EQ(v[0].integer, -110);
    EXPECT_EQ(v[1].integer, 300);
    EXPECT_EQ(v[2].integer, -70000);
    EXPECT_EQ(v[3].integer, 5000000000LL);
    EXPECT_DOUBLE_EQ(v[4].real, 0.25);
    // Unsigned types keep values above the signed range of their width.
    EXPECT_EQ(v[5].integer, 65535);
    EXPECT_EQ(v[6].integer, 4294967295LL);
  }
}

TEST(TypedStream, RefusesOtherDataAndHostileArchivesWithoutReadingOrAllocatingBeyondThem) {
  using testing_ts::Writer;
  auto build = [](auto fill) {
    Writer w;
    fill(w);
    return w.bytes();
  };
  QByteArray otherVersion = hiArchive();
  otherVersion[0] = 9;
  QByteArray otherSignature = hiArchive();
  otherSignature.replace("streamtyped", "streamtypex");
  const std::pair<const char*, QByteArray> cases[] = {
      {"nothing", QByteArray()},
      {"a property list", "<?xml version=\"1.0\"?><plist/>"},
      {"another version", otherVersion},
      {"another signature", otherSignature},
      {"an array longer than the data", build([](Writer& w) { w.type("[999999999i]"); w.integer(1); })},
      {"a length past the end", build([](Writer& w) { w.type("+"); w.integer(30000); w.rawBytes("abc"); })},
      {"a shared string never written", build([](Writer& w) { w.integer(20); })},
      {"an object never written", build([](Writer& w) { w.type("@"); w.reference(5); })},
      {"objects nested thousands deep", build([](Writer& w) {
         for (int i = 0; i < 5000; ++i) {
           w.type("@");
           w.beginObject({{"NSArray", 0}, {"NSObject", 0}});
         }
       })},
      {"a type it cannot size", build([](Writer& w) { w.type("^i"); w.integer(1); })},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    QString why;
    EXPECT_FALSE(Archive::decode(bytes, &why));
    EXPECT_FALSE(why.isEmpty());
  }
}

TEST(TypedStream, AnObjectThatContainsItselfDecodesAndReadsWithoutEnd) {
  // An attributed string whose string is the attributed string itself.
  testing_ts::Writer w;
  w.type("@");
  w.beginObject({{"NSAttributedString", 0}, {"NSObject", 0}});
  w.type("@");
  w.reference(-110);
  w.end();
  const auto archive = Archive::decode(w.bytes());
  ASSERT_TRUE(archive);
  EXPECT_FALSE(ql::attributedTextFromArchive(w.bytes()));
}

TEST(TypedStream, DamagedArchivesNeverCrashTheReader) {
  std::vector<ArchiveRun> runs = styledRuns();
  runs.push_back({.length = 1, .attachment = QByteArray(64, 'x'), .attachmentName = "x.bin"});
  const QByteArray good = testing_ts::attributedString(kStyledText + QChar(0xFFFC), runs);
  ASSERT_TRUE(ql::attributedTextFromArchive(good));
  // The attachment's zero padding says nothing new: the structure around it is what gets damaged.
  const qsizetype padFrom = good.indexOf(QByteArray(256, '\0'));
  const qsizetype padTo = good.lastIndexOf(QByteArray(256, '\0')) + 256;
  ASSERT_GT(padFrom, 0);
  for (qsizetype n = 0; n < good.size(); n = n == padFrom ? padTo : n + 1) ql::attributedTextFromArchive(good.left(n));
  QRandomGenerator random(7);
  for (int round = 0; round < 3000; ++round) {
    QByteArray bad = good;
    for (int k = 1 + random.bounded(4); k > 0; --k) {
      qsizetype at = random.bounded(qsizetype(bad.size()));
      if (at >= padFrom && at < padTo) at %= padFrom;
      bad[at] = char(random.bounded(256));
    }
    ql::attributedTextFromArchive(bad);
  }
}

TEST(RichTextArchive, CharacterAndParagraphAttributes) {
  const auto t = ql::attributedTextFromArchive(testing_ts::attributedString(kStyledText, styledRuns()));
  ASSERT_TRUE(t);
  // Archives written on big-endian machines read the same.
  EXPECT_EQ(ql::attributedTextFromArchive(testing_ts::attributedString(kStyledText, styledRuns(), false, true)), t);
  EXPECT_EQ(t->string(), kStyledText);

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
  // The image's run also covers an ordinary character, which is no attachment.
  const ArchiveRun image{.length = 2, .attachment = png(), .attachmentName = "Pasted Graphic.png"};
  // The image's bytes without a wrapper.
  const ArchiveRun raw{.length = 1, .attachment = png() + "other", .flatWrapper = false};
  const auto t = ql::attributedTextFromArchive(
      testing_ts::attributedString(QStringLiteral("A\uFFFCb\uFFFC"), {{.length = 1}, image, raw}));
  ASSERT_TRUE(t);
  ASSERT_TRUE(t->attributesAt(1).attachment);
  EXPECT_EQ(t->attributesAt(1).attachment->fileName, "Pasted Graphic.png");
  EXPECT_EQ(t->attributesAt(1).attachment->contents, png());
  EXPECT_FALSE(t->attributesAt(2).attachment);
  ASSERT_TRUE(t->attributesAt(3).attachment);
  EXPECT_EQ(t->attributesAt(3).attachment->fileName, "Attachment.png");
  EXPECT_EQ(t->attributesAt(3).attachment->contents, png() + "other");
  EXPECT_FALSE(t->attributesAt(0).attachment);
}

TEST(RichTextArchive, RunsCountUtf16UnitsAndStayInsideTheText) {
  // One character outside the Basic Multilingual Plane, then a run longer than what is left.
  const ArchiveRun emoji{.length = 2, .font = "Helvetica-Bold"};
  const ArchiveRun rest{.length = 500, .font = "Courier"};
  const QString text = QString::fromUtf8("\xF0\x9F\x98\x80xy");
  const auto t = ql::attributedTextFromArchive(testing_ts::attributedString(text, {emoji, rest}, true));
  ASSERT_TRUE(t);
  EXPECT_EQ(t->string(), text);
  EXPECT_TRUE(t->attributesAt(1).bold);
  EXPECT_EQ(t->attributesAt(2).fontFamily, "Courier");
  EXPECT_EQ(t->attributesAt(3).fontFamily, "Courier");
}
