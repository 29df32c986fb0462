#pragma once

#include "platform/relauncher.h"

#include <QString>

namespace ql {

// Restarts through the "quillet-relaunch PATH PID" helper, found beside
// the executable, in the build tree's tools folder, or on PATH.
class X11Relauncher final : public Relauncher {
 public:
  explicit X11Relauncher(QString helper = {});

  bool startRelaunchHelper() override;
  QString helperPath() const;

 private:
  QString helper_;
};

}  // namespace ql
