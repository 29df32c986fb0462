#pragma once

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

  void setMainScreenGeometry(const QRect& screen) { screen_ = screen; }
  // For tests; without it every running application is listed.
  void setInstalledApplications(const QList<InstalledApplication>& apps) { installed_ = apps; }

  // Called by the desktop when the front changes.
  void notifySwitch(const ApplicationInfo& from, const ApplicationInfo& to);

 private:
  SimDesktop& desktop_;
  QRect screen_{0, 0, 1440, 900};
  std::optional<QList<InstalledApplication>> installed_;
};

}  // namespace ql::sim
