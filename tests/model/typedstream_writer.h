#pragma once

// Writes typedstream archives the way the old NeXT archiver lays them out,
// so tests can build rich text that no fixture holds (images, tabs, links).

#include "support/flat_wrapper.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace testing_ts {

inline void appendU32(QByteArray& b, quint32 v) {
  char c[4];
  qToLittleEndian(v, c);
  b.append(c, 4);
}

class Writer {
 public:
  explicit Writer(bool bigEndian = false) : big_(bigEndian) {
    out_.append(char(4));
    integer(11);
    out_.append(big_ ? "typedstream" : "streamtyped");
    integer(1000);
  }

  const QByteArray& bytes() const { return out_; }

  void integer(qint64 v) {
    if (v >= -110 && v <= 127) {
      out_.append(char(v));
    } else if (v >= -32768 && v <= 32767) {
      out_.append(char(0x81));
      fixed(quint64(quint16(v)), 2);
    } else {
      out_.append(char(0x82));
      fixed(quint64(quint32(v)), 4);
    }
  }

  void real(float f) {
    if (f == float(qint64(f)) && f >= -110 && f <= 30000) {
      integer(qint64(f));  // the archiver writes integral floats as integers
      return;
    }
    quint32 bits;
    std::memcpy(&bits, &f, 4);
    out_.append(char(0x83));
    fixed(bits, 4);
  }

  void raw(char c) { out_.append(c); }
  void typed(const QByteArray& encoding, char c) {
    type(encoding);
    raw(c);
  }
  void rawBytes(const QByteArray& b) { out_.append(b); }

  // A shared string: new ("84", length, bytes) or a reference.
  void shared(const QByteArray& s) {
    if (strings_.contains(s)) {
      integer(strings_.value(s));
      return;
    }
    strings_.insert(s, nextString_++);
    out_.append(char(0x84));
    integer(s.size());
    out_.append(s);
  }

  // A value group starts with its type encoding.
  void type(const QByteArray& encoding) { shared(encoding); }

  // "84", the class chain (most derived first, with versions), and the
  // object's number; the caller writes its groups, then end().
  void beginObject(const std::vector<std::pair<QByteArray, int>>& chain) {
    out_.append(char(0x84));
    ++nextObject_;  // the object is numbered before its classes
    writeClass(chain, 0);
  }
  // A "@" group holding a new object.
  void object(const std::vector<std::pair<QByteArray, int>>& chain) {
    type("@");
    beginObject(chain);
  }
  void end() { out_.append(char(0x86)); }
  void reference(int label) { integer(label); }

  // Common objects, each as one "@" group.
  void string(const QString& s) {
    object({{"NSString", 1}, {"NSObject", 0}});
    type("+");
    const QByteArray utf8 = s.toUtf8();
    integer(utf8.size());
    out_.append(utf8);
    end();
  }

  // A key written once and referred to afterwards, as the archiver does
  // with the constant attribute names.
  void key(const QString& name) {
    if (keys_.contains(name)) {
      type("@");
      reference(keys_.value(name));
      return;
    }
    string(name);
    keys_.insert(name, lastObjectStart_);
  }

  void number(qint64 v) {
    object({{"NSNumber", 0}, {"NSValue", 0}, {"NSObject", 0}});
    type("*");
    out_.append(char(0x84));
    ++nextObject_;
    shared("i");
    type("i");
    integer(v);
    end();
  }

  void data(const QByteArray& bytes) {
    object({{"NSMutableData", 0}, {"NSData", 0}, {"NSObject", 0}});
    type("i");
    integer(bytes.size());
    type("[" + QByteArray::number(bytes.size()) + "c]");
    out_.append(bytes);
    end();
  }

 private:
  void writeClass(const std::vector<std::pair<QByteArray, int>>& chain, size_t i) {
    if (i == 0) lastObjectStart_ = nextObject_ - 1;
    if (i >= chain.size()) {
      out_.append(char(0x85));
      return;
    }
    if (classes_.contains(chain[i].first)) {
      integer(classes_.value(chain[i].first));
      return;
    }
    out_.append(char(0x84));
    classes_.insert(chain[i].first, nextObject_++);
    shared(chain[i].first);
    integer(chain[i].second);
    writeClass(chain, i + 1);
  }

  void fixed(quint64 v, int n) {
    for (int k = 0; k < n; ++k) {
      const int shift = 8 * (big_ ? n - 1 - k : k);
      out_.append(char((v >> shift) & 0xFF));
    }
  }

  bool big_ = false;
  QByteArray out_;
  QHash<QByteArray, int> strings_;
  QHash<QByteArray, int> classes_;
  QHash<QString, int> keys_;
  int nextString_ = -110;
  int nextObject_ = -110;
  int lastObjectStart_ = -110;
};

// One run of an attributed string and what it carries.
struct ArchiveRun {
  int length = 0;
  QString font{};  // PostScript name; empty: no font attribute
  float size = 12;
  std::optional<std::array<float, 3>> color{};
  std::optional<std::array<float, 3>> background{};
  std::optional<int> alignment{};  // NSTextAlignment
  QList<float> tabs{};             // left tab stops, points
  bool underline = false;
  QString link{};
  QByteArray attachment{};  // the file's bytes; empty: none
  QString attachmentName{};
  bool flatWrapper = true;  // the file as a serialized wrapper (else raw bytes)
};

