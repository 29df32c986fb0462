#include "platform/wayland/wayland_workspace.h"

#include "platform/wayland/app_id_names.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/x11/desktop_entries.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include <wayland-client.h>
#include <wlr-foreign-toplevel-management-unstable-v1-client.h>

#include <unistd.h>

namespace ql {
namespace {

// The program's own windows, natively or through XWayland.
bool isOwnAppId(const QString& appId) {
  return appId.compare(QLatin1String("quillet"), Qt::CaseInsensitive) == 0 ||
         appId == QGuiApplication::desktopFileName();
}

}  // namespace

const zwlr_foreign_toplevel_manager_v1_listener WaylandWorkspace::managerListener = {
    [](void* data, zwlr_foreign_toplevel_manager_v1*, zwlr_foreign_toplevel_handle_v1* handle) {
      static_cast<WaylandWorkspace*>(data)->added(handle);
    },
    [](void* data, zwlr_foreign_toplevel_manager_v1* manager) {
      auto* self = static_cast<WaylandWorkspace*>(data);
      zwlr_foreign_toplevel_manager_v1_destroy(manager);
      self->manager_ = nullptr;
    },
};

const zwlr_foreign_toplevel_handle_v1_listener WaylandWorkspace::handleListener = {
    [](void* data, zwlr_foreign_toplevel_handle_v1* h, const char* title) {
      static_cast<WaylandWorkspace*>(data)->toplevels_[h].title = QString::fromUtf8(title);
    },
    [](void* data, zwlr_foreign_toplevel_handle_v1* h, const char* appId) {
      static_cast<WaylandWorkspace*>(data)->toplevels_[h].appId = QString::fromUtf8(appId);
    },
    [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {},
    [](void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {},
    [](void* data, zwlr_foreign_toplevel_handle_v1* h, wl_array* states) {
      bool activated = false;
      const auto* begin = static_cast<const uint32_t*>(states->data);
      for (size_t i = 0; i < states->size / sizeof(uint32_t); ++i)
        if (begin[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED) activated = true;
      static_cast<WaylandWorkspace*>(data)->toplevels_[h].pendingActivated = activated;
    },
    [](void* data, zwlr_foreign_toplevel_handle_v1* h) { static_cast<WaylandWorkspace*>(data)->done(h); },
    [](void* data, zwlr_foreign_toplevel_handle_v1* h) { static_cast<WaylandWorkspace*>(data)->closed(h); },
    [](void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {},
};

WaylandWorkspace::WaylandWorkspace(WaylandConnection& connection, QObject* parent)
    : Workspace(parent), connection_(connection) {
  manager_ = connection.bindToplevelManager();
  if (!manager_) return;
  zwlr_foreign_toplevel_manager_v1_add_listener(manager_, &managerListener, this);
  // The toplevels open now, with their state.
  connection.roundtrip();
}

WaylandWorkspace::~WaylandWorkspace() {
  for (auto it = toplevels_.cbegin(); it != toplevels_.cend(); ++it)
    zwlr_foreign_toplevel_handle_v1_destroy(it.key());
  if (manager_) zwlr_foreign_toplevel_manager_v1_destroy(manager_);
  connection_.flush();
}

qint64 WaylandWorkspace::ownProcessId() const { return ::getpid(); }

void WaylandWorkspace::added(zwlr_foreign_toplevel_handle_v1* handle) {
  Toplevel t;
  t.id = nextId_++;
  toplevels_.insert(handle, t);
  zwlr_foreign_toplevel_handle_v1_add_listener(handle, &handleListener, this);
}

QString WaylandWorkspace::ruleName(const QString& appId) const {
  auto it = ruleNames_.constFind(appId);
  if (it != ruleNames_.constEnd()) return *it;
  const QString name = ruleNameForAppId(appId, applicationFolders());
  ruleNames_.insert(appId, name);
  return name;
}

ApplicationInfo WaylandWorkspace::infoOf(const Toplevel& toplevel) const {
  ApplicationInfo info;
  info.name = ruleName(toplevel.appId);
  info.windowId = toplevel.id;
  if (isOwnAppId(toplevel.appId)) info.processId = ownProcessId();
  return info;
}

void WaylandWorkspace::setFrontmost(const ApplicationInfo& info) {
  if (info == frontmost_) return;
  const ApplicationInfo previous = frontmost_;
  frontmost_ = info;
  if (previous.isValid()) Q_EMIT applicationDeactivated(previous);
  if (info.isValid()) Q_EMIT applicationActivated(info);
}

void WaylandWorkspace::done(zwlr_foreign_toplevel_handle_v1* handle) {
  auto it = toplevels_.find(handle);
  if (it == toplevels_.end()) return;
  const bool was = it->activated;
  it->activated = it->pendingActivated;
  if (it->activated && !was) {
    setFrontmost(infoOf(*it));
  } else if (!it->activated && was && frontmost_.windowId == it->id) {
    setFrontmost({});
  } else if (it->activated && frontmost_.windowId == it->id && frontmost_.name != ruleName(it->appId)) {
    setFrontmost(infoOf(*it));  // the app_id came late
  }
}

void WaylandWorkspace::closed(zwlr_foreign_toplevel_handle_v1* handle) {
  auto it = toplevels_.find(handle);
  if (it == toplevels_.end()) return;
  const bool wasFront = frontmost_.windowId == it->id;
  toplevels_.erase(it);
  zwlr_foreign_toplevel_handle_v1_destroy(handle);
  if (wasFront) setFrontmost({});
}

bool WaylandWorkspace::activate(const ApplicationInfo& application) {
  if (!manager_ || !connection_.seat()) return false;
  zwlr_foreign_toplevel_handle_v1* found = nullptr;
  for (auto it = toplevels_.cbegin(); it != toplevels_.cend(); ++it) {
    if (application.windowId && it->id == application.windowId) {
      found = it.key();
      break;
    }
    if (!application.windowId && !found && ruleName(it->appId) == application.name) found = it.key();
  }
  if (!found) return false;
  zwlr_foreign_toplevel_handle_v1_activate(found, connection_.seat());
  connection_.flush();
  return true;
}

void WaylandWorkspace::activateProgram() {
  // The program's windows raise themselves through Qt; on sway a window
  // that asks for activation gets it when it is the program's own.
  if (QGuiApplication::focusWindow()) return;
  for (auto it = toplevels_.cbegin(); it != toplevels_.cend(); ++it) {
    if (isOwnAppId(it->appId)) {
      zwlr_foreign_toplevel_handle_v1_activate(it.key(), connection_.seat());
      connection_.flush();
      return;
    }
  }
}

QRect WaylandWorkspace::mainScreenGeometry() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry() : QRect();
}

QList<InstalledApplication> WaylandWorkspace::installedApplications() const {
  QList<RunningApplication> running;
  for (const Toplevel& t : toplevels_) running.append(RunningApplication{ruleName(t.appId), t.appId, t.appId});
  return desktopApplications(running);
}

QStringList WaylandWorkspace::openApplications() const {
  QStringList result;
  for (const Toplevel& t : toplevels_)
    if (!result.contains(t.appId)) result.append(t.appId);
  return result;
}

}  // namespace ql
