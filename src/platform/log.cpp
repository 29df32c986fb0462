#include "platform/log.h"

#include <syslog.h>

namespace ql {
namespace {

LogSink& sink() {
  static LogSink s;
  return s;
}

}  // namespace

void log(const QString& line) {
  if (sink()) {
    sink()(line);
    return;
  }
  static const bool opened = [] {
    openlog("quillet", LOG_PID, LOG_USER);
    return true;
  }();
  (void)opened;
  syslog(LOG_NOTICE, "%s", line.toUtf8().constData());
}

void logError(const QString& operation, const QString& reason) {
  log(QStringLiteral("Error in %1 : %2").arg(operation, reason));
}

LogSink setLogSink(LogSink s) {
  LogSink previous = std::move(sink());
  sink() = std::move(s);
  return previous;
}

}  // namespace ql
