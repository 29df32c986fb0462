#include "content/text/flat_rtfd.h"
#include "model/import_options.h"
#include "model/ql_settings.h"
#include "typedstream_writer.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include "support/test_files.h"

namespace {

class TextExpanderFile : public ::testing::Test {
 protected:
  // A TextExpander property list whose root dictionary holds body.
  QString write(const QByteArray& body) {
    const QString path = dir_.filePath(QStringLiteral("t%1.textexpander").arg(++count_));
    EXPECT_TRUE(test::writeFile(path, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" +
                                          body + "</dict></plist>"));
    return path;
  }

  static QByteArray snippet(const QByteArray& abbreviation, const QByteArray& uuid,
                            const QByteArray& more = QByteArray()) {
    return "<dict><key>abbreviation</key><string>" + abbreviation +
           "</string><key>uuidString</key><string>" + uuid + "</string>" + more + "</dict>";
  }

  static QByteArray data(const QByteArray& bytes) { return "<data>" + bytes.toBase64() + "</data>"; }

  QTemporaryDir dir_;
  int count_ = 0;
};

QByteArray imageArchive(const QByteArray& image) {
  return testing_ts::attributedString(QStringLiteral("\uFFFC"),
                                      {{.length = 1, .attachment = image, .attachmentName = "shot.png"}});
}

}  // namespace

TEST_F(TextExpanderFile, GroupsTakeTheirFieldsAndTheApplicationRuleIsRenumbered) {
  QByteArray groups =
      "<key>groupsTE2</key><array>"
      "<dict><key>name</key><string>Work</string><key>expandAfterMode</key><integer>2</integer>"
      "<key>expanderExceptions</key><array><string>Terminal</string></array>"
      "<key>snippetUUIDs</key><array><string>U1</string><string>U2</string></array>"
      "<key>suggestAbbreviations</key><false/><key>uuidString</key><string>G1</string></dict>"
      "<dict><key>name</key><string></string></dict>"                 // dropped
      "<dict><key>expandAfterMode</key><integer>0</integer></dict>"  // kept, untitled
      "<string>not a group</string>";
  // TextExpander's rules 0 to 4 in Quillet's numbering; others are kept as they are.
  const std::pair<int, int> modes[] = {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 0}, {9, 9}};
  for (const auto& [mode, type] : modes)
    groups += "<dict><key>name</key><string>M</string><key>expanderExceptionsMode</key><integer>" +
              QByteArray::number(mode) + "</integer></dict>";
  QLSettings s;
  ASSERT_TRUE(s.importFromTEMac(write(groups + "</array>")));
  ASSERT_EQ(s.groups.size(), 2 + std::size(modes));
  const QLGroup& work = *s.groups[0];
  EXPECT_EQ(work.name, "Work");
  EXPECT_EQ(work.expandType, 2);
  EXPECT_EQ(work.exceptions, QStringList({"Terminal"}));
  EXPECT_EQ(work.snippts, QStringList({"U1", "U2"}));
  EXPECT_FALSE(work.includeInSuggestionsList);
  EXPECT_NE(work.uuid, "G1");  // groups always get a UUID of their own
  EXPECT_EQ(s.groups[1]->name, "(Untitled)");
  for (size_t i = 0; i < std::size(modes); ++i)
    EXPECT_EQ(s.groups[int(2 + i)]->exceptionType, modes[i].second) << "mode " << modes[i].first;
  EXPECT_TRUE(s.snippets.isEmpty());
}

