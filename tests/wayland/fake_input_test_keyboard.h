#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

struct xkb_context;
struct xkb_keymap;

namespace ql::test {

// The test keyboard under KWin, which offers no virtual keyboards: each key
// goes to Quillet's FIFO and then to KWin through the fake-keys program (run
// as KWin's user), and its frame ends once KWin has it. The layout is KWin's
// (US unless configured).
class FakeInputTestKeyboard final {
 public:
  // asUser: the command prefix that runs a program as KWin's user.
  FakeInputTestKeyboard(const QStringList& asUser, const QStringList& environment, const QString& fifoPath);
  ~FakeInputTestKeyboard();
  FakeInputTestKeyboard(const FakeInputTestKeyboard&) = delete;
  FakeInputTestKeyboard& operator=(const FakeInputTestKeyboard&) = delete;

  // False (with what the program said) when KWin refused fake input.
  bool isValid(QString* whyNot = nullptr) const;
  bool openFifo();

  void key(int evdevCode, bool down);
  void tap(int evdevCode);
  bool type(const QString& text);
  void sync() {}

 private:
  QProcess keys_;
  QByteArray said_;
  bool ready_ = false;
  xkb_context* context_ = nullptr;
  xkb_keymap* keymap_ = nullptr;
  QString fifoPath_;
  int fifo_ = -1;
};

}  // namespace ql::test
