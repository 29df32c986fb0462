#include "platform/x11/x11_key_source.h"

#include "platform/keys.h"
#include "platform/log.h"
#include "platform/x11/apple_key_table.h"
#include "platform/x11/key_characters.h"
#include "platform/x11/keyboard_hold.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_error_trap.h"
#include "platform/x11/xkb_keymap.h"
#include "platform/x11/xtest_keyboard.h"

#include <QGuiApplication>
#include <QTimer>

#include <algorithm>
#include <utility>
#include <QScreen>
#include <QWindow>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace ql {
namespace {

// How long the stream may lag behind the server before an expansion gives up
// on knowing where the user's keys went.
constexpr int kCatchUpMs = 2000;

}  // namespace

X11KeySource::X11KeySource(X11Connection& connection, XkbKeymap& keymap, KeyboardHold& hold,
                           XTestKeyboard& keyboard, QObject* parent)
    : KeySource(parent),
      connection_(connection),
      keymap_(keymap),
      hold_(hold),
      keyboard_(keyboard),
      characters_(std::make_unique<KeyCharacters>()) {
  connect(&connection_, &X11Connection::keyboardMappingChanged, this, [this] {
    characters_->reset();
    // The lock bits may have moved; after the hot keys have grabbed again.
    if (reservedCodes_.isEmpty()) return;
    QTimer::singleShot(0, this, [this] {
      const QList<quint16> codes = std::exchange(reservedCodes_, {});
      applyReservedKeys();
      reservedCodes_ = codes;
      applyReservedKeys();
    });
  });
}

X11KeySource::~X11KeySource() { stop(); }

bool X11KeySource::start() {
  if (reader_) return true;
  auto reader = std::make_unique<RecordReader>(connection_.display());
  // Markers of requests sent before the stream starts never come.
  markersSeen_ = hold_.markersSent();
  hold_.forgetGrabResults();
  streamGrabbed_ = hold_.isGrabbed();
  QString error;
  if (!reader->start([this](const RecordReader::Event& e) { receive(e); }, &error)) {
    logError(QStringLiteral("register keytapping"), error);
    return false;
  }
  reader_ = std::move(reader);
  reservedInStream_ = reservedNow_;
  keyGrabsSent_.clear();
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
  reservedCodes_.clear();
  applyReservedKeys();
  reader_.reset();
  queue_.clear();
  streamGrabbed_ = false;
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
    // Erasing the trigger may have begun it; asking again would wait for
    // the answer to its latest grab.
    if (!hold_.isActive()) hold_.begin();
    return;
  }
  // The held presses are replayed now, or right after the handler that
  // ended the hold returns. The grab stays until they are all out, so
  // what the user types meanwhile still comes after them.
  deliver();
}

bool X11KeySource::eraseDeliveredKey() {
  if (handlingReplay_) {
    dropReplay_ = true;  // not posted yet: simply never post it
    return true;
  }
  // Hold first, then look at what came after the press: a fast typist's
  // next keys may already be in the application. They go too, and come back
  // after the expansion. The hold ends with the delivery, unless the
  // expansion asks for it meanwhile.
  hold_.begin();
  int erase = 1;
  if (hold_.isGrabbed()) {
    int after = 0;
    if (!catchUp() || !takeBackDelivered(&after)) {
      log(QStringLiteral("Typing went on past an abbreviation; not expanded"));
      return false;
    }
    erase += after;
  }
  postBackSpaces(erase);
  return true;
}

void X11KeySource::postBackSpaces(int count) {
  const int backSpace = xKeyCodeForAppleKeyCode(keys::Delete);
  if (count > 0) keyboard_.tapKeys(QList<XTestKeyboard::RawTap>(count, XTestKeyboard::RawTap{backSpace, 0}));
}

void X11KeySource::receive(const RecordReader::Event& e) {
  if (e.type == RecordReader::GrabMarker || e.type == RecordReader::UngrabMarker) {
    ++markersSeen_;
    streamGrabbed_ = e.type == RecordReader::GrabMarker && hold_.takeGrabResult();
    return;
  }
  if (e.type == RecordReader::KeyGrabMarker || e.type == RecordReader::KeyUngrabMarker) {
    noteKeyGrab(e);
    return;
  }
  if (e.own) return;  // the program's own input is never reported
  const bool key = e.type == KeyPress || e.type == KeyRelease;
  // Only the keyboard is grabbed: pointer events always reach the application.
  // The hold's grab takes a key before any passive grab can.
  const bool held = key && streamGrabbed_;
  const bool reserved = key && !held && reservedInStream_.contains(KeyCombo(e.detail, e.state & 0xFF));
  queue_.push_back(Pending{e, held, reserved});
  deliver();
}

void X11KeySource::setReservedKeys(const QList<quint16>& keyCodes) {
  if (keyCodes == reservedCodes_) return;
  reservedCodes_ = keyCodes;
  applyReservedKeys();
}

