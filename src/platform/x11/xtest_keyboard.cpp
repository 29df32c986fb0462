#include "platform/x11/xtest_keyboard.h"

#include "platform/x11/keyboard_hold.h"
#include "platform/x11/xkb_keymap.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <xkbcommon/xkbcommon.h>

#include <optional>

namespace ql {

XTestKeyboard::XTestKeyboard(Display* display, XkbKeymap& keymap, KeyboardHold* hold)
    : display_(display), keymap_(keymap), hold_(hold) {
  int event = 0, error = 0, major = 0, minor = 0;
  available_ = XTestQueryExtension(display_, &event, &error, &major, &minor);
}

XTestKeyboard::~XTestKeyboard() { restoreSpareKey(); }

void XTestKeyboard::fakeKey(int keyCode, bool down) {
  if (!available_ || keyCode <= 0) return;
  std::optional<KeyboardHold::Pause> pause;
  if (hold_) pause.emplace(*hold_);
  XTestFakeKeyEvent(display_, static_cast<unsigned>(keyCode), down ? True : False, CurrentTime);
  XFlush(display_);
  lastPost_ = std::chrono::steady_clock::now();
}

unsigned XTestKeyboard::heldModifiers() const {
  char keys[32] = {};
  XQueryKeymap(display_, keys);
  unsigned mods = 0;
  for (int code = 8; code < 256; ++code) {
    if (keys[code / 8] & (1 << (code % 8))) mods |= keymap_.modifiersOfKey(code);
  }
  return mods & ~(LockMask | keymap_.numLockMask() | keymap_.scrollLockMask());
}

int XTestKeyboard::modifierKeyCode(unsigned modifierBit) const {
  // Prefer the left-hand keys applications expect (Control_L, not Control_R).
  static constexpr KeySym preferred[] = {XK_Shift_L, XK_Control_L, XK_Alt_L,   XK_Super_L,
                                         XK_Meta_L,  XK_Shift_R,   XK_Control_R, XK_Alt_R,
                                         XK_Super_R, XK_ISO_Level3_Shift};
  for (KeySym sym : preferred) {
    const auto pos = keymap_.find(sym, 0);
    if (pos && (keymap_.modifiersOfKey(pos->keyCode) & modifierBit)) return pos->keyCode;
  }
  for (int code = keymap_.minKeyCode(); code <= keymap_.maxKeyCode(); ++code) {
    if (keymap_.modifiersOfKey(code) & modifierBit) return code;
  }
  return 0;
}

void XTestKeyboard::fakeKeyWithModifiers(int keyCode, unsigned modifiers, bool down) {
  if (!available_ || keyCode <= 0) return;
  std::optional<KeyboardHold::Pause> pause;
  if (hold_) pause.emplace(*hold_);
  const unsigned held = heldModifiers();
  QList<int> pressed;
  for (unsigned bit = ShiftMask; bit <= Mod5Mask; bit <<= 1) {
    if (!(modifiers & bit) || (held & bit)) continue;
    const int code = modifierKeyCode(bit);
    if (code && !pressed.contains(code)) {
      XTestFakeKeyEvent(display_, code, True, CurrentTime);
      pressed.append(code);
    }
  }
  XTestFakeKeyEvent(display_, static_cast<unsigned>(keyCode), down ? True : False, CurrentTime);
  for (auto it = pressed.crbegin(); it != pressed.crend(); ++it)
    XTestFakeKeyEvent(display_, *it, False, CurrentTime);
  XFlush(display_);
  lastPost_ = std::chrono::steady_clock::now();
}

bool XTestKeyboard::typeCharacter(char32_t c) {
  if (!available_) return false;
  KeySym sym = xkb_utf32_to_keysym(c);
  if (sym == NoSymbol) sym = 0x01000000 | c;
  if (c == '\n') sym = XK_Return;
  if (c == '\t') sym = XK_Tab;

  XkbStateRec state{};
  XkbGetState(display_, XkbUseCoreKbd, &state);
  const int group = state.group;
  const unsigned locked = state.locked_mods & (LockMask | keymap_.numLockMask());

  if (auto pos = keymap_.find(sym, group); pos && pos->group == group) {
    // The lock state changes what a level types (Caps Lock on letters).
    if (keymap_.keysym(pos->keyCode, XkbBuildCoreState(pos->modifiers | locked, group)) == sym) {
      fakeKeyWithModifiers(pos->keyCode, pos->modifiers, true);
      fakeKeyWithModifiers(pos->keyCode, pos->modifiers, false);
      return true;
    }
  }

  // The layout lacks it: give the spare key this one symbol on every level
  // and group. Kept until another character needs the key, because the
  // target looks the symbol up when it handles the press, later than now.
  if (!spareKey_) spareKey_ = keymap_.spareKeyCode();
  if (!spareKey_) return false;
  if (spareSym_ != sym) {
    KeySym syms[2] = {sym, sym};
    XChangeKeyboardMapping(display_, spareKey_, 2, syms, 1);
    XSync(display_, False);
    keymap_.reload();
    spareSym_ = sym;
  }
  fakeKeyWithModifiers(spareKey_, 0, true);
  fakeKeyWithModifiers(spareKey_, 0, false);
  return true;
}

bool XTestKeyboard::typeText(const QString& text) {
  bool ok = true;
  for (char32_t c : text.toUcs4()) ok = typeCharacter(c) && ok;
  return ok;
}

void XTestKeyboard::restoreSpareKey() {
  if (!spareKey_ || !spareSym_) return;
  KeySym none = NoSymbol;
  XChangeKeyboardMapping(display_, spareKey_, 1, &none, 1);
  XSync(display_, False);
  keymap_.reload();
  spareSym_ = 0;
}

}  // namespace ql
