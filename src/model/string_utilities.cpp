#include "model/string_utilities.h"

#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace ql::Utilities {

QString getAppPath() {
  const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (base.isEmpty()) return QString();
  return base + QStringLiteral("/Orrery Labs/Quillet1");
}

namespace {
const QString kLibraryFolderKey = QStringLiteral("LIBRARYFOLDER");
}

QString chosenLibraryFolder() {
  return QSettings(QStringLiteral("Orrery Labs"), QStringLiteral("Quillet")).value(kLibraryFolderKey).toString();
}

QString getLibraryFolder() {
  const QString chosen = chosenLibraryFolder();
  return chosen.isEmpty() ? getAppPath() : chosen;
}

void setLibraryFolder(const QString& folder) {
  QSettings defaults(QStringLiteral("Orrery Labs"), QStringLiteral("Quillet"));
  if (folder.isEmpty() || folder == getAppPath())
    defaults.remove(kLibraryFolderKey);
  else
    defaults.setValue(kLibraryFolderKey, folder);
}

QString getAppTitle(const QString& suffix) { return QStringLiteral("Quillet") + suffix; }

const QStringList& dateCodes() {
  static const QStringList codes = {
      QStringLiteral("%Y"),  QStringLiteral("%y"),  QStringLiteral("%B"),  QStringLiteral("%b"),
      QStringLiteral("%m"),  QStringLiteral("%1m"), QStringLiteral("%A"),  QStringLiteral("%a"),
      QStringLiteral("%d"),  QStringLiteral("%e"),  QStringLiteral("%H"),  QStringLiteral("%I"),
      QStringLiteral("%1H"), QStringLiteral("%1I"), QStringLiteral("%M"),  QStringLiteral("%1M"),
      QStringLiteral("%S"),  QStringLiteral("%1S"), QStringLiteral("%p")};
  return codes;
}

QString getStringFromDateFormat(const QString& format) {
  return getStringFromDateFormat(format, QDateTime::currentDateTime());
}

namespace {

QString twoDigits(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

int hour12(int h) {
  const int r = h % 12;
  return r == 0 ? 12 : r;
}

bool isDateCodeLetter(QChar c) { return QStringView(u"YyBbmAadeHIMSp").contains(c); }
bool isDayCodeLetter(QChar c) { return c == u'd' || c == u'e'; }

// What may stand between a month and its day: spaces, punctuation and
// digits (a year already filled in), not a word and not a line break.
bool isDateFiller(QChar c) {
  if (c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) return false;
  return c.isSpace() || c.isPunct() || c.isDigit();
}

QString monthName(const QLocale& locale, int month, QLocale::FormatType type, bool inDate) {
  return inDate ? locale.monthName(month, type) : locale.standaloneMonthName(month, type);
}

// format is [offset, offset + format.size()) of context.
QString formatDate(QStringView format, const QDateTime& at, const QLocale& locale, QStringView context,
                   qsizetype offset) {
  const QDate date = at.date();
  const QTime time = at.time();
  QString out;
  out.reserve(format.size() + 16);
  for (qsizetype i = 0; i < format.size(); ++i) {
    const QChar c = format[i];
    if (c != QLatin1Char('%') || i + 1 >= format.size()) {
      out += c;
      continue;
    }
    QChar code = format[i + 1];
    // "%1x": the same field without its leading zero.
    const bool noPad = code == QLatin1Char('1') && i + 2 < format.size();
    if (noPad) code = format[i + 2];
    QString value;
    bool known = true;
    switch (code.unicode()) {
      case 'Y': known = !noPad; value = QString::number(date.year()); break;
      case 'y': known = !noPad; value = twoDigits(date.year() % 100); break;
      case 'B':
      case 'b':
        known = !noPad;
        value = monthName(locale, date.month(), code == u'B' ? QLocale::LongFormat : QLocale::ShortFormat,
                          isMonthInDate(context, offset + i, offset + i + 2));
        break;
      case 'm': value = noPad ? QString::number(date.month()) : twoDigits(date.month()); break;
      case 'A': known = !noPad; value = locale.dayName(date.dayOfWeek(), QLocale::LongFormat); break;
      case 'a': known = !noPad; value = locale.dayName(date.dayOfWeek(), QLocale::ShortFormat); break;
      case 'd': value = noPad ? QString::number(date.day()) : twoDigits(date.day()); break;
      case 'e': known = !noPad; value = QString::number(date.day()); break;
      case 'H': value = noPad ? QString::number(time.hour()) : twoDigits(time.hour()); break;
      case 'I': value = noPad ? QString::number(hour12(time.hour())) : twoDigits(hour12(time.hour())); break;
      case 'M': value = noPad ? QString::number(time.minute()) : twoDigits(time.minute()); break;
      case 'S': value = noPad ? QString::number(time.second()) : twoDigits(time.second()); break;
      case 'p': known = !noPad; value = time.hour() < 12 ? locale.amText() : locale.pmText(); break;
      default: known = false;
    }
    if (!known) {
      out += c;
      continue;
    }
    out += value;
    i += noPad ? 2 : 1;
  }
  return out;
}

}  // namespace

QString getStringFromDateFormat(const QString& format, const QDateTime& at, const QLocale& locale) {
  return formatDate(format, at, locale, format, 0);
}

QString getStringFromDateFormat(QStringView text, qsizetype position, qsizetype length, const QDateTime& at,
                                const QLocale& locale) {
  return formatDate(text.mid(position, length), at, locale, text, position);
}

bool isMonthInDate(QStringView text, qsizetype start, qsizetype end) {
  for (qsizetype i = start - 1; i >= 0;) {
    const QChar c = text[i];
    if (i >= 1 && text[i - 1] == u'%' && isDateCodeLetter(c)) {
      if (isDayCodeLetter(c)) return true;
      i -= 2;
    } else if (i >= 2 && text[i - 2] == u'%' && text[i - 1] == u'1' && isDateCodeLetter(c)) {
      i -= 3;
    } else if (isDateFiller(c)) {
      --i;
    } else {
      break;
    }
  }
  for (qsizetype i = end; i < text.size();) {
    const QChar c = text[i];
    const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
    if (c == u'%' && isDateCodeLetter(next)) {
      if (isDayCodeLetter(next)) return true;
      i += 2;
    } else if (c == u'%' && next == u'1' && i + 2 < text.size() && isDateCodeLetter(text[i + 2])) {
      i += 3;
    } else if (isDateFiller(c)) {
      ++i;
    } else {
      break;
    }
  }
  return false;
}

}  // namespace ql::Utilities
