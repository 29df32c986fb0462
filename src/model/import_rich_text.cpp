#include "model/import_rich_text.h"

#include "content/text/file_wrapper.h"
#include "content/text/font_names.h"
#include "content/text/image_info.h"
#include "model/typedstream.h"

#include <QHash>
#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace ql {

namespace {

using typedstream::Archive;
using typedstream::Object;
using typedstream::Value;

// How far attribute values may nest (a named colour holding a colour, a
// file wrapper holding its data).
constexpr int kMaxNesting = 8;
// Objects visited while searching nested values, per archive: objects may
// refer to each other many times over, and a search must stay linear.
constexpr int kSearchBudget = 100000;

class ArchiveReader {
 public:
  explicit ArchiveReader(const Archive& archive) : archive_(archive) {}

  std::optional<AttributedText> attributedString(const Value& root) const {
    const Object* o = archive_.object(root);
    if (!o || !o->isKindOf(QStringLiteral("NSAttributedString")) || o->values.empty())
      return std::nullopt;
    const std::optional<QString> text = string(o->values[0], 0);
    if (!text) return std::nullopt;
    AttributedText result(*text);

    // Runs: attribute-set number and length; a set number seen for the first
    // time is followed by its dictionary.
    QHash<qint64, TextAttributes> sets;
    const std::vector<Value>& v = o->values;
    int position = 0;
    size_t i = 1;
    while (i + 1 < v.size() && v[i].kind == Value::Kind::Integer &&
           v[i + 1].kind == Value::Kind::Integer) {
      const qint64 set = v[i].integer;
      const qint64 length = v[i + 1].integer;
      i += 2;
      if (!sets.contains(set)) {
        TextAttributes attributes;
        if (i < v.size() && v[i].kind != Value::Kind::Integer) {
          attributes = dictionaryAttributes(v[i]);
          ++i;
        }
        sets.insert(set, attributes);
      }
      if (length <= 0 || position >= result.length()) continue;
      const int n = int(std::min<qint64>(length, result.length() - position));
      apply(result, position, n, sets.value(set));
      position += n;
    }
    return result;
  }

 private:
  // Sets the attributes of a run; an attachment goes only on the attachment
  // characters of the run.
  static void apply(AttributedText& text, int position, int length, TextAttributes attributes) {
    std::optional<TextAttachment> attachment = std::move(attributes.attachment);
    attributes.attachment.reset();
    text.setAttributes(position, length, attributes);
    if (!attachment) return;
    for (int k = position; k < position + length; ++k) {
      if (text.string().at(k) != QChar(AttributedText::kAttachmentCharacter)) continue;
      text.modifyAttributes(k, 1, [&](TextAttributes& a) { a.attachment = attachment; });
    }
  }

  TextAttributes dictionaryAttributes(const Value& dictionary) const {
    TextAttributes a;
    const Object* d = archive_.object(dictionary);
    if (!d || !d->isKindOf(QStringLiteral("NSDictionary"))) return a;
    // An "i" count, then keys and values alternating.
    size_t k = (!d->values.empty() && d->values[0].kind == Value::Kind::Integer) ? 1 : 0;
    for (; k + 1 < d->values.size(); k += 2) {
      const std::optional<QString> key = string(d->values[k], 0);
      if (key) attribute(a, *key, d->values[k + 1]);
    }
    return a;
  }

  void attribute(TextAttributes& a, const QString& key, const Value& value) const {
    if (key == QLatin1String("NSFont")) {
      font(a, value);
    } else if (key == QLatin1String("NSColor")) {
      a.foreground = color(value, 0);
    } else if (key == QLatin1String("NSBackgroundColor")) {
      a.background = color(value, 0);
    } else if (key == QLatin1String("NSParagraphStyle")) {
      paragraph(a, value);
    } else if (key == QLatin1String("NSUnderline")) {
      if (auto n = number(value)) a.underline = *n != 0;
    } else if (key == QLatin1String("NSStrikethrough")) {
      if (auto n = number(value)) a.strikethrough = *n != 0;
    } else if (key == QLatin1String("NSLink")) {
      if (auto link = string(value, 0)) a.link = *link;
    } else if (key == QLatin1String("NSAttachment")) {
      a.attachment = attachment(value);
    }
  }

