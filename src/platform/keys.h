#pragma once

#include <QtGlobal>

// The key vocabulary stored in Quillet's files and used at every platform
// boundary: Apple virtual key codes (they name physical key positions of the
// ANSI keyboard) and Apple modifier bits. Backends translate at their edge.
namespace ql::keys {

// Letters and digits by position on the ANSI keyboard.
inline constexpr quint16 A = 0, S = 1, D = 2, F = 3, H = 4, G = 5, Z = 6, X = 7, C = 8, V = 9;
inline constexpr quint16 ISOSection = 10;  // the extra key left of Z on ISO keyboards
inline constexpr quint16 B = 11, Q = 12, W = 13, E = 14, R = 15, Y = 16, T = 17;
inline constexpr quint16 Digit1 = 18, Digit2 = 19, Digit3 = 20, Digit4 = 21, Digit6 = 22,
                         Digit5 = 23, Equal = 24, Digit9 = 25, Digit7 = 26, Minus = 27,
                         Digit8 = 28, Digit0 = 29, RightBracket = 30;
inline constexpr quint16 O = 31, U = 32, LeftBracket = 33, I = 34, P = 35;
inline constexpr quint16 Return = 36;
inline constexpr quint16 L = 37, J = 38, Quote = 39, K = 40, Semicolon = 41, Backslash = 42,
                         Comma = 43, Slash = 44, N = 45, M = 46, Period = 47;
inline constexpr quint16 Tab = 48, Space = 49, Grave = 50;
inline constexpr quint16 Delete = 51;  // backspace
inline constexpr quint16 Escape = 53;

// Modifier keys themselves.
inline constexpr quint16 RightCommand = 54, Command = 55, Shift = 56, CapsLock = 57, Option = 58,
                         Control = 59, RightShift = 60, RightOption = 61, RightControl = 62,
                         Function = 63;

// Keypad.
inline constexpr quint16 KeypadDecimal = 65, KeypadMultiply = 67, KeypadPlus = 69,
                         KeypadClear = 71, KeypadDivide = 75, KeypadEnter = 76,
                         KeypadMinus = 78, KeypadEquals = 81, Keypad0 = 82, Keypad1 = 83,
                         Keypad2 = 84, Keypad3 = 85, Keypad4 = 86, Keypad5 = 87,
                         Keypad6 = 88, Keypad7 = 89, Keypad8 = 91, Keypad9 = 92;

// Function keys.
inline constexpr quint16 F5 = 96, F6 = 97, F7 = 98, F3 = 99, F8 = 100, F9 = 101, F11 = 103,
                         F13 = 105, F16 = 106, F14 = 107, F10 = 109, F12 = 111, F15 = 113,
                         F4 = 118, F2 = 120, F1 = 122, F17 = 64, F18 = 79, F19 = 80, F20 = 90;

// Navigation.
inline constexpr quint16 Help = 114, Home = 115, PageUp = 116, ForwardDelete = 117, End = 119,
                         PageDown = 121, Left = 123, Right = 124, Down = 125, Up = 126;

// Keys that act instead of typing: a BackSpace cannot take them back.
inline constexpr bool hasSideEffects(quint16 code) {
  return code == Return || code == KeypadEnter || code == Tab || code == Escape;
}

}  // namespace ql::keys

namespace ql::mods {

inline constexpr quint64 CapsLock = 0x10000;
inline constexpr quint64 Shift = 0x20000;
inline constexpr quint64 Control = 0x40000;  // Super on Linux
inline constexpr quint64 Option = 0x80000;   // Alt on Linux
inline constexpr quint64 Command = 0x100000;  // Ctrl on Linux: the shortcut modifier
inline constexpr quint64 NumericPad = 0x200000;
inline constexpr quint64 Help = 0x400000;
inline constexpr quint64 Function = 0x800000;

// Only these bits are ever compared; the low 16 bits are device-dependent.
inline constexpr quint64 DeviceIndependentMask = 0xFFFF0000;

inline constexpr quint64 masked(quint64 flags) { return flags & DeviceIndependentMask; }
inline constexpr bool isCommandOnly(quint64 flags) { return masked(flags) == Command; }
inline constexpr bool isShiftOnly(quint64 flags) { return masked(flags) == Shift; }

}  // namespace ql::mods
