#pragma once

#include "platform/login_items.h"

#include <QString>

namespace ql {

// The login item as an XDG autostart entry, "quillet.desktop" in the
// user's autostart folder ($XDG_CONFIG_HOME/autostart).
class X11LoginItems final : public LoginItems {
 public:
  // program: what the entry starts; empty means this executable.
  explicit X11LoginItems(QString program = {});

  void add() override;
  void remove() override;
  bool contains() const override;

  QString entryPath() const;

 private:
  QStringList entriesStartingProgram() const;

  QString program_;
};

}  // namespace ql
