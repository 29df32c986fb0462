#pragma once

#include "platform/workspace.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QHash>
#include <QTemporaryDir>

namespace ql {

// The frontmost application on KWin, which lists its windows to no other
// client: a script loaded into KWin over D-Bus reports each activation, with
// the window's class, desktop file name, process and geometry, to this
// object on the session bus.
class KWinWorkspace final : public Workspace, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "com.orrerylabs.Quillet.KWinWorkspace")

 public:
  explicit KWinWorkspace(QObject* parent = nullptr);
  ~KWinWorkspace() override;

  // False when KWin's scripting could not be reached.
  bool isValid() const { return loaded_; }

  ApplicationInfo frontmostApplication() const override { return frontmost_; }
  qint64 ownProcessId() const override;
  bool activate(const ApplicationInfo& application) override;
  void activateProgram() override;
  QRect mainScreenGeometry() const override;
  QList<InstalledApplication> installedApplications() const override;

  // Where the frontmost window is, in KWin's coordinates; empty if unknown.
  QRect frontmostGeometry() const { return geometry_; }

public Q_SLOTS:
  // What the script sends (JSON), exported on the bus.
  Q_SCRIPTABLE void activated(const QString& window);

 private:
  // Loads and starts a script, the plugin name it got, or empty.
  QString runScript(const QString& name, const QByteArray& source);
  void unloadScript(const QString& name);
  QString ruleName(const QString& appId) const;

  QDBusConnection bus_;
  QTemporaryDir scripts_;
  QString reporter_;
  bool loaded_ = false;
  bool reported_ = false;
  ApplicationInfo frontmost_;
  QRect geometry_;
  QHash<quint64, QString> windowIds_;  // our ids -> KWin's internal ids
  QHash<QString, quint64> ourIds_;
  QHash<QString, QString> appIds_;  // KWin's internal id -> app id, for the picker
  mutable QHash<QString, QString> ruleNames_;
  quint64 nextId_ = 1;
};

}  // namespace ql
