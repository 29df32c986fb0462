#include "app/single_instance.h"

#include "model/string_utilities.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>

#include <unistd.h>

namespace {
const QByteArray kReopen = QByteArrayLiteral("reopen\n");
const QByteArray kAction = QByteArrayLiteral("action ");
// An action name is a short word; anything else is no request of ours.
constexpr int kMaxLine = 256;
}

namespace {
// The Wayland display takes part only where it is set, so the key of an
// X11-only session stays what it was.
QByteArray waylandKey() {
  const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
  return wayland.isEmpty() ? QByteArray() : QByteArray("\nwayland:") + wayland;
}
}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultName() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  // Two sessions of one user on different displays, or with different data
  // folders, each keep their own Quillet.
  const QByteArray key = ql::Utilities::getAppPath().toUtf8() + '\n' + qgetenv("DISPLAY") +
                         waylandKey();
  const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16);
  return folder + QStringLiteral("/quillet-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

bool SingleInstance::notifyRunningInstance(int timeoutMs) const {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(kReopen);
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  // The running one answers once it has taken the request.
  return socket.waitForReadyRead(timeoutMs) && socket.readAll().startsWith("ok");
}

SingleInstance::ActionAnswer SingleInstance::sendAction(const QString& name, int timeoutMs) const {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(qMin(timeoutMs, 2000))) return ActionAnswer::NoInstance;
  socket.write(kAction + name.toUtf8() + '\n');
  if (!socket.waitForBytesWritten(timeoutMs)) return ActionAnswer::NoInstance;
  // The answer comes once the action is done.
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(timeoutMs)) return ActionAnswer::NoInstance;
  }
  const QByteArray answer = socket.readLine();
  if (answer.startsWith("ok")) return ActionAnswer::Done;
  if (answer.startsWith("unknown")) return ActionAnswer::Unknown;
  return ActionAnswer::NoInstance;
}

bool SingleInstance::listen() {
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(name_)) {
    // Another start may have begun listening since we asked; only a socket
    // nobody answers on is a leftover to replace.
    QLocalSocket probe;
    probe.connectToServer(name_);
    if (probe.waitForConnected(500)) return false;
    QLocalServer::removeServer(name_);
    if (!server_->listen(name_)) return false;
  }
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::onConnection);
  return true;
}

void SingleInstance::onConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxLine) socket->disconnectFromServer();
        return;
      }
      const QByteArray line = socket->readLine();
      if (line.startsWith(kAction) && line.endsWith('\n')) {
        const QString name = QString::fromUtf8(line.mid(kAction.size()).chopped(1)).trimmed();
        const QPointer<QLocalSocket> guard(socket);
        const bool known = actionHandler_ && actionHandler_(name);
        if (!guard) return;  // the asker gave up meanwhile
        socket->write(known ? "ok\n" : "unknown\n");
        socket->flush();
        return;
      }
      if (line != kReopen) {
        socket->disconnectFromServer();
        return;
      }
      socket->write("ok\n");
      socket->flush();
      Q_EMIT reopenRequested();
    });
  }
}
