#include "model/import_choices.h"

#include <QSettings>

namespace ql {

ImportChoices ImportChoices::load() {
  const QSettings s(QStringLiteral("Orrery Labs"), QStringLiteral("Quillet"));
  ImportChoices c;
  c.importType = s.value(QStringLiteral("IMPORTTYPE"), 0).toInt();
  c.groupOption = s.value(QStringLiteral("IMPORTGROUPOPTION"), 0).toInt();
  c.snippetOption = s.value(QStringLiteral("IMPORTSNIPPETOPTION"), 0).toInt();
  c.convertCodes = s.value(QStringLiteral("IMPORTCONVERTCODES"), false).toBool();
  return c;
}

void ImportChoices::save() const {
  QSettings s(QStringLiteral("Orrery Labs"), QStringLiteral("Quillet"));
  s.setValue(QStringLiteral("IMPORTTYPE"), importType);
  s.setValue(QStringLiteral("IMPORTGROUPOPTION"), groupOption);
  s.setValue(QStringLiteral("IMPORTSNIPPETOPTION"), snippetOption);
  s.setValue(QStringLiteral("IMPORTCONVERTCODES"), convertCodes);
}

}  // namespace ql
