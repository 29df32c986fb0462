#include "content/text/flat_rtfd.h"
#include "model/import_options.h"
#include "model/import_text.h"
#include "model/ql_settings.h"
#include "support/log_capture.h"
#include "support/test_files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ql::importtext;

namespace {

class WindowsExport : public ::testing::Test {
 protected:
  QString write(const QByteArray& xml) {
    const QString path = dir_.filePath(QStringLiteral("w%1.qlxdoc").arg(++count_));
    EXPECT_TRUE(test::writeFile(path, xml));
    return path;
  }

  QTemporaryDir dir_;
  int count_ = 0;
};

const QByteArray kRtf = "{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Helvetica;}{\\colortbl;\\red0\\green128\\blue0;}"
                        "\\f0\\fs24\\cf1\\b Bold green text that runs long enough to need several base64 lines}";

// Base64 in lines of 76 characters, as the exporter wraps it.
QString wrapped76(const QByteArray& bytes, const QString& lineEnd) {
  const QString flat = QString::fromLatin1(bytes.toBase64());
  QString out;
  for (qsizetype i = 0; i < flat.size(); i += 76) out += flat.mid(i, 76) + lineEnd;
  return out;
}

}  // namespace

TEST(ImportText, LeadingIntegersAndBooleans) {
  EXPECT_EQ(leadingInteger("42"), 42);
  EXPECT_EQ(leadingInteger("  -12abc"), -12);
  EXPECT_EQ(leadingInteger("+7"), 7);
  EXPECT_EQ(leadingInteger("x1"), 0);
  EXPECT_EQ(leadingInteger(""), 0);
  EXPECT_EQ(leadingInteger("99999999999999999999"), INT_MAX);
  EXPECT_EQ(leadingInteger("-99999999999999999999"), INT_MIN);
  for (const char* yes : {"YES", "yes", "true", "T", "1", " +0002", "9x", "-5"})
    EXPECT_TRUE(boolOfText(yes)) << yes;
  for (const char* no : {"NO", "false", "0", "000", "-0", "", "  ", "abc", "+", "0.5"})
    EXPECT_FALSE(boolOfText(no)) << no;
}

TEST(ImportText, Base64SkipsForeignCharactersAndStopsAtPadding) {
  EXPECT_EQ(decodeBase64(QString::fromLatin1(kRtf.toBase64())), kRtf);
  EXPECT_EQ(decodeBase64(wrapped76(kRtf, "\r\n")), kRtf);
  EXPECT_EQ(decodeBase64(" S G V s b G 8 = ignored"), "Hello");
  EXPECT_EQ(decodeBase64("SGk=QUFB"), "Hi");  // nothing after the first "="
  EXPECT_EQ(decodeBase64("SGk"), "Hi");       // three characters: two bytes
  EXPECT_EQ(decodeBase64("SG"), "H");         // two characters: one byte
  EXPECT_EQ(decodeBase64("S").size(), 1);     // one character: one byte
  EXPECT_EQ(decodeBase64(QString()), QByteArray());
}

