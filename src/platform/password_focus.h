#pragma once

#include <QObject>

namespace ql {

// Whether the element that has the keyboard is a password field, as its
// application tells through the accessibility bus. Known ahead of the keys:
// the answer is kept as a flag, so asking costs nothing on the key path.
// Where nothing is told, the answer is false and typing goes on as ever.
class PasswordFocus : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  ~PasswordFocus() override = default;

  // True while the focused element of the frontmost application is (or may
  // be, until its application has answered) a password field.
  virtual bool isPasswordField() const = 0;

 Q_SIGNALS:
  // The answer of isPasswordField() changed.
  void passwordFieldChanged(bool isPassword);
};

// A desktop that tells nothing about its fields.
class NoPasswordFocus final : public PasswordFocus {
 public:
  using PasswordFocus::PasswordFocus;
  bool isPasswordField() const override { return false; }
};

}  // namespace ql
