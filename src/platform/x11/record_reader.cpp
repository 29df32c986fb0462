#include "platform/x11/record_reader.h"

#include <QDeadlineTimer>
#include <QSocketNotifier>

#include <X11/Xlib.h>
#include <X11/extensions/record.h>

#include <cstring>

#include <poll.h>

namespace ql {
namespace {

constexpr int kXTestFakeInput = 2;  // X_XTestFakeInput, the request of a fake event
constexpr int kGrabKeyboard = 31;   // X_GrabKeyboard
constexpr int kUngrabKeyboard = 32; // X_UngrabKeyboard
constexpr int kGrabKey = 33;        // X_GrabKey
constexpr int kUngrabKey = 34;      // X_UngrabKey
constexpr int kChangeKeyboardMapping = 100;  // X_ChangeKeyboardMapping
constexpr int kStartTimeoutMs = 2000;

quint16 read16(const unsigned char* p) {
  quint16 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

quint32 read32(const unsigned char* p) {
  quint32 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

}  // namespace

RecordReader::RecordReader(Display* control, QObject* parent)
    : QObject(parent), control_(control) {}

RecordReader::~RecordReader() { stop(); }

bool RecordReader::start(Sink sink, QString* error) {
  if (context_) return true;
  int major = 0, minor = 0;
  if (!XRecordQueryVersion(control_, &major, &minor)) {
    if (error) *error = QStringLiteral("the X server offers no RECORD extension");
    return false;
  }
  int event = 0, err = 0;
  if (!XQueryExtension(control_, "XTEST", &xtestOpcode_, &event, &err)) xtestOpcode_ = -1;

  // Any resource of the control connection tells its client id.
  const XID resource = XAllocID(control_);
  ownBase_ = resource & XRecordIdBaseMask(control_);

  data_ = XOpenDisplay(DisplayString(control_));
  if (!data_) {
    if (error) *error = QStringLiteral("cannot open a second connection to the X server");
    return false;
  }

  XRecordRange* ranges[3] = {XRecordAllocRange(), XRecordAllocRange(), XRecordAllocRange()};
  ranges[0]->device_events.first = KeyPress;
  ranges[0]->device_events.last = MotionNotify;
  ranges[0]->core_requests.first = kGrabKeyboard;
  ranges[0]->core_requests.last = kUngrabKey;
  // A key given a symbol for a moment (xdotool types a character the
  // layout lacks that way) must be read with that symbol: the change comes
  // in the stream, in order with the key events.
  ranges[1]->core_requests.first = kChangeKeyboardMapping;
  ranges[1]->core_requests.last = kChangeKeyboardMapping;
  int rangeCount = 2;
  if (xtestOpcode_ >= 0) {
    ranges[2]->ext_requests.ext_major.first = xtestOpcode_;
    ranges[2]->ext_requests.ext_major.last = xtestOpcode_;
    ranges[2]->ext_requests.ext_minor.first = kXTestFakeInput;
    ranges[2]->ext_requests.ext_minor.last = kXTestFakeInput;
    rangeCount = 3;
  }
  XRecordClientSpec clients = XRecordAllClients;
  context_ = XRecordCreateContext(control_, 0, &clients, 1, ranges, rangeCount);
  for (XRecordRange* range : ranges) XFree(range);
  XSync(control_, False);
  if (!context_) {
    XCloseDisplay(data_);
    data_ = nullptr;
    if (error) *error = QStringLiteral("the X server refused a RECORD context");
    return false;
  }
  sink_ = std::move(sink);
  auto intercept = [](XPointer closure, XRecordInterceptData* data) {
    reinterpret_cast<RecordReader*>(closure)->handle(
        data->category, data->id_base, static_cast<const unsigned char*>(data->data),
        data->data_len * 4);
    XRecordFreeData(data);
  };
  if (!XRecordEnableContextAsync(data_, context_, intercept, reinterpret_cast<XPointer>(this))) {
    stop();
    if (error) *error = QStringLiteral("the X server refused to enable the RECORD context");
    return false;
  }
  XFlush(data_);
  // The context records only once the server has enabled it; until its
  // first reply a key press could go unseen.
  QDeadlineTimer deadline(kStartTimeoutMs);
  pollfd p{ConnectionNumber(data_), POLLIN, 0};
  while (!started_ && !deadline.hasExpired()) {
    XRecordProcessReplies(data_);
    if (!started_) poll(&p, 1, static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
  }
  notifier_ = new QSocketNotifier(ConnectionNumber(data_), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &RecordReader::drain);
  drain();
  return true;
}

void RecordReader::stop() {
  delete notifier_;
  notifier_ = nullptr;
  if (context_) {
    // Disabling goes through the control connection; the data connection
    // then receives the end of data, which we do not need to wait for.
    XRecordDisableContext(control_, context_);
    XRecordFreeContext(control_, context_);
    XSync(control_, False);
    context_ = 0;
  }
  started_ = false;
  received_.clear();
  if (data_) {
    XCloseDisplay(data_);
    data_ = nullptr;
  }
  sink_ = nullptr;
}

void RecordReader::drain() {
  // Events go to the sink only after XRecordProcessReplies has returned: it
  // holds the data connection's lock, and a sink that runs the event loop
  // (an expansion pausing) comes back here. A nested drain goes on with
  // the same queue, so the order holds.
  if (data_) XRecordProcessReplies(data_);
  while (!received_.empty() && sink_) {
    const Event event = received_.front();
    received_.pop_front();
    sink_(event);
  }
}

bool RecordReader::readUntil(const std::function<bool()>& done, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  for (;;) {
    drain();
    if (done()) return true;
    if (!data_ || deadline.hasExpired()) return false;
    pollfd p{ConnectionNumber(data_), POLLIN, 0};
    poll(&p, 1, static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
  }
}

void RecordReader::handle(int category, XID clientBase, const unsigned char* bytes,
                          unsigned long length) {
  if (category == XRecordStartOfData) started_ = true;
  if (!bytes || length == 0) return;
  if (category == XRecordFromClient) {
    if (bytes[0] == kChangeKeyboardMapping && length >= 8) {
      if (clientBase == ownBase_) return;  // our spare keys: never the user's
      Event mapping;
      mapping.type = MappingMarker;
      mapping.detail = bytes[4];
      const int count = bytes[1];
      const int perKey = bytes[5];
      const unsigned long needed = 8ul + 4ul * static_cast<unsigned long>(count * perKey);
      if (perKey <= 0 || length < needed) return;
      mapping.keysymsPerKey = perKey;
      for (int i = 0; i < count * perKey; ++i) mapping.keysyms.append(read32(bytes + 8 + 4 * i));
      received_.push_back(mapping);
      return;
    }
    if (clientBase != ownBase_) return;
    if (bytes[0] == xtestOpcode_ && bytes[1] == kXTestFakeInput && length >= 8) {
      pendingType_ = bytes[4];
      pendingDetail_ = bytes[5];
    } else if (bytes[0] == kGrabKeyboard || bytes[0] == kUngrabKeyboard) {
      Event marker;
      marker.type = bytes[0] == kGrabKeyboard ? GrabMarker : UngrabMarker;
      marker.own = true;
      received_.push_back(marker);
    } else if ((bytes[0] == kGrabKey && length >= 16) || (bytes[0] == kUngrabKey && length >= 12)) {
      Event marker;
      const bool grab = bytes[0] == kGrabKey;
      marker.type = grab ? KeyGrabMarker : KeyUngrabMarker;
      marker.detail = grab ? bytes[10] : bytes[1];
      marker.state = read16(bytes + 8);
      marker.own = true;
      received_.push_back(marker);
    }
    return;
  }
  if (category != XRecordFromServer || length < 32) return;
  Event event;
  event.type = bytes[0] & 0x7f;
  if (event.type < KeyPress || event.type > MotionNotify) return;
  event.detail = bytes[1];
  event.time = read32(bytes + 4);
  event.rootX = static_cast<qint16>(read16(bytes + 20));
  event.rootY = static_cast<qint16>(read16(bytes + 22));
  event.state = read16(bytes + 28);
  // The event an own request generated comes right after that request.
  if (pendingType_ != 0) {
    event.own = pendingType_ == event.type &&
                (event.type == MotionNotify || pendingDetail_ == event.detail);
    pendingType_ = 0;
  }
  received_.push_back(event);
}

}  // namespace ql
