#pragma once

#include "model/ql_group.h"
#include "model/ql_preferences.h"
#include "model/ql_snippet.h"

#include <QList>

#include <memory>

namespace ql {
struct ImportOptions;
class LibrarySaver;
}

// The library: preferences, groups and snippets, and the files they live in.
class QLSettings {
 public:
  QLPreferences preferences;
  QList<GroupPtr> groups;
  QList<SnippetPtr> snippets;

  // The program's library saves through this, in the background, a moment
  // after each change; throw-away stores have none and save themselves.
  ql::LibrarySaver* saver = nullptr;
  // Counts the saved edits of records and rules (not of use counts), so
  // that what is prepared from the library knows when to prepare it again.
  quint64 revision = 0;

  // Lookups compare exactly and return the last match, or null.
  SnippetPtr getSnippetByAbbreviation(const QString& abbreviation) const;
  SnippetPtr getSnippetByUUID(const QString& uuid) const;
  GroupPtr getGroupByAbbreviation(const QString& abbreviation) const;
  GroupPtr getGroupByName(const QString& name) const;
  GroupPtr getGroupByUUID(const QString& uuid) const;

  // Groups that take part in suggestions, in library order.
  QList<GroupPtr> allowedGroups() const;

  // Names are relative to the application folder; an empty name is the
  // settings file.
  bool saveSettings(const QString& name = QString()) const;
  // A settings file that exists but cannot be read is moved aside (see
  // movedAsideSettingsPath) so that no save can replace it.
  bool loadSettings(const QString& name = QString());
  bool loadSettings(const QString& path, bool includeGroupsAndSnippet, bool includePreferences);
  bool saveBackup(const QString& path) const;
  bool loadBackup(const QString& path);
  bool saveGroup(const QString& path, const GroupPtr& group) const;

  // Readers of other programs' libraries (model/import_*.cpp); each fills a
  // store the caller has just created empty.
  bool importFromTEMac(const QString& path);
  bool importFromTEMac(const QString& path, const ql::ImportOptions& options);
  bool importFromQLXWindows(const QString& path);
  bool importFromQLXWindows(const QString& path, const ql::ImportOptions& options);

  // A library read from the bytes of a settings file, or null when they do
  // not hold one whole (why then says what is wrong, fit for the log).
  static std::unique_ptr<QLSettings> fromBytes(const QByteArray& bytes, QString* why = nullptr);

  // Where a settings file name resolves to.
  static QString settingsPath(const QString& name = QString());

  static const QString kDefaultSettingFileName;  // "settings"
  static const QString kDefaultSettingExtension;  // "qlxdoc"
  static const QString kStartupCopyName;          // "settings Backup"

  // Where loadSettings() moved an unreadable settings file, and why it
  // could not be read; empty when it did not.
  QString movedAsideSettingsPath;
  QString unreadableSettingsReason;

  // The library's dictionary form, as saved.
  ql::PlistDict libraryDictionary() const;

 private:
  void appendLibrary(const ql::PlistDict& root);
  bool moveAsideUnreadable(const QString& path, const QString& why);
};
