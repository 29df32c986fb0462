#pragma once

#include "platform/accessibility.h"

namespace ql {

// No accessibility bridge yet: the selection and the caret are unknown, so
// the popup is centred. Input access is checked by the key source itself,
// which names what grants it.
class WaylandAccessibility final : public Accessibility {
 public:
  bool hasAssistiveAccess() const override { return true; }
  FocusedSelection focusedSelection() override { return {}; }
  CaretPlace focusedCaret(int) override { return {}; }
};

}  // namespace ql
