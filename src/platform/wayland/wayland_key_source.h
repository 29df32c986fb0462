#pragma once

#include "platform/key_source.h"
#include "platform/wayland/input_event_reader.h"

#include <QPointF>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace ql {

class EvdevKeyTranslator;

// The key source on the kernel's input devices (or the FIFO of
// QUILLET_INPUT_EVENTS). The compositor gets every press as well, at the
// same moment, so nothing can be withheld: a consumed press is erased with
// one BackSpace. Nor can the input be held; presses that come in during an
// expansion are reported after it, in order, so the word buffer matches
// what the application got.
class WaylandKeySource final : public KeySource {
  Q_OBJECT

 public:
  // eraser posts one BackSpace through the program's own keyboard.
  WaylandKeySource(std::function<void()> eraser, QObject* parent = nullptr);
  ~WaylandKeySource() override;

  // fifo: read records from there instead of the devices.
  void setFifo(const QString& path) { fifo_ = path; }
  // The session's keymap, in XKB text form.
  void setKeymap(const QByteArray& text);

  // True even without device access: the program runs on without
  // expansion, and deniedDevices() says why.
  bool start() override;
  void stop() override;
  void setEnabled(bool enabled) override { enabled_ = enabled; }
  bool isEnabled() const override { return enabled_; }
  bool canWithholdKeys() const override { return false; }
  bool eraseDeliveredKey() override;
  void setHoldingInput(bool hold) override;
  bool isHoldingInput() const override { return holding_; }
  bool holdsDelivery() const override { return false; }

  // Keyboards that exist but cannot be read; no keyboard read at all.
  int deniedDevices() const { return reader_.deniedKeyboards(); }
  bool readsAnything() const { return reader_.openCount() > 0; }
  quint64 currentFlags() const;
  EvdevKeyTranslator& translator() { return *translator_; }

 private:
  void receive(const InputEventReader::Record& record);
  void process(const InputEventReader::Record& record);

  std::function<void()> eraser_;
  InputEventReader reader_;
  std::unique_ptr<EvdevKeyTranslator> translator_;
  std::deque<InputEventReader::Record> held_;
  std::vector<InputEventReader::Record> frame_;  // the device's frame until its SYN_REPORT
  QString fifo_;
  QPointF pointer_;  // where relative motion has taken the pointer
  quint16 currentKey_ = 0;
  bool handling_ = false;
  bool enabled_ = false;
  bool holding_ = false;
};

}  // namespace ql
