#include "platform/wayland/app_id_names.h"

#include "platform/x11/desktop_entries.h"

#include <QFileInfo>

namespace ql {

QString ruleNameForAppId(const QString& appId, const QStringList& applicationFolders) {
  if (appId.isEmpty() || appId.contains(QLatin1Char('/'))) return appId;
  for (const QString& folder : applicationFolders) {
    // The user's folder comes first and hides the system's entry.
    const QString path = folder + QLatin1Char('/') + appId + QStringLiteral(".desktop");
    if (!QFileInfo::exists(path)) continue;
    const std::optional<DesktopEntry> entry = readDesktopEntry(path, localeKeys(messagesLocale()));
    if (!entry) return appId;
    if (!entry->startupWMClass.isEmpty()) return entry->startupWMClass;
    // An entry named after its reverse-DNS id is a program that uses that id
    // as its X11 class too (GTK 4, recent Qt).
    if (appId.contains(QLatin1Char('.'))) return appId;
    const QString expected = expectedWindowClass(*entry);
    return expected.isEmpty() ? appId : expected;
  }
  return appId;
}

}  // namespace ql