TEST_F(WindowsExport, EveryChildElementAndConversion) {
  const QByteArray xml =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<!DOCTYPE Quillet SYSTEM \"quillet.dtd\">\n"
      "<Quillet><Library><Groups>\n"
      " <Group>\n"
      "  <uuid>G-1</uuid><name>Mail &amp; Chat</name><Abbreviation>mc</Abbreviation>\n"
      "  <exceptionType> 3 apps</exceptionType><sound>Glass</sound><expandType>2</expandType>\n"
      "  <snippts>\n   <string>S-1</string>\n   <string>S-2</string>\n  </snippts>\n"
      "  <exceptions><string>Mail</string></exceptions><dateCreated>2020-01-01</dateCreated>\n"
      "  <includeInSuggestionsList>NO</includeInSuggestionsList>\n"
      "  <allowGroupSuggestions>Yes</allowGroupSuggestions><isExpanded>0</isExpanded>\n"
      "  <unknown>ignored</unknown>\n"
      " </Group>\n"
      " <Deeper><Group><name></name><Abbreviation>n</Abbreviation></Group></Deeper>\n"
      "</Groups><Snippets>\n"
      " <Snippet><groupUuid>G-1</groupUuid><uuid>S-1</uuid><abbreviation>sig</abbreviation>\n"
      "  <abbreviationMatchType>2</abbreviationMatchType><label>Signature</label>\n"
      "  <plainText>Regards &lt;Ann&gt;\n&#233;t&#xE9;</plainText>\n"
      "  <formattedText>" + wrapped76(kRtf, "\n").toLatin1() + "</formattedText>\n"
      "  <snippetType>ST_FORMATTED_TEXT</snippetType><useCount>12</useCount><flags>5</flags>\n"
      "  <IsConvertToHTML>true</IsConvertToHTML>\n"
      " </Snippet>\n"
      " <Snippet><uuid>S-2</uuid><abbreviation>x</abbreviation><snippetType>ST_PLAIN_TEXT</snippetType>"
      "<label></label><plainText>plain</plainText><useCount/></Snippet>\n"
      " <Snippet><abbreviation>bad</abbreviation><plainText>p</plainText><formattedText>bm90IHJ0Zg==</formattedText>"
      "<snippetType>ST_FORMATTED_TEXT</snippetType></Snippet>\n"
      " <Snippet><abbreviation></abbreviation><plainText>dropped</plainText></Snippet>\n"
      "</Snippets></Library></Quillet>\n";
  QLSettings s;
  ASSERT_TRUE(s.importFromQLXWindows(write(xml)));
  ASSERT_EQ(s.groups.size(), 2);
  const QLGroup& g = *s.groups[0];
  EXPECT_EQ(g.uuid, "G-1");
  EXPECT_EQ(g.name, "Mail & Chat");
  EXPECT_EQ(g.abbreviation, "mc");
  EXPECT_EQ(g.exceptionType, 3);
  EXPECT_EQ(g.sound, "Glass");
  EXPECT_EQ(g.expandType, 2);
  EXPECT_EQ(g.snippts, QStringList({"S-1", "S-2"}));
  EXPECT_TRUE(g.exceptions.isEmpty());  // recognised and ignored
  EXPECT_FALSE(g.includeInSuggestionsList);
  EXPECT_TRUE(g.allowGroupSuggestions);
  EXPECT_FALSE(g.isExpanded);
  // At any depth; an empty name is skipped, so the group keeps "(Untitled)".
  EXPECT_EQ(s.groups[1]->name, "(Untitled)");
  EXPECT_EQ(s.groups[1]->abbreviation, "n");

  ASSERT_EQ(s.snippets.size(), 3);
  const QLSnippet& sig = *s.snippets[0];
  EXPECT_EQ(sig.groupUuid, "G-1");
  EXPECT_EQ(sig.uuid, "S-1");
  EXPECT_EQ(sig.abbreviation, "sig");
  EXPECT_EQ(sig.abbreviationMatchType, 2);
  EXPECT_EQ(sig.label, "Signature");
  EXPECT_EQ(sig.plainText, QString::fromUtf8("Regards <Ann>\n\xC3\xA9t\xC3\xA9"));
  EXPECT_EQ(sig.snippetType, 1);
  EXPECT_EQ(sig.useCount, 12);
  EXPECT_EQ(sig.flags, 5);
  EXPECT_TRUE(sig.isConvertToHTML);
  const auto text = ql::readFlatRtfd(sig.formattedText);
  ASSERT_TRUE(text);
  EXPECT_TRUE(text->string().startsWith("Bold green text"));
  EXPECT_TRUE(text->attributesAt(0).bold);
  EXPECT_EQ(text->attributesAt(0).foreground, (ql::TextColor{0, 128, 0}));

  const QLSnippet& x = *s.snippets[1];
  EXPECT_EQ(x.snippetType, 0);
  EXPECT_FALSE(x.groupUuid);
  EXPECT_EQ(x.useCount, 0);
  // Formatted text that is not RTF: the snippet falls back to its plain text.
  EXPECT_TRUE(s.snippets[2]->formattedText.isEmpty());
  EXPECT_EQ(s.snippets[2]->snippetType, 0);
}

