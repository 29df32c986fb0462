#include "platform/x11/sleep_inhibitor.h"

#include "platform/log.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>

namespace ql {

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");

}  // namespace

SleepInhibitor::SleepInhibitor(QObject* parent) : QObject(parent) {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) return;
  bus.connect(kService, kPath, kManager, QStringLiteral("PrepareForSleep"), this,
              SLOT(prepareForSleep(bool)));
  takeLock();
}

void SleepInhibitor::takeLock() {
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kManager, QStringLiteral("Inhibit"));
  call << QStringLiteral("sleep") << QStringLiteral("Quillet")
       << tr("Writing the snippet library") << QStringLiteral("delay");
  const QDBusReply<QDBusUnixFileDescriptor> reply = QDBusConnection::systemBus().call(call, QDBus::Block, 2000);
  if (reply.isValid())
    lock_ = reply.value();
  else
    log(QStringLiteral("No suspend delay lock: ") + reply.error().message());
}

void SleepInhibitor::prepareForSleep(bool starting) {
  if (!starting) {
    // Woken up: ready for the next suspend.
    if (!lock_.isValid()) takeLock();
    return;
  }
  Q_EMIT aboutToSleep();
  // Closing the descriptor lets the suspend go on.
  lock_ = QDBusUnixFileDescriptor();
}

}  // namespace ql
