#pragma once

#include "platform/platform.h"
#include "platform/sim/sim_accessibility.h"
#include "platform/sim/sim_application.h"
#include "platform/sim/sim_hot_key_service.h"
#include "platform/sim/sim_input_synthesiser.h"
#include "platform/sim/sim_key_source.h"
#include "platform/sim/sim_login_items.h"
#include "platform/sim/sim_password_focus.h"
#include "platform/sim/sim_pasteboard.h"
#include "platform/sim/sim_relauncher.h"
#include "platform/sim/sim_sound_player.h"
#include "platform/sim/sim_window_list.h"
#include "platform/sim/sim_workspace.h"

#include <QObject>

#include <memory>
#include <vector>

namespace ql::sim {

// A key event the program posted.
struct PostedKey {
  quint16 keyCode = 0;
  quint64 modifierFlags = 0;
  bool down = true;
  QString application;  // the frontmost application then
  bool operator==(const PostedKey&) const = default;
};

// A deterministic, in-process desktop: applications with a focused text
// field each, one of them (or the program itself) frontmost, a pasteboard,
// windows, hot keys and sounds, all behind the platform interfaces. Tests
// act as the user through typeText(), switchTo(), click() and friends; the
// program acts through platform(). Nothing here uses threads or a display.
class SimDesktop final : public QObject {
  Q_OBJECT

 public:
  static constexpr qint64 kProgramProcessId = 4242;
  static inline const QString kProgramName = QStringLiteral("Quillet");

  // Starts with the program running and one application, "TextEdit",
  // frontmost with an empty field.
  explicit SimDesktop(QObject* parent = nullptr);
  ~SimDesktop() override;

  Platform platform();

  // Applications.
  SimApplication& addApplication(const QString& name);
  // Quits an application: its windows go, and the next one comes to the front.
  void quitApplication(const QString& name);
  SimApplication* application(const QString& name);
  SimApplication* applicationByProcessId(qint64 processId);
  QList<SimApplication*> applications() const;
  SimApplication* frontmost() const { return frontmost_; }
  bool isProgramFrontmost() const;
  // Brings an application (or kProgramName) to the front, with notifications.
  void switchTo(const QString& name);
  // The frontmost application's field; none when the program or an
  // application without a field is in front.
  SimTextField* focusedField();

  // The user at the keyboard and the mouse. typeText presses Shift around
  // each character that needs it (modifier changes included) and types
  // characters the layout lacks on the foreign key.
  void typeText(const QString& text);
  // One press; characters default to what the simulated layout types.
  void typeKey(quint16 keyCode, quint64 modifierFlags = 0);
  void typeKey(quint16 keyCode, quint64 modifierFlags, const QString& characters);
  // Presses modifiers (flags as held afterwards) or releases them all.
  void holdModifiers(quint64 modifierFlags);
  void releaseModifiers() { holdModifiers(0); }
  quint64 heldModifiers() const { return heldModifiers_; }
  void click(const QPointF& position, MouseEventType type = MouseEventType::LeftDown);
  void moveMouse(const QPointF& position);
  void scroll(const QPointF& position, const QPointF& delta);
  // Presses a global shortcut; true when a registered hot key fired.
  bool pressHotKey(quint16 keyCode, quint64 modifierFlags);
  // Milliseconds of the simulated clock, for event time stamps.
  qint64 now() const { return clock_; }
  void advanceClock(qint64 ms) { clock_ += ms; }

  // How long a simulated application takes to fetch the pasteboard after
  // Command-V; negative (the default) means at once, inside the key post.
  // With a latency, keys posted meanwhile land before the pasted text, as
  // they can on X11.
  void setPasteLatency(int ms) { pasteLatency_ = ms; }
  // An application that reads the pasteboard at Command-V and again this
  // many milliseconds later, inserting what the second read gives, with the
  // keys that come meanwhile waiting until then (Chromium). Negative: off.
  void setPasteRereadMs(int ms) { pasteRereadMs_ = ms; }
  int pendingPastes() const { return pendingPastes_; }

  // What the program posted, in order.
  const QList<PostedKey>& postedKeys() const { return posted_; }
  // Key-downs by name, e.g. "Delete", "Cmd-V", "Shift-Option-Left", "49".
  QStringList postedKeyNames() const;
  void clearLog();

  SimKeySource& keySource() { return keySource_; }
  SimInputSynthesiser& input() { return input_; }
  SimPasteboard& pasteboard() { return pasteboard_; }
  SimWorkspace& workspace() { return workspace_; }
  SimAccessibility& accessibility() { return accessibility_; }
  SimWindowList& windowList() { return windowList_; }
  SimHotKeyService& hotKeys() { return hotKeys_; }
  SimSoundPlayer& sounds() { return sounds_; }
  SimLoginItems& loginItems() { return loginItems_; }
  SimRelauncher& relauncher() { return relauncher_; }
  SimPasswordFocus& passwordFocus() { return passwordFocus_; }

  // Used by the services: a user key press reaching the frontmost
  // application, and a key the program posts.
  void deliverKey(const KeyEvent& event);
  void postKeyFromProgram(quint16 keyCode, quint64 modifierFlags, bool down);

  static QString keyName(quint16 keyCode, quint64 modifierFlags);

 Q_SIGNALS:
  void modifiersChanged(quint64 modifierFlags);
  // A key reached the program's own windows (the program was frontmost).
  void programKeyDown(const ql::KeyEvent& event);

 private:
  void applyKey(SimApplication& app, quint16 keyCode, quint64 modifierFlags,
                const QString& characters);
  void paste(qint64 processId);
  void copy(SimApplication& app, bool cut);
  KeyEvent makeEvent(quint16 keyCode, quint64 modifierFlags, const QString& characters);

  std::vector<std::unique_ptr<SimApplication>> apps_;
  SimApplication* frontmost_ = nullptr;
  qint64 nextProcessId_ = 1001;
  quint64 nextWindowId_ = 501;
  quint64 heldModifiers_ = 0;
  qint64 clock_ = 1000;
  int pasteLatency_ = -1;
  int pendingPastes_ = 0;
  int pasteRereadMs_ = -1;
  bool rereading_ = false;
  struct WaitingKey {
    qint64 processId;
    quint16 keyCode;
    quint64 modifierFlags;
    QString characters;
  };
  QList<WaitingKey> waitingKeys_;  // behind a paste that reads again
  QList<PostedKey> posted_;

  SimKeySource keySource_;
  SimInputSynthesiser input_;
  SimPasteboard pasteboard_;
  SimWorkspace workspace_;
  SimAccessibility accessibility_;
  SimWindowList windowList_;
  SimHotKeyService hotKeys_;
  SimSoundPlayer sounds_;
  SimLoginItems loginItems_;
  SimRelauncher relauncher_;
  SimPasswordFocus passwordFocus_;
};

}  // namespace ql::sim
