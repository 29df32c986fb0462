#pragma once

#include "model/plist.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

// One abbreviation and the content that replaces it.
class QLSnippet {
 public:
  enum SnippetType { Plain = 0, Formatted = 1 };
  // Case rule (abbreviationMatchType).
  enum MatchType { MatchExact = 0, MatchIgnoringCase = 1, MatchAdaptingCase = 2 };

  QLSnippet();  // a fresh UUID and the defaults

  std::optional<QString> groupUuid;
  QString uuid;
  QString abbreviation;
  int abbreviationMatchType = MatchExact;
  QDateTime dateCreated;
  QDateTime dateModified;
  std::optional<QDateTime> dateLastUsed;
  QString label;
  QString plainText;
  QByteArray formattedText;  // RTFD
  int snippetType = Plain;
  qint64 useCount = 0;
  qint64 flags = 0;
  bool isConvertToHTML = false;

  // The plain rendering of the content as last computed by content().
  QString searchableText() const { return searchableText_.value_or(QString()); }
  bool hasSearchableText() const { return searchableText_.has_value(); }

  ql::PlistDict getData() const;
  // Takes the fields found in the dictionary (nullptr: none), then refreshes
  // the searchable text.
  void setData(const ql::PlistDict* dict);

  // The in-process archive used when snippets are dragged. Decoding runs no
  // initialisation: a key missing from the archive leaves its field empty,
  // and there is no searchable text until content() runs.
  QByteArray encodeWithCoder() const;
  static std::optional<QLSnippet> initWithCoder(const QByteArray& archive);

  // Ascending (-1) when this abbreviation is shorter than other's, descending
  // (1) when longer, same (0) when of equal length.
  int compareAbbrLength(const QLSnippet& other) const;

  // Plain rendering of the stored content, kept as searchableText.
  QString content(bool removeNewlineCharacter);

 private:
  struct NoInit {};
  explicit QLSnippet(NoInit) {}

  std::optional<QString> searchableText_ = QString();
};

using SnippetPtr = std::shared_ptr<QLSnippet>;
