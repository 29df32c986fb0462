// The simulated field must edit exactly as a text view does, so that tests of
// the expansion can trust what they read back from it.
#include "platform/keys.h"
#include "platform/sim/sim_text_field.h"

#include <gtest/gtest.h>

using ql::AttributedText;
using ql::TextAttributes;
using ql::sim::SimTextField;
namespace keys = ql::keys;
namespace mods = ql::mods;

namespace {

SimTextField fieldWith(const QString& text, int caret) {
  SimTextField f;
  f.setText(text);
  f.setCaret(caret);
  return f;
}

// Applies a key with no characters (navigation and editing keys).
void press(SimTextField& f, quint16 key, quint64 flags = 0) { f.applyKey(key, flags, QString()); }

}  // namespace

TEST(SimTextField, DeleteRemovesTheCharacterBeforeTheCaretOrTheSelection) {
  SimTextField f = fieldWith(QStringLiteral("hello world"), 5);
  press(f, keys::Delete);
  EXPECT_EQ(f.string(), QStringLiteral("hell world"));
  EXPECT_EQ(f.caret(), 4);

  f.select(4, 6);
  press(f, keys::Delete);
  EXPECT_EQ(f.string(), QStringLiteral("hell"));
  EXPECT_EQ(f.caret(), 4);
  EXPECT_EQ(f.selectionLength(), 0);

  f.setCaret(0);
  press(f, keys::Delete);
  EXPECT_EQ(f.string(), QStringLiteral("hell"));
  EXPECT_EQ(f.caret(), 0);
}

TEST(SimTextField, DeleteTakesASurrogatePairWholeAndACombiningMarkAlone) {
  SimTextField f = fieldWith(QStringLiteral("a\U0001F600"), 3);
  press(f, keys::Delete);
  EXPECT_EQ(f.string(), QStringLiteral("a"));

  f.setText(QStringLiteral("e\u0301"));
  press(f, keys::Delete);
  EXPECT_EQ(f.string(), QStringLiteral("e"));
}

TEST(SimTextField, OptionDeleteRemovesTheWordBeforeTheCaret) {
  SimTextField f = fieldWith(QStringLiteral("one two  "), 9);
  press(f, keys::Delete, mods::Option);
  EXPECT_EQ(f.string(), QStringLiteral("one "));
}

TEST(SimTextField, LeftAndRightMoveByCharacterAndCollapseASelection) {
  SimTextField f = fieldWith(QStringLiteral("abc\U0001F600d"), 2);
  press(f, keys::Left);
  EXPECT_EQ(f.caret(), 1);
  press(f, keys::Right);
  press(f, keys::Right);
  EXPECT_EQ(f.caret(), 3);
  press(f, keys::Right);  // over the emoji, both code units
  EXPECT_EQ(f.caret(), 5);
  press(f, keys::Left);
  EXPECT_EQ(f.caret(), 3);

  f.select(1, 3);
  press(f, keys::Left);
  EXPECT_EQ(f.caret(), 1);
  EXPECT_EQ(f.selectionLength(), 0);
  f.select(1, 3);
  press(f, keys::Right);
  EXPECT_EQ(f.caret(), 4);
  EXPECT_EQ(f.selectionLength(), 0);

  f.setCaret(0);
  press(f, keys::Left);
  EXPECT_EQ(f.caret(), 0);
  f.setCaret(f.string().size());
  press(f, keys::Right);
  EXPECT_EQ(f.caret(), f.string().size());
}

TEST(SimTextField, ShiftArrowsExtendFromTheAnchor) {
  SimTextField f = fieldWith(QStringLiteral("abcdef"), 3);
  press(f, keys::Left, mods::Shift);
  press(f, keys::Left, mods::Shift);
  EXPECT_EQ(f.selectionStart(), 1);
  EXPECT_EQ(f.selectedString(), QStringLiteral("bc"));
  press(f, keys::Right, mods::Shift);
  press(f, keys::Right, mods::Shift);
  press(f, keys::Right, mods::Shift);
  EXPECT_EQ(f.selectedString(), QStringLiteral("d"));
  EXPECT_EQ(f.anchor(), 3);
}

TEST(SimTextField, OptionArrowsMoveByWord) {
  SimTextField f = fieldWith(QStringLiteral("see you, soon"), 13);
  press(f, keys::Left, mods::Option);
  EXPECT_EQ(f.caret(), 9);
  press(f, keys::Left, mods::Option);  // skips ", " then "you"
  EXPECT_EQ(f.caret(), 4);
  press(f, keys::Right, mods::Option);
  EXPECT_EQ(f.caret(), 7);
  press(f, keys::Right, mods::Option);
  EXPECT_EQ(f.caret(), 13);
}

