#pragma once

#include "platform/login_items.h"

namespace ql::sim {

class SimLoginItems final : public LoginItems {
 public:
  void add() override { present_ = true; }
  void remove() override { present_ = false; }
  bool contains() const override { return present_; }

 private:
  bool present_ = false;
};

}  // namespace ql::sim
