#include "model/record_fields.h"

#include <QUuid>

#include <algorithm>
#include <climits>
#include <cmath>

namespace ql::fields {

QDateTime nowUtc() {
  // Files keep whole seconds; so do records, so a saved record reads back equal.
  const qint64 secs = QDateTime::currentSecsSinceEpoch();
  return QDateTime::fromSecsSinceEpoch(secs, Qt::UTC);
}

QString newUuid() { return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper(); }

void read(const PlistDict& d, const char* key, QString& field) {
  if (auto v = d.value(QLatin1StringView(key)))
    if (auto s = v->string()) field = *s;
}

void read(const PlistDict& d, const char* key, std::optional<QString>& field) {
  if (auto v = d.value(QLatin1StringView(key)))
    if (auto s = v->string()) field = *s;
}

void read(const PlistDict& d, const char* key, int& field) {
  if (auto v = d.value(QLatin1StringView(key)))
    if (v->type() == PlistValue::Type::Integer || v->type() == PlistValue::Type::Real)
      if (auto n = v->toInteger()) field = int(std::clamp<qint64>(*n, INT_MIN, INT_MAX));
}

void read(const PlistDict& d, const char* key, qint64& field) {
  if (auto v = d.value(QLatin1StringView(key)))
    if (v->type() == PlistValue::Type::Integer || v->type() == PlistValue::Type::Real)
      if (auto n = v->toInteger()) field = *n;
}

void read(const PlistDict& d, const char* key, double& field) {
  if (auto v = d.value(QLatin1StringView(key)))
    if (v->type() == PlistValue::Type::Integer || v->type() == PlistValue::Type::Real)
      if (auto n = v->toReal(); n && std::isfinite(*n)) field = *n;
}

void read(const PlistDict& d, const char* key, bool& field) {
  // Booleans take the truth of whatever number is stored.
  if (auto v = d.value(QLatin1StringView(key)))
    if (auto b = v->toBool()) field = *b;
}

void read(const PlistDict& d, const char* key, QDateTime& field) {
  if (auto v = d.value(QLatin1StringView(key)))
    if (auto t = v->date(); t && t->isValid()) field = *t;
}

void read(const PlistDict& d, const char* key, std::optional<QDateTime>& field) {
  if (auto v = d.value(QLatin1StringView(key)))
    if (auto t = v->date(); t && t->isValid()) field = *t;
}

void read(const PlistDict& d, const char* key, QByteArray& field) {
  if (auto v = d.value(QLatin1StringView(key)))
    if (auto b = v->data()) field = *b;
}

void read(const PlistDict& d, const char* key, QStringList& field) {
  auto v = d.value(QLatin1StringView(key));
  if (!v || !v->array()) return;
  QStringList list;
  for (const PlistValue& item : *v->array())
    if (auto s = item.string()) list.append(*s);
  field = list;
}

void read(const PlistDict& d, const char* key, PlistDict& field) {
  if (auto v = d.value(QLatin1StringView(key)))
    if (auto dict = v->dict()) field = *dict;
}

PlistArray toArray(const QStringList& list) {
  PlistArray a;
  a.reserve(size_t(list.size()));
  for (const QString& s : list) a.emplace_back(s);
  return a;
}

}  // namespace ql::fields
