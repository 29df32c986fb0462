#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>

#include "platform/wayland/typing_keyboard.h"

struct xkb_context;
struct xkb_keymap;
struct xkb_state;
struct zwp_virtual_keyboard_v1;

namespace ql {

class WaylandConnection;

// A keyboard of the program's own in the compositor's seat
// (zwp_virtual_keyboard_v1). It types with a keymap of its own, the US
// layout plus spare keys bound on demand to any character, so what it
// types does not depend on the user's layout.
class VirtualKeyboard final : public TypingKeyboard {
 public:
  explicit VirtualKeyboard(WaylandConnection& connection);
  ~VirtualKeyboard() override;
  VirtualKeyboard(const VirtualKeyboard&) = delete;
  VirtualKeyboard& operator=(const VirtualKeyboard&) = delete;

  // False when the compositor offers no virtual keyboards.
  bool isValid() const override { return keyboard_ != nullptr; }

  // One key (evdev code) down or up; the modifier state follows.
  void key(quint32 evdevCode, bool down) override;
  // Binds a spare key to a character the layout lacks; false when none
  // is left.
  bool keyForCharacter(char32_t character, quint32* evdevCode, QList<quint32>* modifierKeys) override;
  void flush() override;

  // The keymap text as uploaded (carries the connection's own marker).
  QByteArray keymapText() const { return keymapText_; }

 private:
  bool upload();
  bool find(quint32 keysym, quint32* evdevCode, bool* shift) const;

  WaylandConnection& connection_;
  zwp_virtual_keyboard_v1* keyboard_ = nullptr;
  xkb_context* context_ = nullptr;
  xkb_keymap* keymap_ = nullptr;
  xkb_state* state_ = nullptr;
  QByteArray keymapText_;
  QList<QByteArray> spareKeys_;  // key names without symbols in the base layout
  QList<QPair<QByteArray, quint32>> bound_;  // spare key name -> keysym
  QHash<quint32, quint32> boundCodes_;      // keysym -> evdev code
};

}  // namespace ql
