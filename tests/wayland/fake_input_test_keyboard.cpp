#include "fake_input_test_keyboard.h"
#include "test_keyboard.h"

#include <QFile>
#include <QProcessEnvironment>

#include <xkbcommon/xkbcommon.h>

#include <fcntl.h>
#include <linux/input.h>
#include <sys/time.h>
#include <unistd.h>

namespace ql::test {

FakeInputTestKeyboard::FakeInputTestKeyboard(const QStringList& asUser, const QStringList& environment,
                                             const QString& fifoPath)
    : fifoPath_(fifoPath) {
  context_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  xkb_rule_names names = {"evdev", "pc105", "us", "", ""};
  keymap_ = xkb_keymap_new_from_names(context_, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const QString& e : environment) env.insert(e.section('=', 0, 0), e.section('=', 1));
  keys_.setProcessEnvironment(env);
  QStringList command = asUser;
  command << QStringLiteral(QUILLET_FAKE_KEYS);
  keys_.start(command.takeFirst(), command);
  if (!keys_.waitForStarted(5000)) return;
  while (!said_.contains('\n') && keys_.waitForReadyRead(10000)) said_ += keys_.readAllStandardOutput();
  ready_ = said_.startsWith("ready");
  if (!ready_) said_ += keys_.readAllStandardError();
}

FakeInputTestKeyboard::~FakeInputTestKeyboard() {
  if (fifo_ >= 0) ::close(fifo_);
  keys_.closeWriteChannel();
  if (!keys_.waitForFinished(3000)) keys_.kill();
  xkb_keymap_unref(keymap_);
  xkb_context_unref(context_);
}

bool FakeInputTestKeyboard::isValid(QString* whyNot) const {
  if (!ready_ && whyNot) *whyNot = QString::fromUtf8(said_.trimmed());
  return ready_ && keymap_;
}

bool FakeInputTestKeyboard::openFifo() {
  if (fifo_ < 0) fifo_ = ::open(QFile::encodeName(fifoPath_).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  return fifo_ >= 0;
}

void FakeInputTestKeyboard::key(int code, bool down) {
  if (!ready_) return;
  timeval now;
  ::gettimeofday(&now, nullptr);
  input_event events[2] = {};
  events[0].time = now;
  events[0].type = EV_KEY;
  events[0].code = quint16(code);
  events[0].value = down ? 1 : 0;
  events[1].time = now;
  events[1].type = EV_SYN;
  events[1].code = SYN_REPORT;
  // As a kernel device: Quillet's FIFO has the key before the compositor
  // does, and the frame ends once the compositor has it.
  if (fifo_ >= 0) [[maybe_unused]] const ssize_t n = ::write(fifo_, &events[0], sizeof events[0]);
  keys_.write(QByteArray::number(code) + (down ? " 1\n" : " 0\n"));
  keys_.waitForBytesWritten(5000);
  QByteArray answer;
  while (!answer.contains('\n') && keys_.waitForReadyRead(5000)) answer += keys_.readAllStandardOutput();
  if (fifo_ >= 0) [[maybe_unused]] const ssize_t n = ::write(fifo_, &events[1], sizeof events[1]);
}

void FakeInputTestKeyboard::tap(int code) {
  key(code, true);
  key(code, false);
}

bool FakeInputTestKeyboard::type(const QString& text) {
  return typeOnKeymap(keymap_, text, [this](int code, bool down) { key(code, down); });
}

}  // namespace ql::test
