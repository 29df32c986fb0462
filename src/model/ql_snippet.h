#pragma once

#include "content/content_types.h"
#include "content/text/attributed_text.h"
#include "model/plist.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>

namespace ql {
class Pasteboard;
}
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
  QString searchableText() const;
  // The same without a copy, for passes over the whole library, but with
  // its line breaks always kept: a plain snippet's shares plainText's
  // memory. Searches and sorts take each '\n' in it as the space it shows as.
  QStringView searchableTextView() const {
    return searchableText_ ? QStringView(*searchableText_) : QStringView();
  }
  bool hasSearchableText() const { return searchableText_.has_value(); }

  ql::PlistDict getData() const;
  // Takes the fields found in the dictionary (nullptr: none), then refreshes
  // the searchable text.
  void setData(const ql::PlistDict* dict);
  // A record as read from a file: a fresh UUID and the current time only
  // where the file has none (a load makes none just to overwrite it).
  static std::shared_ptr<QLSnippet> fromData(const ql::PlistDict& dict);

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
  // The same rendering kept, without handing a copy back (a load does it
  // for every record).
  void updateSearchableText(bool removeNewlineCharacter);
  // The plain rendering with every content code removed.
  QString contentWithoutTags(bool removeNewlineCharacter);

  // The stored content as attributed text (plain snippets unformatted);
  // nothing when formatted content cannot be read.
  std::optional<ql::AttributedText> contentBuffer() const;

  // Expands date and clipboard codes, applies the case mode (1 upper, 2 lower,
  // 3 capitalised paragraphs) and reports where key and fill-in codes stand,
  // appending to the lists given. The clipboard is read from pasteboard (none:
  // an empty clipboard). Nothing when there is nothing to expand.
  std::optional<ql::SnippetContent> processSnippet(int caseMode, QList<ql::CodeOccurrence>* keys,
                                                   QList<ql::CodeOccurrence>* fills,
                                                   int* contentLength,
                                                   const ql::Pasteboard* pasteboard = nullptr);

  // Cuts expanded content at its key codes.
  static QList<ql::SnippetPart> snippetParts(const ql::SnippetContent& content);
  // A copy of the text without cursor markers; location receives the number
  // of characters after the last marker (0 without markers).
  static ql::AttributedText FindAndReplaceInsertionPoint(const ql::AttributedText& text, int* location);

 private:
  struct NoInit {};

 public:
  // Only the class can name NoInit; public so make_shared can call it.
  explicit QLSnippet(NoInit) {}

 private:

  std::optional<QString> searchableText_ = QString();
  bool searchableBreaksAsSpaces_ = false;  // as content() last gave it
};

using SnippetPtr = std::shared_ptr<QLSnippet>;
