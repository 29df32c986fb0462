#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

namespace ql {

// A press and release of a virtual key with exactly these modifiers held.
struct KeyTap {
  quint16 keyCode = 0;
  quint64 modifierFlags = 0;
};

// Posts synthetic key events into the user's input stream, as if typed, to
// whatever application has the keyboard focus. Everything is in the Apple
// vocabulary of platform/keys.h; the backend translates. Posting never
// sleeps; pauses belong to the callers.
//
// Command-V is the paste chord of the portable code. A backend maps it to the
// target's own paste shortcut (on X11: Ctrl+V, or Ctrl+Shift+V in a terminal).
class InputSynthesiser {
 public:
  virtual ~InputSynthesiser() = default;

  // One key-down (down true) or key-up with exactly these modifiers held:
  // the backend presses and releases the modifiers around the key as needed
  // and restores what the user holds.
  virtual void postKey(quint16 keyCode, quint64 modifierFlags, bool down) = 0;

  // Taps in order, each a press and release with exactly its modifiers. A
  // backend that can sends them as one run.
  virtual void postTaps(const QList<KeyTap>& taps) {
    for (const KeyTap& tap : taps) {
      postKey(tap.keyCode, tap.modifierFlags, true);
      postKey(tap.keyCode, tap.modifierFlags, false);
    }
  }

  // Types one character (a single code point) as the current layout
  // produces it: its key, with the level and group the layout needs. False
  // when the backend cannot; the caller then posts the key itself.
  virtual bool typeCharacter(const QString& character) {
    Q_UNUSED(character);
    return false;
  }

  // The modifiers the user physically holds right now (Apple bits).
  virtual quint64 heldModifiers() const = 0;

  // Waits, with the event loop running, until the user holds no modifier or
  // timeoutMs has passed. True when released. Called before posting input
  // that follows a hot key or shortcut, so Command-C is not sent as
  // Command-Option-C.
  virtual bool waitForModifiersReleased(int timeoutMs) = 0;
};

}  // namespace ql
