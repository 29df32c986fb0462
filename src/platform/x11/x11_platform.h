#pragma once

#include "platform/platform.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace ql {

class AtSpiFocusWatch;
class KeyboardHold;
class X11Accessibility;
class X11Connection;
class X11HotKeyService;
class X11InputSynthesiser;
class X11KeySource;
class X11LoginItems;
class X11Pasteboard;
class X11Relauncher;
class X11SoundPlayer;
class X11WindowList;
class X11Workspace;
class XTestKeyboard;
class XkbKeymap;

// Every platform service on X11, sharing one control connection to the
// server (RECORD reads on a second one). Create it after the
// QGuiApplication (xcb platform): the clipboard is Qt's, and the
// connection's events are read on that application's event loop.
class X11Platform final {
 public:
  // Null (with a reason) when the X server cannot be reached.
  static std::unique_ptr<X11Platform> create(const QByteArray& display = {},
                                             QString* error = nullptr);
  ~X11Platform();
  X11Platform(const X11Platform&) = delete;
  X11Platform& operator=(const X11Platform&) = delete;

  Platform platform() const;

  X11Connection& connection() { return *connection_; }
  XkbKeymap& keymap() { return *keymap_; }
  XTestKeyboard& keyboard() { return *keyboard_; }
  KeyboardHold& hold() { return *hold_; }
  X11KeySource& keySource() { return *keySource_; }
  X11InputSynthesiser& input() { return *input_; }
  X11Pasteboard& pasteboard() { return *pasteboard_; }
  X11Workspace& workspace() { return *workspace_; }
  X11Accessibility& accessibility() { return *accessibility_; }
  X11WindowList& windowList() { return *windowList_; }
  X11HotKeyService& hotKeys() { return *hotKeys_; }
  X11SoundPlayer& sounds() { return *sounds_; }
  X11LoginItems& loginItems() { return *loginItems_; }
  X11Relauncher& relauncher() { return *relauncher_; }
  AtSpiFocusWatch& passwordFocus() { return *passwordFocus_; }

 private:
  X11Platform() = default;

  std::unique_ptr<X11Connection> connection_;
  std::unique_ptr<XkbKeymap> keymap_;
  std::unique_ptr<KeyboardHold> hold_;
  std::unique_ptr<XTestKeyboard> keyboard_;
  std::unique_ptr<X11Workspace> workspace_;
  std::unique_ptr<X11HotKeyService> hotKeys_;
  std::unique_ptr<X11KeySource> keySource_;
  std::unique_ptr<X11InputSynthesiser> input_;
  std::unique_ptr<X11Pasteboard> pasteboard_;
  std::unique_ptr<X11Accessibility> accessibility_;
  std::unique_ptr<X11WindowList> windowList_;
  std::unique_ptr<X11SoundPlayer> sounds_;
  std::unique_ptr<X11LoginItems> loginItems_;
  std::unique_ptr<X11Relauncher> relauncher_;
  std::unique_ptr<AtSpiFocusWatch> passwordFocus_;
};

}  // namespace ql
