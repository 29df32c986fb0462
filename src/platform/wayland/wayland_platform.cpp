#include "platform/wayland/wayland_platform.h"

#include "platform/wayland/fake_input_keyboard.h"
#include "platform/wayland/kwin_workspace.h"
#include "platform/wayland/virtual_keyboard.h"
#include "platform/wayland/wayland_accessibility.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wayland_hot_key_service.h"
#include "platform/wayland/wayland_input_synthesiser.h"
#include "platform/wayland/wayland_key_source.h"
#include "platform/wayland/wayland_pasteboard.h"
#include "platform/wayland/wayland_window_list.h"
#include "platform/wayland/wayland_workspace.h"
#include "platform/x11/atspi_focus_watch.h"
#include "platform/x11/x11_login_items.h"
#include "platform/x11/x11_relauncher.h"
#include "platform/x11/x11_sound_player.h"

#include <QCoreApplication>

namespace ql {

WaylandPlatform::WaylandPlatform() = default;

std::unique_ptr<WaylandPlatform> WaylandPlatform::create(const QByteArray& display,
                                                         const QString& inputEvents, QString* error) {
  auto connection = WaylandConnection::open(display);
  if (!connection) {
    if (error) *error = QCoreApplication::translate("WaylandPlatform", "cannot connect to the Wayland compositor");
    return nullptr;
  }
  std::unique_ptr<WaylandPlatform> p(new WaylandPlatform);
  p->connection_ = std::move(connection);
  WaylandConnection& c = *p->connection_;
  // A keyboard of our own where the compositor offers one (wlroots); on
  // KWin its fake input, typing by the user's layout.
  if (c.virtualKeyboardManager() || !c.fakeInput())
    p->keyboard_ = std::make_unique<VirtualKeyboard>(c);
  else
    p->keyboard_ = std::make_unique<FakeInputKeyboard>(c);
  // KWin lists its windows to its own scripts only.
  if (!c.hasToplevelManager() && c.isKWin()) {
    auto kwin = std::make_unique<KWinWorkspace>();
    p->workspaceValid_ = kwin->isValid();
    p->workspace_ = std::move(kwin);
  } else {
    auto wlr = std::make_unique<WaylandWorkspace>(c);
    p->workspaceValid_ = wlr->isValid();
    p->workspace_ = std::move(wlr);
  }
  p->keySource_ = std::make_unique<WaylandKeySource>([input = &p->input_] {
    if (*input) (*input)->postBackSpace();
  });
  p->input_ = std::make_unique<WaylandInputSynthesiser>(
      *p->keyboard_, [workspace = p->workspace_.get()] { return workspace->frontmostApplication().name; },
      [source = p->keySource_.get()] { return source->currentFlags(); });
  if (!inputEvents.isEmpty()) {
    p->keySource_->setFifo(inputEvents);
    p->readsFifo_ = true;
  }
  p->keySource_->setKeymap(c.sessionKeymap());
  QObject::connect(&c, &WaylandConnection::sessionKeymapChanged, p->keySource_.get(),
                   [source = p->keySource_.get(), conn = &c] { source->setKeymap(conn->sessionKeymap()); });
  p->pasteboard_ = std::make_unique<WaylandPasteboard>(c);
  p->accessibility_ = std::make_unique<WaylandAccessibility>();
  p->windowList_ = std::make_unique<WaylandWindowList>();
  p->hotKeys_ = std::make_unique<WaylandHotKeyService>();
  p->sounds_ = std::make_unique<X11SoundPlayer>(nullptr);
  p->loginItems_ = std::make_unique<X11LoginItems>();
  p->relauncher_ = std::make_unique<X11Relauncher>();
  p->passwordFocus_ = std::make_unique<AtSpiFocusWatch>(*p->workspace_);
  return p;
}

WaylandPlatform::~WaylandPlatform() {
  passwordFocus_.reset();  // it reads the workspace
  keySource_.reset();
  input_.reset();
  pasteboard_.reset();
  workspace_.reset();
  keyboard_.reset();
}

QStringList WaylandPlatform::missingPieces() const {
  QStringList missing;
  if (!keyboard_->isValid() && connection_->isKWin())
    missing << QCoreApplication::translate(
        "WaylandPlatform",
        "KWin does not let Quillet type (org_kde_kwin_fake_input): it grants it to programs started from "
        "an installed desktop entry that asks for it. Install Quillet's package, or copy "
        "com.orrerylabs.Quillet.kwin.desktop into ~/.local/share/applications with Exec= set to the full path "
        "of this quillet, then log in again.");
  else if (!keyboard_->isValid())
    missing << QCoreApplication::translate("WaylandPlatform",
                                          "The compositor offers no virtual keyboard (zwp_virtual_keyboard_v1): "
                                          "Quillet cannot type here.");
  if (!pasteboard_->isValid())
    missing << QCoreApplication::translate("WaylandPlatform",
                                          "The compositor offers no clipboard control (wlr data control): "
                                          "Quillet cannot paste snippets here.");
  if (!workspaceValid_ && connection_->isKWin())
    missing << QCoreApplication::translate("WaylandPlatform",
                                          "KWin's scripting cannot be reached over D-Bus (org.kde.KWin /Scripting): "
                                          "Quillet cannot tell which application is in front, so nothing expands.");
  else if (!workspaceValid_)
    missing << QCoreApplication::translate("WaylandPlatform",
                                          "The compositor does not list its windows (wlr foreign toplevel "
                                          "management): application rules do not apply.");
  const QString access = deviceAccessNotice();
  if (!access.isEmpty()) missing << access;
  return missing;
}

QString WaylandPlatform::deviceAccessNotice() const {
  if (readsFifo_ || keySource_->readsAnything()) return {};
  if (keySource_->deniedDevices() == 0)
    return QCoreApplication::translate(
        "WaylandPlatform", "No keyboard was found under /dev/input: nothing expands until one is plugged in.");
  return QCoreApplication::translate(
      "WaylandPlatform",
      "Quillet cannot read the keyboards under /dev/input, so nothing expands. Grant access with "
      "\"sudo usermod -aG input $USER\" and log in again, or install the udev rule "
      "70-quillet-input.rules into /usr/lib/udev/rules.d and run \"sudo udevadm trigger\".");
}

Platform WaylandPlatform::platform() const {
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
