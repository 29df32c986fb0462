#include "model/import_text.h"

#include "model/ql_snippet.h"

#include <climits>

namespace ql::importtext {

namespace {

qsizetype skipSpaceAndSign(const QString& text, bool* negative = nullptr) {
  qsizetype i = 0;
  while (i < text.size() && text[i].isSpace()) ++i;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    if (negative) *negative = text[i] == u'-';
    ++i;
  }
  return i;
}

int base64Value(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c - u'A';
  if (c >= u'a' && c <= u'z') return c - u'a' + 26;
  if (c >= u'0' && c <= u'9') return c - u'0' + 52;
  if (c == u'+') return 62;
  if (c == u'/') return 63;
  return -1;
}

}  // namespace

int leadingInteger(const QString& text) {
  bool negative = false;
  qsizetype i = skipSpaceAndSign(text, &negative);
  qint64 value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i].unicode() - u'0');
    if (value > qint64(INT_MAX) + 1) value = qint64(INT_MAX) + 1;  // saturate, keep reading digits
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return int(value);
}

bool boolOfText(const QString& text) {
  qsizetype i = skipSpaceAndSign(text);
  while (i < text.size() && text[i] == u'0') ++i;
  if (i >= text.size()) return false;
  const char16_t c = text[i].unicode();
  return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
}

QByteArray decodeBase64(const QString& text) {
  QByteArray out;
  out.reserve(text.size() * 3 / 4);
  quint32 group = 0;
  int count = 0;
  for (const QChar ch : text) {
    if (ch == u'=') break;
    const int v = base64Value(ch.unicode());
    if (v < 0) continue;
    group = (group << 6) | quint32(v);
    if (++count == 4) {
      out.append(char(group >> 16)).append(char(group >> 8)).append(char(group));
      group = 0;
      count = 0;
    }
  }
  if (count == 1) {
    out.append(char(group << 2));
  } else if (count == 2) {
    out.append(char(group >> 4));
  } else if (count == 3) {
    out.append(char(group >> 10)).append(char(group >> 2));
  }
  return out;
}

QByteArray rtfBytes(const QString& rtf) {
  for (const QChar c : rtf)
    if (c.unicode() > 0xFF) return rtf.toUtf8();
  return rtf.toLatin1();
}

void keepContentUsable(QLSnippet& snippet) {
  if (snippet.snippetType == QLSnippet::Formatted && snippet.formattedText.isEmpty())
    snippet.snippetType = QLSnippet::Plain;
}

}  // namespace ql::importtext
