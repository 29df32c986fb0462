#pragma once

#include "platform/key_source.h"
#include "platform/x11/record_reader.h"

#include <QHash>
#include <QPair>
#include <QSet>

#include <deque>
#include <memory>

namespace ql {

class KeyCharacters;
class KeyboardHold;
class X11Connection;
class XkbKeymap;
class XTestKeyboard;

// The key source on RECORD. Presses are seen after the server delivered
// them, so nothing can be withheld: a consumed press is erased with a
// BackSpace. Keys typed after it may have reached the application before
// the program could react; erasing first holds the keyboard and reads the
// stream up to that moment, and such keys are erased too and replayed
// after the expansion. While the input is held, the keys the grab caught
// are queued and, when the hold ends, reported and replayed through XTEST
// in order (a consumed replayed press is then truly dropped) before
// anything the program posts later; the grab lasts until the last one is
// out.
class X11KeySource final : public KeySource {
  Q_OBJECT

 public:
  X11KeySource(X11Connection& connection, XkbKeymap& keymap, KeyboardHold& hold,
               XTestKeyboard& keyboard, QObject* parent = nullptr);
  ~X11KeySource() override;

  bool start() override;
  void stop() override;
  void setEnabled(bool enabled) override;
  bool isEnabled() const override { return enabled_; }
  bool canWithholdKeys() const override { return false; }
  bool eraseDeliveredKey() override;
  void setHoldingInput(bool hold) override;
  bool isHoldingInput() const override;
  // Passive grabs of the keys on the root window, alone and with Shift, in
  // every combination of the lock modifiers; the RECORD stream says which
  // presses they caught.
  void setReservedKeys(const QList<quint16>& keyCodes) override;

  // Presses this answers true for (X key code, core state) are not
  // reported: the hot keys, which reach only the program.
  void setIgnoredKeys(std::function<bool(int, unsigned)> ignored) { ignored_ = std::move(ignored); }

  // The Apple modifier bits of the modifier keys held, as last reported.
  quint64 currentFlags() const { return flags_; }
  // Key events handled so far, reported or not (for tests and benchmarks).
  quint64 keyEventsSeen() const { return keyEventsSeen_; }
  // Key events caught by the hold and not replayed yet.
  qsizetype heldKeyEvents() const;
  // Key and modifier combinations grabbed for the reserved keys now.
  qsizetype reservedGrabs() const { return reservedNow_.size(); }

 private:
  struct Pending {
    RecordReader::Event event;
    bool held = false;  // caught by the hold, to be replayed
    bool reserved = false;  // caught by a grab of a reserved key
  };
  using KeyCombo = QPair<int, unsigned>;  // X key code, core modifiers
  struct KeyGrabRequest {
    bool grab = false;
    KeyCombo combo;
  };

  void receive(const RecordReader::Event& event);
  void deliver();
  // Reads the stream until it has shown every grab and ungrab sent.
  bool catchUp();
  // Keys in the queue that reached the application although the program
  // wanted them after its own input: marked held and counted in *erase
  // (presses that typed one character each). False, with nothing changed,
  // when one of them cannot be undone by a BackSpace.
  bool takeBackDelivered(int* erase);
  bool isErasable(const RecordReader::Event& event) const;
  void postBackSpaces(int count);
  // Ends the hold once the queue is empty, holding on while keys came in.
  void releaseHold();
  void process(const Pending& item);
  void processKey(const Pending& item);
  void processPointer(const RecordReader::Event& event);
  void trackModifiers(const RecordReader::Event& event);
  // The symbol a key had when it was pressed: a mapping another client
  // made for the moment, else the keymap's.
  KeySym symbolOf(int keyCode, unsigned state) const;
  void noteMapping(const RecordReader::Event& event);
  bool isOverOwnWindow(int x, int y) const;
  // Grabs what the reserved keys need now and lets go of the rest.
  void applyReservedKeys();
  void grabKey(const KeyCombo& combo, bool grab);
  void noteKeyGrab(const RecordReader::Event& event);
  // A reserved key the handler left: on to the application after all.
  void passReservedKey(const RecordReader::Event& event);

  X11Connection& connection_;
  XkbKeymap& keymap_;
  KeyboardHold& hold_;
  XTestKeyboard& keyboard_;
  std::unique_ptr<RecordReader> reader_;
  std::unique_ptr<KeyCharacters> characters_;
  std::deque<Pending> queue_;
  bool delivering_ = false;
  bool enabled_ = false;
  bool holdRequested_ = false;

  QSet<int> down_;  // key codes the user holds
  QHash<int, QList<quint32>> momentary_;  // key code -> symbols, as the stream changed them
  quint64 markersSeen_ = 0;
  bool streamGrabbed_ = false;  // the grab is on at this point of the stream
  unsigned modState_ = 0;   // real modifier bits held
  bool capsLock_ = false;
  quint64 flags_ = 0;

  QList<quint16> reservedCodes_;
  QSet<KeyCombo> reservedNow_;       // grabbed, as requested
  QSet<KeyCombo> reservedInStream_;  // grabbed at this point of the stream
  std::deque<KeyGrabRequest> keyGrabsSent_;  // markers not seen yet

  std::function<bool(int, unsigned)> ignored_;
  quint64 keyEventsSeen_ = 0;
  bool handlingReplay_ = false;
  bool dropReplay_ = false;
};

}  // namespace ql
