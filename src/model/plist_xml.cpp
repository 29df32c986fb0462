#include "model/plist_xml.h"

#include <QIODevice>

#include <charconv>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <limits>

namespace ql::plist::xml {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date, and back
// (H. Hinnant's civil calendar algorithms); QDateTime's own formatting and
// parsing dominate the time of large files otherwise.
qint64 daysFromCivil(qint64 y, unsigned m, unsigned d) {
  y -= m <= 2;
  const qint64 era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = unsigned(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + qint64(doe) - 719468;
}

void civilFromDays(qint64 z, qint64& y, unsigned& m, unsigned& d) {
  z += 719468;
  const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = unsigned(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = qint64(yoe) + era * 400 + (m <= 2);
}

// Property-list dates are UTC, written to the second.
QByteArray dateText(const QDateTime& t) {
  qint64 secs = t.toSecsSinceEpoch();
  qint64 days = secs / 86400;
  qint64 rem = secs % 86400;
  if (rem < 0) {
    rem += 86400;
    --days;
  }
  qint64 y;
  unsigned m, d;
  civilFromDays(days, y, m, d);
  char buf[40];
  const int n = snprintf(buf, sizeof buf, "%04lld-%02u-%02uT%02d:%02d:%02dZ", (long long)y, m, d,
                         int(rem / 3600), int(rem / 60 % 60), int(rem % 60));
  return QByteArray(buf, n);
}

void escapeInto(QByteArray& out, const QString& s) {
  const QByteArray utf8 = s.toUtf8();
  const char* p = utf8.constData();
  const char* end = p + utf8.size();
  const char* run = p;
  for (; p < end; ++p) {
    const char* rep = nullptr;
    switch (*p) {
      case '&': rep = "&amp;"; break;
      case '<': rep = "&lt;"; break;
      case '>': rep = "&gt;"; break;
      default: continue;
    }
    out.append(run, p - run);
    out.append(rep);
    run = p + 1;
  }
  out.append(run, end - run);
}

// Where a streamed document goes: the text is handed on in pieces of about
// chunk bytes, so that a large library never sits in memory as one block.
struct Sink {
  QIODevice* device = nullptr;
  qsizetype chunk = 0;
  bool ok = true;
  void flush(QByteArray& out, qsizetype atLeast) {
    if (!device || out.size() < atLeast) return;
    ok = ok && device->write(out) == out.size();
    out.truncate(0);  // the capacity stays for the next piece
  }
};

void writeValue(QByteArray& out, const PlistValue& v, int depth, Sink* sink = nullptr);

void indent(QByteArray& out, int depth) { out.append(depth, '\t'); }

void writeValue(QByteArray& out, const PlistValue& v, int depth, Sink* sink) {
  indent(out, depth);
  switch (v.type()) {
    case PlistValue::Type::Dict: {
      const PlistDict& d = *v.dict();
      if (d.isEmpty()) {
        out.append("<dict/>\n");
        return;
      }
      out.append("<dict>\n");
      for (int i = 0; i < d.size(); ++i) {
        indent(out, depth + 1);
        out.append("<key>");
        escapeInto(out, d.keyAt(i));
        out.append("</key>\n");
        writeValue(out, d.valueAt(i), depth + 1, sink);
      }
      indent(out, depth);
      out.append("</dict>\n");
      return;
    }
    case PlistValue::Type::Array: {
      const PlistArray& a = *v.array();
      if (a.empty()) {
        out.append("<array/>\n");
        return;
      }
      out.append("<array>\n");
      for (const PlistValue& item : a) {
        writeValue(out, item, depth + 1, sink);
        if (sink) sink->flush(out, sink->chunk);
      }
      indent(out, depth);
      out.append("</array>\n");
      return;
    }
    case PlistValue::Type::String:
      out.append("<string>");
      escapeInto(out, *v.string());
      out.append("</string>\n");
      return;
    case PlistValue::Type::Integer:
      out.append("<integer>").append(QByteArray::number(*v.toInteger())).append("</integer>\n");
      return;
    case PlistValue::Type::Real: {
      const double d = *v.toReal();
      char buf[64];
      auto r = std::to_chars(buf, buf + sizeof buf, d);
      out.append("<real>").append(buf, r.ptr - buf).append("</real>\n");
      return;
    }
    case PlistValue::Type::Bool:
      out.append(*v.toBool() ? "<true/>\n" : "<false/>\n");
      return;
    case PlistValue::Type::Date:
      out.append("<date>").append(dateText(*v.date())).append("</date>\n");
      return;
    case PlistValue::Type::Data: {
      const QByteArray b64 = v.data()->toBase64();
      out.append("<data>\n");
      for (qsizetype i = 0; i < b64.size(); i += 68) {
        indent(out, depth);
        out.append(b64.constData() + i, std::min<qsizetype>(68, b64.size() - i));
        out.append('\n');
      }
      indent(out, depth);
      out.append("</data>\n");
      return;
    }
    case PlistValue::Type::None:
      out.append("<string></string>\n");
      return;
  }
}

// ---- reading ----

bool named(const char* b, qsizetype n, const char* s) {
  return qsizetype(strlen(s)) == n && memcmp(b, s, size_t(n)) == 0;
}

class Reader {
 public:
  explicit Reader(const QByteArray& bytes, const RootArrayItem* take = nullptr)
      : take_(take), p_(bytes.constData()), end_(bytes.constData() + bytes.size()) {
    if (end_ - p_ >= 3 && memcmp(p_, "\xEF\xBB\xBF", 3) == 0) p_ += 3;
  }

  std::optional<PlistValue> run(QString* error);

 private:
  // Element names the format knows, told apart once per tag.
  enum class Kind { Other, Plist, Dict, Array, Key, String, Integer, Real, Date, Data, True, False };
  struct Tag {
    QByteArray name;
    Kind kind = Kind::Other;
    bool closing = false;
    bool empty = false;  // <name/>
  };
  struct Frame {
    bool isDict;
    PlistDict dict;
    PlistArray array;
    QString key;
    bool haveKey = false;
  };

  bool fail(const char* why) {
    if (error_.isEmpty()) error_ = QString::fromLatin1(why);
    return false;
  }
  void skipSpace() {
    while (p_ < end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\n' || *p_ == '\r')) ++p_;
  }
  bool startsWith(const char* s) const {
    const size_t n = strlen(s);
    return size_t(end_ - p_) >= n && memcmp(p_, s, n) == 0;
  }
  bool skipPast(const char* s) {
    const size_t n = strlen(s);
    for (const char* q = p_; size_t(end_ - q) >= n; ++q) {
      if (memcmp(q, s, n) == 0) {
        p_ = q + n;
        return true;
      }
    }
    return fail("unterminated markup");
  }
  static Kind kindOf(const char* b, qsizetype n) {
    switch (n ? *b : 0) {
      case 'p': return named(b, n, "plist") ? Kind::Plist : Kind::Other;
      case 'd':
        if (named(b, n, "dict")) return Kind::Dict;
        if (named(b, n, "date")) return Kind::Date;
        return named(b, n, "data") ? Kind::Data : Kind::Other;
      case 'a': return named(b, n, "array") ? Kind::Array : Kind::Other;
      case 'k': return named(b, n, "key") ? Kind::Key : Kind::Other;
      case 's': return named(b, n, "string") ? Kind::String : Kind::Other;
      case 'i': return named(b, n, "integer") ? Kind::Integer : Kind::Other;
      case 'r': return named(b, n, "real") ? Kind::Real : Kind::Other;
      case 't': return named(b, n, "true") ? Kind::True : Kind::Other;
      case 'f': return named(b, n, "false") ? Kind::False : Kind::Other;
      default: return Kind::Other;
    }
  }
  bool skipMarkup();
  bool nextTag(Tag& tag);
  // The text up to this tag's closing tag when it holds no reference,
  // comment or CDATA (the common case); p_ moves past the closing tag.
  std::optional<QByteArrayView> plainText(const Tag& tag);
  bool readText(const QByteArray& name, QByteArray& text);
  bool decodeText(const char* b, const char* e, QByteArray& out);
  bool scalar(const Tag& tag, PlistValue& value);
  bool plainString(const Tag& tag, QString& out);
  QString key(const QByteArray& text);

  const RootArrayItem* take_;
  // Every record repeats the same keys: one shared string each.
  QHash<QByteArray, QString> keys_;
  const char* p_;
  const char* end_;
  QString error_;
};

// Skips a comment, processing instruction, CDATA-free declaration or DOCTYPE
// (its internal subset included, whose entities are never honoured).
bool Reader::skipMarkup() {
  if (startsWith("<!--")) return skipPast("-->");
  if (startsWith("<?")) return skipPast("?>");
  if (startsWith("<!DOCTYPE") || startsWith("<!doctype")) {
    int bracket = 0;
    for (; p_ < end_; ++p_) {
      if (*p_ == '[') ++bracket;
      else if (*p_ == ']') --bracket;
      else if (*p_ == '>' && bracket <= 0) {
        ++p_;
        return true;
      }
    }
    return fail("unterminated DOCTYPE");
  }
  return fail("unexpected markup");
}

// Reads the next element tag, skipping whitespace, comments and the like.
bool Reader::nextTag(Tag& tag) {
  for (;;) {
    skipSpace();
    if (p_ >= end_) return fail("unexpected end of file");
    if (*p_ != '<') return fail("text outside an element");
    if (p_ + 1 < end_ && (p_[1] == '!' || p_[1] == '?')) {
      if (!skipMarkup()) return false;
      continue;
    }
    break;
  }
  ++p_;
  tag.closing = p_ < end_ && *p_ == '/';
  if (tag.closing) ++p_;
  const char* nameStart = p_;
  while (p_ < end_ && *p_ != '>' && *p_ != '/' && *p_ != ' ' && *p_ != '\t' && *p_ != '\n' &&
         *p_ != '\r')
    ++p_;
  tag.name = QByteArray::fromRawData(nameStart, p_ - nameStart);
  tag.kind = kindOf(nameStart, p_ - nameStart);
  tag.empty = false;
  // Nearly every tag is a bare name.
  if (p_ < end_ && *p_ == '>') {
    ++p_;
    return !tag.name.isEmpty() || fail("empty tag");
  }
  char quote = 0;
  for (; p_ < end_; ++p_) {
    if (quote) {
      if (*p_ == quote) quote = 0;
    } else if (*p_ == '"' || *p_ == '\'') {
      quote = *p_;
    } else if (*p_ == '>') {
      tag.empty = p_[-1] == '/';
      ++p_;
      return !tag.name.isEmpty() || fail("empty tag");
    }
  }
  return fail("unterminated tag");
}

bool Reader::decodeText(const char* b, const char* e, QByteArray& out) {
  const char* amp = static_cast<const char*>(memchr(b, '&', size_t(e - b)));
  if (!amp) {
    out.append(b, e - b);
    return true;
  }
  while (b < e) {
    amp = static_cast<const char*>(memchr(b, '&', size_t(e - b)));
    if (!amp) {
      out.append(b, e - b);
      break;
    }
    out.append(b, amp - b);
    const char* semi = static_cast<const char*>(memchr(amp, ';', size_t(std::min<ptrdiff_t>(e - amp, 12))));
    if (!semi) return fail("bad character reference");
    const QByteArray name(amp + 1, semi - amp - 1);
    if (name == "lt") out.append('<');
    else if (name == "gt") out.append('>');
    else if (name == "amp") out.append('&');
    else if (name == "quot") out.append('"');
    else if (name == "apos") out.append('\'');
    else if (name.startsWith('#')) {
      bool ok = false;
      const uint code = name.startsWith("#x") || name.startsWith("#X") ? name.mid(2).toUInt(&ok, 16)
                                                                       : name.mid(1).toUInt(&ok, 10);
      if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return fail("bad character reference");
      const char32_t c = char32_t(code);
      out.append(QString::fromUcs4(&c, 1).toUtf8());
    } else {
      return fail("unknown entity");  // never expanded: no entity definitions are honoured
    }
    b = semi + 1;
  }
  return true;
}

// Reads character data up to the closing tag of name.
bool Reader::readText(const QByteArray& name, QByteArray& text) {
  for (;;) {
    const char* lt = static_cast<const char*>(memchr(p_, '<', size_t(end_ - p_)));
    if (!lt) return fail("unexpected end of file");
    if (!decodeText(p_, lt, text)) return false;
    p_ = lt;
    if (startsWith("<![CDATA[")) {
      const char* start = p_ + 9;
      p_ = start;
      if (!skipPast("]]>")) return false;
      text.append(start, p_ - 3 - start);
      continue;
    }
    if (startsWith("<!--")) {
      if (!skipPast("-->")) return false;
      continue;
    }
    Tag close;
    if (!nextTag(close)) return false;
    if (!close.closing || close.name != name) return fail("mismatched element");
    return true;
  }
}

// Two or four digits at b; -1 when any is not a digit.
int digits(const char* b, int n) {
  int v = 0;
  for (int i = 0; i < n; ++i) {
    if (b[i] < '0' || b[i] > '9') return -1;
    v = v * 10 + (b[i] - '0');
  }
  return v;
}

bool parseDate(const QByteArray& s, QDateTime& out) {
  const QByteArray t = s.trimmed();
  // The common form, YYYY-MM-DDTHH:MM:SSZ, parsed directly.
  const char* c = t.constData();
  if (t.size() == 20 && c[4] == '-' && c[7] == '-' && c[10] == 'T' && c[13] == ':' && c[16] == ':' &&
      c[19] == 'Z') {
    const int y = digits(c, 4), mo = digits(c + 5, 2), d = digits(c + 8, 2);
    const int h = digits(c + 11, 2), mi = digits(c + 14, 2), se = digits(c + 17, 2);
    if (y >= 0 && mo >= 1 && mo <= 12 && d >= 1 && d <= 31 && h >= 0 && h < 24 && mi >= 0 && mi < 60 &&
        se >= 0 && se < 61) {
      const qint64 secs = daysFromCivil(y, unsigned(mo), unsigned(d)) * 86400 + h * 3600 + mi * 60 + se;
      out = QDateTime::fromSecsSinceEpoch(secs, Qt::UTC);
      return true;
    }
  }
  QDateTime parsed = QDateTime::fromString(QString::fromLatin1(t), Qt::ISODate);
  if (!parsed.isValid()) return false;
  out = parsed.toUTC();
  return true;
}

bool Reader::scalar(const Tag& tag, PlistValue& value) {
  const QByteArray& n = tag.name;
  if (tag.kind == Kind::True || tag.kind == Kind::False) {
    if (!tag.empty) {
      QByteArray ignored;
      if (!readText(n, ignored)) return false;
    }
    value = PlistValue(tag.kind == Kind::True);
    return true;
  }
  if (tag.kind == Kind::String && !tag.empty) {
    QString plain;
    if (plainString(tag, plain)) {
      value = PlistValue(std::move(plain));
      return true;
    }
  }
  QByteArray text;
  if (!tag.empty && !readText(n, text)) return false;
  if (tag.kind == Kind::String || tag.kind == Kind::Key) {
    value = PlistValue(QString::fromUtf8(text));
    return true;
  }
  if (tag.kind == Kind::Integer) {
    const QByteArray t = text.trimmed();
    const char* b = t.constData();
    const char* e = b + t.size();
    bool negative = false;
    if (b < e && (*b == '-' || *b == '+')) negative = *b++ == '-';
    int base = 10;
    if (e - b > 2 && b[0] == '0' && (b[1] == 'x' || b[1] == 'X')) {
      b += 2;
      base = 16;
    }
    quint64 u = 0;
    auto r = std::from_chars(b, e, u, base);
    if (r.ec != std::errc() || r.ptr != e || b == e) return fail("bad integer");
    value = PlistValue(negative ? qint64(0 - u) : qint64(u));
    return true;
  }
  if (tag.kind == Kind::Real) {
    const QByteArray t = text.trimmed().toLower();
    double d = 0;
    if (t == "nan") d = std::numeric_limits<double>::quiet_NaN();
    else if (t == "inf" || t == "+inf" || t == "infinity" || t == "+infinity") d = HUGE_VAL;
    else if (t == "-inf" || t == "-infinity") d = -HUGE_VAL;
    else {
      const char* b = t.constData();
      if (t.startsWith('+')) ++b;
      auto r = std::from_chars(b, t.constData() + t.size(), d);
      if (r.ec != std::errc() || r.ptr != t.constData() + t.size() || t.isEmpty())
        return fail("bad real");
    }
    value = PlistValue(d);
    return true;
  }
  if (tag.kind == Kind::Date) {
    QDateTime d;
    if (!parseDate(text, d)) return fail("bad date");
    value = PlistValue(d);
    return true;
  }
  if (tag.kind == Kind::Data) {
    QByteArray clean;
    clean.reserve(text.size());
    for (char c : text)
      if (c != ' ' && c != '\t' && c != '\n' && c != '\r') clean.append(c);
    auto decoded = QByteArray::fromBase64Encoding(clean, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return fail("bad data");
    value = PlistValue(std::move(*decoded));
    return true;
  }
  return fail("unknown element");
}

// Text without references, comments or CDATA up to its closing tag, the
// common case, converted straight from the file's bytes.
std::optional<QByteArrayView> Reader::plainText(const Tag& tag) {
  const char* lt = static_cast<const char*>(memchr(p_, '<', size_t(end_ - p_)));
  if (!lt || memchr(p_, '&', size_t(lt - p_))) return std::nullopt;
  const qsizetype n = tag.name.size();
  if (end_ - lt < n + 3 || lt[1] != '/' || memcmp(lt + 2, tag.name.constData(), size_t(n)) != 0 ||
      lt[2 + n] != '>')
    return std::nullopt;
  const QByteArrayView text(p_, lt - p_);
  p_ = lt + n + 3;
  return text;
}

bool Reader::plainString(const Tag& tag, QString& out) {
  const auto text = plainText(tag);
  if (!text) return false;
  out = QString::fromUtf8(*text);
  return true;
}

QString Reader::key(const QByteArray& text) {
  const auto it = keys_.constFind(text);
  if (it != keys_.cend()) return *it;
  QString k = QString::fromUtf8(text);
  // Bounded: a file of a million distinct keys must not grow this too.
  // A deep copy: text may point into the file's bytes.
  if (keys_.size() < 512) keys_.insert(QByteArray(text.constData(), text.size()), k);
  return k;
}

std::optional<PlistValue> Reader::run(QString* error) {
  std::vector<Frame> stack;
  std::optional<PlistValue> root;
  bool insidePlist = false;

  // Hands a finished value to the container being built, or makes it the root.
  auto deliver = [&](PlistValue v) -> bool {
    if (stack.empty()) {
      root = std::move(v);
      return true;
    }
    Frame& f = stack.back();
    if (!f.isDict) {
      // An element of an array under the root dictionary: the caller may take it.
      if (take_ && stack.size() == 2 && stack.front().isDict && stack.front().haveKey &&
          (*take_)(stack.front().key, v))
        return true;
      f.array.push_back(std::move(v));
      return true;
    }
    if (!f.haveKey) return fail("dictionary value without a key");
    f.dict.insert(f.key, std::move(v));
    f.haveKey = false;
    return true;
  };

  bool ok = true;
  while (ok && !root) {
    Tag tag;
    if (!nextTag(tag)) {
      ok = false;
      break;
    }
    if (tag.kind == Kind::Plist) {
      if (tag.closing || tag.empty || insidePlist || !stack.empty()) {
        ok = fail("misplaced plist element");
        break;
      }
      insidePlist = true;
      continue;
    }
    if (tag.kind == Kind::Dict || tag.kind == Kind::Array) {
      const bool isDict = tag.kind == Kind::Dict;
      if (tag.closing) {
        if (stack.empty() || stack.back().isDict != isDict) {
          ok = fail("mismatched element");
          break;
        }
        Frame f = std::move(stack.back());
        stack.pop_back();
        if (f.haveKey) {
          ok = fail("key without a value");
          break;
        }
        ok = isDict ? deliver(std::move(f.dict)) : deliver(std::move(f.array));
        continue;
      }
      if (tag.empty) {
        ok = isDict ? deliver(PlistDict{}) : deliver(PlistArray{});
        continue;
      }
      if (int(stack.size()) >= kMaxDepth) {
        ok = fail("nested too deeply");
        break;
      }
      stack.push_back(Frame{isDict, {}, {}, {}, false});
      continue;
    }
    if (tag.closing) {
      ok = fail("mismatched element");
      break;
    }
    if (tag.kind == Kind::Key) {
      if (stack.empty() || !stack.back().isDict || stack.back().haveKey) {
        ok = fail("misplaced key");
        break;
      }
      QByteArray text;
      if (!tag.empty) {
        if (const auto plain = plainText(tag)) {
          text = QByteArray::fromRawData(plain->data(), plain->size());
        } else if (!readText(tag.name, text)) {
          ok = false;
          break;
        }
      }
      stack.back().key = key(text);
      stack.back().haveKey = true;
      continue;
    }
    PlistValue v;
    ok = scalar(tag, v) && deliver(std::move(v));
  }
  if (ok && insidePlist) {
    Tag tag;
    ok = nextTag(tag) && tag.closing && tag.kind == Kind::Plist;
    if (!ok) fail("missing </plist>");
  }
  if (!ok || !root) {
    if (error) *error = error_.isEmpty() ? QStringLiteral("not a property list") : error_;
    return std::nullopt;
  }
  return root;
}

}  // namespace

std::optional<PlistValue> read(const QByteArray& bytes, QString* error, const RootArrayItem* take) {
  return Reader(bytes, take).run(error);
}

namespace {

void writeDocument(QByteArray& out, const PlistValue& value, Sink* sink) {
  appendPrologue(out);
  writeValue(out, value, 0, sink);
  appendEpilogue(out);
}

}  // namespace

void appendPrologue(QByteArray& out) {
  out.append(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
      "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
      "<plist version=\"1.0\">\n");
}

void appendKey(QByteArray& out, const QString& key, int depth) {
  indent(out, depth);
  out.append("<key>");
  escapeInto(out, key);
  out.append("</key>\n");
}

void appendValue(QByteArray& out, const PlistValue& value, int depth) { writeValue(out, value, depth); }

void appendEpilogue(QByteArray& out) { out.append("</plist>\n"); }

QByteArray write(const PlistValue& value) {
  QByteArray out;
  out.reserve(1 << 16);
  writeDocument(out, value, nullptr);
  return out;
}

bool write(const PlistValue& value, QIODevice* device) {
  constexpr qsizetype kChunk = 64 * 1024;
  Sink sink{device, kChunk};
  QByteArray out;
  out.reserve(kChunk * 2);
  writeDocument(out, value, &sink);
  sink.flush(out, 1);
  return sink.ok;
}

}  // namespace ql::plist::xml
