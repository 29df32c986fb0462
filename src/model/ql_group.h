#pragma once

#include "model/plist.h"

#include <QDateTime>
#include <QStringList>

#include <memory>
#include <optional>

// A group of snippets and the rules for where they expand.
class QLGroup {
 public:
  // Application rule (exceptionType).
  enum ExceptionType { FollowPreferences = 0, AllApps = 1, AllAppsExcept = 2, OnlyApps = 3, NoApps = 4 };
  // Position rule (expandType).
  enum ExpandType { FollowExtendAfter = 0, AfterSpace = 1, AfterNonAlphanumeric = 2, Anywhere = 3 };

  QLGroup();  // a fresh UUID and the defaults

  QString uuid;
  QString name = QStringLiteral("(Untitled)");
  QString abbreviation;
  int exceptionType = FollowPreferences;
  QStringList exceptions;
  std::optional<QString> sound;  // absent: the preferences decide; "": silent
  int expandType = FollowExtendAfter;
  QStringList snippts;  // member snippets' uuids
  QDateTime dateCreated;
  QDateTime dateModified;
  std::optional<QDateTime> dateLastUsed;
  bool includeInSuggestionsList = true;
  bool allowGroupSuggestions = false;
  bool isExpanded = true;

  ql::PlistDict getData() const;
  // Takes the fields found in the dictionary; nullptr does nothing.
  void setData(const ql::PlistDict* dict);
};

using GroupPtr = std::shared_ptr<QLGroup>;
