#pragma once

#include "platform/workspace.h"

#include <QHash>

struct zwlr_foreign_toplevel_handle_v1;

struct zwlr_foreign_toplevel_manager_v1_listener;
struct zwlr_foreign_toplevel_handle_v1_listener;
struct zwlr_foreign_toplevel_manager_v1;

namespace ql {

class WaylandConnection;

// The frontmost application from wlr foreign toplevel management: the
// activated toplevel's app_id, named as rules store it (see
// ruleNameForAppId). Its process id is not told; the program's own windows
// are known by their app_id.
class WaylandWorkspace final : public Workspace {
  Q_OBJECT

 public:
  explicit WaylandWorkspace(WaylandConnection& connection, QObject* parent = nullptr);
  ~WaylandWorkspace() override;

  // False when the compositor does not list its windows.
  bool isValid() const { return manager_ != nullptr; }

  ApplicationInfo frontmostApplication() const override { return frontmost_; }
  qint64 ownProcessId() const override;
  bool activate(const ApplicationInfo& application) override;
  void activateProgram() override;
  QRect mainScreenGeometry() const override;
  QList<InstalledApplication> installedApplications() const override;

  // The app_ids of the open toplevels, front first as far as known.
  QStringList openApplications() const;

 private:
  struct Toplevel {
    quint64 id = 0;
    QString appId;
    QString title;
    bool activated = false;
    bool pendingActivated = false;
  };
  static const ::zwlr_foreign_toplevel_manager_v1_listener managerListener;
  static const ::zwlr_foreign_toplevel_handle_v1_listener handleListener;

  void added(zwlr_foreign_toplevel_handle_v1* handle);
  void done(zwlr_foreign_toplevel_handle_v1* handle);
  void closed(zwlr_foreign_toplevel_handle_v1* handle);
  ApplicationInfo infoOf(const Toplevel& toplevel) const;
  // What rules call the application of this app_id (desktop entries read once).
  QString ruleName(const QString& appId) const;
  void setFrontmost(const ApplicationInfo& info);

  WaylandConnection& connection_;
  ::zwlr_foreign_toplevel_manager_v1* manager_ = nullptr;
  QHash<zwlr_foreign_toplevel_handle_v1*, Toplevel> toplevels_;
  ApplicationInfo frontmost_;
  mutable QHash<QString, QString> ruleNames_;
  quint64 nextId_ = 1;
};

}  // namespace ql
