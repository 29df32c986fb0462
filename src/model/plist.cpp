#include "model/plist.h"

#include "model/background_writer.h"
#include "model/plist_xml.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QCryptographicHash>
#include <QSaveFile>

#include <plist/plist.h>

#include <cmath>
#include <functional>
#include <memory>

namespace ql {

// ---- PlistDict ----

namespace {
constexpr size_t kIndexThreshold = 32;
}

int PlistDict::indexOf(const QString& key) const {
  if (!index_.isEmpty()) return index_.value(key, -1);
  for (size_t i = 0; i < keys_.size(); ++i)
    if (keys_[i] == key) return int(i);
  return -1;
}

const PlistValue* PlistDict::value(const QString& key) const {
  const int i = indexOf(key);
  return i < 0 ? nullptr : &values_[size_t(i)];
}

const PlistValue* PlistDict::value(QLatin1StringView key) const {
  if (!index_.isEmpty()) return value(QString(key));
  for (size_t i = 0; i < keys_.size(); ++i)
    if (keys_[i] == key) return &values_[i];
  return nullptr;
}

const PlistValue& PlistDict::valueAt(int i) const { return values_[size_t(i)]; }

void PlistDict::insert(const QString& key, PlistValue value) {
  const int i = indexOf(key);
  if (i >= 0) {
    values_[size_t(i)] = std::move(value);
    return;
  }
  keys_.push_back(key);
  values_.push_back(std::move(value));
  if (!index_.isEmpty()) {
    index_.insert(key, int(keys_.size() - 1));
  } else if (keys_.size() > kIndexThreshold) {
    for (size_t k = 0; k < keys_.size(); ++k) index_.insert(keys_[k], int(k));
  }
}

void PlistDict::remove(const QString& key) {
  const int i = indexOf(key);
  if (i < 0) return;
  keys_.erase(keys_.begin() + i);
  values_.erase(values_.begin() + i);
  index_.clear();
  if (keys_.size() > kIndexThreshold)
    for (size_t k = 0; k < keys_.size(); ++k) index_.insert(keys_[k], int(k));
}

bool PlistDict::operator==(const PlistDict& other) const {
  return keys_ == other.keys_ && values_ == other.values_;
}

// ---- PlistValue ----

std::optional<qint64> PlistValue::toInteger() const {
  if (auto i = std::get_if<qint64>(&v_)) return *i;
  if (auto r = std::get_if<double>(&v_)) {
    if (!std::isfinite(*r) || std::fabs(*r) > 9.2e18) return std::nullopt;
    return qint64(*r);
  }
  if (auto b = std::get_if<bool>(&v_)) return *b ? 1 : 0;
  return std::nullopt;
}

std::optional<double> PlistValue::toReal() const {
  if (auto r = std::get_if<double>(&v_)) return *r;
  if (auto i = std::get_if<qint64>(&v_)) return double(*i);
  if (auto b = std::get_if<bool>(&v_)) return *b ? 1.0 : 0.0;
  return std::nullopt;
}

std::optional<bool> PlistValue::toBool() const {
  if (auto b = std::get_if<bool>(&v_)) return *b;
  if (auto i = std::get_if<qint64>(&v_)) return *i != 0;
  if (auto r = std::get_if<double>(&v_)) return *r != 0.0;
  return std::nullopt;
}

namespace plist {
namespace {

// Property-list dates count seconds from 2001-01-01 00:00:00 UTC.
constexpr qint64 kAppleEpochOffset = 978307200;

struct PlistFree {
  void operator()(plist_t p) const { plist_free(p); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

plist_t toNode(const PlistValue& v) {
  switch (v.type()) {
    case PlistValue::Type::Dict: {
      plist_t d = plist_new_dict();
      const PlistDict& dict = *v.dict();
      for (int i = 0; i < dict.size(); ++i)
        plist_dict_set_item(d, dict.keyAt(i).toUtf8().constData(), toNode(dict.valueAt(i)));
      return d;
    }
    case PlistValue::Type::Array: {
      plist_t a = plist_new_array();
      for (const PlistValue& item : *v.array()) plist_array_append_item(a, toNode(item));
      return a;
    }
    case PlistValue::Type::String:
      return plist_new_string(v.string()->toUtf8().constData());
    case PlistValue::Type::Integer:
      return plist_new_uint(uint64_t(*v.toInteger()));
    case PlistValue::Type::Real:
      return plist_new_real(*v.toReal());
    case PlistValue::Type::Bool:
      return plist_new_bool(*v.toBool() ? 1 : 0);
    case PlistValue::Type::Date: {
      const qint64 ms = v.date()->toMSecsSinceEpoch() - kAppleEpochOffset * 1000;
      qint64 sec = ms / 1000;
      qint64 usec = (ms % 1000) * 1000;
      if (usec < 0) {
        usec += 1000000;
        sec -= 1;
      }
      sec = std::clamp<qint64>(sec, INT32_MIN, INT32_MAX);
      return plist_new_date(int32_t(sec), int32_t(usec));
    }
    case PlistValue::Type::Data:
      return plist_new_data(v.data()->constData(), uint64_t(v.data()->size()));
    case PlistValue::Type::None:
      break;
  }
  return plist_new_string("");
}

quint64 readBigEndian(const uchar* p, int n) {
  quint64 v = 0;
  for (int i = 0; i < n; ++i) v = (v << 8) | p[i];
  return v;
}

// libplist recurses once per nesting level, so nesting is checked before it
// parses: walks the object graph without
// recursion and refuses graphs nested too deep or referring in a cycle.
// libplist also aborts the program on a dictionary key holding a NUL
// character (an assertion when the key is read), so such keys are refused
// here too.
bool binaryGraphIsSafe(const QByteArray& bin, QString* why) {
  *why = QStringLiteral("nested too deeply");
  const auto* data = reinterpret_cast<const uchar*>(bin.constData());
  const qint64 size = bin.size();
  if (size < 8 + 32) return true;  // libplist rejects it on its own
  const uchar* trailer = data + size - 32;
  const int offsetSize = trailer[6];
  const int refSize = trailer[7];
  const quint64 count = readBigEndian(trailer + 8, 8);
  const quint64 top = readBigEndian(trailer + 16, 8);
  const quint64 tableOffset = readBigEndian(trailer + 24, 8);
  if (offsetSize < 1 || offsetSize > 8 || refSize < 1 || refSize > 8) return true;
  if (count == 0 || top >= count || tableOffset >= quint64(size) ||
      count > (quint64(size) - tableOffset) / quint64(offsetSize))
    return true;  // malformed: libplist refuses it

  auto objectOffset = [&](quint64 i) -> qint64 {
    return qint64(readBigEndian(data + tableOffset + i * quint64(offsetSize), offsetSize));
  };
  // An object's marker, its count and where its contents start; false when
  // the object lies outside the data.
  auto header = [&](quint64 i, int& marker, quint64& n, qint64& pos) {
    const qint64 off = i < count ? objectOffset(i) : -1;
    if (off < 0 || off >= size) return false;
    marker = data[off] >> 4;
    n = data[off] & 0x0F;
    pos = off + 1;
    if (n == 0x0F) {
      if (pos >= size || (data[pos] >> 4) != 0x1) return false;
      const int len = 1 << (data[pos] & 0x0F);
      if (len > 8 || pos + 1 + len > size) return false;
      n = readBigEndian(data + pos + 1, len);
      pos += 1 + len;
    }
    return true;
  };
  // An ASCII (5) or UTF-16 (6) string object with a NUL in it.
  auto holdsNul = [&](quint64 i) {
    int marker = 0;
    quint64 n = 0;
    qint64 pos = 0;
    if (!header(i, marker, n, pos) || (marker != 0x5 && marker != 0x6)) return false;
    const quint64 width = marker == 0x5 ? 1 : 2;
    if (n > quint64(size) || pos + qint64(n * width) > size) return false;  // libplist refuses it
    for (quint64 k = 0; k < n; ++k) {
      const uchar* c = data + pos + k * width;
      if (c[0] == 0 && (width == 1 || c[1] == 0)) return true;
    }
    return false;
  };
  bool badKey = false;
  // Children of a container object, or an empty list for anything else.
  auto children = [&](quint64 i, std::vector<quint64>& out) {
    out.clear();
    int marker = 0;
    quint64 n = 0;
    qint64 pos = 0;
    if (!header(i, marker, n, pos)) return;
    if (marker != 0xA && marker != 0xC && marker != 0xD) return;
    const quint64 refs = marker == 0xD ? n * 2 : n;
    if (refs > quint64(size) || pos + qint64(refs) * refSize > size) return;
    for (quint64 k = 0; k < refs; ++k) out.push_back(readBigEndian(data + pos + k * refSize, refSize));
    if (marker == 0xD)
      for (quint64 k = 0; k < n && !badKey; ++k) badKey = holdsNul(out[size_t(k)]);
  };

  // Depth-first with an explicit stack; each object is finished once.
  enum : uchar { Unseen, Open, Done };
  std::vector<uchar> state(count, Unseen);
  struct Frame {
    quint64 object;
    std::vector<quint64> kids;
    size_t next;
  };
  std::vector<Frame> stack;
  stack.push_back({top, {}, 0});
  children(top, stack.back().kids);
  state[top] = Open;
  while (!stack.empty()) {
    if (badKey) {
      *why = QStringLiteral("a dictionary key holds a NUL character");
      return false;
    }
    Frame& f = stack.back();
    if (f.next == f.kids.size()) {
      state[f.object] = Done;
      stack.pop_back();
      continue;
    }
    const quint64 kid = f.kids[f.next++];
    if (kid >= count) continue;
    if (state[kid] == Open) return false;  // a cycle
    if (state[kid] == Done) continue;
    if (int(stack.size()) >= kMaxDepth) return false;
    state[kid] = Open;
    Frame nf{kid, {}, 0};
    children(kid, nf.kids);
    stack.push_back(std::move(nf));
  }
  if (badKey) *why = QStringLiteral("a dictionary key holds a NUL character");
  return !badKey;
}

struct Converter {
  bool ok = true;

  PlistValue fromNode(plist_t node, int depth) {
    if (!node || depth > kMaxDepth) {
      ok = false;
      return {};
    }
    switch (plist_get_node_type(node)) {
      case PLIST_DICT: {
        PlistDict dict;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        for (;;) {
          char* key = nullptr;
          plist_t val = nullptr;
          plist_dict_next_item(node, it, &key, &val);
          if (!val) {
            free(key);
            break;
          }
          dict.insert(QString::fromUtf8(key), fromNode(val, depth + 1));
          free(key);
        }
        free(it);
        return dict;
      }
      case PLIST_ARRAY: {
        PlistArray array;
        const uint32_t n = plist_array_get_size(node);
        array.reserve(n);
        for (uint32_t i = 0; i < n; ++i) array.push_back(fromNode(plist_array_get_item(node, i), depth + 1));
        return array;
      }
      case PLIST_STRING:
      case PLIST_KEY: {
        uint64_t len = 0;
        const char* s = plist_get_string_ptr(node, &len);
        return QString::fromUtf8(s, qsizetype(len));
      }
      case PLIST_UINT: {
        uint64_t u = 0;
        plist_get_uint_val(node, &u);
        return qint64(u);
      }
      case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(node, &d);
        return d;
      }
      case PLIST_BOOLEAN: {
        uint8_t b = 0;
        plist_get_bool_val(node, &b);
        return b != 0;
      }
      case PLIST_DATE: {
        int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        return QDateTime::fromMSecsSinceEpoch((qint64(sec) + kAppleEpochOffset) * 1000 + usec / 1000,
                                              Qt::UTC);
      }
      case PLIST_DATA: {
        uint64_t len = 0;
        const char* d = plist_get_data_ptr(node, &len);
        return QByteArray(d, qsizetype(len));
      }
      case PLIST_UID: {
        uint64_t u = 0;
        plist_get_uid_val(node, &u);
        return qint64(u);
      }
      default:
        return {};
    }
  }
};

}  // namespace

std::optional<PlistValue> parse(const QByteArray& bytes, QString* error) {
  return parse(bytes, error, RootArrayItem());
}

std::optional<PlistValue> parse(const QByteArray& bytes, QString* error, const RootArrayItem& take) {
  auto fail = [&](const QString& why) -> std::optional<PlistValue> {
    if (error) *error = why;
    return std::nullopt;
  };
  if (bytes.isEmpty()) return fail(QStringLiteral("empty file"));
  if (bytes.size() > kMaxFileSize) return fail(QStringLiteral("file too large"));
  if (!plist_is_binary(bytes.constData(), uint32_t(bytes.size())))
    return xml::read(bytes, error, take ? &take : nullptr);
  if (QString why; !binaryGraphIsSafe(bytes, &why)) return fail(why);
  plist_t root = nullptr;
  plist_from_bin(bytes.constData(), uint32_t(bytes.size()), &root);
  PlistPtr guard(root);
  if (!root) return fail(QStringLiteral("not a property list"));
  Converter c;
  PlistValue v = c.fromNode(root, 0);
  if (!c.ok) return fail(QStringLiteral("not a property list"));
  if (!take || !v.dict()) return v;
  // Binary files are read whole; their root arrays are handed over after.
  PlistDict kept;
  const PlistDict& d = *v.dict();
  for (int k = 0; k < d.size(); ++k) {
    PlistValue value = d.valueAt(k);
    if (const PlistArray* a = value.array()) {
      PlistArray left;
      for (PlistValue item : *a)
        if (!take(d.keyAt(k), item)) left.push_back(std::move(item));
      value = PlistValue(std::move(left));
    }
    kept.insert(d.keyAt(k), std::move(value));
  }
  return PlistValue(std::move(kept));
}

std::optional<PlistValue> readFile(const QString& path, QString* error) {
  return readFile(path, error, RootArrayItem());
}

std::optional<PlistValue> readFile(const QString& path, QString* error, const RootArrayItem& take) {
  // A snapshot still on its way to this file is newer than what is there.
  if (!path.isEmpty()) BackgroundWriter::instance().waitForIdle(path);
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    if (error) *error = f.errorString();
    return std::nullopt;
  }
  if (f.size() > kMaxFileSize) {
    if (error) *error = QStringLiteral("file too large");
    return std::nullopt;
  }
  return parse(f.readAll(), error, take);
}

QByteArray toXml(const PlistValue& value) { return xml::write(value); }

QByteArray toBinary(const PlistValue& value) {
  PlistPtr node(toNode(value));
  char* bin = nullptr;
  uint32_t len = 0;
  plist_to_bin(node.get(), &bin, &len);
  QByteArray out(bin, qsizetype(len));
  plist_to_bin_free(bin);
  return out;
}

bool writeFileAtomic(const QString& path, const QByteArray& bytes, QString* error) {
  // These bytes are newer than any snapshot still queued for the file.
  BackgroundWriter::instance().supersede(path);
  return writeFileAtomicNow(path, bytes, error);
}

namespace {

bool writeAtomic(const QString& path, const std::function<bool(QIODevice*)>& write,
                 QString* error) {
  QSaveFile file(path);
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly)) {
    if (error) *error = file.errorString();
    return false;
  }
  file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  if (!write(&file) || !file.flush()) {
    if (error) *error = file.errorString();
    file.cancelWriting();
    return false;
  }
  if (!file.commit()) {
    if (error) *error = file.errorString();
    return false;
  }
  return true;
}

}  // namespace

