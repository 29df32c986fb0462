// The end-to-end benchmark's typist: types TEXT through XTEST, as a keyboard
// would, DELAY_MS from one key press to the next, and logs the moment of
// each press (CLOCK_MONOTONIC, the probe's clock) as JSON lines [t, byte].
// A key held back by the program under test still counts from its press.
// usage: xterm_typist DELAY_MS TEXT LOG   (TEXT: lower-case letters, digits, space, '.')
#include "typist_clock.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The keysym name of a character typed without modifiers.
std::string keysymName(char c) {
  if (c == ' ') return "space";
  if (c == '.') return "period";
  if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return std::string(1, c);
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: xterm_typist DELAY_MS TEXT LOG\n");
    return 2;
  }
  const double delay = std::atof(argv[1]) / 1000.0;
  const std::string text = argv[2];
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "xterm_typist: no X display\n");
    return 1;
  }
  unsigned codes[256] = {};
  for (char c : text) {
    const std::string name = keysymName(c);
    const KeyCode code = name.empty() ? 0 : XKeysymToKeycode(display, XStringToKeysym(name.c_str()));
    if (!code) {
      std::fprintf(stderr, "xterm_typist: cannot type byte %d\n", int(static_cast<unsigned char>(c)));
      return 2;
    }
    codes[static_cast<unsigned char>(c)] = code;
  }
  FILE* log = std::fopen(argv[3], "w");
  if (!log) {
    std::fprintf(stderr, "xterm_typist: cannot write %s\n", argv[3]);
    return 1;
  }
  // Presses keep their pace even when one of them was slow to post.
  const double start = monotonicSeconds();
  for (size_t i = 0; i < text.size(); ++i) {
    sleepUntil(start + double(i) * delay);
    const unsigned code = codes[static_cast<unsigned char>(text[i])];
    const double pressed = monotonicSeconds();
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XFlush(display);
    std::fprintf(log, "[%.6f, %d]\n", pressed, int(static_cast<unsigned char>(text[i])));
    sleepUntil(start + (double(i) + 0.5) * delay);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XFlush(display);
  }
  XSync(display, False);
  std::fclose(log);
  XCloseDisplay(display);
  return 0;
}
