#include "model/ql_counter.h"

#include "model/record_fields.h"

#include <QTimeZone>

using namespace ql;

QLCounter::QLCounter() : name(startOfDay(QDateTime::currentDateTime())) {}

QDateTime QLCounter::startOfDay(const QDateTime& at) {
  // Whole seconds, as the file keeps them, so a loaded day compares equal.
  const QDateTime start = at.date().startOfDay(at.timeZone());
  return QDateTime::fromSecsSinceEpoch(start.toSecsSinceEpoch(), Qt::UTC);
}

PlistDict QLCounter::getData() const {
  PlistDict d;
  if (name.isValid()) d.insert(QStringLiteral("name"), name);
  d.insert(QStringLiteral("expanded"), expanded);
  d.insert(QStringLiteral("characters"), characters);
  return d;
}

void QLCounter::setData(const PlistDict* dict) {
  if (!dict) return;
  fields::read(*dict, "name", name);
  fields::read(*dict, "expanded", expanded);
  fields::read(*dict, "characters", characters);
}