bool writeFileAtomicNow(const QString& path, const QByteArray& bytes, QString* error) {
  return writeAtomic(
      path, [&](QIODevice* file) { return file->write(bytes) == bytes.size(); }, error);
}

bool writeFileAtomicNow(const QString& path,
                        const std::function<bool(QIODevice*, QString*)>& produce, QString* error) {
  QString why;
  const bool ok = writeAtomic(path, [&](QIODevice* file) { return produce(file, &why); }, error);
  if (!ok && error && !why.isEmpty()) *error = why;
  return ok;
}

namespace {

// Passes every byte on to the file and hashes it on the way, so the writer
// knows what it wrote without reading the file back.
class HashingDevice final : public QIODevice {
 public:
  explicit HashingDevice(QIODevice* target) : target_(target), hash_(QCryptographicHash::Sha1) {
    open(QIODevice::WriteOnly);
  }
  QByteArray result() const { return hash_.result(); }
  QString targetError() const { return target_->errorString(); }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    const qint64 n = target_->write(data, size);
    if (n > 0) hash_.addData(QByteArrayView(data, n));
    if (n < 0) setErrorString(target_->errorString());
    return n;
  }

 private:
  QIODevice* target_;
  QCryptographicHash hash_;
};

}  // namespace

bool writeFileAtomicNow(const QString& path,
                        const std::function<bool(QIODevice*, QString*)>& produce, QString* error,
                        const ReplaceGate& gate, bool* refused) {
  QSaveFile file(path);
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly)) {
    if (error) *error = file.errorString();
    return false;
  }
  file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  HashingDevice hashing(&file);
  QString why;
  if (!produce(&hashing, &why) || !file.flush()) {
    if (error) *error = why.isEmpty() ? file.errorString() : why;
    file.cancelWriting();
    return false;
  }
  bool committed = false;
  const bool ok = gate(hashing.result(), [&] { return committed = file.commit(); }, refused);
  if (!ok) {
    if (error) *error = committed || (refused && *refused) ? QStringLiteral("a newer file is on disk")
                                                           : file.errorString();
    if (!committed) file.cancelWriting();
  }
  return ok;
}

bool writeXmlFileAtomicNow(const QString& path, const PlistValue& value, QString* error) {
  return writeAtomic(path, [&](QIODevice* file) { return xml::write(value, file); }, error);
}

}  // namespace plist
}  // namespace ql
