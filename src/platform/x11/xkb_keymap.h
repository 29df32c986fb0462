#pragma once

#include <QList>
#include <QtGlobal>

#include "platform/x11/x11_types.h"

struct _XkbDesc;

#include <memory>
#include <optional>

namespace ql {

// The server's current keyboard map, read through XKB, with the lookups the
// backend needs both ways: key code and state to keysym, keysym to a key
// code with the modifiers and group that type it, and the real modifier
// bits behind Alt, Super, Num Lock, Scroll Lock and AltGr.
class XkbKeymap final {
 public:
  explicit XkbKeymap(Display* display);
  ~XkbKeymap();
  XkbKeymap(const XkbKeymap&) = delete;
  XkbKeymap& operator=(const XkbKeymap&) = delete;

  // Reads the map again (after a mapping change); false when XKB is missing.
  bool reload();
  bool isValid() const { return desc_ != nullptr; }

  // The keysym a press of keyCode gives with the core state (modifier bits
  // and the group in bits 13-14); NoSymbol when none.
  KeySym keysym(int keyCode, unsigned state) const;

  struct Position {
    int keyCode = 0;
    unsigned modifiers = 0;  // real modifier bits to hold
    int group = 0;
  };
  // Where sym is typed, preferring the given group and the lowest level.
  // Positions whose translation would not give sym back are skipped.
  std::optional<Position> find(KeySym sym, int preferredGroup) const;

  // Key codes with no symbols at all, usable for characters the layout
  // lacks, highest first.
  QList<int> spareKeyCodes() const;
  int minKeyCode() const { return min_; }
  int maxKeyCode() const { return max_; }
  int groupCount(int keyCode) const;

  unsigned altMask() const { return alt_; }
  unsigned superMask() const { return super_; }
  unsigned numLockMask() const { return numLock_; }
  unsigned scrollLockMask() const { return scrollLock_; }
  unsigned level3Mask() const { return level3_; }

  // Core state bits to the Apple modifier bits of platform/keys.h, and back.
  quint64 appleFlags(unsigned state) const;
  unsigned xModifiers(quint64 appleFlags) const;

  // Real modifier bits a key code sets when held (from the modifier map).
  unsigned modifiersOfKey(int keyCode) const;

 private:
  void readModifierRoles();

  Display* display_;
  _XkbDesc* desc_ = nullptr;
  int min_ = 8, max_ = 255;
  unsigned alt_ = 0, super_ = 0, numLock_ = 0, scrollLock_ = 0, level3_ = 0;
  unsigned keyMods_[256] = {};
};

}  // namespace ql
