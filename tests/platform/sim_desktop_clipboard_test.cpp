// Command-V and Command-C in the simulated applications.
#include "content/text/flat_rtfd.h"
#include "content/text/rtf_reader.h"
#include "platform/pasteboard_types.h"
#include "platform/sim/sim_desktop.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

using ql::AttributedText;
using ql::PasteboardItem;
using ql::TextAttributes;
using ql::sim::SimDesktop;
namespace keys = ql::keys;
namespace mods = ql::mods;
namespace types = ql::pasteboard_types;

namespace {

AttributedText boldText(const QString& s) {
  TextAttributes bold;
  bold.bold = true;
  return AttributedText(s, bold);
}

void commandV(SimDesktop& d) {
  d.input().postKey(keys::V, mods::Command, true);
  d.input().postKey(keys::V, mods::Command, false);
}

}  // namespace

TEST(SimDesktopClipboard, PasteTakesRtfdFirstThenThePlainString) {
  SimDesktop d;
  d.pasteboard().write({{types::String, QByteArrayLiteral("plain")},
                        {types::Rtfd, ql::writeFlatRtfd(boldText(QStringLiteral("rich")))}});
  d.focusedField()->setText(QStringLiteral("[]"));
  d.focusedField()->setCaret(1);
  commandV(d);
  EXPECT_EQ(d.focusedField()->string(), QStringLiteral("[rich]"));
  EXPECT_TRUE(d.focusedField()->text().attributesAt(1).bold);
  EXPECT_EQ(d.focusedField()->caret(), 5);

  d.focusedField()->acceptsRichText = false;
  commandV(d);
  EXPECT_EQ(d.focusedField()->string(), QStringLiteral("[richplain]"));

  d.pasteboard().write({{types::String, QStringLiteral("\u00fc\U0001F600").toUtf8()}});
  d.focusedField()->acceptsRichText = true;
  commandV(d);
  EXPECT_EQ(d.focusedField()->string(), QStringLiteral("[richplain\u00fc\U0001F600]"));
}

TEST(SimDesktopClipboard, UnreadableRtfdFallsBackToTheString) {
  SimDesktop d;
  d.pasteboard().write({{types::String, QByteArrayLiteral("plain")},
                        {types::Rtfd, QByteArrayLiteral("not rtfd")}});
  commandV(d);
  EXPECT_EQ(d.focusedField()->string(), QStringLiteral("plain"));

  d.pasteboard().clear();
  commandV(d);
  EXPECT_EQ(d.focusedField()->string(), QStringLiteral("plain"));
}

TEST(SimDesktopClipboard, APasteCountsAsAFetchOfTheProgramsContentOnly) {
  SimDesktop d;
  int signals = 0;
  QObject::connect(&d.pasteboard(), &ql::Pasteboard::fetched, [&] { ++signals; });
  d.pasteboard().write({{types::String, QByteArrayLiteral("x")}});
  EXPECT_EQ(d.pasteboard().fetchCount(), 0);
  commandV(d);
  EXPECT_EQ(d.pasteboard().fetchCount(), 1);
  EXPECT_EQ(signals, 1);
  d.pasteboard().write({{types::String, QByteArrayLiteral("y")}});
  EXPECT_EQ(d.pasteboard().fetchCount(), 0);

  d.pasteboard().setContent({{types::String, QByteArrayLiteral("theirs")}}, QStringLiteral("Mail"));
  commandV(d);
  EXPECT_EQ(d.pasteboard().fetchCount(), 0);
  EXPECT_EQ(signals, 1);
  EXPECT_FALSE(d.pasteboard().isOwnedByProgram());
}

