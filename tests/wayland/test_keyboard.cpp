#include "test_keyboard.h"

#include <QFile>

#include <virtual-keyboard-unstable-v1-client.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstring>
#include <fcntl.h>
#include <linux/input.h>
#include <sys/mman.h>
#include <sys/time.h>
#include <unistd.h>

namespace ql::test {
namespace {

void global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  auto** out = static_cast<void**>(data);
  if (std::strcmp(interface, wl_seat_interface.name) == 0 && !out[0])
    out[0] = wl_registry_bind(registry, name, &wl_seat_interface, 1);
  if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
    out[1] = wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1);
}
const wl_registry_listener kRegistry = {global, [](void*, wl_registry*, uint32_t) {}};

}  // namespace

TestKeyboard::TestKeyboard(const QString& socket, const QString& fifoPath, const QByteArray& layout,
                           const QByteArray& variant)
    : fifoPath_(fifoPath) {
  display_ = wl_display_connect(QFile::encodeName(socket).constData());
  if (!display_) return;
  void* found[2] = {nullptr, nullptr};
  registry_ = wl_display_get_registry(display_);
  wl_registry_add_listener(registry_, &kRegistry, found);
  wl_display_roundtrip(display_);
  seat_ = static_cast<wl_seat*>(found[0]);
  manager_ = static_cast<zwp_virtual_keyboard_manager_v1*>(found[1]);
  if (!seat_ || !manager_) return;
  context_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  xkb_rule_names names = {"evdev", "pc105", layout.constData(), variant.isEmpty() ? "" : variant.constData(), ""};
  keymap_ = xkb_keymap_new_from_names(context_, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
  if (!keymap_) return;
  char* text = xkb_keymap_get_as_string(keymap_, XKB_KEYMAP_FORMAT_TEXT_V1);
  const size_t size = std::strlen(text) + 1;
  const int fd = memfd_create("test-keymap", MFD_CLOEXEC);
  if (fd < 0 || ::ftruncate(fd, off_t(size)) != 0) return;
  void* map = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  std::memcpy(map, text, size);
  ::munmap(map, size);
  std::free(text);
  keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager_, seat_);
  zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, uint32_t(size));
  ::close(fd);
  wl_display_roundtrip(display_);
}

TestKeyboard::~TestKeyboard() {
  if (fifo_ >= 0) ::close(fifo_);
  if (keyboard_) zwp_virtual_keyboard_v1_destroy(keyboard_);
  if (manager_) zwp_virtual_keyboard_manager_v1_destroy(manager_);
  if (seat_) wl_seat_destroy(seat_);
  if (registry_) wl_registry_destroy(registry_);
  if (display_) wl_display_disconnect(display_);
  xkb_keymap_unref(keymap_);
  xkb_context_unref(context_);
}

bool TestKeyboard::openFifo() {
  if (fifo_ < 0) fifo_ = ::open(QFile::encodeName(fifoPath_).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  return fifo_ >= 0;
}

void TestKeyboard::key(int code, bool down) {
  if (!keyboard_) return;
  timeval now;
  ::gettimeofday(&now, nullptr);
  input_event events[2] = {};
  events[0].time = now;
  events[0].type = EV_KEY;
  events[0].code = quint16(code);
  events[0].value = down ? 1 : 0;
  events[1].time = now;
  events[1].type = EV_SYN;
  events[1].code = SYN_REPORT;
  // The key goes to Quillet's FIFO first; its frame ends only once the
  // compositor has the key, as the kernel hands a key to every reader
  // before either can answer it.
  if (fifo_ >= 0) [[maybe_unused]] const ssize_t n = ::write(fifo_, &events[0], sizeof events[0]);
  zwp_virtual_keyboard_v1_key(keyboard_, time_++, uint32_t(code),
                              down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
  // The modifier state as a keyboard's own state machine would send it.
  unsigned bit = 0;
  if (code == KEY_LEFTSHIFT || code == KEY_RIGHTSHIFT) bit = 1;
  if (code == KEY_LEFTCTRL || code == KEY_RIGHTCTRL) bit = 4;
  if (bit) {
    depressed_ = down ? (depressed_ | bit) : (depressed_ & ~bit);
    zwp_virtual_keyboard_v1_modifiers(keyboard_, depressed_, 0, 0, 0);
  }
  wl_display_roundtrip(display_);
  if (fifo_ >= 0) [[maybe_unused]] const ssize_t n = ::write(fifo_, &events[1], sizeof events[1]);
}

void TestKeyboard::tap(int code) {
  key(code, true);
  key(code, false);
}

namespace {

bool findOnKeymap(xkb_keymap* keymap, uint32_t keysym, int* code, bool* shift) {
  for (xkb_keycode_t k = xkb_keymap_min_keycode(keymap); k <= xkb_keymap_max_keycode(keymap); ++k) {
    for (xkb_level_index_t level = 0; level < 2; ++level) {
      const xkb_keysym_t* syms = nullptr;
      if (xkb_keymap_key_get_syms_by_level(keymap, k, 0, level, &syms) == 1 && syms[0] == keysym) {
        *code = int(k) - 8;
        *shift = level == 1;
        return true;
      }
    }
  }
  return false;
}

}  // namespace

bool typeOnKeymap(xkb_keymap* keymap, const QString& text, const std::function<void(int, bool)>& key) {
  for (const uint c : text.toUcs4()) {
    const xkb_keysym_t sym = c == '\n' ? XKB_KEY_Return : c == '\t' ? XKB_KEY_Tab : xkb_utf32_to_keysym(c);
    int code = 0;
    bool shift = false;
    if (!findOnKeymap(keymap, sym, &code, &shift)) return false;
    if (shift) key(KEY_LEFTSHIFT, true);
    key(code, true);
    key(code, false);
    if (shift) key(KEY_LEFTSHIFT, false);
  }
  return true;
}

bool TestKeyboard::type(const QString& text) {
  return typeOnKeymap(keymap_, text, [this](int code, bool down) { key(code, down); });
}

void TestKeyboard::sync() {
  if (display_) wl_display_roundtrip(display_);
}

}  // namespace ql::test