TEST_F(TextExpanderFile, SnippetsTakeTheirFieldsAndKeepUnknownTypes) {
  const QString path = write(
      "<key>snippetsTE2</key><array>" +
      snippet("sig", "U1",
              "<key>abbreviationMode</key><integer>1</integer><key>label</key><string>Signature</string>"
              "<key>plainText</key><string>Regards\nAnn</string><key>snippetType</key><integer>0</integer>"
              "<key>useCount</key><integer>7</integer><key>flags</key><integer>3</integer>") +
      snippet("sh", "U2", "<key>plainText</key><string>date</string><key>snippetType</key><integer>3</integer>") +
      snippet("", "U3", "<key>plainText</key><string>dropped</string>") +
      "<dict><key>plainText</key><string>no abbreviation</string></dict>"
      "</array>");
  QLSettings s;
  ASSERT_TRUE(s.importFromTEMac(path));
  ASSERT_EQ(s.snippets.size(), 2);
  const QLSnippet& sig = *s.snippets[0];
  EXPECT_EQ(sig.uuid, "U1");
  EXPECT_EQ(sig.abbreviationMatchType, 1);
  EXPECT_EQ(sig.label, "Signature");
  EXPECT_EQ(sig.plainText, "Regards\nAnn");
  EXPECT_EQ(sig.useCount, 7);
  EXPECT_EQ(sig.flags, 0);  // not one of the keys taken
  EXPECT_FALSE(sig.groupUuid);
  EXPECT_TRUE(sig.formattedText.isEmpty());
  EXPECT_EQ(s.snippets[1]->snippetType, 3);
}

TEST_F(TextExpanderFile, FormattedContentFromTheArchiveOrElseTheRtf) {
  const QByteArray archive = testing_ts::attributedString("Hello", {{.length = 5, .font = "Georgia-Bold"}});
  const QByteArray rtf = "<key>extraInfo</key><dict><key>RTF</key><string>{\\rtf1\\ansi{\\fonttbl\\f0 Courier;}"
                         "\\f0\\fs30 From RTF}</string></dict>";
  const QString path = write(
      "<key>snippetsTE2</key><array>" +
      snippet("arch", "U1", "<key>snippetType</key><integer>1</integer><key>plainText</key><string>Hello</string>"
                            "<key>richText</key>" + data(archive) + rtf) +
      snippet("rtf", "U2", "<key>snippetType</key><integer>1</integer><key>plainText</key><string>From RTF</string>"
                           "<key>richText</key>" + data("damaged") + rtf) +
      snippet("none", "U3", "<key>snippetType</key><integer>1</integer><key>plainText</key><string>kept</string>"
                            "<key>richText</key>" + data("damaged")) +
      snippet("img", "U4", "<key>snippetType</key><integer>0</integer><key>plainText</key><string>\xEF\xBF\xBC</string>"
                           "<key>richText</key>" + data(imageArchive("PNGDATA"))) +
      "</array>");
  QLSettings s;
  ASSERT_TRUE(s.importFromTEMac(path));
  ASSERT_EQ(s.snippets.size(), 4);

  const auto fromArchive = ql::readFlatRtfd(s.snippets[0]->formattedText);
  ASSERT_TRUE(fromArchive);
  EXPECT_EQ(fromArchive->string(), "Hello");
  EXPECT_EQ(fromArchive->attributesAt(0).fontFamily, "Georgia");

  const auto fromRtf = ql::readFlatRtfd(s.snippets[1]->formattedText);
  ASSERT_TRUE(fromRtf);
  EXPECT_EQ(fromRtf->string(), "From RTF");
  EXPECT_EQ(fromRtf->attributesAt(0).fontFamily, "Courier");
  EXPECT_EQ(s.snippets[1]->snippetType, 1);

  // Nothing readable: a formatted snippet would expand to nothing, so it
  // falls back to its plain text.
  EXPECT_TRUE(s.snippets[2]->formattedText.isEmpty());
  EXPECT_EQ(s.snippets[2]->snippetType, 0);
  EXPECT_EQ(s.snippets[2]->plainText, "kept");

  // An image stored as a plain snippet of one attachment character.
  const QLSnippet& img = *s.snippets[3];
  EXPECT_EQ(img.snippetType, 1);
  const auto image = ql::readFlatRtfd(img.formattedText);
  ASSERT_TRUE(image && image->attributesAt(0).attachment);
  EXPECT_EQ(image->attributesAt(0).attachment->contents, "PNGDATA");
}

