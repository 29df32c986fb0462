#pragma once

#include "platform/hot_key_service.h"

#include <QHash>
#include <QList>

#include "platform/x11/x11_types.h"

namespace ql {

class KeyboardHold;
class X11Connection;
class XkbKeymap;

// Hot keys as passive grabs (XGrabKey) on the root window, in every
// combination of the lock modifiers (Caps, Num and Scroll Lock, as XKB has
// them now), so a lit Num Lock does not disable them. A grab held by another
// client is a refused registration. After a keyboard mapping change the
// grabs are made again with the new modifier bits.
class X11HotKeyService final : public HotKeyService {
  Q_OBJECT

 public:
  X11HotKeyService(X11Connection& connection, XkbKeymap& keymap, KeyboardHold& hold,
                   QObject* parent = nullptr);
  ~X11HotKeyService() override;

  bool registerHotKey(quint32 id, quint16 keyCode, quint64 modifierFlags) override;
  void unregisterHotKey(quint32 id) override;

  // Whether a key event (X key code and core state) is one of our hot keys;
  // such presses reach only the program.
  bool isHotKey(int xKeyCode, unsigned state) const;

 private:
  struct Grab {
    quint16 keyCode = 0;
    quint64 flags = 0;
    int xKey = 0;
    unsigned xMods = 0;
  };

  QList<unsigned> lockVariants() const;
  bool grab(const Grab& g);
  void ungrab(const Grab& g);
  bool isShared(quint32 id, const Grab& g) const;
  void regrabAll();
  void onEvent(const XEvent& event);

  X11Connection& connection_;
  XkbKeymap& keymap_;
  KeyboardHold& hold_;
  int subscription_ = 0;
  QHash<quint32, Grab> grabs_;
  // Presses seen while the keyboard was held, reported once the hold ends.
  struct Press {
    quint32 id;
    quint64 flags;
    qint64 time;
  };
  QList<Press> heldPresses_;
};

}  // namespace ql
