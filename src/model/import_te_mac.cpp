// Reading TextExpander's settings files and single-group exports.
#include "model/ql_settings.h"

#include "content/text/flat_rtfd.h"
#include "content/text/rtf_reader.h"
#include "model/import_codes.h"
#include "model/import_options.h"
#include "model/import_rich_text.h"
#include "model/import_text.h"
#include "model/record_fields.h"
#include "platform/log.h"

using namespace ql;

namespace {

const QString kOperation = QStringLiteral("importFromTEMac");

// TextExpander's application rule, 0 to 4, in Quillet's numbering.
int exceptionTypeFromMode(int mode) {
  switch (mode) {
    case 0: return QLGroup::AllApps;
    case 1: return QLGroup::AllAppsExcept;
    case 2: return QLGroup::OnlyApps;
    case 3: return QLGroup::NoApps;
    case 4: return QLGroup::FollowPreferences;
    default: return mode;
  }
}

GroupPtr readGroup(const PlistDict& d, const char* nameKey) {
  auto g = std::make_shared<QLGroup>();
  fields::read(d, nameKey, g->name);
  fields::read(d, "expandAfterMode", g->expandType);
  std::optional<int> mode;
  if (auto v = d.value(QStringLiteral("expanderExceptionsMode")))
    if (v->type() == PlistValue::Type::Integer) mode = int(v->toInteger().value_or(0));
  if (mode) g->exceptionType = exceptionTypeFromMode(*mode);
  fields::read(d, "expanderExceptions", g->exceptions);
  fields::read(d, "snippetUUIDs", g->snippts);
  fields::read(d, "suggestAbbreviations", g->includeInSuggestionsList);
  return g;
}

bool hasAttachment(const AttributedText& text) {
  for (const AttributedText::Run& r : text.runs())
    if (r.attributes.attachment && !r.attributes.attachment->contents.isEmpty()) return true;
  return false;
}

// The formatted content: the archived attributed string, else the RTF that
// TextExpander keeps beside it in "extraInfo".
std::optional<AttributedText> formattedContent(const PlistDict& d) {
  QByteArray archive;
  fields::read(d, "richText", archive);
  if (!archive.isEmpty())
    if (auto text = attributedTextFromArchive(archive)) return text;
  PlistDict extra;
  fields::read(d, "extraInfo", extra);
  QString rtf;
  fields::read(extra, "RTF", rtf);
  if (!rtf.isEmpty()) return readRtf(importtext::rtfBytes(rtf));
  return std::nullopt;
}

SnippetPtr readSnippet(const PlistDict& d, const ImportOptions& options) {
  auto s = std::make_shared<QLSnippet>();
  fields::read(d, "uuidString", s->uuid);
  fields::read(d, "abbreviation", s->abbreviation);
  if (s->abbreviation.isEmpty()) return s;  // dropped by the caller: skip the content work
  fields::read(d, "abbreviationMode", s->abbreviationMatchType);
  fields::read(d, "label", s->label);
  fields::read(d, "plainText", s->plainText);
  fields::read(d, "snippetType", s->snippetType);
  fields::read(d, "useCount", s->useCount);
  if (options.convertCodes) s->plainText = convertTextExpanderCodes(s->plainText);
  if (std::optional<AttributedText> text = formattedContent(d)) {
    if (options.convertCodes) convertTextExpanderCodes(*text);
    // An image snippet may be stored as plain text holding only the
    // attachment character; its picture is in the formatted content.
    if (s->snippetType == QLSnippet::Plain && hasAttachment(*text))
      s->snippetType = QLSnippet::Formatted;
    s->formattedText = writeFlatRtfd(*text);
  }
  importtext::keepContentUsable(*s);
  return s;
}

}  // namespace

bool QLSettings::importFromTEMac(const QString& path) { return importFromTEMac(path, {}); }

bool QLSettings::importFromTEMac(const QString& path, const ImportOptions& options) {
  QString why;
  const auto root = plist::readFile(path, &why);
  if (!root || !root->dict()) {
    logError(kOperation, root ? QStringLiteral("root is not a dictionary") : why);
    return false;
  }
  const PlistDict& d = *root->dict();
  const PlistValue* groupArray = d.value(QStringLiteral("groupsTE2"));
  const PlistValue* snippetArray = d.value(QStringLiteral("snippetsTE2"));
  const PlistValue* groupInfo = d.value(QStringLiteral("groupInfo"));
  const qint64 total = qint64(groupArray && groupArray->array() ? groupArray->array()->size() : 0) +
                       qint64(snippetArray && snippetArray->array() ? snippetArray->array()->size() : 0);

  // Read into lists of their own, so a cancelled read leaves the store as it was.
  QList<GroupPtr> newGroups;
  QList<SnippetPtr> newSnippets;
  qint64 read = 0;
  const auto step = [&]() {
    ++read;
    return read % ImportOptions::kProgressStep != 0 || options.report(read, total);
  };
  if (groupArray && groupArray->array()) {
    for (const PlistValue& item : *groupArray->array()) {
      if (item.dict()) {
        GroupPtr g = readGroup(*item.dict(), "name");
        if (!g->name.isEmpty()) newGroups.append(std::move(g));
      }
      if (!step()) return false;
    }
  }
  if (snippetArray && snippetArray->array()) {
    for (const PlistValue& item : *snippetArray->array()) {
      if (item.dict()) {
        SnippetPtr s = readSnippet(*item.dict(), options);
        if (!s->abbreviation.isEmpty()) newSnippets.append(std::move(s));
      }
      if (!step()) return false;
    }
  }
  // A single-group export names its group in "groupInfo" and lists no
  // members: the group holds every snippet of the file, in file order.
  if (!groupArray && groupInfo && groupInfo->dict() && snippetArray) {
    GroupPtr g = readGroup(*groupInfo->dict(), "groupName");
    if (g->name.isEmpty()) g->name = QLGroup().name;
    g->snippts.clear();
    for (const SnippetPtr& s : newSnippets) g->snippts.append(s->uuid);
    newGroups.append(std::move(g));
  }
  if (!options.report(read, total)) return false;
  groups.append(newGroups);
  snippets.append(newSnippets);
  return true;
}
