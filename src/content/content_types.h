#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace ql {

// Where a key or fill-in code stands in expanded content.
struct CodeOccurrence {
  QString tag;  // the code as written, "{" through "}"
  int location = 0;
  int length = 0;
  bool operator==(const CodeOccurrence&) const = default;
};

// Expanded snippet content: plain text, or flat RTFD bytes for formatted snippets.
struct SnippetContent {
  bool isRtfd = false;
  QString text;
  QByteArray rtfd;

  static SnippetContent fromText(const QString& t) { return {false, t, {}}; }
  static SnippetContent fromRtfd(const QByteArray& d) { return {true, {}, d}; }
  bool operator==(const SnippetContent&) const = default;
};

// One piece of content between key codes.
struct SnippetPart {
  int index = 0;         // from 1
  SnippetContent data;   // without cursor markers
  QString key;           // the key code that follows, lower case; "" for none
  int cursor = 0;        // characters after the last cursor marker
};

// The codes content may carry.
namespace codes {
inline const QString kClipboard = QStringLiteral("{clipboard}");
inline const QString kCursor = QStringLiteral("%|");
inline const QString kKeyStart = QStringLiteral("{key:");
inline const QString kFillStart = QStringLiteral("{fill:");
inline const QString kAttachmentPlaceholder = QStringLiteral("(...attachment...)");
// The four key codes, in this order, and the keys they press.
const QStringList& keyCodes();
// Virtual key code pressed for a lower-case key code, or -1.
int virtualKeyFor(const QString& keyCode);
// What the preview of the fill-in form shows for a key code.
QString previewTextFor(const QString& keyCode);
}  // namespace codes

}  // namespace ql
