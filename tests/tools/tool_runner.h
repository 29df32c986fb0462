#pragma once

#include "support/test_files.h"

#include <QProcess>
#include <QStringList>

struct ToolResult {
  int exitCode = -1;
  QString out;
  QString err;
};

// Runs quillet-tool with the test's environment (its temporary HOME).
inline ToolResult runTool(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(QUILLET_TOOL), args);
  p.closeWriteChannel();
  ToolResult r;
  if (!p.waitForFinished(60000)) return r;
  r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = QString::fromUtf8(p.readAllStandardOutput());
  r.err = QString::fromUtf8(p.readAllStandardError());
  return r;
}
