#pragma once

#include <QList>
#include <QObject>
#include <QPointF>
#include <QString>

#include <functional>

namespace ql {

// One key press as the user made it, in the Apple vocabulary of platform/keys.h.
struct KeyEvent {
  quint16 keyCode = 0;
  QString characters;                   // what the press types with its modifiers (may be empty or several)
  QString charactersIgnoringModifiers;  // what it types without them
  quint64 modifierFlags = 0;            // Apple bits, platform/keys.h
  bool isRepeat = false;                // auto-repeat
  qint64 timestamp = 0;                 // milliseconds, monotonic
  // Already reached the application (a backend that cannot withhold keys,
  // outside the reserved keys): consuming it no longer keeps it from there.
  bool delivered = false;
};

enum class MouseEventType {
  LeftDown = 1,
  RightDown = 3,
  Moved = 5,
  Scroll = 22,
  OtherDown = 25,
};

// A mouse event addressed to another application.
struct MouseEvent {
  MouseEventType type = MouseEventType::LeftDown;
  QPointF position;      // global screen coordinates, origin at the top left
  quint64 modifierFlags = 0;
  QPointF scrollDelta;   // Scroll only: wheel steps, positive up and right
  int clickCount = 0;    // presses only
  qint64 timestamp = 0;  // milliseconds, monotonic
};

// Every key press the user makes in any application, before or after it
// reaches that application, plus modifier changes and mouse events outside
// the program. Events arrive on the main thread, one at a time.
//
// Input that the program posts itself through the InputSynthesiser is never
// reported, whether or not the stream is enabled.
class KeySource : public QObject {
  Q_OBJECT

 public:
  // Answers whether the press is consumed. A backend that can withhold keys
  // then drops it; one that cannot ignores the answer (see eraseDeliveredKey).
  using KeyDownHandler = std::function<bool(const KeyEvent&)>;

  using QObject::QObject;
  ~KeySource() override = default;

  // Connects to the system. False when key monitoring is impossible (no
  // access, no server extension); nothing is reported then.
  virtual bool start() = 0;
  virtual void stop() = 0;

  // Switches reporting on and off; while off every press passes untouched
  // and neither the handler nor the signals are called. Off after start().
  virtual void setEnabled(bool enabled) = 0;
  virtual bool isEnabled() const = 0;

  void setKeyDownHandler(KeyDownHandler handler) { keyDownHandler_ = std::move(handler); }

  // True when a press consumed by the handler never reaches the application.
  // False when presses are seen only after delivery: the portable code then
  // calls eraseDeliveredKey() when it decides to consume one.
  virtual bool canWithholdKeys() const = 0;

  // For a backend that cannot withhold: removes the effect of the press being
  // handled now by posting one Delete, at once, before anything else the
  // program posts. Keys with side effects (Return, Tab, Escape) cannot be
  // undone this way. Keys the user typed after the press that already took
  // effect are erased with it and reported and delivered again after the
  // next hold ends. False when one of them cannot be undone (a Return, a
  // click): then nothing is erased and the press should simply pass.
  // Does nothing on a backend that can withhold.
  virtual bool eraseDeliveredKey() = 0;

  // While held, the user's key presses are neither delivered nor reported;
  // when the hold ends they are reported and delivered in their original
  // order, as if typed then. The program's own posted input is not held.
  // An expansion holds the input so that fast typing never lands inside it.
  virtual void setHoldingInput(bool hold) = 0;
  virtual bool isHoldingInput() const = 0;
  // False where a hold only delays the reports: without a keyboard grab
  // (Wayland) the user's presses reach the application during an expansion
  // all the same, so nothing the program types after its paste is sure to
  // come before them.
  virtual bool holdsDelivery() const { return true; }

  // Keys (Apple codes) the program needs for itself for a while, such as
  // the navigation keys of the suggestion list. On a backend that cannot
  // withhold keys in general, presses of these keys, alone or with Shift,
  // are kept from the application while set: they are reported with
  // `delivered` false, and one the handler does not consume goes on to the
  // application then. An empty list gives them back. Nothing to do where
  // every key can be withheld.
  virtual void setReservedKeys(const QList<quint16>& keyCodes) { Q_UNUSED(keyCodes); }

  // Who reserves keys: the suggestion list, or the word buffer (the
  // delimiters that would expand what was typed). Each has its own set; the
  // keys reserved are their union.
  enum class Reserver { SuggestionList, Delimiters };
  void reserveKeys(Reserver who, const QList<quint16>& keyCodes) {
    QList<quint16>& mine = reserved_[int(who)];
    if (mine == keyCodes) return;
    mine = keyCodes;
    QList<quint16> all;
    for (const QList<quint16>& set : reserved_)
      for (quint16 code : set)
        if (!all.contains(code)) all.append(code);
    setReservedKeys(all);
  }

 Q_SIGNALS:
  // The modifier keys held changed; flags are the new Apple bits.
  void flagsChanged(quint64 modifierFlags);
  // Presses, moves and scrolls outside the program.
  void mouseEvent(const ql::MouseEvent& event);

 protected:
  // Backends report a key press through this. Returns whether it was consumed.
  bool reportKeyDown(const KeyEvent& event) { return keyDownHandler_ ? keyDownHandler_(event) : false; }

 private:
  KeyDownHandler keyDownHandler_;
  QList<quint16> reserved_[2];
};

}  // namespace ql
