#pragma once

#include <QStringList>

class QLSettings;

namespace tool {

// Each command takes the arguments after its name and returns the exit code.
int runCheck(const QStringList& args);
int runConvert(const QStringList& args);
int runList(const QStringList& args);
int runRender(const QStringList& args);
int runImport(const QStringList& args);
int runStats(const QStringList& args);

// Loads FILE (or the user's settings file when path is empty) as a backup is
// loaded. Prints one line on stderr and returns false when it cannot.
bool loadLibrary(const QString& path, QLSettings& settings);

void printOut(const QString& line);
void printErr(const QString& line);

}  // namespace tool
