#pragma once

#include "platform/log.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

// The shared end of every benchmark program's main: a Qt application of the
// kind the code under test needs, and a silent log (syslog traffic would
// otherwise be measured too).
template <typename Application = QCoreApplication>
int runBenchmarks(int argc, char** argv) {
  Application app(argc, argv);
  ql::setLogSink([](const QString&) {});
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
