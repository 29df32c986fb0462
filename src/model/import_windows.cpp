// Reading the XML export of Quillet for Windows.
#include "model/ql_settings.h"

#include "content/text/flat_rtfd.h"
#include "content/text/rtf_reader.h"
#include "model/import_options.h"
#include "model/import_text.h"
#include "model/plist.h"
#include "platform/log.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <vector>

using namespace ql;

namespace {

const QString kOperation = QStringLiteral("importFromQLXWindows");
// Characters one entity may expand to (a company name, an address line).
constexpr int kEntityExpansionLimit = 4096;
// Text the whole document may gain through entities beyond its own size:
// many references to one modest entity must not grow without bound.
constexpr qint64 kEntityGrowthBudget = 1024 * 1024;

void setGroupField(QLGroup& g, const QString& name, const QString& text, const QStringList& items) {
  using namespace importtext;
  if (name == QLatin1String("uuid")) g.uuid = text;
  else if (name == QLatin1String("name")) g.name = text;
  else if (name == QLatin1String("Abbreviation")) g.abbreviation = text;
  else if (name == QLatin1String("exceptionType")) g.exceptionType = leadingInteger(text);
  else if (name == QLatin1String("sound")) g.sound = text;
  else if (name == QLatin1String("expandType")) g.expandType = leadingInteger(text);
  else if (name == QLatin1String("snippts")) g.snippts.append(items);
  else if (name == QLatin1String("includeInSuggestionsList")) g.includeInSuggestionsList = boolOfText(text);
  else if (name == QLatin1String("allowGroupSuggestions")) g.allowGroupSuggestions = boolOfText(text);
  else if (name == QLatin1String("isExpanded")) g.isExpanded = boolOfText(text);
}

void setSnippetField(QLSnippet& s, const QString& name, const QString& text) {
  using namespace importtext;
  if (name == QLatin1String("groupUuid")) {
    s.groupUuid = text;
  } else if (name == QLatin1String("uuid")) {
    s.uuid = text;
  } else if (name == QLatin1String("abbreviation")) {
    s.abbreviation = text;
  } else if (name == QLatin1String("abbreviationMatchType")) {
    s.abbreviationMatchType = leadingInteger(text);
  } else if (name == QLatin1String("label")) {
    s.label = text;
  } else if (name == QLatin1String("plainText")) {
    s.plainText = text;
  } else if (name == QLatin1String("formattedText")) {
    if (std::optional<AttributedText> rtf = readRtf(decodeBase64(text)))
      s.formattedText = writeFlatRtfd(*rtf);
  } else if (name == QLatin1String("snippetType")) {
    s.snippetType = text == QLatin1String("ST_FORMATTED_TEXT") ? QLSnippet::Formatted : QLSnippet::Plain;
  } else if (name == QLatin1String("useCount")) {
    s.useCount = leadingInteger(text);
  } else if (name == QLatin1String("flags")) {
    s.flags = leadingInteger(text);
  } else if (name == QLatin1String("IsConvertToHTML")) {
    s.isConvertToHTML = boolOfText(text);
  }
}

// A "Group" or "Snippet" element being read, and the child element of it
// whose text is being collected.
struct OpenRecord {
  qint64 depth = 0;  // of the record's own element
  size_t index = 0;  // in the reader's list of its kind
  GroupPtr group;
  SnippetPtr snippet;
  QString field;     // the open child element, if any
  QString text;      // its text content, descendants included
  QStringList items; // the texts of its own child elements
  QString item;
  bool inField = false;
  bool inItem = false;
};

class WindowsExportReader {
 public:
  explicit WindowsExportReader(const ImportOptions& options) : options_(options) {}

  // False when the document is not well-formed, declares entities, or the
  // read was cancelled.
  bool read(QIODevice* device) {
    QXmlStreamReader xml(device);
    xml.setNamespaceProcessing(false);
    xml.setEntityExpansionLimit(kEntityExpansionLimit);
    const qint64 textBudget = device->size() + kEntityGrowthBudget;
    qint64 text = 0;
    while (!xml.atEnd()) {
      switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
          if (!entitiesAreHarmless(xml)) return false;
          break;
        case QXmlStreamReader::EntityReference:
          why_ = QStringLiteral("the document refers to an undeclared entity");
          return false;
        case QXmlStreamReader::StartElement:
          start(xml.name().toString());
          break;
        case QXmlStreamReader::Characters:
          text += xml.text().size();
          if (text > textBudget) {
            why_ = QStringLiteral("entities expand the document too far");
            return false;
          }
          characters(xml.text());
          break;
        case QXmlStreamReader::EndElement:
          if (!end()) return false;
          break;
        default:
          break;
      }
    }
    if (xml.hasError()) {
      why_ = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
      return false;
    }
    return options_.report(read_, -1);
  }

