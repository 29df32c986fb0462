#include "platform/wayland/wayland_pasteboard.h"

#include "platform/log.h"
#include "platform/wayland/wayland_connection.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <wayland-client.h>
#include <wlr-data-control-unstable-v1-client.h>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace ql {

const zwlr_data_control_device_v1_listener WaylandPasteboard::deviceListener = {
    [](void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
      static_cast<WaylandPasteboard*>(data)->offered(offer);
    },
    [](void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
      static_cast<WaylandPasteboard*>(data)->selected(offer);
    },
    [](void* data, zwlr_data_control_device_v1* device) {
      // The seat went away.
      auto* self = static_cast<WaylandPasteboard*>(data);
      zwlr_data_control_device_v1_destroy(device);
      self->device_ = nullptr;
    },
    // The primary selection is left alone.
    [](void*, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
      if (offer) zwlr_data_control_offer_v1_destroy(offer);
    },
};

const zwlr_data_control_offer_v1_listener WaylandPasteboard::offerListener = {
    [](void* data, zwlr_data_control_offer_v1* offer, const char* type) {
      auto* self = static_cast<WaylandPasteboard*>(data);
      QStringList& types = self->offers_[offer];
      const QString t = QString::fromUtf8(type);
      if (!types.contains(t)) types.append(t);
    },
};

const zwlr_data_control_source_v1_listener WaylandPasteboard::sourceListener = {
    [](void* data, zwlr_data_control_source_v1* source, const char* type, int32_t fd) {
      static_cast<WaylandPasteboard*>(data)->send(source, QString::fromUtf8(type), fd);
    },
    [](void* data, zwlr_data_control_source_v1* source) {
      static_cast<WaylandPasteboard*>(data)->cancelled(source);
    },
};

WaylandPasteboard::WaylandPasteboard(WaylandConnection& connection, QObject* parent)
    : Pasteboard(parent), connection_(connection) {
  drainTimer_.setInterval(1);
  connect(&drainTimer_, &QTimer::timeout, this, &WaylandPasteboard::checkDrained);
  if (!connection.dataControlManager() || !connection.seat()) return;
  device_ = zwlr_data_control_manager_v1_get_data_device(connection.dataControlManager(), connection.seat());
  zwlr_data_control_device_v1_add_listener(device_, &deviceListener, this);
  // The current selection arrives at once.
  connection.roundtrip();
}

WaylandPasteboard::~WaylandPasteboard() {
  for (const Sending& s : std::as_const(sending_)) ::close(s.fd);
  for (auto it = offers_.cbegin(); it != offers_.cend(); ++it) zwlr_data_control_offer_v1_destroy(it.key());
  if (own_) zwlr_data_control_source_v1_destroy(own_);
  if (device_) zwlr_data_control_device_v1_destroy(device_);
  connection_.flush();
}

void WaylandPasteboard::offered(zwlr_data_control_offer_v1* offer) {
  offers_.insert(offer, {});
  zwlr_data_control_offer_v1_add_listener(offer, &offerListener, this);
}

void WaylandPasteboard::selected(zwlr_data_control_offer_v1* offer) {
  if (current_ && current_ != offer) {
    offers_.remove(current_);
    zwlr_data_control_offer_v1_destroy(current_);
  }
  current_ = offer;
  // Offers announced but never selected are gone too.
  for (auto it = offers_.begin(); it != offers_.end();) {
    if (it.key() != offer) {
      zwlr_data_control_offer_v1_destroy(it.key());
      it = offers_.erase(it);
    } else {
      ++it;
    }
  }
  ++changeCount_;
  Q_EMIT changed();
}

QStringList WaylandPasteboard::types() const {
  if (own_) {
    QStringList result;
    for (const PasteboardItem& item : ownItems_)
      if (!result.contains(item.type)) result.append(item.type);
    return result;
  }
  return current_ ? offers_.value(current_) : QStringList();
}

std::optional<QByteArray> WaylandPasteboard::data(const QString& type) const {
  if (own_) {
    for (const PasteboardItem& item : ownItems_)
      if (item.type == type) return item.data;
    return std::nullopt;
  }
  if (!current_ || !offers_.value(current_).contains(type)) return std::nullopt;
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
  zwlr_data_control_offer_v1_receive(current_, type.toUtf8().constData(), fds[1]);
  ::close(fds[1]);
  connection_.flush();
  // The owner writes into the pipe on its own; the compositor only passed
  // it on, so waiting here blocks nobody we would have to answer.
  QByteArray bytes;
  QDeadlineTimer deadline(readTimeoutMs);
  bool complete = false;
  for (;;) {
    pollfd p{fds[0], POLLIN, 0};
    const int ready = ::poll(&p, 1, int(qMax<qint64>(0, deadline.remainingTime())));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;
    char buffer[65536];
    const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    if (n == 0) {
      complete = true;
      break;
    }
    bytes.append(buffer, int(n));
  }
  ::close(fds[0]);
  if (!complete) {
    log(QStringLiteral("The clipboard's owner did not hand over its content in time"));
    return std::nullopt;
  }
  return bytes;
}