void X11KeySource::applyReservedKeys() {
  Display* d = connection_.display();
  QList<unsigned> locks{0};
  for (unsigned bit : {static_cast<unsigned>(LockMask), keymap_.numLockMask(), keymap_.scrollLockMask()}) {
    if (!bit || locks.contains(bit)) continue;
    const qsizetype n = locks.size();
    for (qsizetype i = 0; i < n; ++i) locks.append(locks[i] | bit);
  }
  QSet<KeyCombo> wanted;
  for (quint16 code : std::as_const(reservedCodes_)) {
    const int key = xKeyCodeForAppleKeyCode(code);
    if (key <= 0) continue;
    for (unsigned base : {0u, static_cast<unsigned>(ShiftMask)})
      for (unsigned lock : std::as_const(locks))
        // A hot key on the same keys stays the hot key's.
        if (!(ignored_ && ignored_(key, base | lock))) wanted.insert(KeyCombo(key, base | lock));
  }
  QSet<KeyCombo> removed = reservedNow_;
  removed.subtract(wanted);
  for (const KeyCombo& combo : std::as_const(removed)) grabKey(combo, false);
  QSet<KeyCombo> added = wanted;
  added.subtract(reservedNow_);
  if (!added.isEmpty()) {
    X11ErrorTrap trap(d);
    for (const KeyCombo& combo : added) grabKey(combo, true);
    // Another client holds one of them: that key reaches it, not the
    // application, and the program sees it as typed.
    if (trap.sync() != 0) log(QStringLiteral("A key Quillet reserves is held by another program"));
  }
  XFlush(d);
}

void X11KeySource::grabKey(const KeyCombo& combo, bool grab) {
  Display* d = connection_.display();
  if (grab) {
    XGrabKey(d, combo.first, combo.second, connection_.root(), False, GrabModeAsync, GrabModeAsync);
    reservedNow_.insert(combo);
  } else {
    XUngrabKey(d, combo.first, combo.second, connection_.root());
    reservedNow_.remove(combo);
  }
  // Without a stream nothing comes to tell; start() takes the state as it is.
  if (reader_) keyGrabsSent_.push_back(KeyGrabRequest{grab, combo});
}

void X11KeySource::noteKeyGrab(const RecordReader::Event& e) {
  const bool grab = e.type == RecordReader::KeyGrabMarker;
  if (!grab && e.detail == AnyKey && e.state == AnyModifier) {
    // Every grab of ours went (the hot keys grabbing afresh).
    reservedInStream_.clear();
    return;
  }
  // The hot keys' grabs come in the same stream; only ours count.
  const KeyCombo combo(e.detail, e.state);
  if (keyGrabsSent_.empty() || keyGrabsSent_.front().grab != grab ||
      keyGrabsSent_.front().combo != combo)
    return;
  keyGrabsSent_.pop_front();
  if (grab) {
    reservedInStream_.insert(combo);
  } else {
    reservedInStream_.remove(combo);
  }
}

void X11KeySource::passReservedKey(const RecordReader::Event& e) {
  // The application never saw it; typed now, with the grab out of the way
  // for the moment (the program's own input is subject to it too).
  const KeyCombo combo(e.detail, e.state & 0xFF);
  const bool grabbed = reservedNow_.contains(combo);
  if (grabbed) grabKey(combo, false);
  const unsigned lockBits = LockMask | keymap_.numLockMask() | keymap_.scrollLockMask();
  keyboard_.tapKeyAs(e.detail, e.state & 0xFF & ~lockBits);
  if (grabbed) grabKey(combo, true);
  XFlush(connection_.display());
}

bool X11KeySource::catchUp() {
  if (!reader_) return false;
  XFlush(connection_.display());
  // What arrives now is only queued; the caller decides about it first.
  const bool delivering = delivering_;
  delivering_ = true;
  const bool done =
      reader_->readUntil([this] { return markersSeen_ >= hold_.markersSent(); }, kCatchUpMs);
  delivering_ = delivering;
  if (!done) {
    log(QStringLiteral("The key stream fell behind the keyboard hold"));
    markersSeen_ = hold_.markersSent();
    hold_.forgetGrabResults();
  }
  return done;
}

bool X11KeySource::isErasable(const RecordReader::Event& e) const {
  if (e.state & (ControlMask | keymap_.altMask() | keymap_.superMask())) return false;
  const KeySym sym = symbolOf(e.detail, e.state);
  if (KeyCharacters::isDeadKey(sym)) return false;
  const QList<uint> text = KeyCharacters::plain(sym).toUcs4();
  return text.size() == 1 && QChar::isPrint(text.front());
}

bool X11KeySource::takeBackDelivered(int* erase) {
  std::vector<Pending*> taken;
  for (Pending& p : queue_) {
    if (p.held) continue;
    const RecordReader::Event& e = p.event;
    if (e.type == KeyPress) {
      if (keymap_.modifiersOfKey(e.detail) || (ignored_ && ignored_(e.detail, e.state))) continue;
      if (!isErasable(e)) return false;  // Return, Tab, a shortcut: done for good
      taken.push_back(&p);
    } else if (e.type == ButtonPress && (e.detail < 4 || e.detail > 7)) {
      return false;  // a click moved the caret
    }
  }
  for (Pending* p : taken) p->held = true;
  *erase = static_cast<int>(taken.size());
  return true;
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
    if (holdRequested_ || !hold_.isActive() || !queue_.empty()) break;
    releaseHold();
    if (queue_.empty()) break;
  }
  delivering_ = false;
}

