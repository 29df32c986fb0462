#include "platform/sim/sim_input_synthesiser.h"

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_keyboard_layout.h"

#include <QEventLoop>
#include <QTimer>

namespace ql::sim {

void SimInputSynthesiser::postKey(quint16 keyCode, quint64 modifierFlags, bool down) {
  desktop_.postKeyFromProgram(keyCode, modifierFlags, down);
}

bool SimInputSynthesiser::typeCharacter(const QString& character) {
  if (character.size() != 1) return false;
  const std::optional<SimKeyboardLayout::KeyStroke> stroke = SimKeyboardLayout::keyFor(character.front());
  if (!stroke) return false;
  postKey(stroke->keyCode, stroke->modifierFlags, true);
  postKey(stroke->keyCode, stroke->modifierFlags, false);
  return true;
}

quint64 SimInputSynthesiser::heldModifiers() const { return desktop_.heldModifiers(); }

bool SimInputSynthesiser::waitForModifiersReleased(int timeoutMs) {
  if (desktop_.heldModifiers() == 0) return true;
  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  QObject::connect(&desktop_, &SimDesktop::modifiersChanged, &loop, [&loop](quint64 flags) {
    if (flags == 0) loop.quit();
  });
  timer.start(qMax(0, timeoutMs));
  loop.exec();
  return desktop_.heldModifiers() == 0;
}

}  // namespace ql::sim
