#include "content/text/flat_rtfd.h"
#include "content/text/rtf_reader.h"
#include "content/text/rtf_writer.h"

#include "rtf_samples.h"
#include "text_corpus.h"

#include <gtest/gtest.h>

using ql::AttributedText;

namespace {

// Reports the first difference, which a failed == on two long texts does not.
::testing::AssertionResult sameText(const AttributedText& expected, const AttributedText& actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  if (expected.string() != actual.string())
    return ::testing::AssertionFailure()
           << "text differs:\n  " << expected.string().toStdString() << "\n  "
           << actual.string().toStdString();
  for (size_t i = 0; i < std::min(expected.runs().size(), actual.runs().size()); ++i) {
    const auto& e = expected.runs()[i];
    const auto& a = actual.runs()[i];
    if (!(e == a))
      return ::testing::AssertionFailure()
             << "run " << i << " differs: expected start " << e.start << " length " << e.length
             << ", got start " << a.start << " length " << a.length;
  }
  return ::testing::AssertionFailure() << "run counts differ: " << expected.runs().size()
                                       << " vs " << actual.runs().size();
}

}  // namespace

// The hand-made corpus, then random documents, through both formats.
TEST(RoundTrip, CorpusAndRandomDocuments) {
  QList<std::pair<std::string, AttributedText>> docs;
  for (const AttributedText& doc : corpus::documents()) docs.append({"corpus " + std::to_string(docs.size()), doc});
  for (quint32 seed = 1; seed <= 200; ++seed)
    docs.append({"seed " + std::to_string(seed), corpus::random(seed, 1 + int(seed % 40))});
  for (const auto& [name, doc] : docs) {
    const QByteArray rtf = ql::writeRtf(doc);
    ASSERT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\cocoartf")) << name;
    const auto viaRtf = ql::readRtf(rtf);
    ASSERT_TRUE(viaRtf.has_value()) << name;
    EXPECT_TRUE(sameText(corpus::withoutAttachmentBytes(doc), *viaRtf)) << name << "\n" << rtf.toStdString();
    const auto viaRtfd = ql::readFlatRtfd(ql::writeFlatRtfd(doc));
    ASSERT_TRUE(viaRtfd.has_value()) << name;
    EXPECT_TRUE(sameText(doc, *viaRtfd)) << name;
  }
}

// What the reader makes of other programs' documents survives being written
// and read again.
TEST(RoundTrip, ForeignDocumentsAfterReading) {
  for (const QByteArray& sample : {samples::kMacTextEdit, samples::kLibreOffice, samples::kWordPad}) {
    const auto first = ql::readRtf(sample);
    ASSERT_TRUE(first.has_value());
    const auto second = ql::readRtf(ql::writeRtf(*first));
    ASSERT_TRUE(second.has_value());
    EXPECT_TRUE(sameText(*first, *second));
  }
}

TEST(RtfWriter, StandaloneRtfEmbedsImagesAsPictures) {
  AttributedText t(QStringLiteral("x"));
  t.append(AttributedText::attachment({QStringLiteral("photo.png"), corpus::tinyPng()}));
  t.append(AttributedText::attachment({QStringLiteral("notes.txt"), QByteArray("text")}));
  t.append(QStringLiteral("y"), ql::TextAttributes());
  const QByteArray rtf = ql::writeRtf(t, ql::RtfAttachments::Pictures);
  EXPECT_TRUE(rtf.contains("{\\pict\\pngblip\\picw2\\pich3\\picwgoal30\\pichgoal45\n89504e47"));
  EXPECT_FALSE(rtf.contains("NeXTGraphic"));
  const auto back = ql::readRtf(rtf);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->string(), QStringLiteral("x\uFFFCy"));
  EXPECT_EQ(*back->attributesAt(1).attachment,
            (ql::TextAttachment{QStringLiteral("Picture.png"), corpus::tinyPng()}));
}

// Found by fuzzing: a \uN in a font name swallowed the character after it.
TEST(RtfWriter, FontNamesKeepEveryCharacter) {
  const QString font = QStringLiteral("Ωmega {Pro}; \\ 😀");
  const auto back = ql::readRtf(ql::writeRtf(AttributedText(QStringLiteral("x"), {.fontFamily = font})));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->attributesAt(0).fontFamily, font);
}

TEST(RtfWriter, WritesTheMacDialect) {
  AttributedText t(QStringLiteral("Hi "));
  t.append(QStringLiteral("café € ✓"), {.bold = true});
  const QByteArray rtf = ql::writeRtf(t);
  EXPECT_TRUE(rtf.contains("{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;}"));
  // cp1252 characters as \'hh, the rest as \uN without a fallback.
  EXPECT_TRUE(rtf.contains("\\b caf\\'e9 \\'80 \\u10003"));
  EXPECT_TRUE(rtf.endsWith("}"));  // readers elsewhere may not forgive a missing one
  for (const char c : rtf) EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F));
}
