#include "platform/x11/xkb_keymap.h"

#include "platform/keys.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace ql {

XkbKeymap::XkbKeymap(Display* display) : display_(display) { reload(); }

XkbKeymap::~XkbKeymap() {
  if (desc_) XkbFreeKeyboard(desc_, 0, True);
}

bool XkbKeymap::reload() {
  if (desc_) XkbFreeKeyboard(desc_, 0, True);
  desc_ = XkbGetMap(display_, XkbAllClientInfoMask, XkbUseCoreKbd);
  if (!desc_) return false;
  min_ = desc_->min_key_code;
  max_ = desc_->max_key_code;
  readModifierRoles();
  return true;
}

void XkbKeymap::readModifierRoles() {
  alt_ = super_ = numLock_ = scrollLock_ = level3_ = 0;
  for (unsigned& m : keyMods_) m = 0;
  XModifierKeymap* map = XGetModifierMapping(display_);
  if (!map) return;
  for (int mod = 0; mod < 8; ++mod) {
    for (int i = 0; i < map->max_keypermod; ++i) {
      const int code = map->modifiermap[mod * map->max_keypermod + i];
      if (code <= 0 || code > 255) continue;
      const unsigned bit = 1u << mod;
      keyMods_[code] |= bit;
      if (mod < 3) continue;  // Shift, Lock, Control are fixed roles
      for (int level = 0; level < 2; ++level) {
        switch (keysym(code, level ? ShiftMask : 0)) {
          case XK_Alt_L: case XK_Alt_R: case XK_Meta_L: case XK_Meta_R: alt_ |= bit; break;
          case XK_Super_L: case XK_Super_R: case XK_Hyper_L: case XK_Hyper_R: super_ |= bit; break;
          case XK_Num_Lock: numLock_ |= bit; break;
          case XK_Scroll_Lock: scrollLock_ |= bit; break;
          case XK_ISO_Level3_Shift: case XK_Mode_switch: level3_ |= bit; break;
          default: break;
        }
      }
    }
  }
  XFreeModifiermap(map);
  super_ &= ~alt_;  // a key that is both counts as Alt, the common role
}

KeySym XkbKeymap::keysym(int keyCode, unsigned state) const {
  if (!desc_ || keyCode < min_ || keyCode > max_) return NoSymbol;
  unsigned consumed = 0;
  KeySym sym = NoSymbol;
  if (!XkbTranslateKeyCode(desc_, static_cast<KeyCode>(keyCode), state, &consumed, &sym))
    return NoSymbol;
  return sym;
}

int XkbKeymap::groupCount(int keyCode) const {
  if (!desc_ || keyCode < min_ || keyCode > max_) return 0;
  return XkbKeyNumGroups(desc_, keyCode);
}

std::optional<XkbKeymap::Position> XkbKeymap::find(KeySym sym, int preferredGroup) const {
  if (!desc_ || sym == NoSymbol) return std::nullopt;
  std::optional<Position> best;
  int bestRank = 1 << 30;
  for (int code = min_; code <= max_; ++code) {
    const int groups = XkbKeyNumGroups(desc_, code);
    for (int g = 0; g < groups; ++g) {
      const XkbKeyTypePtr type = XkbKeyKeyType(desc_, code, g);
      const int width = XkbKeyGroupWidth(desc_, code, g);
      for (int level = 0; level < width; ++level) {
        if (XkbKeySymEntry(desc_, code, level, g) != sym) continue;
        // The modifiers that select this level; level 0 needs none.
        std::optional<unsigned> mods;
        if (level == 0) mods = 0;
        for (int e = 0; !mods && e < type->map_count; ++e) {
          const XkbKTMapEntryRec& entry = type->map[e];
          if (entry.active && entry.level == level && !(entry.mods.mask & LockMask))
            mods = entry.mods.mask;
        }
        if (!mods) continue;
        const unsigned state = XkbBuildCoreState(*mods, g);
        if (keysym(code, state) != sym) continue;
        // Rank: the wanted group first, then fewer modifiers, then lower codes.
        const int rank = (g == preferredGroup ? 0 : 1000) + level * 10 +
                         __builtin_popcount(*mods);
        if (rank < bestRank) {
          bestRank = rank;
          best = Position{code, *mods, g};
        }
      }
    }
  }
  return best;
}

QList<int> XkbKeymap::spareKeyCodes() const {
  QList<int> codes;
  if (!desc_) return codes;
  // From the top: low codes are real keys on every keyboard.
  for (int code = max_; code >= min_; --code) {
    if (XkbKeyNumSyms(desc_, code) == 0 && keyMods_[code] == 0) codes.append(code);
  }
  return codes;
}

quint64 XkbKeymap::appleFlags(unsigned state) const {
  quint64 flags = 0;
  if (state & ShiftMask) flags |= mods::Shift;
  if (state & LockMask) flags |= mods::CapsLock;
  if (state & ControlMask) flags |= mods::Command;
  if (alt_ && (state & alt_)) flags |= mods::Option;
  if (super_ && (state & super_)) flags |= mods::Control;
  return flags;
}

namespace {
unsigned lowestBit(unsigned mask, unsigned fallback) { return mask ? (mask & -mask) : fallback; }
}  // namespace

unsigned XkbKeymap::xModifiers(quint64 appleFlags) const {
  unsigned state = 0;
  if (appleFlags & mods::Shift) state |= ShiftMask;
  if (appleFlags & mods::CapsLock) state |= LockMask;
  if (appleFlags & mods::Command) state |= ControlMask;
  if (appleFlags & mods::Option) state |= lowestBit(alt_, Mod1Mask);
  if (appleFlags & mods::Control) state |= lowestBit(super_, Mod4Mask);
  return state;
}

unsigned XkbKeymap::modifiersOfKey(int keyCode) const {
  if (keyCode < 0 || keyCode > 255) return 0;
  return keyMods_[keyCode];
}

}  // namespace ql
