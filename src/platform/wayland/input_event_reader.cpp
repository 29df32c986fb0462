#include "platform/wayland/input_event_reader.h"

#include <QDir>
#include <QFileSystemWatcher>
#include <QSocketNotifier>
#include <QTimer>

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace ql {
namespace {

// The kernel's record on 64-bit systems; FIFO writers use it too.
struct RawEvent {
  qint64 seconds;
  qint64 microseconds;
  quint16 type;
  quint16 code;
  qint32 value;
};
static_assert(sizeof(RawEvent) == 24);

// udev sets a new device's permissions a moment after its node appears.
constexpr int kPermissionDelayMs = 1000;

constexpr size_t kLongBits = sizeof(unsigned long) * 8;

bool testBit(const unsigned long* bits, int bit) {
  return (bits[bit / kLongBits] >> (bit % kLongBits)) & 1UL;
}

bool hasKey(int fd, int key) {
  unsigned long bits[(KEY_MAX + kLongBits) / kLongBits] = {};
  if (::ioctl(fd, EVIOCGBIT(EV_KEY, sizeof bits), bits) < 0) return false;
  return testBit(bits, key);
}

}  // namespace

InputEventReader::InputEventReader(QObject* parent) : QObject(parent) {}

InputEventReader::~InputEventReader() { closeAll(); }

bool InputEventReader::isKeyboard(int fd) {
  // A keyboard types letters; power buttons and headsets report EV_KEY too.
  return hasKey(fd, KEY_A) && hasKey(fd, KEY_Z) && hasKey(fd, KEY_SPACE);
}

bool InputEventReader::isPointer(int fd) { return hasKey(fd, BTN_LEFT); }

bool InputEventReader::openFifo(const QString& path) {
  // Read and write: the FIFO never reports end of file when a writer
  // leaves, so the next one simply carries on.
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  addSource(fd, path);
  return true;
}

void InputEventReader::openDevices(const QString& folder) {
  folder_ = folder;
  if (!watcher_) {
    watcher_ = new QFileSystemWatcher(this);
    // A new keyboard shows up as a new node; look again once udev has set
    // its permissions.
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
      scan();
      QTimer::singleShot(kPermissionDelayMs, this, [this] { scan(); });
    });
  }
  if (!watcher_->directories().contains(folder)) watcher_->addPath(folder);
  scan();
}

void InputEventReader::scan() {
  const QStringList names = QDir(folder_).entryList({QStringLiteral("event*")}, QDir::System);
  for (const QString& name : names) {
    const QString path = folder_ + QLatin1Char('/') + name;
    if (sources_.contains(path)) continue;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      if (errno == EACCES || errno == EPERM) denied_.insert(path, true);
      continue;
    }
    denied_.remove(path);
    if (!isKeyboard(fd) && !isPointer(fd)) {
      ::close(fd);
      continue;
    }
    addSource(fd, path);
  }
}

void InputEventReader::addSource(int fd, const QString& path) {
  Source s;
  s.fd = fd;
  s.notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
  connect(s.notifier, &QSocketNotifier::activated, this, [this, path] { readSource(path); });
  sources_.insert(path, s);
}

void InputEventReader::readSource(const QString& path) {
  auto it = sources_.find(path);
  if (it == sources_.end()) return;
  char buffer[sizeof(RawEvent) * 64];
  for (;;) {
    const ssize_t n = ::read(it->fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) break;
    if (n <= 0) {
      // Unplugged (ENODEV) or gone.
      removeSource(path);
      break;
    }
    it->pending.append(buffer, int(n));
    const int whole = int(it->pending.size() / int(sizeof(RawEvent)));
    for (int i = 0; i < whole; ++i) {
      RawEvent raw;
      std::memcpy(&raw, it->pending.constData() + i * sizeof(RawEvent), sizeof raw);
      queue_.push_back(Record{raw.seconds * 1000 + raw.microseconds / 1000, raw.type, raw.code, raw.value});
    }
    it->pending.remove(0, whole * int(sizeof(RawEvent)));
  }
  deliver();
}

void InputEventReader::deliver() {
  // A handler may run an event loop that reads again: records then join
  // the queue behind those not handled yet, so the order holds.
  if (delivering_) return;
  delivering_ = true;
  while (!queue_.empty()) {
    const Record r = queue_.front();
    queue_.pop_front();
    Q_EMIT record(r);
  }
  delivering_ = false;
}

void InputEventReader::removeSource(const QString& path) {
  auto it = sources_.find(path);
  if (it == sources_.end()) return;
  delete it->notifier;
  ::close(it->fd);
  sources_.erase(it);
}

void InputEventReader::closeAll() {
  for (const QString& path : sources_.keys()) removeSource(path);
  delete watcher_;
  watcher_ = nullptr;
}

}  // namespace ql
