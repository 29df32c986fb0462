#pragma once

// A private bus that serves as both the session bus and the accessibility
// bus, with one fake application on it whose elements answer GetRole: the
// AT-SPI focus watch runs without a toolkit.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>

namespace bench {

// Answers org.a11y.Bus.GetAddress with the bus itself, and GetRole for
// the paths it was given; a path not given gets no answer at all.
class FakeAtSpiObject final : public QDBusVirtualObject {
 public:
  explicit FakeAtSpiObject(QString address) : address_(std::move(address)) {}
  QHash<QString, uint> roles;  // path -> role

  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    if (message.member() == QLatin1String("GetAddress")) {
      connection.send(message.createReply(address_));
      return true;
    }
    if (message.member() != QLatin1String("GetRole")) return false;
    if (!roles.contains(message.path())) return true;  // never answered
    connection.send(message.createReply(roles.value(message.path())));
    return true;
  }

 private:
  QString address_;
};

class FakeAtSpiBus final {
 public:
  FakeAtSpiBus() {
    const QString config = dir_.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
               "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig><type>session</type><listen>unix:dir=" +
               dir_.path().toUtf8() +
               "</listen><policy context=\"default\"><allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
               "<allow own=\"*\"/></policy></busconfig>\n");
    file.close();
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                   QStringLiteral("--print-address=1")});
    QElapsedTimer t;
    t.start();
    while (daemon_.waitForStarted(100) && !daemon_.canReadLine() && t.elapsed() < 5000) daemon_.waitForReadyRead(100);
    address_ = QString::fromUtf8(daemon_.readLine().trimmed());
    if (address_.isEmpty()) return;
    previous_ = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", address_.toUtf8());
    object_ = std::make_unique<FakeAtSpiObject>(address_);
    QDBusConnection app = connection();
    app.registerVirtualObject(QStringLiteral("/"), object_.get(), QDBusConnection::SubPath);
    app.registerService(QStringLiteral("org.a11y.Bus"));
  }
  ~FakeAtSpiBus() {
    if (!address_.isEmpty()) {
      QDBusConnection::disconnectFromBus(kName);
      if (previous_.isEmpty()) {
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
      } else {
        qputenv("DBUS_SESSION_BUS_ADDRESS", previous_);
      }
    }
    daemon_.terminate();
    daemon_.waitForFinished(3000);
  }
  FakeAtSpiBus(const FakeAtSpiBus&) = delete;
  FakeAtSpiBus& operator=(const FakeAtSpiBus&) = delete;

  bool isRunning() const { return !address_.isEmpty(); }
  FakeAtSpiObject& application() { return *object_; }
  QDBusConnection connection() const { return QDBusConnection::connectToBus(address_, kName); }

  // The application says that the element at path took or left the focus.
  void focus(const QString& path, bool focused) {
    QDBusMessage signal =
        QDBusMessage::createSignal(path, QStringLiteral("org.a11y.atspi.Event.Object"), QStringLiteral("StateChanged"));
    signal << QStringLiteral("focused") << int(focused) << 0 << QVariant::fromValue(QDBusVariant(0))
           << QVariantMap();
    connection().send(signal);
  }

 private:
  static inline const QString kName = QStringLiteral("fake-atspi-application");
  QTemporaryDir dir_;
  QProcess daemon_;
  QString address_;
  QByteArray previous_;
  std::unique_ptr<FakeAtSpiObject> object_;
};

}  // namespace bench
