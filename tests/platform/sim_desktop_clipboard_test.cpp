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
