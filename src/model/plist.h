#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>

#include <functional>
#include <optional>
#include <variant>
#include <vector>

class QIODevice;

namespace ql {

class PlistValue;

// A property-list dictionary that keeps its keys in insertion order, so files
// are written in the order the records list their fields.
class PlistDict {
 public:
  int size() const { return int(keys_.size()); }
  bool isEmpty() const { return keys_.empty(); }
  bool contains(const QString& key) const { return indexOf(key) >= 0; }
  // The value under key, or nullptr.
  const PlistValue* value(const QString& key) const;
  // The same for a key spelt in the code, with no string made for it.
  const PlistValue* value(QLatin1StringView key) const;
  // Sets key; an existing key keeps its position.
  void insert(const QString& key, PlistValue value);
  void remove(const QString& key);

  const QString& keyAt(int i) const { return keys_[size_t(i)]; }
  const PlistValue& valueAt(int i) const;
  const std::vector<QString>& keys() const { return keys_; }

  bool operator==(const PlistDict& other) const;

 private:
  int indexOf(const QString& key) const;

  std::vector<QString> keys_;
  std::vector<PlistValue> values_;
  // Built once a dictionary grows large, so files with huge dictionaries
  // cannot make loading quadratic.
  QHash<QString, int> index_;
};

using PlistArray = std::vector<PlistValue>;

// One property-list value of any of the types the files hold.
class PlistValue {
 public:
  enum class Type { None, Dict, Array, String, Integer, Real, Bool, Date, Data };

  PlistValue() = default;
  PlistValue(PlistDict v) : v_(std::move(v)) {}
  PlistValue(PlistArray v) : v_(std::move(v)) {}
  PlistValue(QString v) : v_(std::move(v)) {}
  PlistValue(const char* v) : v_(QString::fromUtf8(v)) {}
  PlistValue(qint64 v) : v_(v) {}
  PlistValue(int v) : v_(qint64(v)) {}
  PlistValue(double v) : v_(v) {}
  PlistValue(bool v) : v_(v) {}
  PlistValue(QDateTime v) : v_(std::move(v)) {}
  PlistValue(QByteArray v) : v_(std::move(v)) {}

  Type type() const { return Type(v_.index()); }
  bool isNone() const { return type() == Type::None; }

  // Typed access: nullptr when the value is of another type.
  const PlistDict* dict() const { return std::get_if<PlistDict>(&v_); }
  const PlistArray* array() const { return std::get_if<PlistArray>(&v_); }
  const QString* string() const { return std::get_if<QString>(&v_); }
  const QDateTime* date() const { return std::get_if<QDateTime>(&v_); }
  const QByteArray* data() const { return std::get_if<QByteArray>(&v_); }

  // Numbers as the records read them: integers, reals and booleans are all
  // numbers; anything else has no numeric value.
  std::optional<qint64> toInteger() const;
  std::optional<double> toReal() const;
  std::optional<bool> toBool() const;

  bool operator==(const PlistValue& other) const { return v_ == other.v_; }

 private:
  std::variant<std::monostate, PlistDict, PlistArray, QString, qint64, double, bool, QDateTime,
               QByteArray>
      v_;
};

namespace plist {

// Largest file the readers accept; bigger ones are refused rather than parsed.
constexpr qint64 kMaxFileSize = 256 * 1024 * 1024;
// Deepest nesting of arrays and dictionaries a file may have.
constexpr int kMaxDepth = 512;

// Parses an XML or binary property list. On failure returns nothing and, if
// error is given, says why in a line fit for the log (never the content).
std::optional<PlistValue> parse(const QByteArray& bytes, QString* error = nullptr);
std::optional<PlistValue> readFile(const QString& path, QString* error = nullptr);

// Called for each element of an array that is a value of the root
// dictionary (key is the array's key) as soon as it is read; returning true
// takes the element, which is then left out of the result. A large library
// so becomes records one at a time instead of one tree of the whole file.
using RootArrayItem = std::function<bool(const QString& key, PlistValue& item)>;
std::optional<PlistValue> parse(const QByteArray& bytes, QString* error, const RootArrayItem& take);
std::optional<PlistValue> readFile(const QString& path, QString* error, const RootArrayItem& take);

// Apple's XML property-list format, version 1.0.
QByteArray toXml(const PlistValue& value);
QByteArray toBinary(const PlistValue& value);

// Writes bytes to path atomically: a temporary file in the same folder,
// flushed to disk, then renamed over the target. The file is readable by
// its owner alone. On failure the previous file is left as it was.
// Writes waiting in the BackgroundWriter for path are dropped or waited for
// first, so an older snapshot never lands over these bytes.
bool writeFileAtomic(const QString& path, const QByteArray& bytes, QString* error = nullptr);
// The same without that wait (the BackgroundWriter's own writes).
bool writeFileAtomicNow(const QString& path, const QByteArray& bytes, QString* error = nullptr);
// Bytes that produce streams into the file (the BackgroundWriter's jobs).
bool writeFileAtomicNow(const QString& path,
                        const std::function<bool(QIODevice*, QString*)>& produce,
                        QString* error = nullptr);
// The same where gate decides, after the bytes are on disk and just before
// the rename, whether the file may be replaced; it runs commit (the rename)
// if so, and answers false (with *refused set) if not. hash is the SHA-1 of
// the bytes written.
using ReplaceGate = std::function<bool(const QByteArray& hash, const std::function<bool()>& commit,
                                       bool* refused)>;
bool writeFileAtomicNow(const QString& path,
                        const std::function<bool(QIODevice*, QString*)>& produce, QString* error,
                        const ReplaceGate& gate, bool* refused);
// A value as an XML property list, streamed into the file in pieces.
bool writeXmlFileAtomicNow(const QString& path, const PlistValue& value, QString* error = nullptr);

}  // namespace plist
}  // namespace ql
