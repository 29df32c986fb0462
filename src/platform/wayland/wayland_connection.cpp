#include "platform/wayland/wayland_connection.h"

#include "platform/log.h"

#include <QSocketNotifier>

#include <fake-input-client.h>
#include <virtual-keyboard-unstable-v1-client.h>
#include <wayland-client.h>
#include <wlr-data-control-unstable-v1-client.h>
#include <wlr-foreign-toplevel-management-unstable-v1-client.h>

#include <cstring>
#include <memory>
#include <sys/mman.h>
#include <unistd.h>

namespace ql {

const wl_registry_listener WaylandConnection::registryListener = {
    [](void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
      static_cast<WaylandConnection*>(data)->bindGlobal(registry, name, interface, version);
    },
    [](void*, wl_registry*, uint32_t) {},
};

const wl_seat_listener WaylandConnection::seatListener = {
    [](void* data, wl_seat*, uint32_t capabilities) {
      static_cast<WaylandConnection*>(data)->seatCapabilities(capabilities);
    },
    [](void*, wl_seat*, const char*) {},
};

const wl_keyboard_listener WaylandConnection::keyboardListener = {
    [](void* data, wl_keyboard*, uint32_t format, int fd, uint32_t size) {
      static_cast<WaylandConnection*>(data)->keymapReceived(format, fd, size);
    },
    [](void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {},
    [](void*, wl_keyboard*, uint32_t, wl_surface*) {},
    [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t) {},
    [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {},
    [](void*, wl_keyboard*, int32_t, int32_t) {},
};

std::unique_ptr<WaylandConnection> WaylandConnection::open(const QByteArray& name) {
  wl_display* display = wl_display_connect(name.isEmpty() ? nullptr : name.constData());
  if (!display) return nullptr;
  std::unique_ptr<WaylandConnection> c(new WaylandConnection);
  c->display_ = display;
  c->registry_ = wl_display_get_registry(display);
  wl_registry_add_listener(c->registry_, &registryListener, c.get());
  // The globals, then the seat's capabilities, then the keyboard's keymap.
  for (int i = 0; i < 3; ++i) wl_display_roundtrip(display);
  c->notifier_ = new QSocketNotifier(wl_display_get_fd(display), QSocketNotifier::Read, c.get());
  connect(c->notifier_, &QSocketNotifier::activated, c.get(), [conn = c.get()] { conn->dispatch(); });
  return c;
}

WaylandConnection::~WaylandConnection() {
  delete notifier_;
  if (keyboard_) wl_keyboard_destroy(keyboard_);
  if (virtualKeyboards_) zwp_virtual_keyboard_manager_v1_destroy(virtualKeyboards_);
  if (dataControl_) zwlr_data_control_manager_v1_destroy(dataControl_);
  if (fakeInput_) org_kde_kwin_fake_input_destroy(fakeInput_);
  if (seat_) wl_seat_destroy(seat_);
  if (registry_) wl_registry_destroy(registry_);
  if (display_) wl_display_disconnect(display_);
}

void WaylandConnection::bindGlobal(wl_registry* registry, uint32_t name, const char* interface,
                                   uint32_t version) {
  auto is = [interface](const wl_interface& i) { return std::strcmp(interface, i.name) == 0; };
  if (is(wl_seat_interface) && !seat_) {
    seat_ = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, qMin(version, 5u)));
    wl_seat_add_listener(seat_, &seatListener, this);
  } else if (is(zwp_virtual_keyboard_manager_v1_interface)) {
    virtualKeyboards_ = static_cast<zwp_virtual_keyboard_manager_v1*>(
        wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
  } else if (is(zwlr_data_control_manager_v1_interface)) {
    dataControl_ = static_cast<zwlr_data_control_manager_v1*>(
        wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, qMin(version, 2u)));
  } else if (is(org_kde_kwin_fake_input_interface) && version >= 4) {
    // Keys came in version 4.
    fakeInput_ = static_cast<org_kde_kwin_fake_input*>(
        wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
  } else if (std::strcmp(interface, "org_kde_plasma_shell") == 0) {
    kwin_ = true;
  } else if (is(zwlr_foreign_toplevel_manager_v1_interface)) {
    toplevelsName_ = name;
    toplevelsVersion_ = qMin(version, 3u);
  }
}

zwlr_foreign_toplevel_manager_v1* WaylandConnection::bindToplevelManager() {
  if (!toplevelsName_) return nullptr;
  return static_cast<zwlr_foreign_toplevel_manager_v1*>(
      wl_registry_bind(registry_, toplevelsName_, &zwlr_foreign_toplevel_manager_v1_interface, toplevelsVersion_));
}

void WaylandConnection::seatCapabilities(uint32_t capabilities) {
  const bool hasKeyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
  if (hasKeyboard && !keyboard_) {
    keyboard_ = wl_seat_get_keyboard(seat_);
    wl_keyboard_add_listener(keyboard_, &keyboardListener, this);
  } else if (!hasKeyboard && keyboard_) {
    wl_keyboard_release(keyboard_);
    keyboard_ = nullptr;
  }
}

void WaylandConnection::keymapReceived(uint32_t format, int fd, uint32_t size) {
  if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 || size == 0) {
    ::close(fd);
    return;
  }
  void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  ::close(fd);
  if (map == MAP_FAILED) return;
  QByteArray text(static_cast<const char*>(map), int(qstrnlen(static_cast<const char*>(map), size)));
  ::munmap(map, size);
  // The seat's keymap follows the keyboard typed on last, which is the
  // program's own while it types: that one says nothing about the user.
  if (text.contains(ownKeymapMarker()) || text == sessionKeymap_) return;
  sessionKeymap_ = text;
  Q_EMIT sessionKeymapChanged();
}

void WaylandConnection::dispatch() {
  if (broken_) return;
  // Reads only what is there: the notifier said the socket is readable.
  while (wl_display_prepare_read(display_) != 0) wl_display_dispatch_pending(display_);
  wl_display_flush(display_);
  if (wl_display_read_events(display_) < 0 || wl_display_dispatch_pending(display_) < 0) {
    broken_ = true;
    notifier_->setEnabled(false);
    log(QStringLiteral("The connection to the Wayland compositor broke"));
    return;
  }
  wl_display_flush(display_);
}

bool WaylandConnection::roundtrip() {
  if (broken_) return false;
  if (wl_display_roundtrip(display_) < 0) {
    broken_ = true;
    notifier_->setEnabled(false);
    return false;
  }
  return true;
}

void WaylandConnection::flush() {
  if (!broken_) wl_display_flush(display_);
}

}  // namespace ql
