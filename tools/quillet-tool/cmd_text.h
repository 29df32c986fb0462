#pragma once

#include <QStringList>

// quillet-tool text FILE --to plain|rtf|rtfd|html: reads RTF, flat RTFD or
// an RTFD folder and writes the chosen form to stdout. Returns the exit code.
int runTextCommand(const QStringList& args);
