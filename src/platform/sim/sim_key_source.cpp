#include "platform/sim/sim_key_source.h"

#include "platform/keys.h"
#include "platform/sim/sim_desktop.h"

namespace ql::sim {

SimKeySource::SimKeySource(SimDesktop& desktop) : desktop_(desktop) {}

bool SimKeySource::start() {
  if (startFails_) return false;
  started_ = true;
  return true;
}

void SimKeySource::stop() {
  started_ = false;
  enabled_ = false;
}

void SimKeySource::setEnabled(bool enabled) { enabled_ = enabled; }

bool SimKeySource::eraseDeliveredKey() {
  if (canWithhold_ || !erasable_) return true;
  if (eraseRefused_) return false;
  erasable_ = false;
  desktop_.postKeyFromProgram(keys::Delete, 0, true);
  desktop_.postKeyFromProgram(keys::Delete, 0, false);
  return true;
}

void SimKeySource::setHoldingInput(bool hold) {
  holding_ = hold;
  if (!hold) drainQueue();
}

bool SimKeySource::isReserved(const KeyEvent& event) const {
  const quint64 held = event.modifierFlags & (mods::Command | mods::Option | mods::Control);
  return held == 0 && reserved_.contains(event.keyCode);
}

void SimKeySource::userKeyDown(const KeyEvent& typed) {
  KeyEvent event = typed;
  const bool seenFirst = canWithhold_ || isReserved(event);
  if (holding_ && !holdsDelivery_ && !seenFirst && !event.delivered) {
    desktop_.deliverKey(event);
    event.delivered = true;
  }
  // The Mac holds presses while the tap callback runs; both kinds hold them
  // while the program asks for it.
  if (holding_ || (seenFirst && inHandler_ > 0)) {
    queue_.append(event);
    return;
  }
  if (seenFirst) {
    bool consumed = false;
    if (reporting()) {
      ++inHandler_;
      consumed = reportKeyDown(event);
      --inHandler_;
    }
    if (!consumed) desktop_.deliverKey(event);
  } else {
    // One delivered during a hold is only reported now.
    if (!event.delivered) desktop_.deliverKey(event);
    event.delivered = true;
    if (reporting()) {
      ++inHandler_;
      erasable_ = true;
      reportKeyDown(event);
      erasable_ = false;
      --inHandler_;
    }
  }
  drainQueue();
}

void SimKeySource::userFlagsChanged(quint64 modifierFlags) {
  if (reporting()) Q_EMIT flagsChanged(modifierFlags);
}

void SimKeySource::userMouseEvent(const MouseEvent& event) {
  if (reporting()) Q_EMIT mouseEvent(event);
}

void SimKeySource::drainQueue() {
  if (holding_ || inHandler_ > 0) return;
  while (!queue_.isEmpty() && !holding_ && inHandler_ == 0) userKeyDown(queue_.takeFirst());
}

}  // namespace ql::sim