  // NSFont: the name as an old binary string in bytes, then the size.
  void font(TextAttributes& a, const Value& value) const {
    const Object* f = archive_.object(value);
    if (!f || !f->isKindOf(QStringLiteral("NSFont"))) return;
    QString name;
    bool sized = false;
    for (const Value& v : f->values) {
      if (name.isEmpty() && v.kind == Value::Kind::Bytes) {
        name = binaryString(v.bytes);
      } else if (name.isEmpty() && v.kind == Value::Kind::Object) {
        if (auto s = string(v, 0)) name = *s;
      } else if (!name.isEmpty() && !sized && (v.type == 'f' || v.type == 'd')) {
        if (v.number() > 0 && v.number() < 10000) a.pointSize = v.number();
        sized = true;
      }
    }
    if (name.isEmpty()) return;
    const FontFace face = fontFaceFromName(name);
    if (!face.family.isEmpty()) a.fontFamily = face.family;
    a.bold = face.bold;
    a.italic = face.italic;
  }

  // u32 encoding (6: UTF-16 with a byte-order mark), u32 length, the bytes.
  QString binaryString(const QByteArray& b) const {
    if (b.size() < 8) return QString::fromUtf8(b).remove(QChar(0));
    const quint32 encoding = qFromLittleEndian<quint32>(b.constData());
    const quint32 length = qFromLittleEndian<quint32>(b.constData() + 4);
    const QByteArray body = b.mid(8, qsizetype(std::min<quint32>(length, quint32(b.size() - 8))));
    if (encoding == 6) {
      QStringDecoder decode(QStringDecoder::Utf16);  // follows the byte-order mark
      return QString(decode(body)).remove(QChar(0));
    }
    return QString::fromUtf8(body).remove(QChar(0));
  }

  // NSColor: a kind, then its components.
  std::optional<TextColor> color(const Value& value, int nesting) const {
    const Object* c = archive_.object(value);
    if (!c || nesting > kMaxNesting || --budget_ < 0 || !c->isKindOf(QStringLiteral("NSColor")) ||
        c->values.empty() || !c->values[0].isNumber())
      return std::nullopt;
    std::vector<double> f;
    for (size_t i = 1; i < c->values.size(); ++i)
      if (c->values[i].type == 'f' || c->values[i].type == 'd') f.push_back(c->values[i].number());
    const auto channel = [](double x) { return quint8(std::lround(std::clamp(x, 0.0, 1.0) * 255)); };
    switch (int(c->values[0].integer)) {
      case 1:
      case 2:
        if (f.size() < 3) return std::nullopt;
        return TextColor{channel(f[0]), channel(f[1]), channel(f[2])};
      case 3:
      case 4:
        if (f.empty()) return std::nullopt;
        return TextColor{channel(f[0]), channel(f[0]), channel(f[0])};
      case 5: {
        if (f.size() < 4) return std::nullopt;
        const double k = f[3];
        return TextColor{channel((1 - f[0]) * (1 - k)), channel((1 - f[1]) * (1 - k)),
                         channel((1 - f[2]) * (1 - k))};
      }
      default:
        // A named colour may carry the colour it stood for.
        for (const Value& v : c->values)
          if (auto inner = color(v, nesting + 1)) return inner;
        return std::nullopt;
    }
  }

  // NSParagraphStyle: alignment, a second byte, the tab stops, then values
  // whose meaning is not known.
  void paragraph(TextAttributes& a, const Value& value) const {
    const Object* p = archive_.object(value);
    if (!p || !p->isKindOf(QStringLiteral("NSParagraphStyle")) || p->values.empty()) return;
    switch (p->values[0].integer) {
      case 0: a.alignment = TextAlignment::Left; break;
      case 1: a.alignment = TextAlignment::Right; break;
      case 2: a.alignment = TextAlignment::Center; break;
      case 3: a.alignment = TextAlignment::Justified; break;
      default: a.alignment = TextAlignment::Natural; break;
    }
    for (const Value& v : p->values) {
      const Object* tabs = archive_.object(v);
      if (!tabs || !tabs->isKindOf(QStringLiteral("NSArray"))) continue;
      QList<int> stops;
      for (const Value& item : tabs->values) {
        const Object* tab = archive_.object(item);
        if (!tab || !tab->isKindOf(QStringLiteral("NSTextTab")) || tab->values.size() < 2) continue;
        // Left tabs only; the location is in points.
        if (tab->values[0].integer != 0 || !tab->values[1].isNumber()) continue;
        const double twips = tab->values[1].number() * 20;
        if (twips >= 0 && twips < 1e7) stops.append(int(std::lround(twips)));
      }
      std::sort(stops.begin(), stops.end());
      stops.erase(std::unique(stops.begin(), stops.end()), stops.end());
      a.tabStops = stops;
      break;
    }
  }

