#pragma once

#include "platform/log.h"

#include <QCoreApplication>
#include <QFile>

#include <benchmark/benchmark.h>

#include <cstring>

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

// A field of /proc/self/status in kB (VmRSS: resident, VmHWM: its peak).
inline long statusKb(const char* field) {
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith(field)) return line.mid(qsizetype(std::strlen(field))).trimmed().split(' ').first().toLong();
  return 0;
}