  const QString& why() const { return why_; }

  // Internal entities ("&co;" for a company name) are fine. External ones
  // reach for local files or the network, and parameter entities and
  // notations have no use in an export: refused.
  bool entitiesAreHarmless(const QXmlStreamReader& xml) {
    static const QRegularExpression parameterEntity(QStringLiteral("<!ENTITY\\s+%"));
    if (!xml.notationDeclarations().isEmpty() || xml.text().contains(QLatin1String("<!NOTATION")) ||
        parameterEntity.match(xml.text()).hasMatch()) {
      why_ = QStringLiteral("the document declares parameter entities or notations");
      return false;
    }
    for (const QXmlStreamEntityDeclaration& e : xml.entityDeclarations()) {
      if (!e.systemId().isEmpty() || !e.publicId().isEmpty() || !e.notationName().isEmpty()) {
        why_ = QStringLiteral("the document declares external entities");
        return false;
      }
    }
    return true;
  }

  QList<GroupPtr> groups() const { return kept(groups_); }
  QList<SnippetPtr> snippets() const { return kept(snippets_); }

 private:
  template <typename Ptr>
  static QList<Ptr> kept(const std::vector<std::pair<Ptr, bool>>& list) {
    QList<Ptr> out;
    for (const auto& [record, keep] : list)
      if (keep) out.append(record);
    return out;
  }

  void start(const QString& name) {
    ++depth_;
    if (name == QLatin1String("Group") || name == QLatin1String("Snippet")) {
      OpenRecord r;
      r.depth = depth_;
      // Records keep the order in which their elements start.
      if (name == QLatin1String("Group")) {
        r.group = std::make_shared<QLGroup>();
        r.index = groups_.size();
        groups_.emplace_back(r.group, false);
      } else {
        r.snippet = std::make_shared<QLSnippet>();
        r.index = snippets_.size();
        snippets_.emplace_back(r.snippet, false);
      }
      open_.push_back(std::move(r));
      return;
    }
    if (open_.empty()) return;
    OpenRecord& r = open_.back();
    if (depth_ == r.depth + 1) {
      r.field = name;
      r.text.clear();
      r.items.clear();
      r.inField = true;
    } else if (depth_ == r.depth + 2 && r.inField) {
      r.item.clear();
      r.inItem = true;
    }
  }

  void characters(QStringView text) {
    if (open_.empty()) return;
    OpenRecord& r = open_.back();
    if (r.inField) r.text += text;
    if (r.inItem) r.item += text;
  }

  bool end() {
    const qint64 depth = depth_--;
    if (open_.empty()) return true;
    OpenRecord& r = open_.back();
    if (depth == r.depth) {
      finish(r);
      open_.pop_back();
      ++read_;
      return read_ % ImportOptions::kProgressStep != 0 || options_.report(read_, -1);
    }
    if (depth == r.depth + 2 && r.inItem) {
      r.items.append(r.item);
      r.inItem = false;
    } else if (depth == r.depth + 1 && r.inField) {
      r.inField = false;
      // Empty children leave their field at its default.
      if (!r.text.isEmpty()) {
        if (r.group) setGroupField(*r.group, r.field, r.text, r.items);
        if (r.snippet) setSnippetField(*r.snippet, r.field, r.text);
      }
    }
    return true;
  }

  void finish(const OpenRecord& r) {
    if (r.group) {
      groups_[r.index].second = !r.group->name.isEmpty();
    } else {
      importtext::keepContentUsable(*r.snippet);
      snippets_[r.index].second = !r.snippet->abbreviation.isEmpty();
    }
  }

  const ImportOptions& options_;
  QString why_;
  qint64 depth_ = 0;
  qint64 read_ = 0;
  std::vector<OpenRecord> open_;
  std::vector<std::pair<GroupPtr, bool>> groups_;
  std::vector<std::pair<SnippetPtr, bool>> snippets_;
};

}  // namespace

bool QLSettings::importFromQLXWindows(const QString& path) { return importFromQLXWindows(path, {}); }

bool QLSettings::importFromQLXWindows(const QString& path, const ImportOptions& options) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    logError(kOperation, file.errorString());
    return false;
  }
  if (file.size() > plist::kMaxFileSize) {
    logError(kOperation, QStringLiteral("file too large"));
    return false;
  }
  WindowsExportReader reader(options);
  // A document with an error yields nothing, not the records before it.
  if (!reader.read(&file)) {
    if (!reader.why().isEmpty()) logError(kOperation, reader.why());
    return false;
  }
  groups.append(reader.groups());
  snippets.append(reader.snippets());
  return !groups.isEmpty() || !snippets.isEmpty();
}