  // NSTextAttachment: a flag, then an NSFileWrapper holding the file, itself
  // serialized as a flat file wrapper in an NSData.
  std::optional<TextAttachment> attachment(const Value& value) const {
    const Object* t = archive_.object(value);
    if (!t || !t->isKindOf(QStringLiteral("NSTextAttachment"))) return std::nullopt;
    const QByteArray* data = findData(*t, 0);
    if (!data || data->isEmpty()) return std::nullopt;
    TextAttachment file;
    file.contents = *data;
    if (data->startsWith("rtfd")) {
      if (std::optional<FileWrapper> w = parseFileWrapper(*data, 8)) unwrap(*w, file);
    }
    if (file.fileName.isEmpty()) file.fileName = defaultName(file.contents);
    return file;
  }

  // The file inside a serialized wrapper and the name it was saved under.
  static void unwrap(const FileWrapper& w, TextAttachment& file) {
    const QByteArray* bytes = w.regularFileContents();
    QString name;
    if (!bytes) {
      const auto files = w.files();
      if (files.empty()) return;
      bytes = files.front().second;
      name = files.front().first;
    }
    for (size_t i = 0; i < w.children.size() && i < w.childNames.size(); ++i) {
      const QString& child = w.childNames[i];
      if (w.children[i].isDirectory) continue;
      if (child == QLatin1String("__@UTF8PreferredName@__"))
        name = QString::fromUtf8(w.children[i].contents);
      else if (child == QLatin1String("__@PreferredName@__") && name.isEmpty())
        name = QString::fromLatin1(w.children[i].contents);
    }
    file.contents = *bytes;
    name = name.section(QLatin1Char('/'), -1).remove(QChar(0)).trimmed();
    if (!name.isEmpty()) file.fileName = name;
  }

  static QString defaultName(const QByteArray& contents) {
    const QString mime = imageInfo(contents).mimeType;
    QString ext = mime.section(QLatin1Char('/'), 1);
    if (ext == QLatin1String("jpeg")) ext = QStringLiteral("jpg");
    return ext.isEmpty() ? QStringLiteral("Attachment") : QStringLiteral("Attachment.") + ext;
  }

  // The bytes of the first NSData found in an object's values.
  const QByteArray* findData(const Object& o, int nesting) const {
    if (nesting > kMaxNesting || --budget_ < 0) return nullptr;
    if (o.isKindOf(QStringLiteral("NSData"))) {
      for (const Value& v : o.values)
        if (v.kind == Value::Kind::Bytes) return &v.bytes;
      return nullptr;
    }
    for (const Value& v : o.values)
      if (const Object* inner = archive_.object(v))
        if (const QByteArray* found = findData(*inner, nesting + 1)) return found;
    return nullptr;
  }

  // NSString (UTF-8 bytes), NSURL and the like (their first string).
  std::optional<QString> string(const Value& value, int nesting) const {
    if (value.kind == Value::Kind::Bytes) return QString::fromUtf8(value.bytes);
    const Object* o = archive_.object(value);
    if (!o || o->isClass || nesting > kMaxNesting || --budget_ < 0) return std::nullopt;
    if (o->isKindOf(QStringLiteral("NSString"))) {
      for (const Value& v : o->values)
        if (v.kind == Value::Kind::Bytes) return QString::fromUtf8(v.bytes);
      return QString();
    }
    for (const Value& v : o->values)
      if (auto s = string(v, nesting + 1)) return s;
    return std::nullopt;
  }

  // NSNumber: a type code, then the value.
  std::optional<double> number(const Value& value) const {
    if (value.isNumber()) return value.number();
    const Object* o = archive_.object(value);
    if (!o) return std::nullopt;
    for (auto it = o->values.rbegin(); it != o->values.rend(); ++it)
      if (it->isNumber()) return it->number();
    return std::nullopt;
  }

  const Archive& archive_;
  mutable int budget_ = kSearchBudget;
};

}  // namespace

std::optional<AttributedText> attributedTextFromArchive(const QByteArray& typedstream) {
  const std::optional<Archive> archive = Archive::decode(typedstream);
  if (!archive || archive->roots().empty()) return std::nullopt;
  return ArchiveReader(*archive).attributedString(archive->roots().front());
}

}  // namespace ql
