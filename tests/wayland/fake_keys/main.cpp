// Keys for KWin through its fake input, for the tests: "CODE 1" presses the
// evdev key CODE, "CODE 0" releases it; each line is answered with "ok" once
// KWin has handled it. KWin grants fake input only to a program whose
// desktop entry asks for it, found by the program's path, so this runs as
// a program of its own (as the compositor's user) rather than inside the test.
#include <fake-input-client.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstring>

namespace {

void global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
  if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
    *static_cast<org_kde_kwin_fake_input**>(data) =
        static_cast<org_kde_kwin_fake_input*>(wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
}
const wl_registry_listener kRegistry = {global, [](void*, wl_registry*, uint32_t) {}};

}  // namespace

int main() {
  wl_display* display = wl_display_connect(nullptr);
  if (!display) {
    std::puts("no compositor");
    return 1;
  }
  org_kde_kwin_fake_input* input = nullptr;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kRegistry, &input);
  wl_display_roundtrip(display);
  if (!input) {
    std::puts("no fake input");
    return 1;
  }
  org_kde_kwin_fake_input_authenticate(input, "Quillet tests", "plays the test keyboard");
  wl_display_roundtrip(display);
  std::puts("ready");
  std::fflush(stdout);
  unsigned code = 0, down = 0;
  while (std::scanf("%u %u", &code, &down) == 2) {
    org_kde_kwin_fake_input_keyboard_key(input, code, down ? WL_KEYBOARD_KEY_STATE_PRESSED
                                                           : WL_KEYBOARD_KEY_STATE_RELEASED);
    if (wl_display_roundtrip(display) < 0) return 1;
    std::puts("ok");
    std::fflush(stdout);
  }
  org_kde_kwin_fake_input_destroy(input);
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  return 0;
}
