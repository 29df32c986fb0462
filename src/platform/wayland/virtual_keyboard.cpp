#include "platform/wayland/virtual_keyboard.h"

#include "platform/log.h"
#include "platform/wayland/wayland_connection.h"

#include <QDateTime>
#include <QElapsedTimer>

#include <virtual-keyboard-unstable-v1-client.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstring>
#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>

namespace ql {
namespace {

constexpr int kXkbOffset = 8;
// How many spare keys a long run of unusual characters may take before the
// oldest binding is reused.
constexpr int kMaxBound = 64;

quint32 nowMs() {
  static QElapsedTimer clock = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return quint32(clock.elapsed());
}

}  // namespace

VirtualKeyboard::VirtualKeyboard(WaylandConnection& connection) : connection_(connection) {
  if (!connection.virtualKeyboardManager() || !connection.seat()) return;
  context_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  if (!context_) return;
  // The spare keys: named by the evdev key codes, typing nothing in US.
  xkb_rule_names names = {"evdev", "pc105", "us", "", ""};
  xkb_keymap* base = xkb_keymap_new_from_names(context_, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
  if (!base) return;
  for (xkb_keycode_t code = xkb_keymap_min_keycode(base); code <= xkb_keymap_max_keycode(base); ++code) {
    const char* name = xkb_keymap_key_get_name(base, code);
    // Codes above 255 are beyond what X clients under XWayland can see.
    if (name && code > 8 && code < 256 && xkb_keymap_num_layouts_for_key(base, code) == 0)
      spareKeys_.append(QByteArray(name));
  }
  xkb_keymap_unref(base);
  keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(
      connection.virtualKeyboardManager(), connection.seat());
  if (!upload()) {
    zwp_virtual_keyboard_v1_destroy(keyboard_);
    keyboard_ = nullptr;
  }
}

VirtualKeyboard::~VirtualKeyboard() {
  if (keyboard_) {
    zwp_virtual_keyboard_v1_destroy(keyboard_);
    connection_.flush();
  }
  xkb_state_unref(state_);
  xkb_keymap_unref(keymap_);
  xkb_context_unref(context_);
}

bool VirtualKeyboard::upload() {
  QByteArray extra;
  for (const auto& [name, sym] : std::as_const(bound_)) {
    char symName[64] = {};
    xkb_keysym_get_name(sym, symName, sizeof symName);
    extra += "  key <" + name + "> { [ " + QByteArray(symName) + " ] };\n";
  }
  // The section name marks the keymap as ours wherever the compositor
  // hands it on.
  const QByteArray source = "xkb_keymap {\n"
                            "  xkb_keycodes \"" + WaylandConnection::ownKeymapMarker() +
                            "\" { include \"evdev+aliases(qwerty)\" };\n"
                            "  xkb_types { include \"complete\" };\n"
                            "  xkb_compat { include \"complete\" };\n"
                            "  xkb_symbols { include \"pc+us+inet(evdev)\"\n" + extra + "  };\n"
                            "};\n";
  xkb_keymap* keymap = xkb_keymap_new_from_buffer(context_, source.constData(), size_t(source.size()),
                                                  XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
  if (!keymap) {
    log(QStringLiteral("The typing keymap did not compile"));
    return false;
  }
  char* text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
  if (!text) {
    xkb_keymap_unref(keymap);
    return false;
  }
  const size_t size = std::strlen(text) + 1;
  const int fd = memfd_create("quillet-keymap", MFD_CLOEXEC);
  bool written = fd >= 0 && ::ftruncate(fd, off_t(size)) == 0;
  if (written) {
    void* map = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    written = map != MAP_FAILED;
    if (written) {
      std::memcpy(map, text, size);
      ::munmap(map, size);
    }
  }
  keymapText_ = QByteArray(text);
  std::free(text);
  if (!written) {
    if (fd >= 0) ::close(fd);
    xkb_keymap_unref(keymap);
    return false;
  }
  zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, quint32(size));
  ::close(fd);
  xkb_state_unref(state_);
  xkb_keymap_unref(keymap_);
  keymap_ = keymap;
  state_ = xkb_state_new(keymap);
  boundCodes_.clear();
  for (const auto& [name, sym] : std::as_const(bound_))
    boundCodes_.insert(sym, xkb_keymap_key_by_name(keymap_, name.constData()) - kXkbOffset);
  return true;
}

void VirtualKeyboard::key(quint32 evdevCode, bool down) {
  if (!keyboard_) return;
  zwp_virtual_keyboard_v1_key(keyboard_, nowMs(), evdevCode,
                              down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
  const xkb_state_component changed =
      xkb_state_update_key(state_, evdevCode + kXkbOffset, down ? XKB_KEY_DOWN : XKB_KEY_UP);
  if (changed) {
    zwp_virtual_keyboard_v1_modifiers(keyboard_, xkb_state_serialize_mods(state_, XKB_STATE_MODS_DEPRESSED),
                                      xkb_state_serialize_mods(state_, XKB_STATE_MODS_LATCHED),
                                      xkb_state_serialize_mods(state_, XKB_STATE_MODS_LOCKED),
                                      xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_EFFECTIVE));
  }
}

bool VirtualKeyboard::find(quint32 keysym, quint32* evdevCode, bool* shift) const {
  if (boundCodes_.contains(keysym)) {
    *evdevCode = boundCodes_.value(keysym);
    *shift = false;
    return true;
  }
  for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap_); code <= xkb_keymap_max_keycode(keymap_); ++code) {
    for (xkb_level_index_t level = 0; level < 2; ++level) {
      const xkb_keysym_t* syms = nullptr;
      if (xkb_keymap_key_get_syms_by_level(keymap_, code, 0, level, &syms) == 1 && syms[0] == keysym) {
        *evdevCode = code - kXkbOffset;
        *shift = level == 1;
        return true;
      }
    }
  }
  return false;
}

bool VirtualKeyboard::keyForCharacter(char32_t character, quint32* evdevCode, QList<quint32>* modifierKeys) {
  if (!keyboard_) return false;
  modifierKeys->clear();
  bool shift = false;
  const auto found = [&] {
    if (shift) modifierKeys->append(KEY_LEFTSHIFT);
    return true;
  };
  const xkb_keysym_t sym = character == U'\n' ? XKB_KEY_Return
                           : character == U'\t' ? XKB_KEY_Tab
                                                : xkb_utf32_to_keysym(character);
  if (sym == XKB_KEY_NoSymbol) return false;
  if (find(sym, evdevCode, &shift)) return found();
  if (spareKeys_.isEmpty()) return false;
  // Bind a spare key; the oldest binding goes when all are taken.
  QByteArray name;
  if (bound_.size() < qMin(kMaxBound, int(spareKeys_.size()))) {
    name = spareKeys_.at(bound_.size());
  } else {
    name = bound_.takeFirst().first;
  }
  bound_.append({name, sym});
  if (!upload()) return false;
  return find(sym, evdevCode, &shift) && found();
}

void VirtualKeyboard::flush() { connection_.flush(); }

}  // namespace ql
