#pragma once

#include "platform/accessibility.h"

namespace ql::sim {

class SimDesktop;

// Reads the frontmost application's field. What can be read is set per
// field (SimTextField::selectionReadable, boundsReadable).
class SimAccessibility final : public Accessibility {
 public:
  explicit SimAccessibility(SimDesktop& desktop) : desktop_(desktop) {}

  bool hasAssistiveAccess() const override { return access_; }
  FocusedSelection focusedSelection() override;
  CaretPlace focusedCaret(int before) override;

  void setAssistiveAccess(bool access) { access_ = access; }

 private:
  SimDesktop& desktop_;
  bool access_ = true;
};

}  // namespace ql::sim
