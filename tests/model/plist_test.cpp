#include "model/plist.h"
#include "support/test_files.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace ql;

namespace {

PlistValue sample() {
  PlistDict inner;
  inner.insert("z", 1);
  inner.insert("a", 2);
  PlistDict d;
  d.insert("string", QStringLiteral("a<b & \"c\" \u00e9 \U0001F600"));
  d.insert("negative", qint64(-42));
  d.insert("big", qint64(1) << 40);
  d.insert("real", 0.1);
  d.insert("yes", true);
  d.insert("no", false);
  d.insert("date", QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC));
  d.insert("data", QByteArray("\x00\x01\xff", 3));
  d.insert("array", PlistArray{PlistValue("x"), PlistValue(3), PlistValue(PlistArray{})});
  d.insert("dict", inner);
  d.insert("empty", PlistDict{});
  return d;
}

}  // namespace

TEST(Plist, XmlAndBinaryRoundTripKeepValuesAndKeyOrder) {
  const PlistValue v = sample();
  const QByteArray xml = plist::toXml(v);
  EXPECT_TRUE(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
  EXPECT_TRUE(xml.contains("<plist version=\"1.0\">"));
  for (const QByteArray& bytes : {xml, plist::toBinary(v)}) {
    auto back = plist::parse(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, v);
    // Insertion order, not alphabetical order.
    EXPECT_EQ(back->dict()->keyAt(0), "string");
    EXPECT_EQ(back->dict()->value("dict")->dict()->keyAt(0), "z");
  }
}

TEST(Plist, NumbersConvertAsRecordsReadThem) {
  EXPECT_EQ(PlistValue(2.9).toInteger(), 2);
  EXPECT_EQ(PlistValue(true).toInteger(), 1);
  EXPECT_EQ(PlistValue(qint64(0)).toBool(), false);
  EXPECT_EQ(PlistValue(5).toReal(), 5.0);
  EXPECT_FALSE(PlistValue("5").toInteger());
  EXPECT_FALSE(PlistValue(PlistArray{}).toBool());
  EXPECT_FALSE(PlistValue(1e300).toInteger());
}

TEST(Plist, BadInputFailsCleanly) {
  const QByteArray good = plist::toXml(sample());
  // libplist aborts the program on a key with a NUL in it: refused first.
  PlistDict keyed;
  keyed.insert("zq", 1);
  QByteArray nul = plist::toBinary(keyed);
  const qsizetype at = nul.indexOf("\x52zq");
  ASSERT_GE(at, 0);
  nul[at + 2] = '\0';
  const QList<QByteArray> bad = {
      QByteArray(),
      QByteArray("not a plist at all"),
      good.left(good.size() / 2),
      QByteArray("bplist00") + QByteArray(64, '\xff'),
      QByteArray(4096, '\0'),
      nul,
      QByteArray("<plist><dict><key>a</key></plist>"),
      // Mismatched and misplaced elements are errors, not guesses.
      QByteArray("<plist><dict><string>v</string></dict></plist>"),
      QByteArray("<plist><array></dict></plist>"),
      QByteArray("<plist><integer>12x</integer></plist>"),
      QByteArray("<plist><data>!!!</data></plist>"),
      // Declared entities are never expanded or fetched: billion laughs, an external file.
      QByteArray("<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY a \"aaaaaaaaaa\">"
                 "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>"
                 "<plist><dict><key>k</key><string>&c;</string></dict></plist>"),
      QByteArray("<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
                 "<plist><string>&x;</string></plist>"),
  };
  for (const QByteArray& b : bad) {
    QString why;
    EXPECT_FALSE(plist::parse(b, &why)) << b.left(40).toStdString();
    EXPECT_FALSE(why.isEmpty());
  }
  // Binary garbage behind a valid-looking header must never crash.
  QByteArray bin = plist::toBinary(sample());
  for (int i = 8; i < bin.size(); i += 7) {
    QByteArray damaged = bin;
    damaged[i] = char(damaged[i] ^ 0x5a);
    (void)plist::parse(damaged);
  }
}

TEST(Plist, DeepNestingIsRefusedNotCrashed) {
  auto nested = [](int depth) {
    return "<plist version=\"1.0\">" + QByteArray("<array>").repeated(depth) +
           QByteArray("</array>").repeated(depth) + "</plist>";
  };
  EXPECT_FALSE(plist::parse(nested(100000)));
  EXPECT_TRUE(plist::parse(nested(100)));  // shallow nesting still loads

  // Binary: 100000 one-element arrays, each holding the next.
  const int n = 100000;
  QByteArray bin = "bplist00";
  QList<quint32> offsets;
  auto bigEndian = [&](quint64 v, int width) {
    for (int k = width - 1; k >= 0; --k) bin += char(v >> (8 * k));
  };
  for (int i = 0; i < n; ++i) {
    offsets.append(quint32(bin.size()));
    bin += char(i + 1 < n ? 0xA1 : 0xA0);
    if (i + 1 < n) bigEndian(quint64(i + 1), 3);
  }
  const quint64 table = quint64(bin.size());
  for (quint32 o : offsets) bigEndian(o, 3);
  // The trailer: offset and reference sizes 3, n objects, the top one 0.
  bin += QByteArray(6, '\0') + "\x03\x03";
  bigEndian(quint64(n), 8);
  bigEndian(0, 8);
  bigEndian(table, 8);
  EXPECT_FALSE(plist::parse(bin));
}

TEST(Plist, AtomicWriteIsPrivateAndKeepsOldFileOnFailure) {
  QTemporaryDir dir;
  const QString path = dir.filePath("lib.qlxdoc");
  ASSERT_TRUE(plist::writeFileAtomic(path, "first"));
  struct stat st {};
  ASSERT_EQ(stat(QFile::encodeName(path).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  ASSERT_TRUE(plist::writeFileAtomic(path, "second"));
  EXPECT_EQ(test::readFile(path), "second");

  // A folder that cannot be written: the save fails and the file stays.
  if (geteuid() != 0) {
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QString why;
    EXPECT_FALSE(plist::writeFileAtomic(path, "third", &why));
    EXPECT_FALSE(why.isEmpty());
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(test::readFile(path), "second");
  }
  // Writing into a folder that does not exist fails without creating anything.
  EXPECT_FALSE(plist::writeFileAtomic(dir.filePath("missing/lib.qlxdoc"), "x"));
}

TEST(Plist, XmlReaderTakesWhatOtherWritersProduce) {
  const QByteArray xml =
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
      "<!-- a comment -->\n"
      "<plist version=\"1.0\"><dict>\n"
      "  <key>s</key><string>a &lt;b&gt; &amp; &quot;q&quot; &#233;&#x1F600;<![CDATA[<raw>]]></string>\n"
      "  <key>e</key><string/>\n"
      "  <key>i</key><integer> -12 </integer>\n"
      "  <key>h</key><integer>0x10</integer>\n"
      "  <key>r</key><real>1.5e3</real>\n"
      "  <key>d</key><date>2024-05-05T09:07:03Z</date>\n"
      "  <key>b</key><data>\n    aGVs\n    bG8=\n  </data>\n"
      "  <key>t</key><true/><key>f</key><false/>\n"
      "  <key>a</key><array><integer>1</integer><!-- x --><array/></array>\n"
      "</dict></plist>\n";
  auto v = plist::parse(xml);
  ASSERT_TRUE(v && v->dict());
  const PlistDict& d = *v->dict();
  EXPECT_EQ(*d.value("s")->string(), QString::fromUtf8("a <b> & \"q\" \u00e9\U0001F600<raw>"));
  EXPECT_EQ(*d.value("e")->string(), "");
  EXPECT_EQ(d.value("i")->toInteger(), -12);
  EXPECT_EQ(d.value("h")->toInteger(), 16);
  EXPECT_EQ(d.value("r")->toReal(), 1500.0);
  EXPECT_EQ(*d.value("d")->date(), QDateTime(QDate(2024, 5, 5), QTime(9, 7, 3), Qt::UTC));
  EXPECT_EQ(*d.value("b")->data(), "hello");
  EXPECT_EQ(d.value("t")->toBool(), true);
  EXPECT_EQ(d.value("f")->toBool(), false);
  EXPECT_EQ(d.value("a")->array()->size(), 2u);
}

TEST(Plist, LargeDictionariesKeepFirstPositionsAndLastValues) {
  // Lookups in a dictionary of many keys go through an index; duplicate keys
  // keep their first position and take the last value.
  PlistDict d;
  for (int i = 0; i < 200000; ++i) d.insert(QString::number(i), i);
  d.insert("5", -1);
  EXPECT_EQ(d.size(), 200000);
  EXPECT_EQ(d.keyAt(5), "5");
  EXPECT_EQ(d.value("5")->toInteger(), -1);
  d.remove("0");
  EXPECT_EQ(d.value("199999")->toInteger(), 199999);
  EXPECT_EQ(d.keyAt(0), "1");
}
