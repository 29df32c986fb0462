#include "model/ql_settings.h"

#include "model/background_writer.h"
#include "model/library_saver.h"
#include "model/moved_aside.h"
#include "model/string_utilities.h"
#include "platform/log.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#ifdef __GLIBC__
#include <malloc.h>
#endif

using namespace ql;

const QString QLSettings::kDefaultSettingFileName = QStringLiteral("settings");
const QString QLSettings::kDefaultSettingExtension = QStringLiteral("qlxdoc");
const QString QLSettings::kStartupCopyName = QStringLiteral("settings Backup");

namespace {

// The whole library as one dictionary leaves the heap it took free but
// kept (over 200 MB at 100,000 snippets): once it is gone, the C library
// gives that back to the system.
struct FreedMemoryReturned {
  FreedMemoryReturned() = default;
  FreedMemoryReturned(const FreedMemoryReturned&) = delete;
  FreedMemoryReturned& operator=(const FreedMemoryReturned&) = delete;
  ~FreedMemoryReturned() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
  }
};

template <typename List, typename Field>
auto lastWhere(const List& list, const QString& value, Field field) -> typename List::value_type {
  for (auto it = list.crbegin(); it != list.crend(); ++it)
    if ((**it).*field == value) return *it;
  return nullptr;
}

// The records of a file, made while it is read.
struct Records {
  QList<GroupPtr> groups;
  QList<SnippetPtr> snippets;
};

// Each record is made as soon as it is read, and its dictionary dropped:
// the whole library never sits in memory twice. Elements that are not
// dictionaries cannot be records; they are skipped.
plist::RootArrayItem taker(Records* records) {
  return [records](const QString& key, PlistValue& item) {
    if (!records) return false;
    if (key == QLatin1String("Snippets")) {
      if (const PlistDict* d = item.dict()) {
        records->snippets.append(QLSnippet::fromData(*d));
      }
      return true;
    }
    if (key == QLatin1String("Groups")) {
      if (const PlistDict* d = item.dict()) {
        auto g = std::make_shared<QLGroup>();
        g->setData(d);
        records->groups.append(std::move(g));
      }
      return true;
    }
    return false;
  };
}

// Reads a file whose root must be a dictionary. A missing file is a normal
// outcome; a damaged one is logged (the reason only, never the content).
std::optional<PlistDict> readRoot(const QString& path, const QString& operation,
                                  bool* damaged = nullptr, QString* reason = nullptr,
                                  Records* records = nullptr) {
  // A first save may still be on its way to a file that does not exist yet.
  BackgroundWriter::instance().waitForIdle(path);
  if (!QFileInfo::exists(path)) return std::nullopt;
  QString why;
  const plist::RootArrayItem take = taker(records);
  auto value = plist::readFile(path, &why, take);
  if (value && !value->dict()) why = QStringLiteral("root is not a dictionary");
  if (!value || !value->dict()) {
    logError(operation, why);
    if (damaged) *damaged = true;
    if (reason) *reason = why;
    return std::nullopt;
  }
  return *value->dict();
}

bool writeRoot(const QString& path, PlistDict root, const QString& operation) {
  QString why;
  // Streamed: at 100,000 snippets the file's bytes in one buffer are
  // several hundred megabytes while it grows.
  BackgroundWriter::instance().supersede(path);
  if (plist::writeXmlFileAtomicNow(path, PlistValue(std::move(root)), &why)) return true;
  logError(operation, why);
  return false;
}

}  // namespace

SnippetPtr QLSettings::getSnippetByAbbreviation(const QString& abbreviation) const {
  return lastWhere(snippets, abbreviation, &QLSnippet::abbreviation);
}
SnippetPtr QLSettings::getSnippetByUUID(const QString& uuid) const {
  return lastWhere(snippets, uuid, &QLSnippet::uuid);
}
GroupPtr QLSettings::getGroupByAbbreviation(const QString& abbreviation) const {
  return lastWhere(groups, abbreviation, &QLGroup::abbreviation);
}
GroupPtr QLSettings::getGroupByName(const QString& name) const {
  return lastWhere(groups, name, &QLGroup::name);
}
GroupPtr QLSettings::getGroupByUUID(const QString& uuid) const {
  return lastWhere(groups, uuid, &QLGroup::uuid);
}

QList<GroupPtr> QLSettings::allowedGroups() const {
  QList<GroupPtr> result;
  for (const GroupPtr& g : groups)
    if (g->includeInSuggestionsList) result.append(g);
  return result;
}

QString QLSettings::settingsPath(const QString& name) {
  const QString file =
      name.isEmpty() ? kDefaultSettingFileName + QLatin1Char('.') + kDefaultSettingExtension : name;
  // The library file may live in a folder of its own (a synced one); the
  // other files stay in the application folder.
  const QString app = name.isEmpty() ? Utilities::getLibraryFolder() : Utilities::getAppPath();
  if (app.isEmpty() || QDir::isAbsolutePath(file)) return file;
  return app + QLatin1Char('/') + file;
}

