#pragma once

#include <QString>
#include <QStringList>

namespace ql {

// The name an application's rules are stored under, for a Wayland app_id.
// Rules made on X11 name the window class; a Wayland application names
// itself by its desktop entry's id, and that entry tells the class its X11
// windows have (StartupWMClass, else the toolkit's default for its
// program). Without such an entry the app_id is the name.
QString ruleNameForAppId(const QString& appId, const QStringList& applicationFolders);

}  // namespace ql
