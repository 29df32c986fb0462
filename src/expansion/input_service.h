#pragma once

#include "platform/input_synthesiser.h"

namespace ql {

// A synthetic key request: what sendKeyboardEvent posts.
struct KeyRequest {
  quint64 keyCode = 0;        // the low 16 bits are the virtual key code
  quint64 modifierFlags = 0;  // Apple modifier bits
  bool sendPress = true;      // true: key-down and key-up; false: key-down only
};

// Posts synthetic key presses. No pauses: those belong to the callers.
class InputService final {
 public:
  explicit InputService(InputSynthesiser& input) : input_(input) {}

  void sendKeyboardEvent(const KeyRequest& request);
  // Taps in order, as one run where the backend can.
  void sendKeyTaps(const QList<KeyTap>& taps) { input_.postTaps(taps); }
  // One character as the current layout types it; false when the backend
  // cannot (then post its key).
  bool typeCharacter(const QString& character) { return input_.typeCharacter(character); }
  // Waits, with the event loop running, until the user has let go of the
  // modifiers of the shortcut that started an action; false after timeoutMs.
  bool waitForModifiersReleased(int timeoutMs = 500);

 private:
  InputSynthesiser& input_;
};

}  // namespace ql
