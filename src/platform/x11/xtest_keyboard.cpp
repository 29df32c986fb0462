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

namespace {

constexpr int kSpareRestoreMs = 2000;
// Longer than the server can lag behind our last request of a run.
constexpr std::chrono::milliseconds kRepeatWindow{50};

}  // namespace

XTestKeyboard::XTestKeyboard(Display* display, XkbKeymap& keymap, KeyboardHold* hold)
    : display_(display), keymap_(keymap), hold_(hold) {
  int event = 0, error = 0, major = 0, minor = 0;
  available_ = XTestQueryExtension(display_, &event, &error, &major, &minor);
  restoreTimer_.setSingleShot(true);
  restoreTimer_.setInterval(kSpareRestoreMs);
  QObject::connect(&restoreTimer_, &QTimer::timeout, [this] { restoreSpareKeys(); });
}

XTestKeyboard::~XTestKeyboard() { restoreSpareKeys(); }

void XTestKeyboard::fakeKey(int keyCode, bool down) {
  if (!available_ || keyCode <= 0) return;
  {
    std::optional<KeyboardHold::Pause> pause;
    if (hold_) pause.emplace(*hold_);
    XTestFakeKeyEvent(display_, static_cast<unsigned>(keyCode), down ? True : False, CurrentTime);
  }
  XFlush(display_);
  lastPost_ = std::chrono::steady_clock::now();
}

unsigned XTestKeyboard::heldModifiers() const {
  char keys[32] = {};
  XQueryKeymap(display_, keys);
  return modifiersDownIn(keys);
}

unsigned XTestKeyboard::modifiersDownIn(const char* keys) const {
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
  post(keyCode, modifiers, down ? Press : Release);
}

void XTestKeyboard::tapKeyAs(int keyCode, unsigned modifiers) { post(keyCode, modifiers, Tap); }

void XTestKeyboard::post(int keyCode, unsigned modifiers, Stroke stroke) {
  if (!available_ || keyCode <= 0) return;
  if (stroke == Release) {
    // Applications act on the press; its modifiers were let go with it.
    fakeKey(keyCode, false);
    return;
  }
  run({Step{keyCode, modifiers, stroke}});
}

void XTestKeyboard::tapKeys(const QList<RawTap>& taps) {
  if (!available_) return;
  QList<Step> steps;
  for (const RawTap& tap : taps)
    if (tap.keyCode > 0) steps.append(Step{tap.keyCode, tap.modifiers, Tap});
  if (!steps.isEmpty()) run(steps);
}

