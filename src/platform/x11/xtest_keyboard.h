#pragma once

#include <QList>
#include <QTimer>
#include <QString>

#include <chrono>

#include "platform/x11/x11_types.h"

namespace ql {

class KeyboardHold;
class XkbKeymap;

// Key events through XTEST on the control connection, so RECORD tells them
// apart as the program's own. Knows which modifier keys the user holds and
// how to type a character the layout lacks: a spare key code is given that
// symbol. The target looks the symbol up only when it handles the press,
// later, so each character gets a key of its own, and the keys are put back
// once typing has paused for a while.
class XTestKeyboard final {
 public:
  XTestKeyboard(Display* display, XkbKeymap& keymap, KeyboardHold* hold);
  ~XTestKeyboard();
  XTestKeyboard(const XTestKeyboard&) = delete;
  XTestKeyboard& operator=(const XTestKeyboard&) = delete;

  bool isAvailable() const { return available_; }

  // One raw event; sent at once.
  void fakeKey(int keyCode, bool down);

  // keyCode pressed or released with exactly the modifier bits `modifiers`,
  // whatever the user holds at that instant: missing ones are pressed
  // around it, held ones it must not have are lifted around it, in one
  // request run under a server grab.
  void fakeKeyWithModifiers(int keyCode, unsigned modifiers, bool down);

  // One press and release of keyCode with exactly the modifier bits
  // `modifiers`, in one go.
  void tapKeyAs(int keyCode, unsigned modifiers);

  struct RawTap {
    int keyCode = 0;
    unsigned modifiers = 0;
  };
  // Several taps in order, each with exactly its modifiers, in one run: the
  // modifier state is asked once, and no other client's input falls between.
  void tapKeys(const QList<RawTap>& taps);

  // Real modifier bits of the keys physically down now (locks excluded).
  unsigned heldModifiers() const;

  // Types one character (press and release), through the layout where it
  // has the character, else through the spare key code. False when neither
  // works.
  bool typeCharacter(char32_t c);
  // Types text code point by code point.
  bool typeText(const QString& text);

  // When the program last posted input.
  std::chrono::steady_clock::time_point lastPost() const { return lastPost_; }

  // Puts the spare key codes back as they were (nothing mapped).
  void restoreSpareKeys();

 private:
  enum Stroke { Press, Release, Tap };
  struct Step {
    int keyCode;
    unsigned modifiers;
    Stroke stroke;
  };
  void post(int keyCode, unsigned modifiers, Stroke stroke);
  void run(const QList<Step>& steps);
  int modifierKeyCode(unsigned modifierBit) const;
  // The real modifier bits of the keys down in an XQueryKeymap vector.
  unsigned modifiersDownIn(const char* keys) const;

  Display* display_;
  XkbKeymap& keymap_;
  KeyboardHold* hold_;
  bool available_ = false;
  int spareKeyFor(KeySym sym);

  struct Spare {
    int keyCode = 0;
    KeySym sym = 0;
  };
  QList<Spare> spares_;  // least recently used first
  QTimer restoreTimer_;
  std::chrono::steady_clock::time_point lastPost_{};
  // The key of the last complete tap, and when it went out.
  int lastTapKey_ = 0;
  std::chrono::steady_clock::time_point lastTapTime_{};
};

}  // namespace ql
