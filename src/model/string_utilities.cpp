#include "model/string_utilities.h"

#include <QStandardPaths>
#include <QStringList>

namespace ql::Utilities {

QString getAppPath() {
  const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (base.isEmpty()) return QString();
  return base + QStringLiteral("/Orrery Labs/Quillet1");
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

}  // namespace

QString getStringFromDateFormat(const QString& format, const QDateTime& at, const QLocale& locale) {
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
      case 'B': known = !noPad; value = locale.standaloneMonthName(date.month(), QLocale::LongFormat); break;
      case 'b': known = !noPad; value = locale.standaloneMonthName(date.month(), QLocale::ShortFormat); break;
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

}  // namespace ql::Utilities
