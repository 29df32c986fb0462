#pragma once

#include <QString>

#include <functional>

namespace ql {

// The one way the program writes to the system log. Callers pass texts that
// never contain typed characters, snippet content or clipboard content.
void log(const QString& line);

// "Error in <operation> : <reason>", the form every caught failure is logged in.
void logError(const QString& operation, const QString& reason);

// Tests install a sink to see what would have gone to syslog; an empty
// function restores syslog. Returns the previous sink.
using LogSink = std::function<void(const QString&)>;
LogSink setLogSink(LogSink sink);

}  // namespace ql
