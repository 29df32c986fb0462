#include "model/import_rich_text.h"
#include "model/typedstream.h"
#include "typedstream_writer.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using ql::typedstream::Archive;
using ql::typedstream::Value;

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

  const auto text = ql::attributedTextFromArchive(hiArchive());
  ASSERT_TRUE(text);
  EXPECT_EQ(text->string(), "Hi");
  EXPECT_EQ(text->runs().size(), 1u);
}

TEST(TypedStream, NumbersInEitherByteOrderAndWidth) {
  for (bool big : {false, true}) {
    testing_ts::Writer w(big);
    w.type("iiiqf");
    for (qint64 v : {-110LL, 300LL, -70000LL}) w.integer(v);
    w.raw(char(0x87));  // an 8-byte integer
    const quint64 large = 5000000000ULL;
    for (int k = 0; k < 8; ++k) w.raw(char((large >> (8 * (big ? 7 - k : k))) & 0xFF));
    w.real(0.25f);
    const auto archive = Archive::decode(w.bytes());
    ASSERT_TRUE(archive) << big;
    const auto& v = archive->roots();
    ASSERT_EQ(v.size(), 5u);
    EXPECT_EQ(v[0].integer, -110);
    EXPECT_EQ(v[1].integer, 300);
    EXPECT_EQ(v[2].integer, -70000);
    EXPECT_EQ(v[3].integer, 5000000000LL);
    EXPECT_DOUBLE_EQ(v[4].real, 0.25);
  }
  // Unsigned types keep values above the signed range of their width.
  testing_ts::Writer w;
  w.type("SI");
  w.integer(-1);
  w.integer(-1);
  const auto archive = Archive::decode(w.bytes());
  ASSERT_TRUE(archive);
  EXPECT_EQ(archive->roots()[0].integer, 65535);
  EXPECT_EQ(archive->roots()[1].integer, 4294967295LL);
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
  testing_ts::ArchiveRun plain;
  plain.length = 2;
  plain.font = "Helvetica-Bold";
  plain.color = std::array<float, 3>{0.5f, 0.25f, 1};
  testing_ts::ArchiveRun image;
  image.length = 1;
  image.attachment = QByteArray(64, 'x');
  image.attachmentName = "x.bin";
  testing_ts::ArchiveRun tail = plain;
  tail.length = 3;
  tail.alignment = 2;
  tail.tabs = {28, 56};
  tail.link = "https://example.org/";
  const QByteArray good = testing_ts::attributedString(
      QStringLiteral("ab\uFFFCcde"), {plain, image, tail});
  ASSERT_TRUE(ql::attributedTextFromArchive(good));

  // Every truncation, then random damage.
  for (qsizetype n = 0; n < good.size(); ++n) {
    if (n == 4200) n = good.size() - 200;  // the attachment's zero padding says nothing new
    ql::attributedTextFromArchive(good.left(n));
  }
  QRandomGenerator random(7);
  for (int round = 0; round < 3000; ++round) {
    QByteArray bad = good;
    const int changes = 1 + random.bounded(4);
    for (int k = 0; k < changes; ++k) {
      const qsizetype at = random.bounded(qsizetype(bad.size()));
      // Damage the structure, not the long run of padding in the middle.
      const qsizetype pos = at > 200 && at < good.size() - 300 ? at % 200 : at;
      bad[pos] = char(random.bounded(256));
    }
    ql::attributedTextFromArchive(bad);
  }
  SUCCEED();
}
