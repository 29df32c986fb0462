#include "platform/wayland/wayland_input_synthesiser.h"

#include "platform/keys.h"
#include "platform/wayland/typing_keyboard.h"
#include "platform/x11/apple_key_table.h"
#include "platform/x11/x11_input_synthesiser.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <linux/input-event-codes.h>

namespace ql {
namespace {

constexpr int kXkbOffset = 8;

// The modifier keys pressed for each Apple bit, in press order.
struct ModifierKey {
  quint64 flag;
  quint32 evdev;
};
constexpr ModifierKey kModifierKeys[] = {
    {mods::Command, KEY_LEFTCTRL},
    {mods::Option, KEY_LEFTALT},
    {mods::Control, KEY_LEFTMETA},
    {mods::Shift, KEY_LEFTSHIFT},
};

}  // namespace

WaylandInputSynthesiser::WaylandInputSynthesiser(TypingKeyboard& keyboard,
                                                 std::function<QString()> frontmost,
                                                 std::function<quint64()> held)
    : keyboard_(keyboard), frontmost_(std::move(frontmost)), held_(std::move(held)) {}

void WaylandInputSynthesiser::modifiers(quint64 flags, bool down) {
  if (down) {
    for (const ModifierKey& m : kModifierKeys)
      if (flags & m.flag) keyboard_.key(m.evdev, true);
  } else {
    for (auto it = std::rbegin(kModifierKeys); it != std::rend(kModifierKeys); ++it)
      if (flags & it->flag) keyboard_.key(it->evdev, false);
  }
}

void WaylandInputSynthesiser::send(quint16 keyCode, quint64 modifierFlags, bool down) {
  quint64 flags = modifierFlags & (mods::Command | mods::Option | mods::Control | mods::Shift);
  // Terminals paste with Ctrl+Shift+V; Ctrl+V is a literal next character there.
  if (keyCode == keys::V && flags == mods::Command && frontmost_ &&
      X11InputSynthesiser::isTerminalEmulator(frontmost_()))
    flags |= mods::Shift;
  const int x = xKeyCodeForAppleKeyCode(keyCode);
  if (x < kXkbOffset) return;
  if (down) {
    modifiers(flags, true);
    keyboard_.key(quint32(x - kXkbOffset), true);
  } else {
    keyboard_.key(quint32(x - kXkbOffset), false);
    modifiers(flags, false);
  }
}

void WaylandInputSynthesiser::postKey(quint16 keyCode, quint64 modifierFlags, bool down) {
  send(keyCode, modifierFlags, down);
  keyboard_.flush();
}

void WaylandInputSynthesiser::postTaps(const QList<KeyTap>& taps) {
  for (const KeyTap& tap : taps) {
    send(tap.keyCode, tap.modifierFlags, true);
    send(tap.keyCode, tap.modifierFlags, false);
  }
  keyboard_.flush();
}

void WaylandInputSynthesiser::postBackSpace() {
  keyboard_.key(KEY_BACKSPACE, true);
  keyboard_.key(KEY_BACKSPACE, false);
  keyboard_.flush();
}

bool WaylandInputSynthesiser::typeCharacter(const QString& character) {
  const QList<uint> codePoints = character.toUcs4();
  if (codePoints.size() != 1) return false;
  quint32 code = 0;
  QList<quint32> held;
  if (!keyboard_.keyForCharacter(char32_t(codePoints.first()), &code, &held)) return false;
  for (const quint32 m : std::as_const(held)) keyboard_.key(m, true);
  keyboard_.key(code, true);
  keyboard_.key(code, false);
  for (auto it = held.crbegin(); it != held.crend(); ++it) keyboard_.key(*it, false);
  keyboard_.flush();
  return true;
}

bool WaylandInputSynthesiser::waitForModifiersReleased(int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (heldModifiers() & (mods::Command | mods::Option | mods::Control | mods::Shift)) {
    if (deadline.hasExpired()) return false;
    QEventLoop loop;
    QTimer::singleShot(5, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return true;
}

}  // namespace ql
