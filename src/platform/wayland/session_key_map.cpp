#include "platform/wayland/session_key_map.h"

#include <xkbcommon/xkbcommon.h>

#include <linux/input-event-codes.h>

#include <memory>

namespace ql {
namespace {

constexpr quint32 kXkbOffset = 8;

struct Deleter {
  void operator()(xkb_context* c) const { xkb_context_unref(c); }
  void operator()(xkb_keymap* k) const { xkb_keymap_unref(k); }
  void operator()(xkb_state* s) const { xkb_state_unref(s); }
};

bool isModifier(xkb_keysym_t sym) {
  return (sym >= XKB_KEY_Shift_L && sym <= XKB_KEY_Hyper_R) ||
         (sym >= XKB_KEY_ISO_Lock && sym <= XKB_KEY_ISO_Last_Group_Lock) || sym == XKB_KEY_Mode_switch ||
         sym == XKB_KEY_Num_Lock;
}

// The key that produces sym on its first level, the preferred one first.
quint32 keyProducing(xkb_keymap* keymap, xkb_keysym_t sym, quint32 preferred) {
  const auto produces = [&](xkb_keycode_t code) {
    const xkb_keysym_t* syms = nullptr;
    return xkb_keymap_key_get_syms_by_level(keymap, code, 0, 0, &syms) == 1 && syms[0] == sym;
  };
  if (produces(preferred + kXkbOffset)) return preferred;
  for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap); code <= xkb_keymap_max_keycode(keymap); ++code)
    if (produces(code)) return code - kXkbOffset;
  return 0;
}

}  // namespace

SessionKeyMap::SessionKeyMap(const QByteArray& text, quint32 layout) {
  std::unique_ptr<xkb_context, Deleter> context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
  if (!context || text.isEmpty()) return;
  std::unique_ptr<xkb_keymap, Deleter> keymap(xkb_keymap_new_from_buffer(
      context.get(), text.constData(), size_t(text.size()), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
  if (!keymap) return;
  layouts_ = xkb_keymap_num_layouts(keymap.get());
  if (layout >= layouts_) layout = 0;
  const quint32 shift = keyProducing(keymap.get(), XKB_KEY_Shift_L, KEY_LEFTSHIFT);
  const quint32 level3 = keyProducing(keymap.get(), XKB_KEY_ISO_Level3_Shift, KEY_RIGHTALT);
  // Fewer modifiers first: a character on two levels is typed the plain way.
  QList<QList<quint32>> chords = {{}};
  if (shift) chords.append(QList<quint32>{shift});
  if (level3) chords.append(QList<quint32>{level3});
  if (shift && level3) chords.append(QList<quint32>{shift, level3});
  for (const QList<quint32>& held : std::as_const(chords)) {
    std::unique_ptr<xkb_state, Deleter> state(xkb_state_new(keymap.get()));
    for (const quint32 m : held) xkb_state_update_key(state.get(), m + kXkbOffset, XKB_KEY_DOWN);
    xkb_state_update_mask(state.get(), xkb_state_serialize_mods(state.get(), XKB_STATE_MODS_DEPRESSED), 0, 0, 0, 0,
                          layout);
    for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap.get()); code <= xkb_keymap_max_keycode(keymap.get());
         ++code) {
      // X clients under XWayland see no key codes above 255 (a Euro key's is 443).
      if (code > 255) break;
      const xkb_keysym_t sym = xkb_state_key_get_one_sym(state.get(), code);
      if (sym == XKB_KEY_NoSymbol || isModifier(sym) || chords_.contains(sym)) continue;
      // Keys that are modifiers in this chord, or held for it, type nothing of their own.
      if (held.contains(code - kXkbOffset)) continue;
      chords_.insert(sym, Chord{code - kXkbOffset, held});
    }
  }
}

bool SessionKeyMap::find(char32_t character, Chord* chord) const {
  const xkb_keysym_t sym = character == U'\n' ? XKB_KEY_Return
                           : character == U'\t' ? XKB_KEY_Tab
                                                : xkb_utf32_to_keysym(character);
  const auto it = chords_.constFind(sym);
  if (sym == XKB_KEY_NoSymbol || it == chords_.cend()) return false;
  *chord = *it;
  return true;
}

}  // namespace ql