TEST(SimTextField, ShiftOptionLeftThenRightSelectsTheWordAndReturnsAfterIt) {
  // The way the program reads the word before the caret.
  SimTextField f = fieldWith(QStringLiteral("Dear sig"), 8);
  press(f, keys::Left, mods::Shift | mods::Option);
  EXPECT_EQ(f.selectedString(), QStringLiteral("sig"));
  press(f, keys::Right);
  EXPECT_EQ(f.caret(), 8);
  EXPECT_EQ(f.selectionLength(), 0);

  f.setText(QStringLiteral("line\n"));
  press(f, keys::Left, mods::Shift);
  EXPECT_EQ(f.selectedString(), QStringLiteral("\n"));
}

TEST(SimTextField, CommandUpAndDownGoToTheEndsOfTheText) {
  SimTextField f = fieldWith(QStringLiteral("one\ntwo\nthree"), 5);
  press(f, keys::Up, mods::Command);
  EXPECT_EQ(f.caret(), 0);
  press(f, keys::Down, mods::Command);
  EXPECT_EQ(f.caret(), 13);
  press(f, keys::Up, mods::Command | mods::Shift);
  EXPECT_EQ(f.selectionLength(), 13);
}

TEST(SimTextField, PlainUpAndDownKeepTheColumn) {
  SimTextField f = fieldWith(QStringLiteral("abcdef\nxy\nlonger line"), 5);
  press(f, keys::Down);
  EXPECT_EQ(f.caret(), 9);  // end of the short line
  press(f, keys::Down);
  EXPECT_EQ(f.caret(), 12);  // column 2 of the last line
  press(f, keys::Down);
  EXPECT_EQ(f.caret(), f.string().size());
  press(f, keys::Up);
  press(f, keys::Up);
  press(f, keys::Up);
  EXPECT_EQ(f.caret(), 0);
}

TEST(SimTextField, ReturnEnterAndTabInsertEscapeDoesNothing) {
  SimTextField f = fieldWith(QStringLiteral("ab"), 1);
  EXPECT_TRUE(f.applyKey(keys::Return, 0, QStringLiteral("\r")));
  EXPECT_TRUE(f.applyKey(keys::KeypadEnter, 0, QStringLiteral("\x03")));
  EXPECT_TRUE(f.applyKey(keys::Tab, 0, QStringLiteral("\t")));
  EXPECT_FALSE(f.applyKey(keys::Escape, 0, QStringLiteral("\x1b")));
  EXPECT_EQ(f.string(), QStringLiteral("a\n\n\tb"));
  EXPECT_EQ(f.caret(), 4);
}

TEST(SimTextField, CharactersReplaceTheSelectionShortcutsTypeNothing) {
  SimTextField f = fieldWith(QStringLiteral("cat"), 0);
  f.select(0, 1);
  EXPECT_TRUE(f.applyKey(keys::B, 0, QStringLiteral("b")));
  EXPECT_EQ(f.string(), QStringLiteral("bat"));
  EXPECT_FALSE(f.applyKey(keys::S, mods::Command, QStringLiteral("s")));
  EXPECT_FALSE(f.applyKey(keys::S, mods::Control, QStringLiteral("s")));
  EXPECT_TRUE(f.applyKey(keys::E, mods::Option, QStringLiteral("\u00e9")));
  EXPECT_EQ(f.string(), QStringLiteral("b\u00e9at"));
}

TEST(SimTextField, TypedTextTakesTheAttributesBeforeItPastedTextKeepsItsOwn) {
  TextAttributes bold;
  bold.bold = true;
  SimTextField f;
  f.setText(AttributedText(QStringLiteral("B"), bold));
  f.insert(QStringLiteral("x"));
  EXPECT_TRUE(f.text().attributesAt(1).bold);

  TextAttributes italic;
  italic.italic = true;
  f.insert(AttributedText(QStringLiteral("i"), italic));
  EXPECT_TRUE(f.text().attributesAt(2).italic);
  EXPECT_FALSE(f.text().attributesAt(2).bold);
  EXPECT_EQ(f.caret(), 3);
}

TEST(SimTextField, BoundsFollowTheCharacterGrid) {
  SimTextField f = fieldWith(QStringLiteral("ab\ncdef"), 0);
  f.frame = QRectF(10, 20, 300, 200);
  const QRectF r = f.boundsOf(4, 2);  // "de" on the second line
  EXPECT_EQ(r, QRectF(10 + 1 * SimTextField::kCharacterWidth, 20 + SimTextField::kLineHeight,
                      2 * SimTextField::kCharacterWidth, SimTextField::kLineHeight));
}
