#include "content/string_helper.h"
#include "content_test_util.h"

#include <gtest/gtest.h>

using namespace ql;

TEST(Content, PlainRenderingsAndSearchableText) {
  QLSnippet s = plainSnippet("a\nb");
  EXPECT_EQ(s.content(true), "a b");
  EXPECT_EQ(s.searchableText(), "a b");
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
  EXPECT_EQ(s.content(true), "");
  int length = -1;
  QList<CodeOccurrence> keys;
  EXPECT_FALSE(s.processSnippet(0, &keys, nullptr, &length));
  EXPECT_EQ(length, -1);
  EXPECT_TRUE(keys.isEmpty());
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
  auto parts = [](const QString& text) { return QLSnippet::snippetParts(SnippetContent::fromText(text)); };
  auto one = parts("Hello %|world");
  ASSERT_EQ(one.size(), 1);
  EXPECT_EQ(one[0].data.text, "Hello world");
  EXPECT_EQ(one[0].cursor, 5);
  EXPECT_EQ(one[0].index, 1);
  EXPECT_EQ(one[0].key, "");

  auto two = parts("ab{KEY:Tab}cd");
  ASSERT_EQ(two.size(), 2);
  EXPECT_EQ(two[0].data.text, "ab");
  EXPECT_EQ(two[0].key, "{key:tab}");
  EXPECT_EQ(two[1].data.text, "cd");
  EXPECT_EQ(two[1].key, "");
  EXPECT_EQ(two[1].index, 2);

  auto leading = parts("{key:enter}x");
  ASSERT_EQ(leading.size(), 2);
  EXPECT_EQ(leading[0].data.text, "");
  EXPECT_EQ(leading[0].key, "{key:enter}");

  auto trailing = parts("x{key:esc}");
  ASSERT_EQ(trailing.size(), 1);
  EXPECT_EQ(trailing[0].key, "{key:esc}");

  auto unknown = parts("a{key:tab}b{key:foo}c");
  ASSERT_EQ(unknown.size(), 2);
  EXPECT_EQ(unknown[1].data.text, "b{key:foo}c");

  auto open = parts("a{key:tab}b{key:");
  ASSERT_EQ(open.size(), 2);
  EXPECT_EQ(open[1].data.text, "b{key:");

  auto cursors = parts("x%|y%|z");
  EXPECT_EQ(cursors[0].data.text, "xyz");
  EXPECT_EQ(cursors[0].cursor, 1);

  // Each part counts its own cursor.
  auto both = parts("a%|b{key:return}c%|");
  ASSERT_EQ(both.size(), 2);
  EXPECT_EQ(both[0].cursor, 1);
  EXPECT_EQ(both[0].key, "{key:return}");
  EXPECT_EQ(both[1].cursor, 0);
  EXPECT_EQ(both[1].data.text, "c");
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

TEST(Parts, InsertionPoint) {
  int location = -1;
  AttributedText t = QLSnippet::FindAndReplaceInsertionPoint(AttributedText("ab%|cd%|e"), &location);
  EXPECT_EQ(t.string(), "abcde");
  EXPECT_EQ(location, 1);
  t = QLSnippet::FindAndReplaceInsertionPoint(AttributedText("none"), &location);
  EXPECT_EQ(location, 0);
  // The marker's neighbours keep their attributes.
  AttributedText f("x", boldAttributes());
  f.append("%|y", {});
  t = QLSnippet::FindAndReplaceInsertionPoint(f, &location);
  EXPECT_EQ(t.string(), "xy");
  EXPECT_TRUE(t.attributesAt(0).bold);
  EXPECT_FALSE(t.attributesAt(1).bold);
}
