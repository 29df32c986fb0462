#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace ql::typedstream {

// One decoded value of a typedstream archive (the old NeXT archiver's
// non-keyed format). Objects are indexes into the archive's table, so a
// damaged archive that refers to an object inside itself cannot make a cycle
// of owners.
struct Value {
  enum class Kind { Nil, Integer, Real, Bytes, Object, List };
  Kind kind = Kind::Nil;
  char type = 0;          // the type-encoding character it was read as
  qint64 integer = 0;     // Integer
  double real = 0;        // Real
  QByteArray bytes;       // Bytes: "+", "*" and [Nc] values
  int object = -1;        // Object: index into Archive::objects()
  std::vector<Value> items;  // List: arrays of other types and structures

  bool isNumber() const { return kind == Kind::Integer || kind == Kind::Real; }
  double number() const { return kind == Kind::Real ? real : double(integer); }
};

// An archived object: its class chain and every value its groups held, in
// order. A class written in an object position is an object without values
// whose chain starts with that class.
struct Object {
  QStringList classChain;  // most derived class first
  std::vector<int> versions;
  std::vector<Value> values;
  bool isClass = false;

  bool isKindOf(const QString& className) const { return classChain.contains(className); }
};

class Archive {
 public:
  // Decodes a whole archive. Returns nothing for data that is not a
  // typedstream or that is damaged; never reads past the end of the data and
  // never allocates more than the data could describe.
  static std::optional<Archive> decode(const QByteArray& data, QString* error = nullptr);

  // The values written at the top level, in order.
  const std::vector<Value>& roots() const { return roots_; }
  // The object a value refers to, or nullptr for nil and for other kinds.
  const Object* object(const Value& value) const;
  const std::vector<Object>& objects() const { return objects_; }

 private:
  friend class Decoder;
  std::vector<Value> roots_;
  std::vector<Object> objects_;
};

}  // namespace ql::typedstream
