// The Wayland end-to-end benchmark's typist: a physical keyboard as the
// tests play it (each key to Quillet's input-event FIFO, then to the
// compositor through a virtual keyboard), typing TEXT DELAY_MS from one
// press to the next, and logging the moment of each press (CLOCK_MONOTONIC,
// the probe's clock) as JSON lines [t, byte].
// usage: foot_typist SOCKET FIFO DELAY_MS TEXT LOG   (TEXT: what the us layout types)
#include "test_keyboard.h"
#include "typist_clock.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: foot_typist SOCKET FIFO DELAY_MS TEXT LOG\n");
    return 2;
  }
  ql::test::TestKeyboard keyboard(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
  if (!keyboard.isValid()) {
    std::fprintf(stderr, "foot_typist: the compositor offers no virtual keyboard\n");
    return 1;
  }
  // Quillet opens its end of the FIFO once it runs.
  for (int i = 0; i < 200 && !keyboard.openFifo(); ++i) usleep(50000);
  if (!keyboard.openFifo()) {
    std::fprintf(stderr, "foot_typist: nobody reads %s\n", argv[2]);
    return 1;
  }
  FILE* log = std::fopen(argv[5], "w");
  if (!log) {
    std::fprintf(stderr, "foot_typist: cannot write %s\n", argv[5]);
    return 1;
  }
  const double delay = std::atof(argv[3]) / 1000.0;
  const std::string text = argv[4];
  // Presses keep their pace even when one of them was slow to post.
  const double start = monotonicSeconds();
  for (size_t i = 0; i < text.size(); ++i) {
    sleepUntil(start + double(i) * delay);
    std::fprintf(log, "[%.6f, %d]\n", monotonicSeconds(), int(static_cast<unsigned char>(text[i])));
    if (!keyboard.type(QString(QChar::fromLatin1(text[i])))) {
      std::fprintf(stderr, "foot_typist: cannot type byte %d\n", int(static_cast<unsigned char>(text[i])));
      return 2;
    }
  }
  keyboard.sync();
  std::fclose(log);
  return 0;
}
