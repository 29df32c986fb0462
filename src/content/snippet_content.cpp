// Content operations of QLSnippet: renderings, code expansion and parts.
#include "model/ql_snippet.h"

#include "content/string_helper.h"
#include "content/text/flat_rtfd.h"
#include "content/text/rtf_reader.h"
#include "model/string_utilities.h"
#include "platform/log.h"
#include "platform/pasteboard.h"
#include "platform/pasteboard_types.h"

using namespace ql;

std::optional<AttributedText> QLSnippet::contentBuffer() const {
  if (snippetType == Formatted) return helper::readFormatted(formattedText);
  return AttributedText(plainText);
}

QString QLSnippet::content(bool removeNewlineCharacter) {
  updateSearchableText(removeNewlineCharacter);
  return searchableText();
}

void QLSnippet::updateSearchableText(bool removeNewlineCharacter) {
  const auto buffer = contentBuffer();
  if (!buffer && !formattedText.isEmpty()) logError(QStringLiteral("content"), QStringLiteral("unreadable formatted text"));
  // Kept with its line breaks, so that a plain snippet's shares its content
  // (a library of long snippets would hold each twice).
  searchableText_ = helper::plainTextFromRTFD(buffer ? &*buffer : nullptr, std::nullopt, false);
  searchableBreaksAsSpaces_ = removeNewlineCharacter;
}

QString QLSnippet::contentWithoutTags(bool removeNewlineCharacter) {
  QString text = content(removeNewlineCharacter);
  for (const QString& code : Utilities::dateCodes()) text.remove(code, Qt::CaseSensitive);
  for (const QString& code : codes::keyCodes()) text.remove(code, Qt::CaseSensitive);
  text.remove(codes::kClipboard, Qt::CaseSensitive);
  text.remove(codes::kCursor, Qt::CaseSensitive);
  // Fill-in codes in any letter case, each through the first "}" after it.
  for (;;) {
    const qsizetype start = text.indexOf(codes::kFillStart, 0, Qt::CaseInsensitive);
    if (start < 0) break;
    const qsizetype end = text.indexOf(QLatin1Char('}'), start + codes::kFillStart.size());
    if (end < 0) break;
    text.remove(start, end - start + 1);
  }
  return text;
}

namespace {

// The clipboard's content as the snippet type asks for it: formatted text
// for formatted snippets (RTFD, then RTF), else plain text.
struct ClipboardContent {
  std::optional<AttributedText> formatted;
  std::optional<QString> plain;
};

ClipboardContent readClipboard(const Pasteboard* pasteboard, bool formatted) {
  ClipboardContent c;
  if (!pasteboard) return c;
  const QStringList types = pasteboard->types();
  if (formatted) {
    if (types.contains(pasteboard_types::Rtfd))
      if (auto d = pasteboard->data(pasteboard_types::Rtfd)) c.formatted = readFlatRtfd(*d);
    if (!c.formatted && types.contains(pasteboard_types::Rtf))
      if (auto d = pasteboard->data(pasteboard_types::Rtf)) c.formatted = readRtf(*d);
    if (c.formatted) return c;
  }
  for (const QString& type : {pasteboard_types::StringUtf8, pasteboard_types::String}) {
    if (!types.contains(type)) continue;
    if (auto d = pasteboard->data(type)) {
      c.plain = QString::fromUtf8(*d);
      return c;
    }
  }
  return c;
}

// Spans from start through the first following "}", in text order.
template <typename F>
void scanCodes(const QString& text, const QString& start, F found) {
  qsizetype from = 0;
  while (from < text.size()) {
    const qsizetype s = text.indexOf(start, from, Qt::CaseInsensitive);
    if (s < 0) return;
    const qsizetype e = text.indexOf(QLatin1Char('}'), s + start.size());
    if (e < 0) return;
    found(int(s), int(e - s + 1));
    from = e + 1;
  }
}

bool isKeyCode(const QString& candidate) { return codes::keyCodes().contains(candidate.toLower()); }

SnippetContent contentOf(const AttributedText& text, bool rtfd) {
  return rtfd ? SnippetContent::fromRtfd(writeFlatRtfd(text)) : SnippetContent::fromText(text.string());
}

}  // namespace

