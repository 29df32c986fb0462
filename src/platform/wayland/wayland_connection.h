#pragma once

#include <QByteArray>
#include <QObject>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct wl_keyboard;
struct org_kde_kwin_fake_input;
struct zwp_virtual_keyboard_manager_v1;
struct zwlr_data_control_manager_v1;
struct zwlr_foreign_toplevel_manager_v1;

class QSocketNotifier;

struct wl_registry_listener;
struct wl_seat_listener;
struct wl_keyboard_listener;

namespace ql {

// Quillet's own connection to the compositor, beside whatever Qt uses for
// the windows. Its events are read on the main loop. It keeps the seat, the
// globals the backend needs and the keymap the compositor hands to every
// client's keyboard: the layout the user types with.
class WaylandConnection final : public QObject {
  Q_OBJECT

 public:
  // Null when no compositor answers (WAYLAND_DISPLAY, or the name given).
  static std::unique_ptr<WaylandConnection> open(const QByteArray& name = {});
  ~WaylandConnection() override;

  wl_display* display() const { return display_; }
  wl_seat* seat() const { return seat_; }
  zwp_virtual_keyboard_manager_v1* virtualKeyboardManager() const { return virtualKeyboards_; }
  zwlr_data_control_manager_v1* dataControlManager() const { return dataControl_; }
  // KWin's fake input, offered only to programs whose desktop entry asks for it.
  org_kde_kwin_fake_input* fakeInput() const { return fakeInput_; }
  // KWin, told by a global only it announces.
  bool isKWin() const { return kwin_; }
  // Bound on first use: the compositor lists its toplevels at once, to a
  // listener that must be there already. The caller owns the result.
  zwlr_foreign_toplevel_manager_v1* bindToplevelManager();
  bool hasToplevelManager() const { return toplevelsName_ != 0; }

  // The last keymap (XKB text) the compositor sent that is not one of the
  // program's own; empty until one came.
  QByteArray sessionKeymap() const { return sessionKeymap_; }
  // Keymaps carrying this marker are the program's own typing keyboard's.
  static QByteArray ownKeymapMarker() { return QByteArrayLiteral("quillet-typing"); }

  // Sends what is queued and waits until the compositor has handled it
  // (events meanwhile are dispatched). False when the connection broke.
  bool roundtrip();
  // Sends what is queued without waiting.
  void flush();
  bool isBroken() const { return broken_; }

 Q_SIGNALS:
  void sessionKeymapChanged();

 private:
  WaylandConnection() = default;
  void dispatch();
  void bindGlobal(wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
  void seatCapabilities(uint32_t capabilities);
  void keymapReceived(uint32_t format, int fd, uint32_t size);

  static const ::wl_registry_listener registryListener;
  static const ::wl_seat_listener seatListener;
  static const ::wl_keyboard_listener keyboardListener;

  wl_display* display_ = nullptr;
  wl_registry* registry_ = nullptr;
  wl_seat* seat_ = nullptr;
  wl_keyboard* keyboard_ = nullptr;
  zwp_virtual_keyboard_manager_v1* virtualKeyboards_ = nullptr;
  zwlr_data_control_manager_v1* dataControl_ = nullptr;
  org_kde_kwin_fake_input* fakeInput_ = nullptr;
  bool kwin_ = false;
  uint32_t toplevelsName_ = 0;
  uint32_t toplevelsVersion_ = 0;
  QSocketNotifier* notifier_ = nullptr;
  QByteArray sessionKeymap_;
  bool broken_ = false;
};

}  // namespace ql
