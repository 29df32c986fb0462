#include "model/ql_group.h"

#include "model/record_fields.h"

using namespace ql;

QLGroup::QLGroup()
    : uuid(fields::newUuid()), dateCreated(fields::nowUtc()), dateModified(dateCreated) {}

PlistDict QLGroup::getData() const {
  PlistDict d;
  d.insert(QStringLiteral("uuid"), uuid);
  d.insert(QStringLiteral("name"), name);
  d.insert(QStringLiteral("abbreviation"), abbreviation);
  d.insert(QStringLiteral("exceptionType"), exceptionType);
  d.insert(QStringLiteral("exceptions"), fields::toArray(exceptions));
  d.insert(QStringLiteral("expandType"), expandType);
  d.insert(QStringLiteral("snippts"), fields::toArray(snippts));
  d.insert(QStringLiteral("includeInSuggestionsList"), includeInSuggestionsList);
  d.insert(QStringLiteral("allowGroupSuggestions"), allowGroupSuggestions);
  d.insert(QStringLiteral("isExpanded"), isExpanded);
  d.insert(QStringLiteral("dateCreated"), dateCreated);
  d.insert(QStringLiteral("dateModified"), dateModified);
  if (sound) d.insert(QStringLiteral("sound"), *sound);
  if (dateLastUsed) d.insert(QStringLiteral("dateLastUsed"), *dateLastUsed);
  return d;
}

void QLGroup::setData(const PlistDict* dict) {
  if (!dict) return;
  const PlistDict& d = *dict;
  fields::read(d, "uuid", uuid);
  fields::read(d, "name", name);
  fields::read(d, "abbreviation", abbreviation);
  fields::read(d, "exceptionType", exceptionType);
  fields::read(d, "exceptions", exceptions);
  fields::read(d, "expandType", expandType);
  fields::read(d, "snippts", snippts);
  fields::read(d, "includeInSuggestionsList", includeInSuggestionsList);
  fields::read(d, "allowGroupSuggestions", allowGroupSuggestions);
  fields::read(d, "isExpanded", isExpanded);
  fields::read(d, "dateCreated", dateCreated);
  fields::read(d, "dateModified", dateModified);
  fields::read(d, "sound", sound);
  fields::read(d, "dateLastUsed", dateLastUsed);
}
