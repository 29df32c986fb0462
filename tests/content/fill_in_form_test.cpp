#include "content/fill_in_form.h"
#include "content_test_util.h"

#include <gtest/gtest.h>

using namespace ql;

namespace {

FillInForm formFor(QLSnippet s) {
  FillInForm f;
  int length = 0;
  auto c = s.processSnippet(0, &f.keys, &f.fills, &length);
  EXPECT_TRUE(c);
  f.data = *c;
  f.resetView();
  return f;
}

}  // namespace

TEST(FillIn, FieldsAreDistinctCodesAndOkFillsOnlyExactSpellings) {
  FillInForm f = formFor(plainSnippet("{fill:first name} {fill:x} {fill:FIRST NAME} {fill:first name}"));
  // Spellings that differ only in case are one field, under the first spelling.
  ASSERT_EQ(f.formFields.size(), 2);
  EXPECT_EQ(f.formFields[0].key, "{fill:first name}");
  EXPECT_EQ(f.formFields[0].title(), "First Name :");
  EXPECT_EQ(f.formFields[0].value, "first name");
  EXPECT_EQ(f.formFields[1].tag, "{fill:x}");
  f.setFieldValue(0, "Ann");
  const int length = f.confirm();
  // An unchanged entry inserts the field's name.
  EXPECT_EQ(f.data.text, "Ann x {fill:FIRST NAME} Ann");
  EXPECT_EQ(length, f.data.text.size());
}

TEST(FillIn, PreviewWhileTypingAndEmptyFields) {
  FillInForm f = formFor(plainSnippet("{fill:a}-{fill:b}{key:tab}{fill:b}"));
  f.setFieldValue(0, "");
  f.setFieldValue(1, "BB");
  f.updateText(true, false, true, 1);
  // An emptied field still shows its code; key codes show as characters.
  EXPECT_EQ(f.preview().string(), "{fill:a}-BB\tBB");
  EXPECT_EQ(f.highlightLocation(), 12);
  EXPECT_EQ(f.highlightLength(), 2);

  const int length = f.confirm();
  EXPECT_EQ(length, QString("-BB\tBB").size());
  // The content keeps its key code for the executor to press.
  EXPECT_EQ(f.data.text, "-BB{key:tab}BB");
}

TEST(FillIn, ValuesNeverLoop) {
  FillInForm g = formFor(plainSnippet("{fill:n}{fill:n}"));
  g.setFieldValue(0, "{fill:n}");
  g.confirm();
  EXPECT_EQ(g.data.text, "{fill:n}{fill:n}");
}

TEST(FillIn, FormattedContentKeepsFormatting) {
  AttributedText t("Hi ", {});
  t.append("{fill:who}", boldAttributes());
  t.append("!", {});
  FillInForm f = formFor(formattedSnippet(t));
  ASSERT_TRUE(f.previewIsRich());
  f.setFieldValue(0, "Bob");
  const int length = f.confirm();
  EXPECT_EQ(length, 7);
  ASSERT_TRUE(f.data.isRtfd);
  const AttributedText out = readRtfd(f.data);
  EXPECT_EQ(out.string(), "Hi Bob!");
  EXPECT_TRUE(out.attributesAt(4).bold);
  EXPECT_FALSE(out.attributesAt(6).bold);
}
