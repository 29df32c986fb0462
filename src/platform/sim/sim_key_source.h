#pragma once

#include "platform/key_source.h"

#include <QList>

namespace ql::sim {

class SimDesktop;

// The simulated key source. By default it behaves like the Mac event tap:
// the handler sees a press before the application and can withhold it, and
// presses typed while the handler runs wait until it has returned. Switched
// to the X11 way (setCanWithholdKeys(false)) the application gets the press
// first, the handler's answer is ignored and eraseDeliveredKey() posts a
// Delete.
class SimKeySource final : public KeySource {
  Q_OBJECT

 public:
  explicit SimKeySource(SimDesktop& desktop);

  bool start() override;
  void stop() override;
  void setEnabled(bool enabled) override;
  bool isEnabled() const override { return enabled_; }
  bool canWithholdKeys() const override { return canWithhold_; }
  bool eraseDeliveredKey() override;
  void setHoldingInput(bool hold) override;
  bool isHoldingInput() const override { return holding_; }
  bool holdsDelivery() const override { return holdsDelivery_; }
  // In the X11 way, reserved keys (alone or with Shift) are seen first,
  // as under the X11 backend's grabs.
  void setReservedKeys(const QList<quint16>& keyCodes) override { reserved_ = keyCodes; }
  const QList<quint16>& reservedKeys() const { return reserved_; }

  // Switches between the Mac behaviour (true, the default) and the X11 one.
  void setCanWithholdKeys(bool can) { canWithhold_ = can; }
  // The Wayland way on top of the X11 one: a hold delays only the reports,
  // presses reach the application at once.
  void setHoldsDelivery(bool holds) { holdsDelivery_ = holds; }
  // For tests: eraseDeliveredKey() refuses, as on X11 when the user typed on
  // with a key that cannot be taken back.
  void setEraseRefused(bool refused) { eraseRefused_ = refused; }
  // For tests: start() fails, as without assistive access.
  void setStartFails(bool fails) { startFails_ = fails; }
  bool isStarted() const { return started_; }
  // Presses waiting for a hold or a running handler to end.
  int queuedKeys() const { return int(queue_.size()); }

  // Entry points of the desktop's user input.
  void userKeyDown(const KeyEvent& event);
  void userFlagsChanged(quint64 modifierFlags);
  void userMouseEvent(const MouseEvent& event);

 private:
  bool reporting() const { return started_ && enabled_; }
  bool isReserved(const KeyEvent& event) const;
  void drainQueue();

  SimDesktop& desktop_;
  bool started_ = false;
  bool enabled_ = false;
  bool canWithhold_ = true;
  bool holdsDelivery_ = true;
  bool startFails_ = false;
  bool eraseRefused_ = false;
  bool holding_ = false;
  int inHandler_ = 0;
  bool erasable_ = false;
  QList<KeyEvent> queue_;
  QList<quint16> reserved_;
};

}  // namespace ql::sim
