#pragma once

// The end-to-end typists' clock: CLOCK_MONOTONIC, the probe's clock, and a
// sleep to a moment on it, so that presses keep their pace.
#include <ctime>

inline double monotonicSeconds() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

inline void sleepUntil(double when) {
  const double seconds = when - monotonicSeconds();
  if (seconds <= 0) return;
  timespec t{time_t(seconds), long((seconds - double(time_t(seconds))) * 1e9)};
  while (nanosleep(&t, &t) != 0) {
  }
}
