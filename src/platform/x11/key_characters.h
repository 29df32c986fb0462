#pragma once

#include <QString>

#include "platform/x11/x11_types.h"

struct xkb_context;
struct xkb_compose_table;
struct xkb_compose_state;

namespace ql {

// Turns the keysyms of successive key presses into the characters they
// type, with dead keys and compose sequences of the user's locale: a dead
// key types nothing, the next press types the composed character (or the
// accent followed by the character when they do not combine).
class KeyCharacters final {
 public:
  KeyCharacters();
  ~KeyCharacters();
  KeyCharacters(const KeyCharacters&) = delete;
  KeyCharacters& operator=(const KeyCharacters&) = delete;

  // The characters of one press; feeds the compose state.
  QString press(KeySym sym);
  // Forgets a pending dead key (focus or layout changed).
  void reset();

  // The character of a keysym on its own, without composing.
  static QString plain(KeySym sym);
  static bool isDeadKey(KeySym sym);

 private:
  xkb_context* context_ = nullptr;
  xkb_compose_table* table_ = nullptr;
  xkb_compose_state* state_ = nullptr;
  QString pendingSpacing_;  // what the pending dead keys type on their own
};

}  // namespace ql
