#include "platform/x11/x11_input_synthesiser.h"

#include "platform/keys.h"
#include "platform/log.h"
#include "platform/x11/apple_key_table.h"
#include "platform/x11/xkb_keymap.h"
#include "platform/x11/xtest_keyboard.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <X11/Xlib.h>

namespace ql {
namespace {

constexpr int kModifierPollMs = 5;

}  // namespace

X11InputSynthesiser::X11InputSynthesiser(XkbKeymap& keymap, XTestKeyboard& keyboard,
                                         FrontmostClass frontmost)
    : keymap_(keymap), keyboard_(keyboard), frontmost_(std::move(frontmost)) {}

bool X11InputSynthesiser::isTerminalEmulator(const QString& wmClass) {
  static const QStringList terminals{
      "xterm",          "uxterm",          "urxvt",         "rxvt",          "gnome-terminal",
      "gnome-terminal-server", "konsole",  "yakuake",       "kitty",         "alacritty",
      "xfce4-terminal", "terminator",      "tilix",         "st",            "st-256color",
      "mate-terminal",  "lxterminal",      "qterminal",     "terminology",   "eterm",
      "sakura",         "guake",           "tilda",         "foot",          "footclient",
      "wezterm",        "org.wezfurlong.wezterm", "kgx",    "org.gnome.console",
      "termite",        "cool-retro-term", "roxterm",       "hyper",         "tabby",
      "ptyxis",         "org.gnome.ptyxis", "deepin-terminal", "terminal",    "contour",
      "ghostty",        "com.mitchellh.ghostty", "blackbox", "com.raggesilver.blackbox"};
  return terminals.contains(wmClass.toLower());
}

bool X11InputSynthesiser::isTerminalWithoutCopyKey(const QString& wmClass) {
  static const QStringList terminals{"xterm", "uxterm", "rxvt", "urxvt", "st", "st-256color", "eterm"};
  return terminals.contains(wmClass.toLower());
}

bool X11InputSynthesiser::translate(quint16 keyCode, quint64 modifierFlags, bool down, int* xKey,
                                    unsigned* xModifiers) {
  *xKey = xKeyCodeForAppleKeyCode(keyCode);
  if (*xKey < 0) {
    log(QStringLiteral("No X key for key code %1").arg(keyCode));
    return false;
  }
  quint64 flags = modifierFlags & (mods::Shift | mods::Control | mods::Option | mods::Command);
  if ((keyCode == keys::V || keyCode == keys::C) && flags == mods::Command && frontmost_) {
    const QString cls = frontmost_();
    // Ctrl+C interrupts what runs in a terminal. Most terminals copy with
    // Ctrl+Shift+C; the xterm family has no copy key at all (Ctrl+Shift+C
    // interrupts there too), so the copy is not sent.
    if (keyCode == keys::C && isTerminalWithoutCopyKey(cls)) {
      if (down) log(QStringLiteral("The copy key is not sent to a terminal that has none"));
      return false;
    }
    if (isTerminalEmulator(cls)) flags |= mods::Shift;
  }
  *xModifiers = keymap_.xModifiers(flags);
  return true;
}

void X11InputSynthesiser::postKey(quint16 keyCode, quint64 modifierFlags, bool down) {
  int xKey = 0;
  unsigned xModifiers = 0;
  if (translate(keyCode, modifierFlags, down, &xKey, &xModifiers))
    keyboard_.fakeKeyWithModifiers(xKey, xModifiers, down);
}

void X11InputSynthesiser::postTaps(const QList<KeyTap>& taps) {
  QList<XTestKeyboard::RawTap> raw;
  for (const KeyTap& tap : taps) {
    int xKey = 0;
    unsigned xModifiers = 0;
    if (translate(tap.keyCode, tap.modifierFlags, true, &xKey, &xModifiers))
      raw.append(XTestKeyboard::RawTap{xKey, xModifiers});
  }
  keyboard_.tapKeys(raw);
}

bool X11InputSynthesiser::typeCharacter(const QString& character) {
  const QList<uint> points = character.toUcs4();
  return points.size() == 1 && keyboard_.typeCharacter(points.front());
}

quint64 X11InputSynthesiser::heldModifiers() const {
  return keymap_.appleFlags(keyboard_.heldModifiers());
}

bool X11InputSynthesiser::waitForModifiersReleased(int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (heldModifiers() != 0) {
    if (deadline.hasExpired()) return false;
    QEventLoop loop;
    QTimer::singleShot(kModifierPollMs, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return true;
}

}  // namespace ql