bool WaylandPasteboard::setSource(const QList<PasteboardItem>& items) {
  if (!device_) return false;
  // The target reads the pipe in its own time: a terminal drops a second
  // paste while it has not seen the end of the first. The next content
  // (and so the next paste) waits until it has had a moment.
  if (lastFetch_.isValid() && lastFetch_.elapsed() < fetchSettleMs) {
    QEventLoop loop;
    QTimer::singleShot(int(fetchSettleMs - lastFetch_.elapsed()), &loop, &QEventLoop::quit);
    loop.exec();
  }
  lastFetch_.invalidate();
  zwlr_data_control_source_v1* source =
      zwlr_data_control_manager_v1_create_data_source(connection_.dataControlManager());
  zwlr_data_control_source_v1_add_listener(source, &sourceListener, this);
  QStringList offered;
  for (const PasteboardItem& item : items) {
    if (offered.contains(item.type)) continue;
    offered.append(item.type);
    zwlr_data_control_source_v1_offer(source, item.type.toUtf8().constData());
  }
  // Plain text also under the names Wayland clients ask for first.
  for (const PasteboardItem& item : items) {
    if (item.type != QLatin1String("text/plain")) continue;
    for (const char* alias : {"text/plain;charset=utf-8", "UTF8_STRING", "STRING", "TEXT"}) {
      if (offered.contains(QLatin1String(alias))) continue;
      offered.append(QLatin1String(alias));
      zwlr_data_control_source_v1_offer(source, alias);
    }
  }
  zwlr_data_control_device_v1_set_selection(device_, source);
  if (own_) zwlr_data_control_source_v1_destroy(own_);
  own_ = source;
  ownItems_ = items;
  fetchCount_ = 0;
  ++changeCount_;
  connection_.flush();
  Q_EMIT changed();
  return true;
}

void WaylandPasteboard::clear() { setSource({}); }

bool WaylandPasteboard::write(const QList<PasteboardItem>& items) {
  const bool ok = setSource(items);
  if (!ok) log(QStringLiteral("Could not take the clipboard"));
  return ok;
}

void WaylandPasteboard::send(zwlr_data_control_source_v1* source, const QString& type, int fd) {
  QByteArray bytes;
  bool found = false;
  if (source == own_) {
    QString wanted = type;
    if (type == QLatin1String("text/plain;charset=utf-8") || type == QLatin1String("UTF8_STRING") ||
        type == QLatin1String("STRING") || type == QLatin1String("TEXT"))
      wanted = QStringLiteral("text/plain");
    for (const PasteboardItem& item : std::as_const(ownItems_)) {
      if (item.type == type || item.type == wanted) {
        bytes = item.data;
        found = true;
        if (item.type == type) break;
      }
    }
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  qsizetype at = 0;
  while (found && at < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.constData() + at, size_t(bytes.size() - at));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    at += n;
  }
  if (source != own_ || !found) {
    ::close(fd);
    return;
  }
  // The pipe stays open until the target has read it empty, so its end of
  // file, and with it the insertion, comes when it has everything.
  sending_.append(Sending{fd, changeCount_, QDeadlineTimer(drainTimeoutMs)});
  if (!drainTimer_.isActive()) drainTimer_.start();
  checkDrained();
}

void WaylandPasteboard::checkDrained() {
  for (qsizetype i = 0; i < sending_.size();) {
    const Sending s = sending_[i];
    int unread = 0;
    // Not a pipe (FIONREAD fails): nothing to wait for.
    const bool drained = ::ioctl(s.fd, FIONREAD, &unread) != 0 || unread <= 0;
    if (!drained && !s.deadline.hasExpired()) {
      ++i;
      continue;
    }
    ::close(s.fd);
    sending_.removeAt(i);
    QTimer::singleShot(insertGraceMs, this, [this, change = s.change] {
      if (change != changeCount_ || !own_) return;  // replaced meanwhile
      lastFetch_.start();
      ++fetchCount_;
      Q_EMIT fetched();
    });
  }
  if (sending_.isEmpty()) drainTimer_.stop();
}

void WaylandPasteboard::cancelled(zwlr_data_control_source_v1* source) {
  zwlr_data_control_source_v1_destroy(source);
  if (source != own_) return;
  // Someone else copied: theirs is the clipboard now.
  own_ = nullptr;
  ownItems_.clear();
}

}  // namespace ql
