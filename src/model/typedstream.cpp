#include "model/typedstream.h"

#include <QtEndian>

#include <cstring>

namespace ql::typedstream {

namespace {

// Head bytes, read as signed values.
constexpr qint8 kTagInt16 = qint8(0x81);
constexpr qint8 kTagInt32 = qint8(0x82);
constexpr qint8 kTagReal = qint8(0x83);
constexpr qint8 kTagNew = qint8(0x84);
constexpr qint8 kTagNil = qint8(0x85);
constexpr qint8 kTagEnd = qint8(0x86);
constexpr qint8 kTagInt64 = qint8(0x87);
// The lowest head byte that is a plain one-byte integer; the bytes from 0x80
// up to here are tags.
constexpr qint8 kSmallestPlain = qint8(0x92);
// Labels of both reference tables start at 0x92 read as a signed byte.
constexpr qint64 kFirstLabel = -110;

// Nesting of objects, structures and arrays; real archives stay far below.
constexpr int kMaxDepth = 64;
// Longest class chain.
constexpr int kMaxChain = 32;
// Values of one archive: rich text holds hundreds; this bounds the memory a
// hostile archive can make the decoder use.
constexpr qint64 kMaxValues = 1000000;

// A parsed type encoding ("iI", "@", "[3f]", "{_NSRange=II}").
struct Type {
  char code = 0;
  qint64 count = 0;         // arrays
  std::vector<Type> parts;  // the element of an array, the fields of a structure
};

class Failure {
 public:
  explicit Failure(const char* why) : why(why) {}
  const char* why;
};

}  // namespace

class Decoder {
 public:
  explicit Decoder(const QByteArray& data, Archive& archive) : data_(data), archive_(archive) {}

  void run() {
    header();
    while (at_ < data_.size()) group(archive_.roots_, 0);
  }

 private:
  // One entry of the object table: an object, a class or a C string.
  struct Entry {
    enum class Kind { Object, Class, CString } kind = Kind::Object;
    int object = -1;    // Object and Class: index into the archive's objects
    QByteArray string;  // CString
  };

  void header() {
    const qint8 version = head();
    if (version != 3 && version != 4) throw Failure("unknown streamer version");
    const QByteArray signature = bytes(length(head()));
    if (signature == "streamtyped") {
      bigEndian_ = false;
    } else if (signature == "typedstream") {
      bigEndian_ = true;
    } else {
      throw Failure("not a typedstream");
    }
    integer(head());  // system version
  }

  // A group: a type encoding, then one value per type in it.
  void group(std::vector<Value>& out, int depth) {
    if (depth > kMaxDepth) throw Failure("nested too deeply");
    const std::optional<QByteArray> encoding = sharedString();
    if (!encoding || encoding->isEmpty()) throw Failure("group without a type");
    qsizetype pos = 0;
    std::vector<Type> types;
    while (pos < encoding->size()) types.push_back(parseType(*encoding, pos, 0));
    for (const Type& t : types) out.push_back(value(t, depth));
  }

  Type parseType(const QByteArray& e, qsizetype& pos, int depth) {
    if (depth > kMaxDepth) throw Failure("type nested too deeply");
    // Qualifiers (const, in, out, ...) say nothing about the bytes.
    while (pos < e.size() && std::strchr("rnNoORV", e[pos])) ++pos;
    if (pos >= e.size()) throw Failure("truncated type");
    Type t;
    t.code = e[pos++];
    if (t.code == '[') {
      while (pos < e.size() && e[pos] >= '0' && e[pos] <= '9') {
        t.count = t.count * 10 + (e[pos++] - '0');
        if (t.count > data_.size()) throw Failure("array larger than the archive");
      }
      t.parts.push_back(parseType(e, pos, depth + 1));
      if (pos >= e.size() || e[pos++] != ']') throw Failure("unterminated array type");
    } else if (t.code == '{') {
      const qsizetype eq = e.indexOf('=', pos);
      const qsizetype close = e.indexOf('}', pos);
      if (close < 0) throw Failure("unterminated structure type");
      if (eq >= 0 && eq < close) pos = eq + 1;
      while (pos < e.size() && e[pos] != '}') t.parts.push_back(parseType(e, pos, depth + 1));
      if (pos >= e.size()) throw Failure("unterminated structure type");
      ++pos;
    } else if (!std::strchr("cCBsSiIlLqQfd@#*%:+", t.code)) {
      throw Failure("unsupported type");
    }
    return t;
  }

