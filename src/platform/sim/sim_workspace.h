#pragma once

#include <QHash>
#include <QPair>

#include "platform/workspace.h"

#include <optional>

namespace ql::sim {

class SimDesktop;

class SimWorkspace final : public Workspace {
  Q_OBJECT

 public:
  explicit SimWorkspace(SimDesktop& desktop) : desktop_(desktop) {}

  ApplicationInfo frontmostApplication() const override;
  qint64 ownProcessId() const override;
  bool activate(const ApplicationInfo& application) override;
  void activateProgram() override;
  QRect mainScreenGeometry() const override { return screen_; }
  QList<InstalledApplication> installedApplications() const override;
  // Nothing to hide from: the choice is only recorded, for tests.
  void setSkipsTaskbar(QObject* window, bool skipTaskbar, bool skipPager) override;
  bool skipsTaskbar(const QObject* window) const { return skips_.value(window).first; }
  bool skipsPager(const QObject* window) const { return skips_.value(window).second; }

  void setMainScreenGeometry(const QRect& screen) { screen_ = screen; }
  // For tests; without it every running application is listed.
  void setInstalledApplications(const QList<InstalledApplication>& apps) { installed_ = apps; }

  // Called by the desktop when the front changes.
  void notifySwitch(const ApplicationInfo& from, const ApplicationInfo& to);

 private:
  SimDesktop& desktop_;
  QRect screen_{0, 0, 1440, 900};
  std::optional<QList<InstalledApplication>> installed_;
  QHash<const QObject*, QPair<bool, bool>> skips_;
};

}  // namespace ql::sim
