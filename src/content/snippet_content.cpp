// Content operations of QLSnippet.
#include "model/ql_snippet.h"

QString QLSnippet::content(bool removeNewlineCharacter) {
  QString text;
  if (snippetType == Formatted) {
    // Formatted content needs the RTFD reader; until it is wired in here,
    // formatted snippets have an empty plain rendering.
    text = QString();
  } else {
    text = plainText;
  }
  if (removeNewlineCharacter) text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  searchableText_ = text;
  return text;
}
