// Where a hold cannot keep the user's presses from the application (no
// keyboard grab), a delimiter typed after the paste would land behind
// whatever they typed meanwhile: a printable one goes in with the text.
#include "executor_rig.h"

using ql::test::ExecutorTest;

TEST_F(ExecutorTest, APrintableDelimiterGoesInWithThePasteWhereTheHoldLetsKeysThrough) {
  desktop.keySource().setCanWithholdKeys(false);
  auto s = addSnippet(QStringLiteral("sig"), QStringLiteral("Best regards"));
  // The period reached the field and was erased before the expansion began.
  auto typedPeriod = [&](const SnippetPtr& snippet) {
    desktop.clearLog();
    desktop.focusedField()->setText(QStringLiteral("Hi ") + snippet->abbreviation);
    executor.noteKeyPress(ql::keys::Period, 0, QStringLiteral("."));
    expandTyped(snippet, snippet->abbreviation, QStringLiteral("47"));
    return posted();
  };
  // A grab holds the keys: the delimiter is typed after the paste.
  const QStringList held = typedPeriod(s);
  EXPECT_EQ(field(), QStringLiteral("Hi Best regards."));
  ASSERT_GE(held.size(), 2);

  desktop.keySource().setHoldsDelivery(false);
  const QStringList unheld = typedPeriod(s);
  EXPECT_EQ(field(), QStringLiteral("Hi Best regards."));
  EXPECT_EQ(unheld, held.mid(0, held.size() - 1)) << "the paste chord is the last key posted";
  // Taken back as before, the delimiter typed back after the word.
  EXPECT_TRUE(executor.undoOnKey(ql::KeyEvent{ql::keys::Delete}));
  EXPECT_EQ(field(), QStringLiteral("Hi sig."));

  // After a {key:} press, or with the caret left inside, the order of keys
  // matters and the delimiter is a key as before; the marker still counts it.
  auto k = addSnippet(QStringLiteral("kt"), QStringLiteral("a{key:tab}b%|c"));
  typedPeriod(k);
  EXPECT_EQ(field(), QStringLiteral("Hi a\tbc."));
  EXPECT_EQ(caret(), 6);
  auto m = addSnippet(QStringLiteral("mk"), QStringLiteral("ab%|c"));
  typedPeriod(m);
  EXPECT_EQ(field(), QStringLiteral("Hi abc."));
  EXPECT_EQ(caret(), 5);
}
