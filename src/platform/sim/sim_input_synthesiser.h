#pragma once

#include "platform/input_synthesiser.h"

namespace ql::sim {

class SimDesktop;

// Posts keys into the simulated desktop: each is logged, and a key-down is
// applied by the frontmost application's field.
class SimInputSynthesiser final : public InputSynthesiser {
 public:
  explicit SimInputSynthesiser(SimDesktop& desktop) : desktop_(desktop) {}

  void postKey(quint16 keyCode, quint64 modifierFlags, bool down) override;
  // Characters of the US layout only.
  bool typeCharacter(const QString& character) override;
  quint64 heldModifiers() const override;
  bool waitForModifiersReleased(int timeoutMs) override;

 private:
  SimDesktop& desktop_;
};

}  // namespace ql::sim
