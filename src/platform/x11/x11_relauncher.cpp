#include "platform/x11/x11_relauncher.h"

#include "platform/log.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace ql {

X11Relauncher::X11Relauncher(QString helper) : helper_(std::move(helper)) {}

QString X11Relauncher::helperPath() const {
  if (!helper_.isEmpty()) return helper_;
  const QString dir = QCoreApplication::applicationDirPath();
  for (const QString& candidate : {dir + QStringLiteral("/quillet-relaunch"),
                                   dir + QStringLiteral("/../tools/quillet-relaunch"),
                                   dir + QStringLiteral("/../../tools/quillet-relaunch")}) {
    const QFileInfo info(candidate);
    if (info.isFile() && info.isExecutable()) return info.canonicalFilePath();
  }
  return QStandardPaths::findExecutable(QStringLiteral("quillet-relaunch"));
}

bool X11Relauncher::startRelaunchHelper() {
  const QString helper = helperPath();
  if (helper.isEmpty()) {
    logError(QStringLiteral("relaunch"), QStringLiteral("quillet-relaunch not found"));
    return false;
  }
  const bool started = QProcess::startDetached(
      helper, {QCoreApplication::applicationFilePath(),
               QString::number(QCoreApplication::applicationPid())});
  if (!started) logError(QStringLiteral("relaunch"), QStringLiteral("cannot start quillet-relaunch"));
  return started;
}

}  // namespace ql
