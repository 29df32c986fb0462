#include "platform/x11/atspi_focus_watch.h"

#include "platform/log.h"
#include "platform/workspace.h"
#include "platform/x11/atspi_reader.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>

namespace ql {
namespace {

const QString kEventObject = QStringLiteral("org.a11y.atspi.Event.Object");
const QString kAccessible = QStringLiteral("org.a11y.atspi.Accessible");
constexpr uint kRolePasswordText = 40;  // ATSPI_ROLE_PASSWORD_TEXT, "password text"
// Starting the accessibility bus may take its launcher a moment; nothing
// waits for it.
constexpr int kStartTimeoutMs = 5000;
constexpr qsizetype kMaxKnownNames = 512;

// Runs done with the reply once it came, failed or timed out.
template <typename Done>
void whenAnswered(QObject* owner, const QDBusPendingCall& call, Done done) {
  auto* watcher = new QDBusPendingCallWatcher(call, owner);
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, owner, [watcher, done] {
    watcher->deleteLater();
    done(watcher->reply());
  });
}

}  // namespace

AtSpiFocusWatch::AtSpiFocusWatch(Workspace& workspace, int timeoutMs, QObject* parent)
    : PasswordFocus(parent), workspace_(workspace), timeoutMs_(timeoutMs) {
  static quint64 instances = 0;
  const QString serial = QString::number(++instances);
  sessionName_ = QStringLiteral("quillet-focus-session-") + serial;
  a11yName_ = QStringLiteral("quillet-focus-a11y-") + serial;
  // Once the event loop runs: start-up does not wait for the bus.
  QTimer::singleShot(0, this, &AtSpiFocusWatch::askBusAddress);
  // Where the front has no process id (Wayland) the answer cannot be tied to
  // its application: it goes with the front, and an application that comes
  // back to the front tells its focus again.
  connect(&workspace_, &Workspace::applicationActivated, this, [this](const ApplicationInfo& front) {
    if (front.processId > 0 || focus_ == Focus::Other) return;
    ++serial_;
    settle(Focus::Other);
  });
}

AtSpiFocusWatch::~AtSpiFocusWatch() {
  QDBusConnection::disconnectFromBus(a11yName_);
  QDBusConnection::disconnectFromBus(sessionName_);
}

void AtSpiFocusWatch::askBusAddress() {
  const QString address = atSpiSessionBusAddress();
  if (address.isEmpty()) return giveUp(QStringLiteral("no session bus"));
  QDBusConnection session = QDBusConnection::connectToBus(address, sessionName_);
  if (!session.isConnected()) return giveUp(QStringLiteral("the session bus does not answer"));
  const QDBusMessage question =
      QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                     QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress"));
  whenAnswered(this, session.asyncCall(question, kStartTimeoutMs), [this](const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty() ||
        reply.arguments().constFirst().toString().isEmpty())
      return giveUp(QStringLiteral("no accessibility bus"));
    attach(reply.arguments().constFirst().toString());
  });
}

void AtSpiFocusWatch::attach(const QString& address) {
  QDBusConnection bus = QDBusConnection::connectToBus(address, a11yName_);
  if (!bus.isConnected()) return giveUp(QStringLiteral("the accessibility bus does not answer"));
  if (!bus.connect(QString(), QString(), kEventObject, QStringLiteral("StateChanged"),
                   {QStringLiteral("focused")}, QString(), this, SLOT(stateChanged(QDBusMessage))))
    return giveUp(QStringLiteral("focus events cannot be watched"));
  // Applications send only the events someone has asked the registry for.
  QDBusMessage listen = QDBusMessage::createMethodCall(
      QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("/org/a11y/atspi/registry"),
      QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("RegisterEvent"));
  listen << QStringLiteral("object:state-changed:focused");
  bus.asyncCall(listen, kStartTimeoutMs);
  watching_ = true;
}

void AtSpiFocusWatch::giveUp(const QString& why) {
  ql::log(QStringLiteral("Password fields are not told apart (%1)").arg(why));
}

void AtSpiFocusWatch::stateChanged(const QDBusMessage& message) {
  const QList<QVariant> args = message.arguments();
  if (args.size() < 2 || args[0].toString() != QLatin1String("focused")) return;
  if (args[1].toInt() != 0) {
    focusGained(message.service(), message.path());
  } else if (message.service() == service_ && message.path() == path_) {
    // The element left the focus; what takes it next says so itself.
    ++serial_;
    service_.clear();
    path_.clear();
    settle(Focus::Other);
  }
}

void AtSpiFocusWatch::focusGained(const QString& service, const QString& path) {
  const quint64 serial = ++serial_;
  service_ = service;
  path_ = path;
  // Until the role is known the keys go on as before: an abbreviation is
  // not typed within the moment an answer takes, and what was collected
  // meanwhile is dropped when the answer says password.
  settle(Focus::Asking);
  if (!processIds_.contains(service)) askProcessId(service);
  QDBusConnection bus(a11yName_);
  const QDBusMessage question = QDBusMessage::createMethodCall(service, path, kAccessible, QStringLiteral("GetRole"));
  whenAnswered(this, bus.asyncCall(question, timeoutMs_), [this, serial](const QDBusMessage& reply) {
    if (serial != serial_) return;  // the focus has moved on since
    const bool password = reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
                          reply.arguments().constFirst().toUInt() == kRolePasswordText;
    settle(password ? Focus::Password : Focus::Other);
  });
}

void AtSpiFocusWatch::askProcessId(const QString& service) {
  if (processIds_.size() >= kMaxKnownNames) processIds_.clear();
  processIds_.insert(service, 0);
  QDBusConnection bus(a11yName_);
  QDBusMessage question = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
      QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetConnectionUnixProcessID"));
  question << service;
  whenAnswered(this, bus.asyncCall(question, timeoutMs_), [this, service](const QDBusMessage& reply) {
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
      processIds_.insert(service, qint64(reply.arguments().constFirst().toUInt()));
  });
}

void AtSpiFocusWatch::settle(Focus focus) {
  const bool was = isPasswordField();
  focus_ = focus;
  const bool now = isPasswordField();
  if (was != now) Q_EMIT passwordFieldChanged(now);
}

bool AtSpiFocusWatch::isPasswordField() const {
  if (focus_ != Focus::Password) return false;
  // Applications that take no part in AT-SPI say nothing when they take
  // the keyboard: the answer holds only while its own application is in
  // front. An owner not known (yet) or a front that cannot be told keeps it.
  const qint64 owner = processIds_.value(service_, 0);
  if (owner <= 0) return true;
  const qint64 front = workspace_.frontmostApplication().processId;
  return front <= 0 || front == owner;
}

}  // namespace ql
