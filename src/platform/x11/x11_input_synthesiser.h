#pragma once

#include "platform/input_synthesiser.h"

#include <QString>

#include <functional>

namespace ql {

class XkbKeymap;
class XTestKeyboard;

// Posts keys through XTEST with the current XKB keymap. Command-V becomes
// Ctrl+Shift+V when the frontmost application is a terminal emulator, where
// Ctrl+V means something else.
class X11InputSynthesiser final : public InputSynthesiser {
 public:
  using FrontmostClass = std::function<QString()>;

  X11InputSynthesiser(XkbKeymap& keymap, XTestKeyboard& keyboard, FrontmostClass frontmost);

  void postKey(quint16 keyCode, quint64 modifierFlags, bool down) override;
  void postTaps(const QList<KeyTap>& taps) override;
  bool typeCharacter(const QString& character) override;
  quint64 heldModifiers() const override;
  bool waitForModifiersReleased(int timeoutMs) override;

  // Whether a WM_CLASS class names a terminal emulator.
  static bool isTerminalEmulator(const QString& wmClass);
  // Whether it is one whose copy is only the selection (no copy key).
  static bool isTerminalWithoutCopyKey(const QString& wmClass);

 private:
  // The X key and modifiers for a virtual key; false when nothing is to be
  // sent.
  bool translate(quint16 keyCode, quint64 modifierFlags, bool down, int* xKey, unsigned* xModifiers);

  XkbKeymap& keymap_;
  XTestKeyboard& keyboard_;
  FrontmostClass frontmost_;
};

}  // namespace ql
