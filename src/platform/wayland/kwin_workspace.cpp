#include "platform/wayland/kwin_workspace.h"

#include "platform/log.h"
#include "platform/wayland/app_id_names.h"
#include "platform/x11/desktop_entries.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScreen>
#include <QTimer>

#include <unistd.h>

namespace ql {
namespace {

const QString kKWin = QStringLiteral("org.kde.KWin");
const QString kScripting = QStringLiteral("org.kde.kwin.Scripting");
const QString kPath = QStringLiteral("/KWinWorkspace");

// Reports the active window now and at each activation. KWin 5 names it
// activeClient/clientActivated, KWin 6 activeWindow/windowActivated.
QByteArray reporterScript(const QString& service) {
  return QByteArrayLiteral(
             "function report(w) {\n"
             "  var d = {};\n"
             "  if (w) {\n"
             "    var g = w.frameGeometry;\n"
             "    d = {resourceClass: String(w.resourceClass), desktopFileName: String(w.desktopFileName || ''),\n"
             "         pid: Number(w.pid), id: String(w.internalId), x: g.x, y: g.y, width: g.width, height: g.height};\n"
             "  }\n"
             "  callDBus('") +
         service.toUtf8() +
         QByteArrayLiteral(
             "', '/KWinWorkspace', 'com.orrerylabs.Quillet.KWinWorkspace', 'activated', JSON.stringify(d));\n"
             "}\n"
             "if (workspace.windowActivated) workspace.windowActivated.connect(report);\n"
             "else workspace.clientActivated.connect(report);\n"
             "report(workspace.activeWindow !== undefined ? workspace.activeWindow : workspace.activeClient);\n");
}

}  // namespace

KWinWorkspace::KWinWorkspace(QObject* parent) : Workspace(parent), bus_(QDBusConnection::sessionBus()) {
  if (!bus_.isConnected() || !scripts_.isValid()) return;
  if (!bus_.registerObject(kPath, this, QDBusConnection::ExportScriptableSlots)) return;
  reporter_ = runScript(QStringLiteral("quillet-active-window-%1").arg(::getpid()), reporterScript(bus_.baseService()));
  loaded_ = !reporter_.isEmpty();
  if (!loaded_) {
    log(QStringLiteral("KWin's scripting cannot be reached: the application in front is not known"));
    return;
  }
  // KWin runs the script a moment after it started it; the first report says
  // what is in front now, which the first keys already need.
  QDeadlineTimer deadline(2000);
  while (!reported_ && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

KWinWorkspace::~KWinWorkspace() {
  if (loaded_) unloadScript(reporter_);
  bus_.unregisterObject(kPath);
}

QString KWinWorkspace::runScript(const QString& name, const QByteArray& source) {
  const QString path = scripts_.filePath(name + QStringLiteral(".js"));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(source) != source.size()) return {};
  file.close();
  QDBusMessage load = QDBusMessage::createMethodCall(kKWin, QStringLiteral("/Scripting"), kScripting,
                                                     QStringLiteral("loadScript"));
  load << path << name;
  const QDBusReply<int> id = bus_.call(load, QDBus::Block, 5000);
  if (!id.isValid() || id.value() < 0) return {};
  const QDBusMessage start =
      QDBusMessage::createMethodCall(kKWin, QStringLiteral("/Scripting"), kScripting, QStringLiteral("start"));
  if (bus_.call(start, QDBus::Block, 5000).type() == QDBusMessage::ErrorMessage) return {};
  return name;
}

void KWinWorkspace::unloadScript(const QString& name) {
  QDBusMessage unload = QDBusMessage::createMethodCall(kKWin, QStringLiteral("/Scripting"), kScripting,
                                                       QStringLiteral("unloadScript"));
  unload << name;
  bus_.call(unload, QDBus::Block, 2000);
}

qint64 KWinWorkspace::ownProcessId() const { return ::getpid(); }

QString KWinWorkspace::ruleName(const QString& appId) const {
  auto it = ruleNames_.constFind(appId);
  if (it != ruleNames_.constEnd()) return *it;
  const QString name = ruleNameForAppId(appId, applicationFolders());
  ruleNames_.insert(appId, name);
  return name;
}

void KWinWorkspace::activated(const QString& window) {
  // Only KWin's script reports here.
  if (calledFromDBus() && bus_.interface() && message().service() != bus_.interface()->serviceOwner(kKWin).value())
    return;
  reported_ = true;
  const QJsonObject w = QJsonDocument::fromJson(window.toUtf8()).object();
  ApplicationInfo info;
  QRect geometry;
  if (!w.isEmpty()) {
    // A Wayland window's desktop file name is its app_id's entry; an X11
    // window's class is what rules made there store.
    QString appId = w.value(QLatin1String("desktopFileName")).toString();
    if (appId.isEmpty()) appId = w.value(QLatin1String("resourceClass")).toString();
    const QString kwinId = w.value(QLatin1String("id")).toString();
    quint64& id = ourIds_[kwinId];
    if (!id) {
      id = nextId_++;
      windowIds_.insert(id, kwinId);
    }
    appIds_.insert(kwinId, appId);
    info.name = ruleName(appId);
    info.windowId = id;
    const qint64 pid = qint64(w.value(QLatin1String("pid")).toDouble());
    if (pid == ownProcessId()) info.processId = pid;
    geometry = QRect(w.value(QLatin1String("x")).toInt(), w.value(QLatin1String("y")).toInt(),
                     w.value(QLatin1String("width")).toInt(), w.value(QLatin1String("height")).toInt());
  }
  geometry_ = geometry;
  if (info == frontmost_) return;
  const ApplicationInfo previous = frontmost_;
  frontmost_ = info;
  if (previous.isValid()) Q_EMIT applicationDeactivated(previous);
  if (info.isValid()) Q_EMIT applicationActivated(info);
}

bool KWinWorkspace::activate(const ApplicationInfo& application) {
  const QString kwinId = windowIds_.value(application.windowId);
  if (!loaded_ || kwinId.isEmpty()) return false;
  // A one-off script: KWin takes activation requests from its scripts only.
  const QString name = QStringLiteral("quillet-activate-%1-%2").arg(::getpid()).arg(application.windowId);
  const QByteArray source =
      "var list = workspace.windowList ? workspace.windowList() : workspace.clientList();\n"
      "for (var i = 0; i < list.length; ++i) {\n"
      "  if (String(list[i].internalId) === '" + kwinId.toUtf8() + "') {\n"
      "    if (workspace.activeWindow !== undefined) workspace.activeWindow = list[i];\n"
      "    else workspace.activeClient = list[i];\n"
      "  }\n"
      "}\n";
  const bool ran = !runScript(name, source).isEmpty();
  // KWin reads and runs a started script a moment later.
  if (ran) QTimer::singleShot(2000, this, [this, name] { unloadScript(name); });
  return ran;
}

void KWinWorkspace::activateProgram() {
  // The program's windows raise themselves through Qt.
}

QRect KWinWorkspace::mainScreenGeometry() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry() : QRect();
}

QList<InstalledApplication> KWinWorkspace::installedApplications() const {
  QList<RunningApplication> running;
  for (const QString& appId : appIds_) running.append(RunningApplication{ruleName(appId), appId, appId});
  return desktopApplications(running);
}

}  // namespace ql
