#include "platform/x11/x11_platform.h"

#include "platform/x11/atspi_focus_watch.h"
#include "platform/x11/keyboard_hold.h"
#include "platform/x11/x11_accessibility.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_hot_key_service.h"
#include "platform/x11/x11_input_synthesiser.h"
#include "platform/x11/x11_key_source.h"
#include "platform/x11/x11_login_items.h"
#include "platform/x11/x11_pasteboard.h"
#include "platform/x11/x11_relauncher.h"
#include "platform/x11/x11_sound_player.h"
#include "platform/x11/x11_window_list.h"
#include "platform/x11/x11_workspace.h"
#include "platform/x11/xkb_keymap.h"
#include "platform/x11/xtest_keyboard.h"

#include <QCoreApplication>

namespace ql {

std::unique_ptr<X11Platform> X11Platform::create(const QByteArray& display, QString* error) {
  auto connection = X11Connection::open(display);
  if (!connection) {
    if (error) *error = QCoreApplication::translate("X11Platform", "cannot connect to the X server");
    return nullptr;
  }
  std::unique_ptr<X11Platform> p(new X11Platform);
  p->connection_ = std::move(connection);
  X11Connection& c = *p->connection_;
  p->keymap_ = std::make_unique<XkbKeymap>(c.display());
  // Connected first, so every later listener sees the new map.
  QObject::connect(&c, &X11Connection::keyboardMappingChanged, &c,
                   [keymap = p->keymap_.get()] { keymap->reload(); });
  p->hold_ = std::make_unique<KeyboardHold>(c);
  p->keyboard_ = std::make_unique<XTestKeyboard>(c.display(), *p->keymap_, p->hold_.get());
  p->workspace_ = std::make_unique<X11Workspace>(c);
  p->hotKeys_ = std::make_unique<X11HotKeyService>(c, *p->keymap_, *p->hold_);
  p->keySource_ = std::make_unique<X11KeySource>(c, *p->keymap_, *p->hold_, *p->keyboard_);
  p->keySource_->setIgnoredKeys(
      [hotKeys = p->hotKeys_.get()](int key, unsigned state) { return hotKeys->isHotKey(key, state); });
  p->input_ = std::make_unique<X11InputSynthesiser>(
      *p->keymap_, *p->keyboard_,
      [workspace = p->workspace_.get()] { return workspace->frontmostApplication().name; });
  p->pasteboard_ = std::make_unique<X11Pasteboard>();
  p->accessibility_ = std::make_unique<X11Accessibility>(c, *p->keyboard_);
  p->windowList_ = std::make_unique<X11WindowList>(c);
  p->sounds_ = std::make_unique<X11SoundPlayer>(&c);
  p->loginItems_ = std::make_unique<X11LoginItems>();
  p->relauncher_ = std::make_unique<X11Relauncher>();
  p->passwordFocus_ = std::make_unique<AtSpiFocusWatch>(*p->workspace_);
  return p;
}

X11Platform::~X11Platform() {
  // The key source first: it may hold the keyboard and replay into others.
  keySource_.reset();
  hotKeys_.reset();
}

Platform X11Platform::platform() const {
  Platform p;
  p.keySource = keySource_.get();
  p.input = input_.get();
  p.pasteboard = pasteboard_.get();
  p.workspace = workspace_.get();
  p.accessibility = accessibility_.get();
  p.windowList = windowList_.get();
  p.hotKeys = hotKeys_.get();
  p.sounds = sounds_.get();
  p.loginItems = loginItems_.get();
  p.relauncher = relauncher_.get();
  p.passwordFocus = passwordFocus_.get();
  return p;
}

}  // namespace ql
