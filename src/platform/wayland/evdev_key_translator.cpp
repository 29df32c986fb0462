#include "platform/wayland/evdev_key_translator.h"

#include "platform/keys.h"
#include "platform/x11/apple_key_table.h"
#include "platform/x11/key_characters.h"

#include <xkbcommon/xkbcommon.h>

namespace ql {
namespace {

constexpr int kXkbOffset = 8;  // XKB key codes are evdev codes plus 8

}  // namespace

EvdevKeyTranslator::EvdevKeyTranslator()
    : context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)), characters_(std::make_unique<KeyCharacters>()) {
  setKeymapNames({});
}

EvdevKeyTranslator::~EvdevKeyTranslator() {
  xkb_state_unref(state_);
  xkb_keymap_unref(keymap_);
  xkb_context_unref(context_);
}

bool EvdevKeyTranslator::setKeymap(const QByteArray& text) {
  if (!context_ || text.isEmpty()) return false;
  return install(xkb_keymap_new_from_buffer(context_, text.constData(), size_t(text.size()),
                                            XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
}

bool EvdevKeyTranslator::setKeymapNames(const QByteArray& layout, const QByteArray& variant,
                                        const QByteArray& options) {
  if (!context_) return false;
  xkb_rule_names names = {};
  names.layout = layout.isEmpty() ? nullptr : layout.constData();
  names.variant = variant.isEmpty() ? nullptr : variant.constData();
  names.options = options.isEmpty() ? nullptr : options.constData();
  return install(xkb_keymap_new_from_names(context_, &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
}

bool EvdevKeyTranslator::install(xkb_keymap* keymap) {
  if (!keymap) return false;
  xkb_state* state = xkb_state_new(keymap);
  if (!state) {
    xkb_keymap_unref(keymap);
    return false;
  }
  // Keys held now stay held in the new state, so Shift is not lost.
  for (quint16 code : std::as_const(down_)) xkb_state_update_key(state, code + kXkbOffset, XKB_KEY_DOWN);
  xkb_state_unref(state_);
  xkb_keymap_unref(keymap_);
  keymap_ = keymap;
  state_ = state;
  characters_->reset();
  flags_ = flags();
  return true;
}

quint64 EvdevKeyTranslator::flags() const {
  if (!state_) return 0;
  auto active = [this](const char* name, xkb_state_component type) {
    return xkb_state_mod_name_is_active(state_, name, type) > 0;
  };
  quint64 f = 0;
  if (active(XKB_MOD_NAME_SHIFT, XKB_STATE_MODS_EFFECTIVE)) f |= mods::Shift;
  if (active(XKB_MOD_NAME_CTRL, XKB_STATE_MODS_EFFECTIVE)) f |= mods::Command;
  if (active(XKB_MOD_NAME_ALT, XKB_STATE_MODS_EFFECTIVE)) f |= mods::Option;
  if (active(XKB_MOD_NAME_LOGO, XKB_STATE_MODS_EFFECTIVE)) f |= mods::Control;
  if (active(XKB_MOD_NAME_CAPS, XKB_STATE_MODS_LOCKED)) f |= mods::CapsLock;
  return f;
}

EvdevKeyTranslator::Result EvdevKeyTranslator::feed(quint16 evdevCode, int value, qint64 timestampMs) {
  Result r;
  if (!state_) return r;
  const xkb_keycode_t code = evdevCode + kXkbOffset;
  const bool press = value != 0;
  const bool repeat = value == 2 || (value == 1 && down_.contains(evdevCode));
  {
    const xkb_keysym_t sym = xkb_state_key_get_one_sym(state_, code);
    r.isModifier = (sym >= XKB_KEY_Shift_L && sym <= XKB_KEY_Hyper_R) ||
                   (sym >= XKB_KEY_ISO_Lock && sym <= XKB_KEY_ISO_Last_Group_Lock) ||
                   sym == XKB_KEY_Num_Lock;
  }

  if (press && !r.isModifier) {
    // Characters with the modifiers as they are before this key changes them.
    const xkb_keysym_t sym = xkb_state_key_get_one_sym(state_, code);
    const int acting = actingKeyFor(sym);
    const int apple = acting >= 0 ? acting : appleKeyCodeForXKeyCode(int(code));
    KeyEvent& key = r.key;
    key.keyCode = apple >= 0 ? quint16(apple) : quint16(kUnknownKeyBase | (code & 0xFF));
    key.characters = repeat ? KeyCharacters::plain(sym) : characters_->press(sym);
    const xkb_layout_index_t layout = xkb_state_key_get_layout(state_, code);
    const xkb_keysym_t* plainSyms = nullptr;
    if (xkb_keymap_key_get_syms_by_level(keymap_, code, layout, 0, &plainSyms) > 0)
      key.charactersIgnoringModifiers = KeyCharacters::plain(plainSyms[0]);
    key.modifierFlags = flags() | keyClassFlags(apple);
    key.isRepeat = repeat;
    key.timestamp = timestampMs;
    key.delivered = true;
    r.keyDown = true;
  }
  if (value == 1 && !down_.contains(evdevCode)) {
    down_.insert(evdevCode);
    xkb_state_update_key(state_, code, XKB_KEY_DOWN);
  } else if (value == 0 && down_.remove(evdevCode)) {
    xkb_state_update_key(state_, code, XKB_KEY_UP);
  }
  const quint64 now = flags();
  r.flagsChanged = now != flags_;
  flags_ = now;
  r.flags = now;
  return r;
}

void EvdevKeyTranslator::resetCompose() { characters_->reset(); }

}  // namespace ql