PlistDict QLSettings::libraryDictionary() const {
  PlistArray groupArray, snippetArray;
  groupArray.reserve(size_t(groups.size()));
  snippetArray.reserve(size_t(snippets.size()));
  for (const GroupPtr& g : groups) groupArray.emplace_back(g->getData());
  for (const SnippetPtr& s : snippets) snippetArray.emplace_back(s->getData());
  PlistDict root;
  root.insert(QStringLiteral("Preferences"), preferences.getData());
  root.insert(QStringLiteral("Groups"), std::move(groupArray));
  root.insert(QStringLiteral("Snippets"), std::move(snippetArray));
  return root;
}

void QLSettings::appendLibrary(const PlistDict& root) {
  // Elements that are not dictionaries cannot be records; they are skipped.
  if (auto v = root.value(QStringLiteral("Groups")); v && v->array()) {
    for (const PlistValue& item : *v->array()) {
      if (!item.dict()) continue;
      auto g = std::make_shared<QLGroup>();
      g->setData(item.dict());
      groups.append(std::move(g));
    }
  }
  if (auto v = root.value(QStringLiteral("Snippets")); v && v->array()) {
    for (const PlistValue& item : *v->array()) {
      if (!item.dict()) continue;
      snippets.append(QLSnippet::fromData(*item.dict()));
    }
  }
}

std::unique_ptr<QLSettings> QLSettings::fromBytes(const QByteArray& bytes, QString* why) {
  Records records;
  QString error;
  const auto value = plist::parse(bytes, &error, taker(&records));
  if (!value || !value->dict()) {
    if (why) *why = value ? QStringLiteral("root is not a dictionary") : error;
    return nullptr;
  }
  auto library = std::make_unique<QLSettings>();
  library->groups = std::move(records.groups);
  library->snippets = std::move(records.snippets);
  const PlistDict& root = *value->dict();
  if (auto p = root.value(QStringLiteral("Preferences"))) library->preferences.setData(p->dict());
  library->appendLibrary(root);
  return library;
}

bool QLSettings::saveSettings(const QString& name) const {
  // The program's own library is written by its saver, which never replaces
  // a file another program wrote and this one has not read yet.
  if (saver && name.isEmpty() && settingsPath() == saver->path()) {
    saver->libraryChanged();
    saver->flush();
    return !saver->isPending();
  }
  const FreedMemoryReturned returned;
  return writeRoot(settingsPath(name), libraryDictionary(), QStringLiteral("SaveSettings"));
}

bool QLSettings::loadSettings(const QString& name) {
  const QString path = settingsPath(name);
  bool damaged = false;
  QString why;
  Records records;
  const auto root = readRoot(path, QStringLiteral("loadSettings"), &damaged, &why, &records);
  if (!root) {
    // The next save would replace the user's library with an empty one:
    // the file goes out of the way first, kept whole under a telling name.
    if (damaged && name.isEmpty()) moveAsideUnreadable(path, why);
    return false;
  }
  groups = std::move(records.groups);
  snippets = std::move(records.snippets);
  if (auto p = root->value(QStringLiteral("Preferences"))) preferences.setData(p->dict());
  appendLibrary(*root);
  return true;
}

bool QLSettings::moveAsideUnreadable(const QString& path, const QString& why) {
  const QString target = ql::moveAside(path);
  if (target.isEmpty()) {
    logError(QStringLiteral("loadSettings"), QStringLiteral("cannot move the unreadable settings file aside"));
    return false;
  }
  movedAsideSettingsPath = target;
  unreadableSettingsReason = why;
  log(QStringLiteral("The settings file could not be read; it was moved to ") + target);
  return true;
}

bool QLSettings::loadSettings(const QString& path, bool includeGroupsAndSnippet,
                              bool includePreferences) {
  if (path.isEmpty()) return false;
  Records records;
  const auto root =
      readRoot(path, QStringLiteral("loadSettings:includeGroupsAndSnippet:includePreferences:"),
               nullptr, nullptr, includeGroupsAndSnippet ? &records : nullptr);
  if (!root) return false;
  if (includePreferences)
    if (auto p = root->value(QStringLiteral("Preferences"))) preferences.setData(p->dict());
  if (!includeGroupsAndSnippet) return true;
  groups = std::move(records.groups);
  snippets = std::move(records.snippets);
  appendLibrary(*root);
  return true;
}

bool QLSettings::saveBackup(const QString& path) const {
  if (path.isEmpty()) return false;
  return writeRoot(path, libraryDictionary(), QStringLiteral("saveBackup"));
}

bool QLSettings::loadBackup(const QString& path) {
  if (path.isEmpty()) return false;
  Records records;
  const auto root = readRoot(path, QStringLiteral("loadBackup"), nullptr, nullptr, &records);
  if (!root) return false;
  if (auto p = root->value(QStringLiteral("Preferences"))) preferences.setData(p->dict());
  groups.append(records.groups);
  snippets.append(records.snippets);
  appendLibrary(*root);
  return true;
}

bool QLSettings::saveGroup(const QString& path, const GroupPtr& group) const {
  if (path.isEmpty() || !group) return false;
  const QSet<QString> members(group->snippts.cbegin(), group->snippts.cend());
  PlistArray snippetArray;
  for (const SnippetPtr& s : snippets)
    if (members.contains(s->uuid)) snippetArray.emplace_back(s->getData());
  PlistDict root;
  root.insert(QStringLiteral("Groups"), PlistArray{PlistValue(group->getData())});
  root.insert(QStringLiteral("Snippets"), std::move(snippetArray));
  return writeRoot(path, std::move(root), QStringLiteral("saveGroup"));
}
