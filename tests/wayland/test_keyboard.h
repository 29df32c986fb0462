#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct xkb_context;
struct xkb_keymap;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;

namespace ql::test {

// Types text the keymap's first layout has, each key through key(), with
// Shift where it needs it; false at a character the layout lacks.
bool typeOnKeymap(xkb_keymap* keymap, const QString& text, const std::function<void(int evdevCode, bool down)>& key);

// A physical keyboard as the test plays it: each key event goes to the
// kernel side (the FIFO Quillet reads for QUILLET_INPUT_EVENTS) and then to
// the compositor through a virtual keyboard with the user's layout, in
// that order, as a real keyboard reaches both; the event's frame (its
// SYN_REPORT) follows once the compositor has it.
class TestKeyboard final {
 public:
  TestKeyboard(const QString& waylandSocket, const QString& fifoPath, const QByteArray& layout = "us",
               const QByteArray& variant = {});
  ~TestKeyboard();
  TestKeyboard(const TestKeyboard&) = delete;
  TestKeyboard& operator=(const TestKeyboard&) = delete;

  bool isValid() const { return keyboard_ != nullptr; }
  // Starts writing to the FIFO (Quillet opens it first).
  bool openFifo();

  void key(int evdevCode, bool down);
  void tap(int evdevCode);
  // Types text the layout has, with Shift where it needs it.
  bool type(const QString& text);
  // The compositor has handled everything sent so far.
  void sync();

 private:
  wl_display* display_ = nullptr;
  wl_registry* registry_ = nullptr;
  wl_seat* seat_ = nullptr;
  zwp_virtual_keyboard_manager_v1* manager_ = nullptr;
  zwp_virtual_keyboard_v1* keyboard_ = nullptr;
  xkb_context* context_ = nullptr;
  xkb_keymap* keymap_ = nullptr;
  QString fifoPath_;
  int fifo_ = -1;
  unsigned depressed_ = 0;
  uint32_t time_ = 1;
};

}  // namespace ql::test