TEST_F(TextExpanderFile, SingleGroupExportHoldsEverySnippetInFileOrder) {
  const QString path = write(
      "<key>groupInfo</key><dict><key>expandAfterMode</key><integer>2</integer>"
      "<key>groupName</key><string>CSS3</string></dict>"
      "<key>snippetsTE2</key><array>" +
      snippet(",,b", "B") + snippet(",,a", "A") + snippet("", "C") +
      "<dict><key>abbreviation</key><string>,,n</string></dict>"  // no UUID: gets a new one
      "</array>");
  QLSettings s;
  ASSERT_TRUE(s.importFromTEMac(path));
  ASSERT_EQ(s.groups.size(), 1);
  ASSERT_EQ(s.snippets.size(), 3);
  EXPECT_EQ(s.groups[0]->name, "CSS3");
  EXPECT_EQ(s.groups[0]->expandType, 2);
  EXPECT_EQ(s.groups[0]->snippts, QStringList({"B", "A", s.snippets[2]->uuid}));

  const QString unnamed = write("<key>groupInfo</key><dict><key>groupName</key><string/></dict>"
                                "<key>snippetsTE2</key><array>" + snippet("x", "X") + "</array>");
  QLSettings t;
  ASSERT_TRUE(t.importFromTEMac(unnamed));
  ASSERT_EQ(t.groups.size(), 1);
  EXPECT_EQ(t.groups[0]->name, "(Untitled)");
}

TEST_F(TextExpanderFile, CodesAreRewrittenOnlyWhenAsked) {
  const QByteArray archive =
      testing_ts::attributedString("Hi %fill:name%!%| ", {{.length = 18, .font = "Helvetica-Bold"}});
  const QString path = write(
      "<key>snippetsTE2</key><array>" +
      snippet("c", "U1", "<key>plainText</key><string>%clipboard %filltext:name=City:default=Rome:width=9% "
                         "%key:tab%%Y %|</string>") +
      snippet("f", "U2", "<key>snippetType</key><integer>1</integer><key>richText</key>" + data(archive)) +
      "</array>");
  QLSettings plain;
  ASSERT_TRUE(plain.importFromTEMac(path));
  EXPECT_EQ(plain.snippets[0]->plainText, "%clipboard %filltext:name=City:default=Rome:width=9% %key:tab%%Y %|");

  ql::ImportOptions options;
  options.convertCodes = true;
  QLSettings converted;
  ASSERT_TRUE(converted.importFromTEMac(path, options));
  EXPECT_EQ(converted.snippets[0]->plainText, "{clipboard} {fill:City} {key:tab}%Y %|");
  const auto rich = ql::readFlatRtfd(converted.snippets[1]->formattedText);
  ASSERT_TRUE(rich);
  EXPECT_EQ(rich->string(), "Hi {fill:name}!%| ");
  EXPECT_TRUE(rich->attributesAt(5).bold);  // the new code keeps the formatting
}

TEST_F(TextExpanderFile, UnreadableFilesFailAndOtherDictionariesReadAsEmpty) {
  QLSettings s;
  EXPECT_FALSE(s.importFromTEMac(dir_.filePath("missing.textexpander")));
  const QString array = dir_.filePath("array.textexpander");
  ASSERT_TRUE(test::writeFile(array, "<plist version=\"1.0\"><array/></plist>"));
  EXPECT_FALSE(s.importFromTEMac(array));
  EXPECT_TRUE(s.importFromTEMac(write("<key>Status Item</key><true/>")));
  EXPECT_TRUE(s.groups.isEmpty());
  EXPECT_TRUE(s.snippets.isEmpty());
}

TEST_F(TextExpanderFile, ReadingReportsProgressAndCanBeCancelled) {
  QByteArray many = "<key>snippetsTE2</key><array>";
  for (int i = 0; i < 1000; ++i) many += snippet("a" + QByteArray::number(i), "U" + QByteArray::number(i));
  const QString path = write(many + "</array>");

  std::vector<std::pair<qint64, qint64>> reports;
  ql::ImportOptions options;
  options.progress = [&](qint64 read, qint64 total) { reports.emplace_back(read, total); };
  QLSettings s;
  ASSERT_TRUE(s.importFromTEMac(path, options));
  ASSERT_GE(reports.size(), 5u);
  EXPECT_EQ(reports.back(), std::make_pair(qint64(1000), qint64(1000)));
  EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));

  bool stop = false;
  options.progress = [&](qint64 read, qint64) { stop = read >= 400; };
  options.isCancelled = [&] { return stop; };
  QLSettings cancelled;
  EXPECT_FALSE(cancelled.importFromTEMac(path, options));
  EXPECT_TRUE(cancelled.snippets.isEmpty());
}
