#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <QString>

namespace ql {

// A running application as the workspace reports it.
struct ApplicationInfo {
  QString name;         // the localized name (X11: the WM_CLASS class); application rules compare it
  qint64 processId = 0; // 0: unknown
  quint64 windowId = 0; // the window that was active, used to bring it back; 0: none
  bool isValid() const { return processId != 0 || windowId != 0 || !name.isEmpty(); }
  bool operator==(const ApplicationInfo&) const = default;
};

// An application that can be installed for the user (the application picker).
struct InstalledApplication {
  QString name;      // what application rules store
  QString path;      // its launcher or executable
  QString iconName;  // a theme icon name or an icon file; may be empty
  QString displayName;  // the name people know it by; empty: name
};

// Which application is in front, and changes of it.
class Workspace : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  ~Workspace() override = default;

  // The frontmost application; invalid when none can be told.
  virtual ApplicationInfo frontmostApplication() const = 0;
  // The program's own process id.
  virtual qint64 ownProcessId() const = 0;
  // Whether the program itself is frontmost.
  bool isProgramFrontmost() const { return frontmostApplication().processId == ownProcessId(); }

  // Brings that application (its recorded window) back to the front. False
  // when it is gone.
  virtual bool activate(const ApplicationInfo& application) = 0;
  // Brings the program itself to the front (its windows take the focus).
  virtual void activateProgram() = 0;

  // Geometry of the main screen, top-left origin.
  virtual QRect mainScreenGeometry() const = 0;

  virtual QList<InstalledApplication> installedApplications() const = 0;

  // Keeps one of the program's own top-level windows (its QWindow) out of
  // the taskbar and, with skipPager, out of the pager, or lets it back in.
  // The window stays a normal window: decorated, and it takes the focus.
  // The choice holds every time the window is shown again. Desktops without
  // a taskbar leave this alone.
  virtual void setSkipsTaskbar(QObject* window, bool skipTaskbar, bool skipPager) {
    Q_UNUSED(window);
    Q_UNUSED(skipTaskbar);
    Q_UNUSED(skipPager);
  }

 Q_SIGNALS:
  // Another application (or the program itself) became frontmost.
  void applicationActivated(const ql::ApplicationInfo& application);
  // The application that was frontmost lost the front.
  void applicationDeactivated(const ql::ApplicationInfo& application);
};

}  // namespace ql
