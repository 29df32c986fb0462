#include "platform/x11/x11_key_source.h"

#include "platform/keys.h"
#include "platform/log.h"
#include "platform/x11/apple_key_table.h"
#include "platform/x11/key_characters.h"
#include "platform/x11/keyboard_hold.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/xkb_keymap.h"
#include "platform/x11/xtest_keyboard.h"

#include <QGuiApplication>

#include <algorithm>
#include <QScreen>
#include <QWindow>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace ql {
namespace {

// Keys an Apple keyboard reports with the numeric-pad and function bits.
quint64 keyClassFlags(int appleCode) {
  switch (appleCode) {
    case keys::Left: case keys::Right: case keys::Down: case keys::Up:
      return mods::NumericPad | mods::Function;
    case keys::Help: case keys::Home: case keys::End: case keys::PageUp: case keys::PageDown:
    case keys::ForwardDelete: case keys::F1: case keys::F2: case keys::F3: case keys::F4:
    case keys::F5: case keys::F6: case keys::F7: case keys::F8: case keys::F9: case keys::F10:
    case keys::F11: case keys::F12: case keys::F13: case keys::F14: case keys::F15:
    case keys::F16: case keys::F17: case keys::F18: case keys::F19: case keys::F20:
      return mods::Function;
    case keys::KeypadDecimal: case keys::KeypadMultiply: case keys::KeypadPlus:
    case keys::KeypadClear: case keys::KeypadDivide: case keys::KeypadEnter:
    case keys::KeypadMinus: case keys::KeypadEquals: case keys::Keypad0: case keys::Keypad1:
    case keys::Keypad2: case keys::Keypad3: case keys::Keypad4: case keys::Keypad5:
    case keys::Keypad6: case keys::Keypad7: case keys::Keypad8: case keys::Keypad9:
      return mods::NumericPad;
    default:
      return 0;
  }
}

// Keys without an Apple code still report, under a code no Apple key uses.
constexpr quint16 kUnknownKeyBase = 0xFF00;

}  // namespace

X11KeySource::X11KeySource(X11Connection& connection, XkbKeymap& keymap, KeyboardHold& hold,
                           XTestKeyboard& keyboard, QObject* parent)
    : KeySource(parent),
      connection_(connection),
      keymap_(keymap),
      hold_(hold),
      keyboard_(keyboard),
      characters_(std::make_unique<KeyCharacters>()) {
  hold_.setSink([this](const KeyboardHold::Key& key) {
    RecordReader::Event e;
    e.type = key.press ? KeyPress : KeyRelease;
    e.detail = key.keyCode;
    e.state = key.state;
    e.time = key.time;
    enqueue(Pending{e, true});
    deliver();
  });
  connect(&connection_, &X11Connection::keyboardMappingChanged, this,
          [this] { characters_->reset(); });
}

X11KeySource::~X11KeySource() {
  hold_.setSink(nullptr);
  stop();
}

bool X11KeySource::start() {
  if (reader_) return true;
  auto reader = std::make_unique<RecordReader>(connection_.display());
  QString error;
  if (!reader->start([this](const RecordReader::Event& e) {
        if (e.own) return;  // the program's own input is never reported
        if ((e.type == KeyPress || e.type == KeyRelease) && hold_.covers(e.time)) return;
        enqueue(Pending{e, false});
        deliver();
      }, &error)) {
    logError(QStringLiteral("register keytapping"), error);
    return false;
  }
  reader_ = std::move(reader);
  // Start from what is held now, so the first flags are right.
  XkbStateRec state{};
  XkbGetState(connection_.display(), XkbUseCoreKbd, &state);
  capsLock_ = state.locked_mods & LockMask;
  modState_ = state.base_mods & ~LockMask;
  flags_ = keymap_.appleFlags(modState_ | (capsLock_ ? LockMask : 0));
  enabled_ = false;
  return true;
}

void X11KeySource::stop() {
  holdRequested_ = false;
  hold_.end();
  reader_.reset();
  queue_.clear();
  enabled_ = false;
}

void X11KeySource::setEnabled(bool enabled) {
  if (enabled && !enabled_) characters_->reset();  // a dead key from before does not count
  enabled_ = enabled;
}

bool X11KeySource::isHoldingInput() const { return holdRequested_; }

qsizetype X11KeySource::heldKeyEvents() const {
  return std::count_if(queue_.cbegin(), queue_.cend(), [](const Pending& p) { return p.held; });
}

void X11KeySource::setHoldingInput(bool hold) {
  if (hold == holdRequested_) return;
  holdRequested_ = hold;
  if (hold) {
    hold_.begin();
    return;
  }
  // The held presses are replayed now, or right after the handler that
  // ended the hold returns. The grab stays until they are all out, so
  // what the user types meanwhile still comes after them.
  deliver();
}

void X11KeySource::eraseDeliveredKey() {
  if (handlingReplay_) {
    dropReplay_ = true;  // not posted yet: simply never post it
    return;
  }
  const int backSpace = xKeyCodeForAppleKeyCode(keys::Delete);
  keyboard_.fakeKeyWithModifiers(backSpace, 0, true);
  keyboard_.fakeKeyWithModifiers(backSpace, 0, false);
}

void X11KeySource::enqueue(const Pending& item) {
  // The hold's events and RECORD's come on different connections; order by
  // server time (equal times keep their arrival order).
  auto it = queue_.end();
  while (it != queue_.begin() && std::prev(it)->event.time > item.event.time) --it;
  queue_.insert(it, item);
}

