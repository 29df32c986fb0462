#include "content/string_helper.h"
#include "content_test_util.h"

#include <gtest/gtest.h>

using namespace ql;

TEST(Content, PlainRenderingsAndSearchableText) {
  QLSnippet s = plainSnippet("a\nb");
  EXPECT_EQ(s.content(true), "a b");
  EXPECT_EQ(s.content(false), "a\nb");
  EXPECT_EQ(s.searchableText(), "a\nb");

  // Only line feeds become spaces.
  s.plainText = QStringLiteral("a\r\nb\u2029c");
  EXPECT_EQ(s.content(true), QStringLiteral("a\r b\u2029c"));
}

TEST(Content, FormattedRenderingShowsAttachments) {
  AttributedText t("A", boldAttributes());
  t.append(AttributedText::attachment({"image.png", QByteArray("\x89PNG", 4)}));
  t.append("B\nC", {});
  QLSnippet s = formattedSnippet(t);
  PlistDict d = s.getData();
  QLSnippet loaded;
  loaded.setData(&d);
  EXPECT_EQ(loaded.searchableText(), "A(...attachment...)B C");
  EXPECT_EQ(helper::plainTextFromRTFD(&t, QString("[img]"), false), "A[img]B\nC");
  EXPECT_EQ(helper::plainTextFromRTFD(nullptr, std::nullopt, true), "");
}

TEST(Content, BrokenFormattedContentRendersNothing) {
  QLSnippet s;
  s.snippetType = QLSnippet::Formatted;
  s.formattedText = "rtfd\0\0\0\0garbage";
  EXPECT_EQ(s.content(true), "");  // expanding it is the executor's test
  EXPECT_TRUE(QLSnippet::snippetParts(SnippetContent::fromRtfd("junk")).isEmpty());
}

TEST(Content, WithoutTags) {
  QLSnippet s = plainSnippet("Hi {fill:Name}, %Y{KEY:TAB}");
  EXPECT_EQ(s.contentWithoutTags(true), "Hi , {KEY:TAB}");
  s.plainText = "a {fill:x";
  EXPECT_EQ(s.contentWithoutTags(true), "a {fill:x");
  s.plainText = "%|x{clipboard}{key:enter}{FILL:a}{fill:b}%p\ny";
  EXPECT_EQ(s.contentWithoutTags(true), "x y");
}

TEST(Parts, CutAtKeyCodes) {
  // Each part as "text[key]cursor#index"; a part's cursor counts back from its end.
  auto parts = [](const QString& text) {
    QStringList out;
    for (const auto& p : QLSnippet::snippetParts(SnippetContent::fromText(text)))
      out << QStringLiteral("%1[%2]%3#%4").arg(p.data.text, p.key).arg(p.cursor).arg(p.index);
    return out.join(u' ');
  };
  const struct {
    const char* text;
    const char* parts;
  } cases[] = {
      {"Hello %|world", "Hello world[]5#1"},
      {"ab{KEY:Tab}cd", "ab[{key:tab}]0#1 cd[]0#2"},
      {"{key:enter}x", "[{key:enter}]0#1 x[]0#2"},
      {"x{key:esc}", "x[{key:esc}]0#1"},
      {"a{key:tab}b{key:foo}c", "a[{key:tab}]0#1 b{key:foo}c[]0#2"},  // unknown keys stay text
      {"a{key:tab}b{key:", "a[{key:tab}]0#1 b{key:[]0#2"},
      {"x%|y%|z", "xyz[]1#1"},
      {"a%|b{key:return}c%|", "ab[{key:return}]1#1 c[]0#2"},  // each part counts its own cursor
  };
  for (const auto& c : cases) EXPECT_EQ(parts(QString::fromUtf8(c.text)).toStdString(), c.parts) << c.text;
}

TEST(Parts, FormattedPartsKeepFormatting) {
  AttributedText t("bold", boldAttributes());
  t.append("{key:tab}plain%|", {});
  const auto parts = QLSnippet::snippetParts(SnippetContent::fromRtfd(writeFlatRtfd(t)));
  ASSERT_EQ(parts.size(), 2);
  ASSERT_TRUE(parts[0].data.isRtfd);
  const AttributedText first = readRtfd(parts[0].data);
  EXPECT_EQ(first.string(), "bold");
  EXPECT_TRUE(first.attributesAt(0).bold);
  const AttributedText second = readRtfd(parts[1].data);
  EXPECT_EQ(second.string(), "plain");
  EXPECT_FALSE(second.attributesAt(0).bold);
  EXPECT_EQ(parts[1].cursor, 0);
}
