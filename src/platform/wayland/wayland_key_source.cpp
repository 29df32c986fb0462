#include "platform/wayland/wayland_key_source.h"

#include "platform/keys.h"
#include "platform/wayland/evdev_key_translator.h"

#include <linux/input-event-codes.h>

#include <utility>

namespace ql {

WaylandKeySource::WaylandKeySource(std::function<void()> eraser, QObject* parent)
    : KeySource(parent), eraser_(std::move(eraser)), translator_(std::make_unique<EvdevKeyTranslator>()) {
  connect(&reader_, &InputEventReader::record, this,
          [this](const InputEventReader::Record& r) { receive(r); });
}

WaylandKeySource::~WaylandKeySource() = default;

void WaylandKeySource::setKeymap(const QByteArray& text) { translator_->setKeymap(text); }

quint64 WaylandKeySource::currentFlags() const { return translator_->flags(); }

bool WaylandKeySource::start() {
  stop();
  if (!fifo_.isEmpty()) return reader_.openFifo(fifo_);
  reader_.openDevices();
  return true;
}

void WaylandKeySource::stop() {
  reader_.closeAll();
  held_.clear();
  frame_.clear();
}

void WaylandKeySource::setHoldingInput(bool hold) {
  holding_ = hold;
  if (hold) return;
  while (!holding_ && !held_.empty()) {
    const InputEventReader::Record r = held_.front();
    held_.pop_front();
    process(r);
  }
}

bool WaylandKeySource::eraseDeliveredKey() {
  if (!handling_) return false;
  switch (currentKey_) {
    case keys::Return: case keys::KeypadEnter: case keys::Tab: case keys::Escape:
      return false;  // their effect is not undone by a BackSpace
    default:
      break;
  }
  if (eraser_) eraser_();
  return true;
}

void WaylandKeySource::receive(const InputEventReader::Record& record) {
  // A device reports in frames that end with SYN_REPORT; a frame the
  // kernel had to drop part of is dropped whole.
  if (record.type == EV_SYN) {
    if (record.code == SYN_DROPPED) {
      frame_.clear();
      return;
    }
    if (record.code != SYN_REPORT) return;
    for (const InputEventReader::Record& r : std::exchange(frame_, {})) {
      if (holding_ || !held_.empty()) {
        held_.push_back(r);
      } else {
        process(r);
      }
    }
    return;
  }
  if (record.type == EV_KEY || record.type == EV_REL) frame_.push_back(record);
}

void WaylandKeySource::process(const InputEventReader::Record& r) {
  if (r.type == EV_REL) {
    if (r.code == REL_X) pointer_.rx() += r.value;
    if (r.code == REL_Y) pointer_.ry() += r.value;
    return;
  }
  if (r.code >= BTN_MISC && r.code < KEY_OK) {
    if (r.value != 1 || !enabled_) return;
    MouseEvent m;
    m.type = r.code == BTN_LEFT    ? MouseEventType::LeftDown
             : r.code == BTN_RIGHT ? MouseEventType::RightDown
                                   : MouseEventType::OtherDown;
    m.position = pointer_;
    m.modifierFlags = translator_->flags();
    m.clickCount = 1;
    m.timestamp = r.timestampMs;
    translator_->resetCompose();
    Q_EMIT mouseEvent(m);
    return;
  }
  const EvdevKeyTranslator::Result t = translator_->feed(r.code, r.value, r.timestampMs);
  if (t.flagsChanged && enabled_) Q_EMIT flagsChanged(t.flags);
  if (!t.keyDown || !enabled_) return;
  // Held presses may be reported from inside the handler of an earlier one.
  const bool wasHandling = handling_;
  const quint16 outerKey = currentKey_;
  handling_ = true;
  currentKey_ = t.key.keyCode;
  reportKeyDown(t.key);
  handling_ = wasHandling;
  currentKey_ = outerKey;
}

}  // namespace ql
