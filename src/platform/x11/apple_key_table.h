#pragma once

namespace ql {

// X key codes and Apple virtual key codes both name a physical key, so they
// map by position. X key codes are evdev codes plus 8 (Xorg, Xvfb, Xwayland).
// Modifier keys map by role: Ctrl is the Command key, Alt Option, Super
// Control. Unknown keys give -1.
int appleKeyCodeForXKeyCode(int xKeyCode);
int xKeyCodeForAppleKeyCode(int appleKeyCode);

}  // namespace ql
