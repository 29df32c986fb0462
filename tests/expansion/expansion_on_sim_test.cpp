// The services together, the way an expansion uses them from inside the key
// handler: what the user finally sees in the field, with keys typed while it
// runs.
#include "expansion/system_services.h"
#include "platform/sim/sim_desktop.h"

#include <QTimer>

#include <gtest/gtest.h>

using ql::KeyEvent;
using ql::KeyRequest;
using ql::sim::SimDesktop;
namespace keys = ql::keys;
namespace mods = ql::mods;

namespace {

// Delimiter mode, "sig" then Space: delete the abbreviation, paste, retype
// the delimiter, all inside the handler of the Space press.
void installExpander(SimDesktop& d, ql::SystemServices& s, int& expansions) {
  ql::KeySource& source = *d.platform().keySource;
  source.start();
  source.setEnabled(true);
  source.setKeyDownHandler([&d, &s, &source, &expansions](const KeyEvent& e) {
    // Where keys cannot be withheld the Space is already in the field.
    const QString tail = source.canWithholdKeys() ? QStringLiteral("sig") : QStringLiteral("sig ");
    if (e.keyCode != keys::Space || !d.focusedField()->string().endsWith(tail)) return false;
    ++expansions;
    if (!source.canWithholdKeys()) source.eraseDeliveredKey();
    source.setHoldingInput(true);
    source.setEnabled(false);
    for (int i = 0; i < 3; ++i) s.sendKeyboardEvent(KeyRequest{keys::Delete, 0, true});
    s.backupPasteBoard();
    s.writeStringToPasteBoard(QStringLiteral("Best regards"));
    s.sendKeyboardEvent(KeyRequest{keys::V, mods::Command, true});
    s.pasteboard().waitUntilFetched(1000);
    s.sendKeyboardEvent(KeyRequest{keys::Space, 0, true});
    source.setEnabled(true);
    source.setHoldingInput(false);
    return true;
  });
}

}  // namespace

TEST(ExpansionOnSim, KeysTypedDuringTheExpansionLandAfterIt) {
  for (bool canWithhold : {true, false}) {
    SimDesktop d;
    d.keySource().setCanWithholdKeys(canWithhold);
    d.setPasteLatency(10);
    ql::SystemServices services(d.platform());
    int expansions = 0;
    installExpander(d, services, expansions);
    QTimer::singleShot(2, &d, [&d] { d.typeText(QStringLiteral("ok")); });
    d.typeText(QStringLiteral("Hi sig "));
    EXPECT_EQ(expansions, 1);
    EXPECT_EQ(d.focusedField()->string(), QStringLiteral("Hi Best regards ok"))
        << (canWithhold ? "withholding" : "erasing");
    const int deletes = int(d.postedKeyNames().count(QStringLiteral("Delete")));
    EXPECT_EQ(deletes, canWithhold ? 3 : 4);
  }
}