std::optional<SnippetContent> QLSnippet::processSnippet(int caseMode, QList<CodeOccurrence>* keys,
                                                        QList<CodeOccurrence>* fills,
                                                        int* contentLength,
                                                        const Pasteboard* pasteboard) {
  auto loaded = contentBuffer();
  if (!loaded) {
    logError(QStringLiteral("processSnippet:"), QStringLiteral("unreadable formatted text"));
    return std::nullopt;
  }
  AttributedText buffer = std::move(*loaded);
  if (buffer.isEmpty()) return std::nullopt;
  const bool formatted = snippetType == Formatted;

  // Date codes, in their order. A value may form a later code with the text
  // around it; the search for the same code goes on after the value, so a
  // value can never feed its own code.
  const QDateTime now = QDateTime::currentDateTime();
  for (const QString& code : Utilities::dateCodes()) {
    int from = 0;
    for (;;) {
      const int at = buffer.indexOf(code, from, Qt::CaseSensitive);
      if (at < 0) break;
      log(QStringLiteral("While processSnippet:keys:fills:1"));
      // The text around the code is the date it stands in (a month name
      // takes its form from the day beside it).
      const QString value = Utilities::getStringFromDateFormat(buffer.string(), at, code.size(), now);
      buffer.replace(at, int(code.size()), value);
      from = at + int(value.size());
    }
  }

  // The clipboard, read once; every occurrence gets the same content, which
  // is never scanned for the clipboard code again.
  if (buffer.indexOf(codes::kClipboard, 0, Qt::CaseInsensitive) >= 0) {
    const ClipboardContent clip = readClipboard(pasteboard, formatted);
    int from = 0;
    for (;;) {
      const int at = buffer.indexOf(codes::kClipboard, from, Qt::CaseInsensitive);
      if (at < 0) break;
      log(QStringLiteral("While processSnippet:keys:fills:2"));
      const int codeLength = int(codes::kClipboard.size());
      int inserted = 0;
      if (clip.formatted) {
        buffer.replace(at, codeLength, *clip.formatted);
        inserted = clip.formatted->length();
      } else {
        const QString text = clip.plain.value_or(QString());
        if (formatted && text.isEmpty())
          log(QStringLiteral("{%1, %2}").arg(at).arg(codeLength));
        buffer.replace(at, codeLength, text);
        inserted = int(text.size());
      }
      from = at + inserted;
    }
  }

  // Case modes keep each character's formatting, even when the length changes.
  switch (caseMode) {
    case 1: buffer.toUpper(); break;
    case 2: buffer.toLower(); break;
    case 3: buffer.capitalizeParagraphs(); break;
    default: break;
  }

  const QString& text = buffer.string();
  scanCodes(text, codes::kKeyStart, [&](int at, int length) {
    log(QStringLiteral("While processSnippet:keys:fills:3"));
    const QString tag = text.mid(at, length);
    if (keys && isKeyCode(tag)) keys->append({tag, at, length});
  });
  scanCodes(text, codes::kFillStart, [&](int at, int length) {
    log(QStringLiteral("While processSnippet:keys:fills:4"));
    if (fills) fills->append({text.mid(at, length), at, length});
  });

  if (contentLength) *contentLength = buffer.length();
  return contentOf(buffer, formatted);
}

AttributedText QLSnippet::FindAndReplaceInsertionPoint(const AttributedText& text, int* location) {
  AttributedText copy = text;
  int last = -1;
  for (;;) {
    const int at = copy.indexOf(codes::kCursor, 0, Qt::CaseInsensitive);
    if (at < 0) break;
    copy.remove(at, int(codes::kCursor.size()));
    last = at;
  }
  if (location) *location = last < 0 ? 0 : copy.length() - last;
  return copy;
}

QList<SnippetPart> QLSnippet::snippetParts(const SnippetContent& content) {
  QList<SnippetPart> parts;
  std::optional<AttributedText> read;
  if (content.isRtfd)
    read = readFlatRtfd(content.rtfd);
  else
    read = AttributedText(content.text);
  if (!read) return parts;
  const AttributedText& text = *read;
  const QString& s = text.string();

  auto addPart = [&](int from, int to, const QString& key) {
    int cursor = 0;
    const AttributedText piece = FindAndReplaceInsertionPoint(text.substring(from, to - from), &cursor);
    parts.append({int(parts.size()) + 1, contentOf(piece, content.isRtfd), key, cursor});
  };

  int lastEnd = 0;
  scanCodes(s, codes::kKeyStart, [&](int at, int length) {
    const QString tag = s.mid(at, length);
    if (!isKeyCode(tag)) return;
    addPart(lastEnd, at, tag.toLower());
    lastEnd = at + length;
  });
  if (parts.isEmpty())
    addPart(0, text.length(), QString());
  else if (lastEnd < text.length())
    addPart(lastEnd, text.length(), QString());
  return parts;
}
