#pragma once

#include "model/plist.h"

#include <QDateTime>
#include <QStringList>

#include <optional>

// Reading record fields from a dictionary form. A value of the wrong type is
// ignored and the field keeps what it had, so a hand-edited or damaged file
// can never put a record into a state its code does not expect.
namespace ql::fields {

QDateTime nowUtc();
QString newUuid();

void read(const PlistDict& d, const char* key, QString& field);
void read(const PlistDict& d, const char* key, std::optional<QString>& field);
void read(const PlistDict& d, const char* key, int& field);
void read(const PlistDict& d, const char* key, qint64& field);
void read(const PlistDict& d, const char* key, double& field);
void read(const PlistDict& d, const char* key, bool& field);
void read(const PlistDict& d, const char* key, QDateTime& field);
void read(const PlistDict& d, const char* key, std::optional<QDateTime>& field);
void read(const PlistDict& d, const char* key, QByteArray& field);
// Arrays of strings; elements that are not strings are dropped.
void read(const PlistDict& d, const char* key, QStringList& field);
void read(const PlistDict& d, const char* key, PlistDict& field);

PlistArray toArray(const QStringList& list);

}  // namespace ql::fields