TEST(SimDesktopClipboard, WithLatencyKeysPostedMeanwhileLandBeforeThePaste) {
  // What X11 does to a program that does not wait for the fetch.
  SimDesktop d;
  d.setPasteLatency(5);
  d.pasteboard().write({{types::String, QByteArrayLiteral("sig")}});
  commandV(d);
  d.input().postKey(keys::Space, 0, true);
  EXPECT_EQ(d.pendingPastes(), 1);
  EXPECT_EQ(d.focusedField()->string(), QStringLiteral(" "));
  QEventLoop loop;
  QObject::connect(&d.pasteboard(), &ql::Pasteboard::fetched, &loop, &QEventLoop::quit);
  QTimer::singleShot(5000, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_EQ(d.pendingPastes(), 0);
  EXPECT_EQ(d.focusedField()->string(), QStringLiteral(" sig"));
}

TEST(SimDesktopClipboard, CopyPutsTheSelectionAsStringAndRtf) {
  SimDesktop d;
  d.focusedField()->setText(boldText(QStringLiteral("copy me")));
  d.focusedField()->select(5, 2);
  const quint64 before = d.pasteboard().changeCount();
  d.typeKey(keys::C, mods::Command);
  EXPECT_GT(d.pasteboard().changeCount(), before);
  EXPECT_EQ(d.pasteboard().owner(), QStringLiteral("TextEdit"));
  EXPECT_EQ(d.pasteboard().types(), (QStringList{types::String, types::Rtf}));
  EXPECT_EQ(d.pasteboard().data(types::String), QByteArrayLiteral("me"));
  const auto rtf = ql::readRtf(*d.pasteboard().data(types::Rtf));
  ASSERT_TRUE(rtf.has_value());
  EXPECT_EQ(rtf->string(), QStringLiteral("me"));
  EXPECT_TRUE(rtf->attributesAt(0).bold);
  EXPECT_EQ(d.focusedField()->string(), QStringLiteral("copy me"));
}

TEST(SimDesktopClipboard, CopyWithNothingSelectedLeavesThePasteboard) {
  SimDesktop d;
  d.pasteboard().setContent({{types::String, QByteArrayLiteral("old")}}, QStringLiteral("Mail"));
  const quint64 before = d.pasteboard().changeCount();
  d.focusedField()->setText(QStringLiteral("text"));
  d.input().postKey(keys::C, mods::Command, true);
  EXPECT_EQ(d.pasteboard().changeCount(), before);
  EXPECT_EQ(d.pasteboard().data(types::String), QByteArrayLiteral("old"));
}

TEST(SimDesktopClipboard, WritesKeepTheGivenOrderAndOneEntryPerType) {
  SimDesktop d;
  const quint64 before = d.pasteboard().changeCount();
  d.pasteboard().write({{QStringLiteral("b"), QByteArrayLiteral("1")},
                        {QStringLiteral("a"), QByteArrayLiteral("2")},
                        {QStringLiteral("b"), QByteArrayLiteral("3")}});
  EXPECT_EQ(d.pasteboard().types(), (QStringList{QStringLiteral("b"), QStringLiteral("a")}));
  EXPECT_EQ(d.pasteboard().data(QStringLiteral("b")), QByteArrayLiteral("3"));
  EXPECT_EQ(d.pasteboard().changeCount(), before + 1);
  d.pasteboard().setUnreadable(QStringLiteral("a"));
  EXPECT_FALSE(d.pasteboard().data(QStringLiteral("a")).has_value());
  EXPECT_FALSE(d.pasteboard().data(QStringLiteral("missing")).has_value());
}

TEST(SimDesktopClipboard, CopyInOneApplicationPasteInAnotherKeepsTheFormatting) {
  SimDesktop d;
  d.addApplication(QStringLiteral("Mail"));
  d.focusedField()->setText(boldText(QStringLiteral("bold")));
  d.typeKey(keys::A, mods::Command);
  d.typeKey(keys::C, mods::Command);
  d.switchTo(QStringLiteral("Mail"));
  d.typeKey(keys::V, mods::Command);
  EXPECT_EQ(d.focusedField()->string(), QStringLiteral("bold"));
  EXPECT_TRUE(d.focusedField()->text().attributesAt(0).bold);

  d.typeKey(keys::A, mods::Command);
  d.typeKey(keys::X, mods::Command);
  EXPECT_EQ(d.focusedField()->string(), QString());
  EXPECT_EQ(d.pasteboard().owner(), QStringLiteral("Mail"));
}
