#include "model/ql_snippet.h"

#include "model/record_fields.h"

using namespace ql;

QLSnippet::QLSnippet()
    : uuid(fields::newUuid()), dateCreated(fields::nowUtc()), dateModified(dateCreated) {}

PlistDict QLSnippet::getData() const {
  PlistDict d;
  if (groupUuid) d.insert(QStringLiteral("groupUuid"), *groupUuid);
  d.insert(QStringLiteral("uuid"), uuid);
  d.insert(QStringLiteral("abbreviation"), abbreviation);
  d.insert(QStringLiteral("abbreviationMatchType"), abbreviationMatchType);
  d.insert(QStringLiteral("label"), label);
  d.insert(QStringLiteral("plainText"), plainText);
  d.insert(QStringLiteral("snippetType"), snippetType);
  d.insert(QStringLiteral("useCount"), useCount);
  d.insert(QStringLiteral("flags"), flags);
  d.insert(QStringLiteral("dateCreated"), dateCreated);
  d.insert(QStringLiteral("dateModified"), dateModified);
  d.insert(QStringLiteral("formattedText"), formattedText);
  if (dateLastUsed) d.insert(QStringLiteral("dateLastUsed"), *dateLastUsed);
  d.insert(QStringLiteral("isConvertToHTML"), isConvertToHTML);
  return d;
}

void QLSnippet::setData(const PlistDict* dict) {
  if (dict) {
    const PlistDict& d = *dict;
    fields::read(d, "groupUuid", groupUuid);
    fields::read(d, "uuid", uuid);
    fields::read(d, "abbreviation", abbreviation);
    fields::read(d, "abbreviationMatchType", abbreviationMatchType);
    fields::read(d, "label", label);
    fields::read(d, "plainText", plainText);
    fields::read(d, "snippetType", snippetType);
    fields::read(d, "useCount", useCount);
    fields::read(d, "flags", flags);
    fields::read(d, "dateCreated", dateCreated);
    fields::read(d, "dateModified", dateModified);
    fields::read(d, "formattedText", formattedText);
    fields::read(d, "dateLastUsed", dateLastUsed);
    fields::read(d, "isConvertToHTML", isConvertToHTML);
  }
  updateSearchableText(true);
}

std::shared_ptr<QLSnippet> QLSnippet::fromData(const PlistDict& dict) {
  auto s = std::make_shared<QLSnippet>(NoInit{});
  s->setData(&dict);
  const PlistValue* uuid = dict.value(QLatin1StringView("uuid"));
  if (!uuid || !uuid->string()) s->uuid = fields::newUuid();
  if (!s->dateCreated.isValid() || !s->dateModified.isValid()) {
    const QDateTime now = fields::nowUtc();
    if (!s->dateCreated.isValid()) s->dateCreated = now;
    if (!s->dateModified.isValid()) s->dateModified = now;
  }
  return s;
}

QByteArray QLSnippet::encodeWithCoder() const {
  PlistDict d = getData();
  // A decoded snippet may lack dates; an invalid date has no archived form.
  if (!dateCreated.isValid()) d.remove(QStringLiteral("dateCreated"));
  if (!dateModified.isValid()) d.remove(QStringLiteral("dateModified"));
  return plist::toBinary(d);
}

std::optional<QLSnippet> QLSnippet::initWithCoder(const QByteArray& archive) {
  const auto root = plist::parse(archive);
  if (!root || !root->dict()) return std::nullopt;
  QLSnippet s{NoInit{}};
  s.uuid.clear();
  s.searchableText_.reset();
  const PlistDict& d = *root->dict();
  fields::read(d, "groupUuid", s.groupUuid);
  fields::read(d, "uuid", s.uuid);
  fields::read(d, "abbreviation", s.abbreviation);
  fields::read(d, "abbreviationMatchType", s.abbreviationMatchType);
  fields::read(d, "label", s.label);
  fields::read(d, "plainText", s.plainText);
  fields::read(d, "snippetType", s.snippetType);
  fields::read(d, "useCount", s.useCount);
  fields::read(d, "flags", s.flags);
  fields::read(d, "dateCreated", s.dateCreated);
  fields::read(d, "dateModified", s.dateModified);
  fields::read(d, "formattedText", s.formattedText);
  fields::read(d, "dateLastUsed", s.dateLastUsed);
  fields::read(d, "isConvertToHTML", s.isConvertToHTML);
  return s;
}

int QLSnippet::compareAbbrLength(const QLSnippet& other) const {
  const auto a = abbreviation.size(), b = other.abbreviation.size();
  return a < b ? -1 : (a > b ? 1 : 0);
}

QString QLSnippet::searchableText() const {
  QString text = searchableText_.value_or(QString());
  if (searchableBreaksAsSpaces_) text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text;
}
