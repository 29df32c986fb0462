#pragma once

#include "platform/platform.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace ql {

class AtSpiFocusWatch;
class TypingKeyboard;
class WaylandAccessibility;
class WaylandConnection;
class WaylandHotKeyService;
class WaylandInputSynthesiser;
class WaylandKeySource;
class WaylandPasteboard;
class WaylandWindowList;
class WaylandWorkspace;
class Workspace;
class X11LoginItems;
class X11Relauncher;
class X11SoundPlayer;

// Every platform service in a Wayland session, on a connection of its own
// to the compositor. The windows stay Qt's, on XWayland where there is one.
class WaylandPlatform final {
 public:
  // Null (with a reason) when no compositor answers. inputEvents: a FIFO
  // of kernel input records read instead of the devices.
  static std::unique_ptr<WaylandPlatform> create(const QByteArray& display = {},
                                                 const QString& inputEvents = {},
                                                 QString* error = nullptr);
  ~WaylandPlatform();
  WaylandPlatform(const WaylandPlatform&) = delete;
  WaylandPlatform& operator=(const WaylandPlatform&) = delete;

  Platform platform() const;

  // What is missing for expansion on this compositor, one line each, with
  // what the user can do (empty: nothing). Known once the key source ran.
  QStringList missingPieces() const;
  // The devices exist but cannot be read: the command that grants access.
  QString deviceAccessNotice() const;

  WaylandConnection& connection() { return *connection_; }
  WaylandKeySource& keySource() { return *keySource_; }
  WaylandPasteboard& pasteboard() { return *pasteboard_; }
  Workspace& workspace() { return *workspace_; }
  TypingKeyboard& keyboard() { return *keyboard_; }

 private:
  WaylandPlatform();

  std::unique_ptr<WaylandConnection> connection_;
  std::unique_ptr<TypingKeyboard> keyboard_;
  std::unique_ptr<Workspace> workspace_;
  bool workspaceValid_ = false;
  std::unique_ptr<WaylandInputSynthesiser> input_;
  std::unique_ptr<WaylandKeySource> keySource_;
  std::unique_ptr<WaylandPasteboard> pasteboard_;
  std::unique_ptr<WaylandAccessibility> accessibility_;
  std::unique_ptr<WaylandWindowList> windowList_;
  std::unique_ptr<WaylandHotKeyService> hotKeys_;
  std::unique_ptr<X11SoundPlayer> sounds_;
  std::unique_ptr<X11LoginItems> loginItems_;
  std::unique_ptr<X11Relauncher> relauncher_;
  std::unique_ptr<AtSpiFocusWatch> passwordFocus_;
  bool readsFifo_ = false;
};

}  // namespace ql
