#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace ql::test {

// A client of the test compositor with its own home and XDG folders.
inline QStringList clientEnvironment(const QStringList& compositor, const QString& home) {
  return compositor + QStringList{"HOME=" + home, "XDG_DATA_HOME=" + home + "/.local/share",
                                  "XDG_CONFIG_HOME=" + home + "/.config", "XDG_CACHE_HOME=" + home + "/.cache"};
}

// The same over this process's environment, without its X display, so a
// client cannot fall back to X11.
inline QProcessEnvironment clientProcessEnvironment(const QStringList& environment) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("DISPLAY"));
  for (const QString& e : environment) env.insert(e.section('=', 0, 0), e.section('=', 1));
  return env;
}

}  // namespace ql::test
