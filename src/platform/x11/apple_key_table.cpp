#include "platform/x11/apple_key_table.h"

#include "platform/keys.h"

#include <X11/keysym.h>

#include <array>
#include <utility>

namespace ql {
namespace {

constexpr int kEvdevOffset = 8;

// {evdev code, Apple code}; the first row of an Apple code is the one
// typed for it.
constexpr std::pair<int, int> kPairs[] = {
    {1, 53},                                                           // Escape
    {2, 18},  {3, 19},  {4, 20},  {5, 21},  {6, 23},  {7, 22},         // 1 2 3 4 5 6
    {8, 26},  {9, 28},  {10, 25}, {11, 29}, {12, 27}, {13, 24},        // 7 8 9 0 - =
    {14, 51}, {15, 48},                                                // BackSpace Tab
    {16, 12}, {17, 13}, {18, 14}, {19, 15}, {20, 17}, {21, 16},        // Q W E R T Y
    {22, 32}, {23, 34}, {24, 31}, {25, 35}, {26, 33}, {27, 30},        // U I O P [ ]
    {28, 36},                                                          // Return
    {29, 55},                                                          // left Ctrl: Command
    {30, 0},  {31, 1},  {32, 2},  {33, 3},  {34, 5},  {35, 4},         // A S D F G H
    {36, 38}, {37, 40}, {38, 37}, {39, 41}, {40, 39}, {41, 50},        // J K L ; ' `
    {42, 56}, {43, 42},                                                // left Shift, backslash
    {44, 6},  {45, 7},  {46, 8},  {47, 9},  {48, 11}, {49, 45},        // Z X C V B N
    {50, 46}, {51, 43}, {52, 47}, {53, 44},                            // M , . /
    {54, 60}, {55, 67}, {56, 58}, {57, 49}, {58, 57},                  // RShift KP* LAlt Space Caps
    {59, 122}, {60, 120}, {61, 99}, {62, 118}, {63, 96},               // F1-F5
    {64, 97}, {65, 98}, {66, 100}, {67, 101}, {68, 109},               // F6-F10
    {69, 71},                                                          // Num Lock: keypad Clear
    {71, 89}, {72, 91}, {73, 92}, {74, 78},                            // KP7 KP8 KP9 KP-
    {75, 86}, {76, 87}, {77, 88}, {78, 69},                            // KP4 KP5 KP6 KP+
    {79, 83}, {80, 84}, {81, 85}, {82, 82}, {83, 65},                  // KP1 KP2 KP3 KP0 KP.
    {86, 10},                                                          // ISO key beside left Shift
    {87, 103}, {88, 111},                                              // F11 F12
    {89, 94},                                                          // JIS underscore (ro)
    {90, 104}, {92, 104}, {94, 102},                                   // JIS kana, eisu
    {95, 95},                                                          // JIS keypad comma
    {96, 76},                                                          // keypad Enter
    {97, 54},                                                          // right Ctrl: right Command
    {98, 75},                                                          // KP/
    {100, 61},                                                         // right Alt: right Option
    {102, 115}, {103, 126}, {104, 116}, {105, 123},                    // Home Up PageUp Left
    {106, 124}, {107, 119}, {108, 125}, {109, 121},                    // Right End Down PageDown
    {110, 114}, {111, 117},                                            // Insert: Help, Delete: forward delete
    {113, 74}, {114, 73}, {115, 72},                                   // Mute VolumeDown VolumeUp
    {117, 81},                                                         // KP=
    {121, 95},                                                         // KP,
    {124, 93},                                                         // JIS yen
    {125, 59}, {126, 62},                                              // Super: Control
    {127, 110},                                                        // Menu
    {138, 114},                                                        // Help
    {183, 105}, {184, 107}, {185, 113}, {186, 106},                    // F13-F16
    {187, 64}, {188, 79}, {189, 80}, {190, 90},                        // F17-F20
};

struct Tables {
  std::array<int, 256> toApple{};
  std::array<int, 128> toX{};
  constexpr Tables() {
    for (int& v : toApple) v = -1;
    for (int& v : toX) v = -1;
    for (const auto& [evdev, apple] : kPairs) {
      const int x = evdev + kEvdevOffset;
      if (toApple[x] < 0) toApple[x] = apple;
      if (toX[apple] < 0) toX[apple] = x;
    }
  }
};

constexpr Tables kTables;

}  // namespace

int appleKeyCodeForXKeyCode(int xKeyCode) {
  if (xKeyCode < 0 || xKeyCode >= static_cast<int>(kTables.toApple.size())) return -1;
  return kTables.toApple[xKeyCode];
}

int xKeyCodeForAppleKeyCode(int appleKeyCode) {
  if (appleKeyCode < 0 || appleKeyCode >= static_cast<int>(kTables.toX.size())) return -1;
  return kTables.toX[appleKeyCode];
}

unsigned long long keyClassFlags(int appleCode) {
  switch (appleCode) {
    case keys::Left: case keys::Right: case keys::Down: case keys::Up:
      return mods::NumericPad | mods::Function;
    case keys::Help: case keys::Home: case keys::End: case keys::PageUp: case keys::PageDown:
    case keys::ForwardDelete: case keys::F1: case keys::F2: case keys::F3: case keys::F4:
    case keys::F5: case keys::F6: case keys::F7: case keys::F8: case keys::F9: case keys::F10:
    case keys::F11: case keys::F12: case keys::F13: case keys::F14: case keys::F15:
    case keys::F16: case keys::F17: case keys::F18: case keys::F19: case keys::F20:
      return mods::Function;
    case keys::KeypadDecimal: case keys::KeypadMultiply: case keys::KeypadPlus:
    case keys::KeypadClear: case keys::KeypadDivide: case keys::KeypadEnter:
    case keys::KeypadMinus: case keys::KeypadEquals: case keys::Keypad0: case keys::Keypad1:
    case keys::Keypad2: case keys::Keypad3: case keys::Keypad4: case keys::Keypad5:
    case keys::Keypad6: case keys::Keypad7: case keys::Keypad8: case keys::Keypad9:
      return mods::NumericPad;
    default:
      return 0;
  }
}

int actingKeyFor(unsigned long keysym) {
  switch (keysym) {
    case XK_KP_Left: return keys::Left;
    case XK_KP_Right: return keys::Right;
    case XK_KP_Up: return keys::Up;
    case XK_KP_Down: return keys::Down;
    case XK_KP_Home: return keys::Home;
    case XK_KP_End: return keys::End;
    case XK_KP_Prior: return keys::PageUp;
    case XK_KP_Next: return keys::PageDown;
    case XK_KP_Delete: return keys::ForwardDelete;
    case XK_KP_Insert: case XK_Insert:
    case XK_Undo: case XK_Redo: case XK_Find:
    case 0x1008FF57: /* XF86Copy */ case 0x1008FF58: /* XF86Cut */ case 0x1008FF6D: /* XF86Paste */
      return keys::Help;  // Insert's place on an Apple keyboard
    default: return -1;
  }
}

}  // namespace ql