  Value value(const Type& t, int depth) {
    if (++values_ > kMaxValues) throw Failure("too many values");
    Value v;
    v.type = t.code;
    switch (t.code) {
      case 'c':
        v.kind = Value::Kind::Integer;
        v.integer = qint8(byte());
        break;
      case 'C':
      case 'B':
        v.kind = Value::Kind::Integer;
        v.integer = quint8(byte());
        break;
      case 's':
      case 'i':
      case 'l':
      case 'q':
        v.kind = Value::Kind::Integer;
        v.integer = integer(head());
        break;
      case 'S':
        v.kind = Value::Kind::Integer;
        v.integer = quint16(integer(head()));
        break;
      case 'I':
      case 'L':
        v.kind = Value::Kind::Integer;
        v.integer = quint32(integer(head()));
        break;
      case 'Q':
        v.kind = Value::Kind::Integer;
        v.integer = integer(head());
        break;
      case 'f':
      case 'd':
        v.kind = Value::Kind::Real;
        v.real = real(t.code == 'd');
        break;
      case '+':
        v.kind = Value::Kind::Bytes;
        v.bytes = bytes(length(head()));
        break;
      case '*':
      case '%':
      case ':':
        cString(v);
        break;
      case '@':
        objectValue(v, depth);
        break;
      case '#': {
        const int cls = classChain(0);
        if (cls >= 0) {
          v.kind = Value::Kind::Object;
          v.object = cls;
        }
        break;
      }
      case '[':
        array(t, v, depth);
        break;
      case '{':
        v.kind = Value::Kind::List;
        for (const Type& part : t.parts) v.items.push_back(value(part, depth + 1));
        break;
      default:
        throw Failure("unsupported type");
    }
    return v;
  }

  void array(const Type& t, Value& v, int depth) {
    const char element = t.parts.front().code;
    // Every element takes at least one byte.
    if (t.count > data_.size() - at_) throw Failure("array past the end");
    if (element == 'c' || element == 'C' || element == 'B') {
      v.kind = Value::Kind::Bytes;
      v.bytes = bytes(t.count);
      return;
    }
    v.kind = Value::Kind::List;
    for (qint64 i = 0; i < t.count; ++i) v.items.push_back(value(t.parts.front(), depth + 1));
  }

  // A C string: nil, a new entry of the object table holding a shared
  // string, or a reference to one.
  void cString(Value& v) {
    const qint8 h = head();
    if (h == kTagNil) return;
    if (h == kTagNew) {
      const std::optional<QByteArray> s = sharedString();
      entries_.push_back(Entry{Entry::Kind::CString, -1, s.value_or(QByteArray())});
      v.kind = Value::Kind::Bytes;
      v.bytes = entries_.back().string;
      return;
    }
    const Entry& e = entry(h);
    if (e.kind != Entry::Kind::CString) throw Failure("C string refers to an object");
    v.kind = Value::Kind::Bytes;
    v.bytes = e.string;
  }

  void objectValue(Value& v, int depth) {
    if (depth > kMaxDepth) throw Failure("nested too deeply");
    const qint8 h = head();
    if (h == kTagNil) return;
    v.kind = Value::Kind::Object;
    if (h != kTagNew) {
      const Entry& e = entry(h);
      if (e.kind == Entry::Kind::CString) throw Failure("object refers to a C string");
      v.object = e.object;
      return;
    }
    // The object takes its number before its class chain is read.
    const int index = int(archive_.objects_.size());
    archive_.objects_.emplace_back();
    entries_.push_back(Entry{Entry::Kind::Object, index, {}});
    v.object = index;
    const int cls = classChain(0);
    if (cls < 0) throw Failure("object without a class");
    {
      const Object& c = archive_.objects_[size_t(cls)];
      Object& o = archive_.objects_[size_t(index)];
      o.classChain = c.classChain;
      o.versions = c.versions;
    }
    std::vector<Value> values;
    for (;;) {
      if (at_ >= data_.size()) throw Failure("object not terminated");
      if (qint8(data_[at_]) == kTagEnd) {
        ++at_;
        break;
      }
      group(values, depth + 1);
    }
    archive_.objects_[size_t(index)].values = std::move(values);
  }

