#include "platform/x11/x11_hot_key_service.h"

#include "platform/keys.h"
#include "platform/log.h"
#include "platform/x11/apple_key_table.h"
#include "platform/x11/keyboard_hold.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_error_trap.h"
#include "platform/x11/xkb_keymap.h"

#include <QPair>
#include <QSet>
#include <QTimer>

#include <X11/Xlib.h>

#include <utility>

namespace ql {

X11HotKeyService::X11HotKeyService(X11Connection& connection, XkbKeymap& keymap,
                                   KeyboardHold& hold, QObject* parent)
    : HotKeyService(parent), connection_(connection), keymap_(keymap), hold_(hold) {
  subscription_ = connection_.subscribe([this](const XEvent& e) { onEvent(e); });
  connect(&connection_, &X11Connection::keyboardMappingChanged, this,
          [this] { QTimer::singleShot(0, this, &X11HotKeyService::regrabAll); });
  connect(&hold_, &KeyboardHold::activeChanged, this, [this](bool active) {
    if (active) return;
    const QList<Press> presses = std::exchange(heldPresses_, {});
    for (const Press& p : presses) Q_EMIT hotKeyPressed(p.id, p.flags, p.time);
  });
}

X11HotKeyService::~X11HotKeyService() {
  connection_.unsubscribe(subscription_);
  for (const Grab& g : std::as_const(grabs_)) ungrab(g);
  XFlush(connection_.display());
}

QList<unsigned> X11HotKeyService::lockVariants() const {
  QList<unsigned> bits;
  for (unsigned b : {static_cast<unsigned>(LockMask), keymap_.numLockMask(), keymap_.scrollLockMask()})
    if (b && !bits.contains(b)) bits.append(b);
  QList<unsigned> variants{0};
  for (unsigned b : bits) {
    const qsizetype n = variants.size();
    for (qsizetype i = 0; i < n; ++i) variants.append(variants[i] | b);
  }
  return variants;
}

bool X11HotKeyService::grab(const Grab& g) {
  Display* d = connection_.display();
  X11ErrorTrap trap(d);
  for (unsigned variant : lockVariants())
    XGrabKey(d, g.xKey, g.xMods | variant, connection_.root(), False, GrabModeAsync, GrabModeAsync);
  if (trap.sync() == 0) return true;
  // Some variant belongs to another client: take back the ones we got.
  for (unsigned variant : lockVariants()) XUngrabKey(d, g.xKey, g.xMods | variant, connection_.root());
  return false;
}

void X11HotKeyService::ungrab(const Grab& g) {
  Display* d = connection_.display();
  for (unsigned variant : lockVariants()) XUngrabKey(d, g.xKey, g.xMods | variant, connection_.root());
}

bool X11HotKeyService::isShared(quint32 id, const Grab& g) const {
  for (auto it = grabs_.cbegin(); it != grabs_.cend(); ++it)
    if (it.key() != id && it->xKey == g.xKey && it->xMods == g.xMods) return true;
  return false;
}

bool X11HotKeyService::registerHotKey(quint32 id, quint16 keyCode, quint64 modifierFlags) {
  unregisterHotKey(id);
  Grab g;
  g.keyCode = keyCode;
  g.flags = modifierFlags & (mods::Command | mods::Option | mods::Control | mods::Shift);
  g.xKey = xKeyCodeForAppleKeyCode(keyCode);
  g.xMods = keymap_.xModifiers(g.flags);
  if (g.xKey <= 0) return false;
  // A second id for the same keys shares the grab we already hold.
  if (!isShared(id, g) && !grab(g)) return false;
  grabs_.insert(id, g);
  return true;
}

void X11HotKeyService::unregisterHotKey(quint32 id) {
  const auto it = grabs_.constFind(id);
  if (it == grabs_.constEnd()) return;
  const Grab g = *it;
  grabs_.erase(it);
  if (!isShared(id, g)) ungrab(g);
  XFlush(connection_.display());
}

void X11HotKeyService::regrabAll() {
  // The lock bits (Num Lock's above all) may have moved: drop every grab
  // of ours on the root window and make them again.
  XUngrabKey(connection_.display(), AnyKey, AnyModifier, connection_.root());
  QSet<QPair<int, unsigned>> done;
  for (auto it = grabs_.begin(); it != grabs_.end(); ++it) {
    it->xMods = keymap_.xModifiers(it->flags);
    const QPair<int, unsigned> keys(it->xKey, it->xMods);
    if (done.contains(keys)) continue;
    done.insert(keys);
    if (!grab(*it)) log(QStringLiteral("Unable to register hotkey!"));
  }
}

bool X11HotKeyService::isHotKey(int xKeyCode, unsigned state) const {
  const unsigned relevant = ShiftMask | ControlMask | keymap_.altMask() | keymap_.superMask();
  for (const Grab& g : grabs_)
    if (g.xKey == xKeyCode && (state & relevant) == g.xMods) return true;
  return false;
}

void X11HotKeyService::onEvent(const XEvent& event) {
  if (event.type != KeyPress || event.xkey.window != connection_.root()) return;
  // During a hold the press came either through the hold's grab or, just
  // before the grab took, through our own passive grab; either way it is
  // answered once the hold ends (the hold does not replay hot keys).
  const unsigned relevant = ShiftMask | ControlMask | keymap_.altMask() | keymap_.superMask();
  for (auto it = grabs_.cbegin(); it != grabs_.cend(); ++it) {
    if (it->xKey == static_cast<int>(event.xkey.keycode) && (event.xkey.state & relevant) == it->xMods) {
      const Press press{it.key(), keymap_.appleFlags(event.xkey.state), static_cast<qint64>(event.xkey.time)};
      if (hold_.isActive())
        heldPresses_.append(press);
      else
        Q_EMIT hotKeyPressed(press.id, press.flags, press.time);
    }
  }
}

}  // namespace ql
