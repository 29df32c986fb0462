#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace ql::Utilities {

// The application folder: the per-user data folder plus "Orrery Labs/Quillet1",
// or "" when there is no per-user data folder.
QString getAppPath();

// Where the library file lives: the folder the user chose (the per-user
// defaults key "LIBRARYFOLDER"), or the application folder when none was.
QString getLibraryFolder();
// The chosen folder ("" for the application folder).
QString chosenLibraryFolder();
void setLibraryFolder(const QString& folder);

// The program's display name, with suffix appended when one is given.
QString getAppTitle(const QString& suffix = QString());

// Formats a moment with the percent-code date format ("%Y", "%1m", "%p", ...);
// names and the AM/PM designator follow the locale. Text that is not a known
// code is copied unchanged.
QString getStringFromDateFormat(const QString& format);
QString getStringFromDateFormat(const QString& format, const QDateTime& at,
                                const QLocale& locale = QLocale());
// The same for the codes at [position, position + length) of text, which
// is the date they stand in (see isMonthInDate).
QString getStringFromDateFormat(QStringView text, qsizetype position, qsizetype length,
                                const QDateTime& at, const QLocale& locale = QLocale());

// Whether the month code at [start, end) of text stands in a date with the
// day of the month: a day code ("%d", "%e") beside it with nothing but
// spaces, punctuation, digits and other date codes between them, on the same
// line. Languages that decline month names write them in their format form
// there ("5 мая", "5 maja") and in the stand-alone form elsewhere ("май 2024",
// "Raport za maj"), as the locale's own date patterns do.
bool isMonthInDate(QStringView text, qsizetype start, qsizetype end);

// The nineteen date codes, in the order content expansion resolves them.
const QStringList& dateCodes();

}  // namespace ql::Utilities
