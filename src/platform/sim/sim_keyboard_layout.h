#pragma once

#include <QString>

#include <optional>

namespace ql::sim {

// The US layout of the simulated keyboard: what a key types, and which key
// types a character.
class SimKeyboardLayout final {
 public:
  struct KeyStroke {
    quint16 keyCode = 0;
    quint64 modifierFlags = 0;  // Shift when the character needs it
  };

  // Characters of a key press. Shift (or Caps Lock for letters) gives the
  // shifted character; Command, Option and Control leave the character as it
  // is. Keys that type nothing (arrows, Escape, Delete) give "".
  static QString characters(quint16 keyCode, quint64 modifierFlags);
  // Characters without any modifier.
  static QString charactersIgnoringModifiers(quint16 keyCode);

  // The key for a character of the layout; none for characters it lacks.
  static std::optional<KeyStroke> keyFor(QChar character);

  // The key code the simulated keyboard reports for characters the US
  // layout lacks (as a national layout would put them on some key).
  static constexpr quint16 kForeignKeyCode = 10;
};

}  // namespace ql::sim
