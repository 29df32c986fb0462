#pragma once

#include "platform/relauncher.h"

namespace ql::sim {

class SimRelauncher final : public Relauncher {
 public:
  bool startRelaunchHelper() override {
    if (fails_) return false;
    ++starts_;
    return true;
  }

  void setFails(bool fails) { fails_ = fails; }
  int starts() const { return starts_; }

 private:
  bool fails_ = false;
  int starts_ = 0;
};

}  // namespace ql::sim