void XTestKeyboard::run(const QList<Step>& steps) {
  // The user may press or release a modifier at any moment, and the grab
  // that holds their keys does not hold the server's modifier state. With
  // the server grabbed, the keys read down are the keys our events meet:
  // another client's input (xdotool, a remote session) cannot fall between.
  XGrabServer(display_);
  char keys[32] = {};
  XQueryKeymap(display_, keys);
  {
    std::optional<KeyboardHold::Pause> pause;
    for (const Step& step : steps) {
      // Modifier keys held whose bits the key must not carry go up for the
      // moment and down again after it (Shift would turn Left into a
      // selection, Tab into Backtab). A key another device holds may refuse
      // to go up; the second look tells, and only what went up is pressed
      // again. Lifting happens outside the pause: the target sees no release.
      QList<int> lifted;
      const unsigned down = modifiersDownIn(keys);
      for (int code = 8; code < 256; ++code) {
        if (code == step.keyCode || !(keys[code / 8] & (1 << (code % 8)))) continue;
        if (down & keymap_.modifiersOfKey(code) & ~step.modifiers) lifted.append(code);
      }
      if (!lifted.isEmpty()) {
        pause.reset();
        for (int code : std::as_const(lifted))
          XTestFakeKeyEvent(display_, static_cast<unsigned>(code), False, CurrentTime);
        XQueryKeymap(display_, keys);
        lifted.removeIf([&keys](int code) { return keys[code / 8] & (1 << (code % 8)); });
      }
      const unsigned held = modifiersDownIn(keys);
      if (hold_ && !pause) pause.emplace(*hold_);
      QList<int> pressed;
      for (unsigned bit = ShiftMask; bit <= Mod5Mask; bit <<= 1) {
        if (!(step.modifiers & bit) || (held & bit)) continue;
        const int code = modifierKeyCode(bit);
        if (code && !pressed.contains(code)) {
          XTestFakeKeyEvent(display_, code, True, CurrentTime);
          pressed.append(code);
        }
      }
      // The user may still hold this key (the delimiter just typed), or
      // have pressed it since the keymap was asked: the server drops a press
      // of a key that is down, so it goes up first. Up already, the release
      // makes no event.
      const auto key = static_cast<unsigned>(step.keyCode);
      const bool wasDown = keys[key / 8] & (1 << (key % 8));
      XTestFakeKeyEvent(display_, key, False, CurrentTime);
      // A release and a press of the same key stamped in the same
      // millisecond look like auto-repeat, and some toolkits (LibreOffice)
      // drop the pair: the press goes a millisecond later then.
      const bool repeats = wasDown || (step.keyCode == lastTapKey_ &&
                                       std::chrono::steady_clock::now() - lastTapTime_ < kRepeatWindow);
      XTestFakeKeyEvent(display_, key, True, repeats ? 1 : CurrentTime);
      if (step.stroke != Press) XTestFakeKeyEvent(display_, key, False, CurrentTime);
      if (step.stroke == Press)
        keys[key / 8] = char(keys[key / 8] | (1 << (key % 8)));
      else
        keys[key / 8] = char(keys[key / 8] & ~(1 << (key % 8)));
      lastTapKey_ = step.stroke != Press ? step.keyCode : 0;
      lastTapTime_ = std::chrono::steady_clock::now();
      for (auto it = pressed.crbegin(); it != pressed.crend(); ++it)
        XTestFakeKeyEvent(display_, *it, False, CurrentTime);
      if (lifted.isEmpty()) continue;
      // Back down while the hold has the keyboard again: only the state
      // returns, the target sees no press.
      pause.reset();
      for (int code : std::as_const(lifted)) {
        XTestFakeKeyEvent(display_, static_cast<unsigned>(code), True, CurrentTime);
        keys[code / 8] = char(keys[code / 8] | (1 << (code % 8)));
      }
    }
  }
  XUngrabServer(display_);
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
      tapKeyAs(pos->keyCode, pos->modifiers);
      return true;
    }
  }

  const int spare = spareKeyFor(sym);
  if (!spare) return false;
  tapKeyAs(spare, 0);
  restoreTimer_.start();
  return true;
}

int XTestKeyboard::spareKeyFor(KeySym sym) {
  for (qsizetype i = 0; i < spares_.size(); ++i) {
    // A layout switch meanwhile may have taken the key back.
    if (spares_[i].sym == sym && keymap_.keysym(spares_[i].keyCode, 0) == sym) {
      spares_.move(i, spares_.size() - 1);
      return spares_.last().keyCode;
    }
  }
  if (spares_.isEmpty()) {
    for (int code : keymap_.spareKeyCodes()) spares_.append(Spare{code, NoSymbol});
    if (spares_.isEmpty()) return 0;
  }
  // The least recently used key still free or ours; its earlier press is
  // long handled.
  qsizetype index = 0;
  while (index < spares_.size()) {
    const Spare& s = spares_[index];
    const KeySym now = keymap_.keysym(s.keyCode, 0);
    if (now == NoSymbol || now == s.sym) break;
    ++index;
  }
  if (index == spares_.size()) return 0;
  Spare spare = spares_.takeAt(index);
  spare.sym = sym;
  spares_.append(spare);
  // The same symbol on both levels, so Shift and Caps Lock do not matter.
  KeySym syms[2] = {sym, sym};
  XChangeKeyboardMapping(display_, spare.keyCode, 2, syms, 1);
  XSync(display_, False);
  keymap_.reload();
  return spare.keyCode;
}

bool XTestKeyboard::typeText(const QString& text) {
  bool ok = true;
  for (char32_t c : text.toUcs4()) ok = typeCharacter(c) && ok;
  return ok;
}

void XTestKeyboard::restoreSpareKeys() {
  bool changed = false;
  for (Spare& spare : spares_) {
    if (spare.sym == NoSymbol || keymap_.keysym(spare.keyCode, 0) != spare.sym) continue;
    KeySym none = NoSymbol;
    XChangeKeyboardMapping(display_, spare.keyCode, 1, &none, 1);
    spare.sym = NoSymbol;
    changed = true;
  }
  if (!changed) return;
  XSync(display_, False);
  keymap_.reload();
}

}  // namespace ql
