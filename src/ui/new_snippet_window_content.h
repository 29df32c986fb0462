#pragma once

#include <QByteArray>
#include <QFont>
#include <QString>

namespace ql {

class Pasteboard;

// What a new snippet starts with.
struct NewSnippetContent {
  int snippetType = 0;       // 0 plain, 1 formatted
  QString plainText;         // plain snippets
  QByteArray formattedText;  // formatted snippets: flat RTFD
  // False when the pasteboard held nothing this snippet could take; the
  // content is then empty.
  bool fromPasteboard = false;
};

// The pasteboard's content as a snippet of this type. A formatted snippet
// takes the richest flavour it can read: flat RTFD, then RTF, then HTML,
// then the plain text in formattedFont. A plain snippet takes the plain
// text, else the text of a rich flavour. Nothing in the content makes the
// program read a file or the network (pictures an HTML flavour only points
// to are left out). emptyFormatted is the empty formatted text.
NewSnippetContent snippetContentFromPasteboard(const Pasteboard& pasteboard, int snippetType,
                                               const QFont& formattedFont,
                                               const QByteArray& emptyFormatted);

}  // namespace ql
