#pragma once

#include <QList>
#include <QtGlobal>

namespace ql {

// The keyboard the program types with in the compositor's seat: its own
// virtual keyboard (wlroots) or KWin's fake input.
class TypingKeyboard {
 public:
  virtual ~TypingKeyboard() = default;

  // False when the compositor gives the program no way to type.
  virtual bool isValid() const = 0;
  // One key (evdev code) down or up.
  virtual void key(quint32 evdevCode, bool down) = 0;
  // The key, and the modifier keys to hold around it (in press order),
  // that type this code point. False when the keyboard cannot type it.
  virtual bool keyForCharacter(char32_t character, quint32* evdevCode, QList<quint32>* modifierKeys) = 0;
  // Sends everything queued to the compositor.
  virtual void flush() = 0;
};

}  // namespace ql
