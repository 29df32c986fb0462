#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace ql {

bool Translations::load(const QLocale& locale) {
  QCoreApplication::removeTranslator(&own_);
  QCoreApplication::removeTranslator(&qt_);
  // The .qm files are built into the program, so an uninstalled build
  // speaks the language too.
  if (!own_.load(locale, QStringLiteral("quillet"), QStringLiteral("_"), QStringLiteral(":/i18n"))) return false;
  QCoreApplication::installTranslator(&own_);
  if (qt_.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
               QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(&qt_);
  return true;
}

}  // namespace ql
