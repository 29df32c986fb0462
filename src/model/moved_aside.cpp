#include "model/moved_aside.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ql {

QString movedAsideName(const QString& path) {
  const QFileInfo info(path);
  const QString stem = info.completeBaseName() + QStringLiteral(" unreadable ") +
                       info.lastModified().toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
  const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
  QString candidate = info.dir().filePath(stem + suffix);
  for (int n = 2; QFileInfo::exists(candidate); ++n)
    candidate = info.dir().filePath(stem + QStringLiteral(" %1").arg(n) + suffix);
  return candidate;
}

QString moveAside(const QString& path) {
  const QString target = movedAsideName(path);
  return QFile::rename(path, target) ? target : QString();
}

}  // namespace ql