  // Returns the object index of the class, or -1 for nil.
  int classChain(int links) {
    if (links > kMaxChain) throw Failure("class chain too long");
    const qint8 h = head();
    if (h == kTagNil) return -1;
    if (h != kTagNew) {
      const Entry& e = entry(h);
      if (e.kind != Entry::Kind::Class) throw Failure("class refers to an object");
      return e.object;
    }
    const int index = int(archive_.objects_.size());
    archive_.objects_.emplace_back();
    archive_.objects_.back().isClass = true;
    entries_.push_back(Entry{Entry::Kind::Class, index, {}});
    const std::optional<QByteArray> name = sharedString();
    if (!name) throw Failure("class without a name");
    const qint64 version = integer(head());
    const int super = classChain(links + 1);
    Object& c = archive_.objects_[size_t(index)];
    c.classChain = QStringList{QString::fromUtf8(*name)};
    c.versions = {int(version)};
    if (super >= 0) {
      const Object& s = archive_.objects_[size_t(super)];
      c.classChain += s.classChain;
      c.versions.insert(c.versions.end(), s.versions.begin(), s.versions.end());
    }
    return index;
  }

  std::optional<QByteArray> sharedString() {
    const qint8 h = head();
    if (h == kTagNil) return std::nullopt;
    if (h == kTagNew) {
      strings_.push_back(bytes(length(head())));
      return strings_.back();
    }
    const qint64 label = integer(h) - kFirstLabel;
    if (label < 0 || label >= qint64(strings_.size())) throw Failure("unknown shared string");
    return strings_[size_t(label)];
  }

  const Entry& entry(qint8 h) {
    const qint64 label = integer(h) - kFirstLabel;
    if (label < 0 || label >= qint64(entries_.size())) throw Failure("unknown object");
    return entries_[size_t(label)];
  }

  qint64 integer(qint8 h) {
    switch (h) {
      case kTagInt16: return qint16(fixed(2));
      case kTagInt32: return qint32(fixed(4));
      case kTagInt64: return qint64(fixed(8));
      default:
        if (h < kSmallestPlain) throw Failure("tag where a number belongs");
        return h;
    }
  }

  qint64 length(qint8 h) {
    const qint64 n = integer(h);
    if (n < 0 || n > data_.size() - at_) throw Failure("length past the end");
    return n;
  }

  double real(bool isDouble) {
    const qint8 h = head();
    if (h != kTagReal) return double(integer(h));
    if (isDouble) {
      const quint64 bits = fixed(8);
      double d;
      std::memcpy(&d, &bits, sizeof d);
      return d;
    }
    const quint32 bits = quint32(fixed(4));
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
  }

  // An unsigned integer of n bytes in the archive's byte order.
  quint64 fixed(int n) {
    if (data_.size() - at_ < n) throw Failure("truncated number");
    quint64 v = 0;
    for (int i = 0; i < n; ++i) {
      const quint64 b = quint8(data_[at_ + (bigEndian_ ? i : n - 1 - i)]);
      v = (v << 8) | b;
    }
    at_ += n;
    return v;
  }

  qint8 head() { return qint8(byte()); }

  char byte() {
    if (at_ >= data_.size()) throw Failure("truncated archive");
    return data_[at_++];
  }

  QByteArray bytes(qint64 n) {
    if (n < 0 || n > data_.size() - at_) throw Failure("truncated archive");
    QByteArray b = data_.mid(at_, n);
    at_ += n;
    return b;
  }

  const QByteArray& data_;
  Archive& archive_;
  qsizetype at_ = 0;
  bool bigEndian_ = false;
  std::vector<QByteArray> strings_;
  std::vector<Entry> entries_;
  qint64 values_ = 0;
};

std::optional<Archive> Archive::decode(const QByteArray& data, QString* error) {
  Archive archive;
  try {
    Decoder(data, archive).run();
  } catch (const Failure& f) {
    if (error) *error = QString::fromLatin1(f.why);
    return std::nullopt;
  }
  return archive;
}

const Object* Archive::object(const Value& value) const {
  if (value.kind != Value::Kind::Object || value.object < 0 ||
      value.object >= int(objects_.size()))
    return nullptr;
  return &objects_[size_t(value.object)];
}

}  // namespace ql::typedstream
