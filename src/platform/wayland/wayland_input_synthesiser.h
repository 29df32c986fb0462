#pragma once

#include "platform/input_synthesiser.h"

#include <functional>

namespace ql {

class TypingKeyboard;

// Types through the program's keyboard in the seat. On a virtual keyboard
// the modifiers are its own: what the user holds on a physical keyboard is
// that keyboard's state, so nothing needs restoring around a key. KWin's
// fake input shares the seat's state; the caller waits for the user's
// modifiers to be released as on X11.
class WaylandInputSynthesiser final : public InputSynthesiser {
 public:
  // frontmost: the app_id (or X class) of the application in front, to pick
  // its paste chord. held: the Apple modifier bits the user holds now.
  WaylandInputSynthesiser(TypingKeyboard& keyboard, std::function<QString()> frontmost,
                          std::function<quint64()> held);

  void postKey(quint16 keyCode, quint64 modifierFlags, bool down) override;
  void postTaps(const QList<KeyTap>& taps) override;
  bool typeCharacter(const QString& character) override;
  quint64 heldModifiers() const override { return held_ ? held_() : 0; }
  bool waitForModifiersReleased(int timeoutMs) override;

  // One BackSpace tap, at once.
  void postBackSpace();

 private:
  void modifiers(quint64 flags, bool down);
  void send(quint16 keyCode, quint64 modifierFlags, bool down);

  TypingKeyboard& keyboard_;
  std::function<QString()> frontmost_;
  std::function<quint64()> held_;
};

}  // namespace ql
