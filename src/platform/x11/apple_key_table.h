#pragma once

namespace ql {

// X key codes and Apple virtual key codes both name a physical key, so they
// map by position. X key codes are evdev codes plus 8 (Xorg, Xvfb, Xwayland).
// Modifier keys map by role: Ctrl is the Command key, Alt Option, Super
// Control. Unknown keys give -1.
int appleKeyCodeForXKeyCode(int xKeyCode);
int xKeyCodeForAppleKeyCode(int appleKeyCode);

// The numeric-pad and function bits an Apple keyboard reports with a key.
unsigned long long keyClassFlags(int appleCode);

// Keys that move the caret or edit without typing, as the key they act as
// whatever their position: the keypad with Num Lock off moves the caret, and
// an edit key (Undo, Paste, ...) changes the text, so the word ends there as
// at an arrow. -1 for every other keysym.
int actingKeyFor(unsigned long keysym);

// Presses of keys with no Apple code report under this base plus the code.
inline constexpr unsigned kUnknownKeyBase = 0xFF00;

}  // namespace ql