// An attachment's flat file wrapper with the payload at 4096, as observed.
inline QByteArray flatFileWrapper(const QByteArray& contents, const QString& name) {
  using namespace test::flat;
  const qsizetype at = flat(attachmentDirectory(contents, name.toUtf8(), 0)).indexOf(contents);
  return flat(attachmentDirectory(contents, name.toUtf8(), quint32(4096 - at)));
}

// An NSAttributedString archive of text with the given runs; runs with equal
// attributes share one attribute set, as the archiver writes them.
inline QByteArray attributedString(const QString& text, const std::vector<ArchiveRun>& runs,
                                   bool mutableString = false, bool bigEndian = false) {
  Writer w(bigEndian);
  using Chain = std::vector<std::pair<QByteArray, int>>;
  w.object(mutableString ? Chain{{"NSMutableAttributedString", 0}, {"NSAttributedString", 0}, {"NSObject", 0}}
                         : Chain{{"NSAttributedString", 0}, {"NSObject", 0}});
  w.string(text);
  QList<int> setOfRun;
  for (size_t i = 0; i < runs.size(); ++i) {
    const ArchiveRun& r = runs[i];
    int set = -1;
    for (size_t j = 0; j < i && set < 0; ++j) {
      const ArchiveRun& o = runs[j];
      if (o.font == r.font && o.size == r.size && o.color == r.color && o.alignment == r.alignment &&
          o.attachment == r.attachment && o.underline == r.underline && o.link == r.link)
        set = setOfRun[int(j)];
    }
    const bool fresh = set < 0;
    if (fresh) set = setOfRun.isEmpty() ? 1 : *std::max_element(setOfRun.begin(), setOfRun.end()) + 1;
    setOfRun.append(set);
    w.type("iI");
    w.integer(set);
    w.integer(r.length);
    if (!fresh) continue;
    int count = 0;
    count += !r.font.isEmpty();
    count += bool(r.color) + bool(r.background) + bool(r.alignment) + r.underline;
    count += !r.link.isEmpty() + !r.attachment.isEmpty();
    w.object({{"NSDictionary", 0}, {"NSObject", 0}});
    w.type("i");
    w.integer(count);
    if (!r.font.isEmpty()) {
      w.key("NSFont");
      w.object({{"NSFont", 30}, {"NSObject", 0}});
      QByteArray name;
      QByteArray utf16("\xff\xfe", 2);
      for (QChar ch : r.font) {
        utf16.append(char(ch.unicode() & 0xFF));
        utf16.append(char(ch.unicode() >> 8));
      }
      appendU32(name, 6);
      appendU32(name, quint32(utf16.size()));
      name.append(utf16);
      while (name.size() % 4) name.append('\0');
      w.type("i");
      w.integer(name.size());
      w.type("[" + QByteArray::number(name.size()) + "c]");
      w.rawBytes(name);
      w.type("f");
      w.real(r.size);
      for (char flag : {0, 1, 0, 0}) w.typed("c", flag);
      w.end();
    }
    auto color = [&](const char* key, const std::array<float, 3>& c) {
      w.key(key);
      w.object({{"NSColor", 0}, {"NSObject", 0}});
      w.typed("c", 1);
      w.type("ffff");
      for (float f : c) w.real(f);
      w.real(1);
      w.end();
    };
    if (r.color) color("NSColor", *r.color);
    if (r.background) color("NSBackgroundColor", *r.background);
    if (r.alignment) {
      w.key("NSParagraphStyle");
      w.object({{"NSMutableParagraphStyle", 0}, {"NSParagraphStyle", 0}, {"NSObject", 0}});
      w.type("CC@S");
      w.raw(char(*r.alignment));
      w.raw(0);
      w.beginObject({{"NSArray", 0}, {"NSObject", 0}});
      w.type("i");
      w.integer(r.tabs.size());
      for (float t : r.tabs) {
        w.object({{"NSTextTab", 0}, {"NSObject", 0}});
        w.type("Cf");
        w.raw(0);
        w.real(t);
        w.end();
      }
      w.end();
      w.integer(0x0800);
      w.type("[1f]");
      w.real(0.05f);
      w.end();
    }
    if (r.underline) {
      w.key("NSUnderline");
      w.number(1);
    }
    if (!r.link.isEmpty()) {
      w.key("NSLink");
      w.object({{"NSURL", 0}, {"NSObject", 0}});
      w.typed("c", 0);
      w.string(r.link);
      w.end();
    }
    if (!r.attachment.isEmpty()) {
      w.key("NSAttachment");
      w.object({{"NSTextAttachment", 0}, {"NSObject", 0}});
      w.type("c@");
      w.raw(0);
      w.beginObject({{"NSFileWrapper", 46}, {"NSObject", 0}});
      w.data(r.flatWrapper ? flatFileWrapper(r.attachment, r.attachmentName) : r.attachment);
      w.end();
      w.end();
    }
    w.end();  // dictionary
  }
  w.end();  // attributed string
  return w.bytes();
}

}  // namespace testing_ts
