// Raw kernel records from the FIFO of QUILLET_INPUT_EVENTS.
#include "platform/wayland/input_event_reader.h"
#include "support/event_loop.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/input.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ql {
namespace {

input_event record(quint16 type, quint16 code, qint32 value, long seconds = 1, long micros = 500000) {
  input_event e = {};
  e.time.tv_sec = seconds;
  e.time.tv_usec = micros;
  e.type = type;
  e.code = code;
  e.value = value;
  return e;
}

class FifoReader : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    path = dir.filePath(QStringLiteral("events"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    ASSERT_TRUE(reader.openFifo(path));
    QObject::connect(&reader, &InputEventReader::record, [this](const InputEventReader::Record& r) { got.append(r); });
    writer = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);
  }
  void TearDown() override {
    if (writer >= 0) ::close(writer);
  }
  void write(const void* bytes, size_t size) { ASSERT_EQ(::write(writer, bytes, size), ssize_t(size)); }
  bool waitFor(int count) {
    return ::test::waitFor([&] { return got.size() >= count; }, 5000);
  }

  QTemporaryDir dir;
  QString path;
  InputEventReader reader;
  QList<InputEventReader::Record> got;
  int writer = -1;
};

TEST_F(FifoReader, RecordsCutAcrossWritesArriveWholeAndInOrder) {
  const input_event events[] = {record(EV_KEY, KEY_A, 1), record(EV_SYN, SYN_REPORT, 0),
                                record(EV_KEY, KEY_A, 0, 2, 1000)};
  const char* bytes = reinterpret_cast<const char*>(events);
  // A writer may stop in the middle of a record.
  write(bytes, 30);
  write(bytes + 30, sizeof events - 30);
  ASSERT_TRUE(waitFor(3));
  ASSERT_EQ(got.size(), 3);
  EXPECT_EQ(got[0].type, EV_KEY);
  EXPECT_EQ(got[0].code, KEY_A);
  EXPECT_EQ(got[0].value, 1);
  EXPECT_EQ(got[0].timestampMs, 1500);
  EXPECT_EQ(got[1].type, EV_SYN);
  EXPECT_EQ(got[2].value, 0);
  EXPECT_EQ(got[2].timestampMs, 2001);
}

TEST_F(FifoReader, ANewWriterCarriesOnWhenTheLastOneLeft) {
  const input_event first = record(EV_KEY, KEY_B, 1);
  write(&first, sizeof first);
  ASSERT_TRUE(waitFor(1));
  ::close(writer);
  writer = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  const input_event second = record(EV_KEY, KEY_C, 1);
  write(&second, sizeof second);
  ASSERT_TRUE(waitFor(2));
  EXPECT_EQ(got[1].code, KEY_C);
  EXPECT_EQ(reader.openCount(), 1);
}

}  // namespace
}  // namespace ql
