#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace ql::Utilities {

// The application folder: the per-user data folder plus "Orrery Labs/Quillet1",
// or "" when there is no per-user data folder.
QString getAppPath();

// The program's display name, with suffix appended when one is given.
QString getAppTitle(const QString& suffix = QString());

// Formats a moment with the percent-code date format ("%Y", "%1m", "%p", ...);
// names and the AM/PM designator follow the locale. Text that is not a known
// code is copied unchanged.
QString getStringFromDateFormat(const QString& format);
QString getStringFromDateFormat(const QString& format, const QDateTime& at,
                                const QLocale& locale = QLocale::system());

// The nineteen date codes, in the order content expansion resolves them.
const QStringList& dateCodes();

}  // namespace ql::Utilities
