#include "content/content_types.h"

#include <QStringList>

namespace ql::codes {

const QStringList& keyCodes() {
  static const QStringList list = {QStringLiteral("{key:enter}"), QStringLiteral("{key:esc}"),
                                   QStringLiteral("{key:return}"), QStringLiteral("{key:tab}")};
  return list;
}

int virtualKeyFor(const QString& keyCode) {
  if (keyCode == QLatin1String("{key:enter}")) return 36;
  if (keyCode == QLatin1String("{key:esc}")) return 53;
  if (keyCode == QLatin1String("{key:return}")) return 76;
  if (keyCode == QLatin1String("{key:tab}")) return 48;
  return -1;
}

QString previewTextFor(const QString& keyCode) {
  const QString k = keyCode.toLower();
  if (k == QLatin1String("{key:enter}") || k == QLatin1String("{key:return}")) return QStringLiteral("\n");
  if (k == QLatin1String("{key:tab}")) return QStringLiteral("\t");
  return QString();
}

}  // namespace ql::codes
