#include "model/import_session.h"

#include "model/import_options.h"
#include "platform/log.h"

#include <QHash>
#include <QSet>

#include <exception>

namespace ql {

std::unique_ptr<QLSettings> deepCopy(const QLSettings& library) {
  auto copy = std::make_unique<QLSettings>();
  copy->preferences = library.preferences;
  for (const GroupPtr& g : library.groups) copy->groups.append(std::make_shared<QLGroup>(*g));
  for (const SnippetPtr& s : library.snippets) copy->snippets.append(std::make_shared<QLSnippet>(*s));
  return copy;
}

void ImportSession::setMessage(const QString& text) {
  message = text;
  if (onMessage) onMessage(text);
}

void ImportSession::resetCounts() {
  foundGroup = foundSnippet = duplicateGroup = duplicateSnippet = importedGroup = importedSnippet = 0;
}

bool ImportSession::readFile(QLSettings& into) {
  ImportOptions options;
  options.convertCodes = convertCodes;
  options.progress = onProgress;
  options.isCancelled = [this] { return cancelled_; };
  switch (importType) {
    case Quillet: {
      const bool ok = into.loadBackup(path);
      const qint64 n = into.groups.size() + into.snippets.size();
      return options.report(n, n) && ok;
    }
    case TextExpander:
      return into.importFromTEMac(path, options);
    case Windows:
      return into.importFromQLXWindows(path, options);
    default:
      return false;
  }
}

bool ImportSession::validateImport() {
  resetCounts();
  importing_ = true;
  cancelled_ = false;
  setMessage(kValidating);
  importedSettings.reset();
  try {
    if (path.isEmpty()) {
      setMessage(kSelectFile);
    } else {
      auto imported = std::make_unique<QLSettings>();
      const bool ok = readFile(*imported);
      if (cancelled_) {
        setMessage(QString());
      } else if (!ok) {
        setMessage(kInvalid);
      } else {
        importedSettings = std::move(imported);
        setMessage(kValidated);
        foundGroup = importedSettings->groups.size();
        foundSnippet = importedSettings->snippets.size();
        getDuplicateCounts();
        // The trial merge runs on a copy of the live library itself, so its
        // counts are what the real merge will do even when the library was
        // never saved.
        std::unique_ptr<QLSettings> trial =
            settings ? deepCopy(*settings) : std::make_unique<QLSettings>();
        import(trial.get());
      }
    }
  } catch (const std::exception& e) {
    logError(QStringLiteral("ValidateImport"), QString::fromUtf8(e.what()));
  }
  importing_ = false;
  cancelled_ = false;
  return importedSettings != nullptr;
}

void ImportSession::getDuplicateCounts() {
  if (!importedSettings || !settings) return;
  try {
    QSet<QString> names, abbreviations;
    for (const GroupPtr& g : importedSettings->groups) names.insert(g->name);
    for (const SnippetPtr& s : importedSettings->snippets) abbreviations.insert(s->abbreviation);
    duplicateGroup = 0;
    duplicateSnippet = 0;
    for (const GroupPtr& g : settings->groups)
      if (names.contains(g->name)) ++duplicateGroup;
    for (const SnippetPtr& s : settings->snippets)
      if (abbreviations.contains(s->abbreviation)) ++duplicateSnippet;
  } catch (const std::exception& e) {
    logError(QStringLiteral("getDuplicateCounts"), QString::fromUtf8(e.what()));
  }
}

namespace {

// Lookups by name, abbreviation and UUID that return the last match, like
// the library's own, kept current while the merge appends; a merge of
// thousands of records must not search the lists once per record.
template <typename Ptr, typename Field>
QHash<QString, Ptr> lastByField(const QList<Ptr>& list, Field field) {
  QHash<QString, Ptr> index;
  index.reserve(list.size());
  for (const Ptr& p : list) index.insert((*p).*field, p);
  return index;
}

void copyGroupSettings(QLGroup& to, const QLGroup& from) {
  to.abbreviation = from.abbreviation;
  to.exceptionType = from.exceptionType;
  to.exceptions = from.exceptions;
  to.sound = from.sound;
  to.expandType = from.expandType;
  to.includeInSuggestionsList = from.includeInSuggestionsList;
  to.allowGroupSuggestions = from.allowGroupSuggestions;
}

void copySnippetContent(QLSnippet& to, const QLSnippet& from) {
  to.abbreviation = from.abbreviation;
  to.abbreviationMatchType = from.abbreviationMatchType;
  to.label = from.label;
  to.plainText = from.plainText;
  to.formattedText = from.formattedText;
  to.snippetType = from.snippetType;
  to.flags = from.flags;
  to.isConvertToHTML = from.isConvertToHTML;
}

}  // namespace

bool ImportSession::import(QLSettings* target) {
  setMessage(kImporting);
  const qint64 groupsBefore = importedGroup;
  const qint64 snippetsBefore = importedSnippet;
  if (importedSettings && target) {
    try {
      const auto imported = lastByField(importedSettings->snippets, &QLSnippet::uuid);
      auto groupsByName = lastByField(target->groups, &QLGroup::name);
      auto snippetsByAbbreviation = lastByField(target->snippets, &QLSnippet::abbreviation);
      for (const GroupPtr& source : importedSettings->groups) {
        const GroupPtr existing = groupsByName.value(source->name);
        if (existing && groupOption == Skip) continue;
        GroupPtr group;
        if (existing && groupOption == Overwrite) {
          copyGroupSettings(*existing, *source);
          group = existing;
        } else {
          group = std::make_shared<QLGroup>();
          group->name = source->name;
          copyGroupSettings(*group, *source);
          target->groups.append(group);
          groupsByName.insert(group->name, group);
        }
        ++importedGroup;
        for (const QString& uuid : source->snippts) {
          const SnippetPtr from = imported.value(uuid);
          if (!from || from->abbreviation.isEmpty()) continue;
          const SnippetPtr duplicate = snippetsByAbbreviation.value(from->abbreviation);
          if (duplicate && snippetOption == Skip) continue;
          SnippetPtr merged;
          if (duplicate && snippetOption == Overwrite) {
            merged = duplicate;  // stays in its own group
            copySnippetContent(*merged, *from);
          } else {
            merged = std::make_shared<QLSnippet>();
            merged->groupUuid = group->uuid;
            copySnippetContent(*merged, *from);
            group->snippts.append(merged->uuid);
            target->snippets.append(merged);
            snippetsByAbbreviation.insert(merged->abbreviation, merged);
          }
          merged->updateSearchableText(true);
          ++importedSnippet;
        }
      }
    } catch (const std::exception& e) {
      logError(QStringLiteral("import"), QString::fromUtf8(e.what()));
    }
  }
  setMessage(kCompleted);
  // Judged by this merge alone: a check's trial counts must not make a merge
  // that changed nothing look like a success.
  return importedGroup > groupsBefore || importedSnippet > snippetsBefore;
}

}  // namespace ql
