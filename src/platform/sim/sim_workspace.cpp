#include "platform/sim/sim_workspace.h"

#include "platform/sim/sim_desktop.h"

namespace ql::sim {

ApplicationInfo SimWorkspace::frontmostApplication() const {
  const SimApplication* app = desktop_.frontmost();
  return app ? app->info() : ApplicationInfo{};
}

qint64 SimWorkspace::ownProcessId() const { return SimDesktop::kProgramProcessId; }

bool SimWorkspace::activate(const ApplicationInfo& application) {
  SimApplication* app = desktop_.applicationByProcessId(application.processId);
  if (!app) return false;
  desktop_.switchTo(app->name);
  return true;
}

void SimWorkspace::setSkipsTaskbar(QObject* window, bool skipTaskbar, bool skipPager) {
  if (!window) return;
  if (!skips_.contains(window))
    QObject::connect(window, &QObject::destroyed, this, [this, window] { skips_.remove(window); });
  skips_.insert(window, {skipTaskbar, skipPager});
}

void SimWorkspace::activateProgram() { desktop_.switchTo(SimDesktop::kProgramName); }

QList<InstalledApplication> SimWorkspace::installedApplications() const {
  if (installed_) return *installed_;
  QList<InstalledApplication> apps;
  for (const SimApplication* app : desktop_.applications()) {
    if (app->processId == SimDesktop::kProgramProcessId) continue;
    apps.append({app->name, QStringLiteral("/usr/share/applications/%1.desktop").arg(app->name),
                 app->name.toLower(), QString()});
  }
  return apps;
}

void SimWorkspace::notifySwitch(const ApplicationInfo& from, const ApplicationInfo& to) {
  if (from.isValid()) Q_EMIT applicationDeactivated(from);
  Q_EMIT applicationActivated(to);
}

}  // namespace ql::sim