void X11KeySource::deliver() {
  if (delivering_) return;  // the outer loop goes on after the handler returns
  delivering_ = true;
  for (;;) {
    while (!queue_.empty()) {
      if (queue_.front().held && holdRequested_) break;
      const Pending item = queue_.front();
      queue_.pop_front();
      process(item);
    }
    if (holdRequested_ || !hold_.isActive()) break;
    hold_.end();  // may bring the last caught events
    if (queue_.empty()) break;
  }
  delivering_ = false;
}

void X11KeySource::process(const Pending& item) {
  const RecordReader::Event& e = item.event;
  if (e.type == KeyPress || e.type == KeyRelease) {
    processKey(item);
  } else {
    processPointer(e);
  }
}

void X11KeySource::trackModifiers(const RecordReader::Event& e) {
  const unsigned bits = keymap_.modifiersOfKey(e.detail);
  if (!bits) {
    // The state before each ordinary key is the server's truth; it mends
    // what we missed (keys held before start, events lost to a hold).
    const unsigned relevant = ShiftMask | ControlMask | keymap_.altMask() | keymap_.superMask();
    modState_ = (modState_ & ~relevant) | (e.state & relevant);
    capsLock_ = e.state & LockMask;
    return;
  }
  if (bits & LockMask) {
    if (e.type == KeyPress && !down_.contains(e.detail)) capsLock_ = !(e.state & LockMask);
    return;
  }
  if (e.type == KeyPress) {
    modState_ |= bits;
  } else {
    // Another key with the same bit may still be held.
    unsigned still = 0;
    for (int code : std::as_const(down_))
      if (code != e.detail) still |= keymap_.modifiersOfKey(code);
    modState_ = (modState_ & ~bits) | (still & bits);
  }
}

void X11KeySource::processKey(const Pending& item) {
  const RecordReader::Event& e = item.event;
  const bool press = e.type == KeyPress;
  const bool repeat = press && down_.contains(e.detail);
  const bool isModifier = keymap_.modifiersOfKey(e.detail) != 0;
  ++keyEventsSeen_;

  trackModifiers(e);
  if (press) {
    down_.insert(e.detail);
  } else {
    down_.remove(e.detail);
  }

  bool consumed = false;
  if (isModifier) {
    const quint64 flags = keymap_.appleFlags(modState_ | (capsLock_ ? LockMask : 0));
    if (flags != flags_) {
      flags_ = flags;
      if (enabled_) Q_EMIT flagsChanged(flags);
    }
  } else if (press && enabled_ && !(ignored_ && ignored_(e.detail, e.state))) {
    const int apple = appleKeyCodeForXKeyCode(e.detail);
    KeyEvent key;
    key.keyCode = apple >= 0 ? static_cast<quint16>(apple)
                             : static_cast<quint16>(kUnknownKeyBase | e.detail);
    const unsigned groupBits = e.state & (3u << 13);
    key.characters = characters_->press(keymap_.keysym(e.detail, e.state));
    key.charactersIgnoringModifiers = KeyCharacters::plain(keymap_.keysym(e.detail, groupBits));
    key.modifierFlags = keymap_.appleFlags(e.state) | keyClassFlags(apple);
    key.isRepeat = repeat;
    key.timestamp = static_cast<qint64>(e.time);
    handlingReplay_ = item.held;
    dropReplay_ = false;
    consumed = reportKeyDown(key);
    handlingReplay_ = false;
    consumed = consumed || dropReplay_;
  }

  if (!item.held) return;
  // A held event reached nobody yet: post it now, unless it was consumed.
  if (press) {
    if (consumed) return;
    keyboard_.fakeKey(e.detail, true);
    replayedDown_.insert(e.detail);
  } else if (replayedDown_.remove(e.detail) || isModifier) {
    keyboard_.fakeKey(e.detail, false);
  }
}

void X11KeySource::processPointer(const RecordReader::Event& e) {
  if (!enabled_) return;
  if (e.type == ButtonRelease) return;
  if (isOverOwnWindow(e.rootX, e.rootY)) return;
  MouseEvent m;
  m.position = QPointF(e.rootX, e.rootY);
  m.modifierFlags = keymap_.appleFlags(e.state);
  m.timestamp = static_cast<qint64>(e.time);
  if (e.type == MotionNotify) {
    m.type = MouseEventType::Moved;
  } else if (e.detail >= 4 && e.detail <= 7) {
    // Wheel buttons: 4 up, 5 down, 6 left, 7 right.
    m.type = MouseEventType::Scroll;
    m.scrollDelta = QPointF(e.detail == 6 ? -1 : e.detail == 7 ? 1 : 0,
                            e.detail == 4 ? 1 : e.detail == 5 ? -1 : 0);
  } else {
    m.type = e.detail == Button1   ? MouseEventType::LeftDown
             : e.detail == Button3 ? MouseEventType::RightDown
                                   : MouseEventType::OtherDown;
    m.clickCount = 1;
  }
  Q_EMIT mouseEvent(m);
}

bool X11KeySource::isOverOwnWindow(int x, int y) const {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (!app) return false;
  const QScreen* screen = QGuiApplication::primaryScreen();
  const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;
  const QPoint logical(qRound(x / ratio), qRound(y / ratio));
  return QGuiApplication::topLevelAt(logical) != nullptr;
}

}  // namespace ql
