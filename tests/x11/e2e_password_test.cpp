// A password field says so through AT-SPI: nothing typed there expands,
// while the field beside it expands as ever.
#include "e2e_quillet.h"

#include <QFileInfo>

namespace ql::test {
namespace {

using PasswordE2E = E2ETest;

TEST_F(PasswordE2E, NothingExpandsInAGtkPasswordEntryAndTheEntryBesideItExpands) {
  if (!QFileInfo::exists(QStringLiteral("/usr/libexec/at-spi-bus-launcher"))) GTEST_SKIP() << "no AT-SPI";
  // GTK and Quillet find the accessibility bus through this session bus.
  bus = std::make_unique<SessionBus>();
  ASSERT_TRUE(bus->isRunning());
  const QString out = dir.filePath(QStringLiteral("fields.txt"));
  auto fields = [&] { return ::test::readFile(out); };
  std::unique_ptr<Client> entry;
  ASSERT_TRUE(openEntry(entry, {QStringLiteral("--password"), out}));
  startQuillet(1, {{"sig", "Signed"}});

  // The normal field first: Quillet is up and expands there.
  ASSERT_TRUE(pressKeys({QStringLiteral("Tab")}));
  ASSERT_TRUE(waitUntil([&] { return fields() == "\n\nsecond"; })) << fields().toStdString();
  // The Tab is no delimiter: it stays in the word, and End ends the word.
  ASSERT_TRUE(pressKeys({QStringLiteral("End")}));
  ASSERT_TRUE(typeText(QStringLiteral("sig ")));
  ASSERT_TRUE(quillet->waitForExpansions(1)) << fields().toStdString();
  ASSERT_TRUE(waitUntil([&] { return fields() == "\nSigned \nsecond"; })) << fields().toStdString();

  // Into the password field. Its focus event and the answer about its role
  // travel over the bus beside the keys, not with them: give them a moment.
  ASSERT_TRUE(pressKeys({QStringLiteral("shift+Tab")}));
  ASSERT_TRUE(waitUntil([&] { return fields() == "\nSigned \nfirst"; })) << fields().toStdString();
  ASSERT_TRUE(pressKeys({QStringLiteral("End")}));
  settle(1000);
  ASSERT_TRUE(typeText(QStringLiteral("sig sig ")));
  ASSERT_TRUE(waitUntil([&] { return fields() == "sig sig \nSigned \nfirst"; })) << fields().toStdString();

  // And back: the field beside it expands again. Quillet takes keys in
  // order, so an expansion in the password field would have come first.
  ASSERT_TRUE(pressKeys({QStringLiteral("Tab")}));
  ASSERT_TRUE(waitUntil([&] { return fields().endsWith("second"); })) << fields().toStdString();
  ASSERT_TRUE(pressKeys({QStringLiteral("End")}));  // GTK selects a field's text as Tab enters it
  settle(1000);
  ASSERT_TRUE(typeText(QStringLiteral("sig ")));
  ASSERT_TRUE(quillet->waitForExpansions(2)) << fields().toStdString();
  EXPECT_TRUE(waitUntil([&] { return fields() == "sig sig \nSigned Signed \nsecond"; })) << fields().toStdString();
  EXPECT_EQ(quillet->expansions(), 2);
}

}  // namespace
}  // namespace ql::test
