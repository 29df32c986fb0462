#pragma once

#include "platform/password_focus.h"

namespace ql::sim {

// What the simulated accessibility bus tells of the focused element: the
// test says when a password field has the keyboard.
class SimPasswordFocus final : public PasswordFocus {
 public:
  using PasswordFocus::PasswordFocus;

  bool isPasswordField() const override { return password_; }

  void setPasswordField(bool password) {
    if (password_ == password) return;
    password_ = password;
    Q_EMIT passwordFieldChanged(password);
  }

 private:
  bool password_ = false;
};

}  // namespace ql::sim