TEST_F(WindowsExport, BrokenEmptyAndHostileDocumentsYieldNothing) {
  QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n<!ENTITY lol \"lol\">\n";
  for (int i = 1; i <= 9; ++i)
    laughs += "<!ENTITY lol" + QByteArray::number(i) + " \"" +
              QByteArray("&lol" + (i == 1 ? QByteArray() : QByteArray::number(i - 1)) + ";").repeated(10) +
              "\">\n";
  laughs += "]>\n<Export><Snippet><abbreviation>a</abbreviation><plainText>&lol9;</plainText>"
            "</Snippet></Export>\n";
  const QString secret = dir_.filePath("secret.txt");
  ASSERT_TRUE(test::writeFile(secret, "TOP-SECRET"));
  const std::pair<const char*, QByteArray> cases[] = {
      // An error late in the file: not even the records before it are kept.
      {"broken late", "<Export><Group><name>A</name></Group><Snippet><abbreviation>a</abbreviation></Snippet>"
                      "<Snippet><abbreviation>b</abbreviation></Snip></Export>"},
      {"no records", "<Export><Other/></Export>"},
      {"empty", ""},
      {"not xml", "not xml at all"},
      {"billion laughs", laughs},
      {"external entity", "<?xml version=\"1.0\"?>\n<!DOCTYPE Export [ <!ENTITY xxe SYSTEM \"file://" +
                              secret.toUtf8() + "\"> ]>\n<Export><Snippet><abbreviation>a</abbreviation>"
                              "<plainText>&xxe;</plainText></Snippet></Export>\n"},
      // Many references to one modest entity: small file, huge text.
      {"quadratic blow-up", "<?xml version=\"1.0\"?>\n<!DOCTYPE Export [ <!ENTITY a \"" + QByteArray(1000, 'a') +
                                "\"> ]>\n<Export><Snippet><abbreviation>a</abbreviation><plainText>" +
                                QByteArray("&a;").repeated(100000) + "</plainText></Snippet></Export>"},
      {"undeclared entity",
       "<Export><Snippet><abbreviation>a</abbreviation><plainText>&nope;</plainText></Snippet></Export>"},
      {"external parameter entity", "<?xml version=\"1.0\"?>\n<!DOCTYPE Export [ <!ENTITY % p SYSTEM \"file://" +
                                        secret.toUtf8() + "\"> %p; ]>\n<Export><Snippet><abbreviation>a"
                                        "</abbreviation></Snippet></Export>\n"},
  };
  LogCapture log;
  for (const auto& [name, xml] : cases) {
    SCOPED_TRACE(name);
    QLSettings s;
    EXPECT_FALSE(s.importFromQLXWindows(write(xml)));
    EXPECT_TRUE(s.groups.isEmpty());
    EXPECT_TRUE(s.snippets.isEmpty());
  }
  QLSettings s;
  EXPECT_FALSE(s.importFromQLXWindows(dir_.filePath("missing.qlxdoc")));
  for (const QString& line : log.lines) {
    EXPECT_TRUE(line.startsWith("Error in importFromQLXWindows : ")) << line.toStdString();
    EXPECT_FALSE(line.contains("TOP-SECRET"));
  }
}

TEST_F(WindowsExport, InternalEntitiesAreExpanded) {
  QLSettings s;
  ASSERT_TRUE(s.importFromQLXWindows(write(
      "<?xml version=\"1.0\"?>\n<!DOCTYPE Export [\n <!ENTITY co \"Orrery Labs\">\n"
      " <!ENTITY sign \"Regards, &co;\">\n]>\n<Export><Group><name>&co;</name></Group>"
      "<Snippet><abbreviation>sig</abbreviation><plainText>&sign; &amp; &co;</plainText></Snippet>"
      "</Export>")));
  EXPECT_EQ(s.groups.at(0)->name, "Orrery Labs");
  EXPECT_EQ(s.snippets.at(0)->plainText, "Regards, Orrery Labs & Orrery Labs");
}

TEST_F(WindowsExport, ProgressCountsRecordsOfAnUnknownTotal) {
  QByteArray xml = "<Export>";
  for (int i = 0; i < 1000; ++i) xml += "<Snippet><abbreviation>a" + QByteArray::number(i) + "</abbreviation></Snippet>";
  const QString path = write(xml + "</Export>");
  qint64 last = 0;
  ql::ImportOptions options;
  options.progress = [&](qint64 read, qint64 total) {
    EXPECT_EQ(total, -1);
    EXPECT_GE(read, last);
    last = read;
  };
  QLSettings s;
  ASSERT_TRUE(s.importFromQLXWindows(path, options));
  EXPECT_EQ(last, 1000);  // cancelling is checked through the import window
}