void X11KeySource::releaseHold() {
  hold_.end();
  if (!catchUp()) return;
  if (std::none_of(queue_.cbegin(), queue_.cend(), [](const Pending& p) { return p.held; }))
    return;
  // The grab caught keys after the queue ran dry. Hold again: what reached
  // the application since the ungrab is erased and goes after them.
  if (!hold_.begin() || !catchUp()) return;
  int erase = 0;
  if (takeBackDelivered(&erase)) {
    postBackSpaces(erase);
  } else {
    log(QStringLiteral("Keys typed during an expansion reached the application out of order"));
  }
}

void X11KeySource::noteMapping(const RecordReader::Event& e) {
  const int perKey = e.keysymsPerKey;
  for (int i = 0; perKey > 0 && (i + 1) * perKey <= e.keysyms.size(); ++i) {
    const QList<quint32> symbols = e.keysyms.mid(i * perKey, perKey);
    // Given back (no symbol): the keymap says so too once reread.
    if (std::all_of(symbols.cbegin(), symbols.cend(), [](quint32 s) { return s == NoSymbol; }))
      momentary_.remove(e.detail + i);
    else
      momentary_.insert(e.detail + i, symbols);
  }
}

KeySym X11KeySource::symbolOf(int keyCode, unsigned state) const {
  const auto it = momentary_.constFind(keyCode);
  if (it == momentary_.cend()) return keymap_.keysym(keyCode, state);
  // The core layout of a key's symbols: group 1 unshifted and shifted,
  // then group 2's.
  const QList<quint32>& symbols = *it;
  const int group = (state >> 13) & 3;
  const bool shifted = (state & ShiftMask) != 0;
  KeySym sym = NoSymbol;
  const int index = group * 2 + (shifted ? 1 : 0);
  if (index < symbols.size()) sym = symbols[index];
  if (sym == NoSymbol && group * 2 < symbols.size()) sym = symbols[group * 2];
  if (sym == NoSymbol) sym = symbols.front();
  if (shifted && (index >= symbols.size() || symbols[index] == NoSymbol)) {
    KeySym lower = NoSymbol, upper = NoSymbol;
    XConvertCase(sym, &lower, &upper);
    sym = upper;
  }
  return sym;
}

void X11KeySource::process(const Pending& item) {
  const RecordReader::Event& e = item.event;
  if (e.type == RecordReader::MappingMarker) {
    noteMapping(e);
  } else if (e.type == KeyPress || e.type == KeyRelease) {
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
    const KeySym sym = symbolOf(e.detail, e.state);
    const int acting = actingKeyFor(sym);
    const int apple = acting >= 0 ? acting : appleKeyCodeForXKeyCode(e.detail);
    KeyEvent key;
    key.keyCode = apple >= 0 ? static_cast<quint16>(apple)
                             : static_cast<quint16>(kUnknownKeyBase | e.detail);
    const unsigned groupBits = e.state & (3u << 13);
    key.characters = characters_->press(sym);
    key.charactersIgnoringModifiers = KeyCharacters::plain(symbolOf(e.detail, groupBits));
    key.modifierFlags = keymap_.appleFlags(e.state) | keyClassFlags(apple);
    key.isRepeat = repeat;
    key.timestamp = static_cast<qint64>(e.time);
    key.delivered = !item.held && !item.reserved;
    handlingReplay_ = item.held || item.reserved;
    dropReplay_ = false;
    consumed = reportKeyDown(key);
    handlingReplay_ = false;
    consumed = consumed || dropReplay_;
  }

  if (item.reserved) {
    if (press && !consumed && !isModifier && !(ignored_ && ignored_(e.detail, e.state)))
      passReservedKey(e);
    return;
  }
  if (!item.held) return;
  // A held press reached nobody yet: typed now, with the modifiers it had,
  // unless it was consumed. The server followed the modifier keys all
  // along, and a tap needs no release of its own.
  if (!press || isModifier || consumed) return;
  // A hot key caught by the hold is answered by the hot-key service when the
  // hold ends; typed again it would fire twice.
  if (ignored_ && ignored_(e.detail, e.state)) return;
  if (momentary_.contains(e.detail)) {
    // The key has long lost the symbol it had: type the character instead.
    const QList<uint> text = KeyCharacters::plain(symbolOf(e.detail, e.state)).toUcs4();
    if (text.size() == 1 && keyboard_.typeCharacter(text.front())) return;
  }
  const unsigned lockBits = LockMask | keymap_.numLockMask() | keymap_.scrollLockMask();
  keyboard_.tapKeyAs(e.detail, e.state & 0xFF & ~lockBits);
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
