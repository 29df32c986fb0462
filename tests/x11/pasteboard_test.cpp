#include "platform/pasteboard_types.h"
#include "platform/x11/x11_pasteboard.h"
#include "x11_fixture.h"

#include <QRandomGenerator>

namespace ql {
namespace {

using test::Client;
using test::run;
using test::waitUntil;

// xclip as the other application: it owns the clipboard with one format,
// or reads one format of ours.
class PasteboardTest : public test::X11Test {
 protected:
  Pasteboard& board() { return x->pasteboard(); }

  // Starts xclip owning the clipboard with these bytes and waits until the
  // program sees it as the owner's content.
  std::unique_ptr<Client> offer(const QString& type, const QByteArray& bytes) {
    const QString file = dir.filePath(QString::number(files++));
    EXPECT_TRUE(::test::writeFile(file, bytes));
    const quint64 before = board().changeCount();
    auto xclip = std::make_unique<Client>(
        QStringLiteral("xclip"),
        QStringList{"-selection", "clipboard", "-t", type, "-loops", "0", "-quiet", "-i", file});
    EXPECT_TRUE(waitUntil([&] { return board().changeCount() > before && board().types().contains(type); }));
    return xclip;
  }

  std::optional<QByteArray> readWithXclip(const QString& type) {
    return run(QStringLiteral("xclip"), {"-selection", "clipboard", "-o", "-t", type});
  }

  QTemporaryDir dir;
  int files = 0;
};

TEST_F(PasteboardTest, SavesAndRestoresAnotherOwnersFormatsByteForByte) {
  QByteArray image(3 * 1024 * 1024, Qt::Uninitialized);  // large enough for INCR transfers
  for (char& c : image) c = static_cast<char>(QRandomGenerator::global()->bounded(256));
  const QList<PasteboardItem> originals{
      {QStringLiteral("image/png"), image},
      {QStringLiteral("application/x-custom"), QByteArray("\x00\x01\xff binary", 10)},
      {QStringLiteral("text/html"), QByteArrayLiteral("<b>caf\xc3\xa9</b>")},
      {pasteboard_types::String, QByteArrayLiteral("caf\xc3\xa9 \xf0\x9f\x98\x80 line\n")},
  };
  for (const PasteboardItem& original : originals) {
    SCOPED_TRACE(original.type.toStdString());
    QList<PasteboardItem> saved;
    {
      auto owner = offer(original.type, original.data);
      // Another's copy: a restore due now would overwrite newer content.
      EXPECT_TRUE(waitUntil([&] { return !board().isOwnedByProgram(); }));
      EXPECT_FALSE(board().data(QStringLiteral("image/x-absent")).has_value());
      for (const QString& type : board().types()) {
        const auto bytes = board().data(type);
        ASSERT_TRUE(bytes.has_value());
        saved.append({type, *bytes});
      }
    }
    ASSERT_TRUE(board().write(saved));
    EXPECT_TRUE(board().isOwnedByProgram());
    const auto back = readWithXclip(original.type);
    ASSERT_TRUE(back.has_value());
    EXPECT_TRUE(*back == original.data) << back->size() << " bytes back";
  }
}

TEST_F(PasteboardTest, WritesEveryFormatInOrderAndCountsFetches) {
  const QList<PasteboardItem> items{
      {pasteboard_types::String, QByteArrayLiteral("plain")},
      {pasteboard_types::Rtf, QByteArrayLiteral("{\\rtf1 plain}")},
      {pasteboard_types::Html, QByteArrayLiteral("<p>plain</p>")},
      {pasteboard_types::Rtfd, QByteArray("rtfd\x00bytes", 10)},
      {pasteboard_types::TransientMarker, pasteboard_types::TransientMarkerValue},
  };
  ASSERT_TRUE(board().write(items));
  EXPECT_EQ(board().fetchCount(), 0);
  // Our own reading is not a fetch.
  EXPECT_EQ(board().data(pasteboard_types::Rtf), items[1].data);
  test::settle(20);
  EXPECT_EQ(board().fetchCount(), 0);

  // Asking which formats there are is not a fetch either.
  const auto targets = run(QStringLiteral("xclip"), {"-selection", "clipboard", "-o", "-t", "TARGETS"});
  ASSERT_TRUE(targets);
  for (const PasteboardItem& item : items) EXPECT_TRUE(targets->contains(item.type.toUtf8()));
  EXPECT_EQ(board().fetchCount(), 0);

  int fetched = 0;
  QObject::connect(&board(), &Pasteboard::fetched, [&] { ++fetched; });
  for (const PasteboardItem& item : items) {
    SCOPED_TRACE(item.type.toStdString());
    EXPECT_EQ(readWithXclip(item.type), item.data);
  }
  EXPECT_TRUE(waitUntil([&] { return board().fetchCount() >= items.size(); }));
  EXPECT_EQ(fetched, board().fetchCount());

  // A new write starts counting again.
  ASSERT_TRUE(board().write({{pasteboard_types::String, QByteArrayLiteral("next")}}));
  EXPECT_EQ(board().fetchCount(), 0);
  // Cleared, the program owns an empty clipboard: a reader gets nothing.
  board().clear();
  EXPECT_TRUE(board().types().isEmpty());
  EXPECT_TRUE(readWithXclip(pasteboard_types::String).value_or(QByteArray()).isEmpty());
}

}  // namespace
}  // namespace ql
