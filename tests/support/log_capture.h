#pragma once

#include "platform/log.h"

#include <QStringList>

// Collects what the code under test logs, for as long as it lives.
class LogCapture {
 public:
  LogCapture() {
    previous_ = ql::setLogSink([this](const QString& line) { lines.append(line); });
  }
  ~LogCapture() { ql::setLogSink(std::move(previous_)); }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  bool contains(const QString& text) const {
    for (const QString& l : lines)
      if (l.contains(text)) return true;
    return false;
  }

  QStringList lines;

 private:
  ql::LogSink previous_;
};
