#include "platform/sim/sim_desktop.h"

#include "platform/keys.h"
#include "platform/pasteboard_types.h"
#include "platform/sim/sim_keyboard_layout.h"

#include <QTimer>

namespace ql::sim {

SimDesktop::SimDesktop(QObject* parent)
    : QObject(parent),
      keySource_(*this),
      input_(*this),
      workspace_(*this),
      accessibility_(*this) {
  auto program = std::make_unique<SimApplication>();
  program->name = kProgramName;
  program->processId = kProgramProcessId;
  program->hasTextField = false;
  apps_.push_back(std::move(program));
  SimApplication& editor = addApplication(QStringLiteral("TextEdit"));
  frontmost_ = &editor;
  windowList_.raise(editor.processId);
}

SimDesktop::~SimDesktop() = default;

Platform SimDesktop::platform() {
  return Platform{&keySource_, &input_,       &pasteboard_, &workspace_,   &accessibility_,
                  &windowList_, &hotKeys_,   &sounds_,     &loginItems_, &relauncher_,
                  &passwordFocus_};
}

SimApplication& SimDesktop::addApplication(const QString& name) {
  auto app = std::make_unique<SimApplication>();
  app->name = name;
  app->processId = nextProcessId_++;
  app->windowId = nextWindowId_++;
  // Windows of later applications open further down and to the right.
  const double offset = 20.0 * double(apps_.size());
  app->field.frame = QRectF(100 + offset, 100 + offset, 600, 400);
  windowList_.all().append(WindowInfo{app->windowId, name, app->processId,
                                      QRectF(80 + offset, 60 + offset, 640, 460), 0, true});
  apps_.push_back(std::move(app));
  return *apps_.back();
}

void SimDesktop::quitApplication(const QString& name) {
  SimApplication* app = application(name);
  if (!app || app->processId == kProgramProcessId) return;
  const bool wasFront = app == frontmost_;
  windowList_.removeWindowsOf(app->processId);
  std::erase_if(apps_, [app](const auto& a) { return a.get() == app; });
  if (!wasFront) return;
  frontmost_ = nullptr;
  for (const WindowInfo& w : windowList_.windows()) {
    if (SimApplication* next = applicationByProcessId(w.ownerProcessId)) {
      switchTo(next->name);
      return;
    }
  }
  switchTo(kProgramName);
}

SimApplication* SimDesktop::application(const QString& name) {
  for (auto& app : apps_)
    if (app->name == name) return app.get();
  return nullptr;
}

SimApplication* SimDesktop::applicationByProcessId(qint64 processId) {
  for (auto& app : apps_)
    if (app->processId == processId) return app.get();
  return nullptr;
}

QList<SimApplication*> SimDesktop::applications() const {
  QList<SimApplication*> list;
  for (const auto& app : apps_) list.append(app.get());
  return list;
}

bool SimDesktop::isProgramFrontmost() const {
  return frontmost_ && frontmost_->processId == kProgramProcessId;
}

void SimDesktop::switchTo(const QString& name) {
  SimApplication* app = application(name);
  if (!app || app == frontmost_) return;
  const ApplicationInfo from = frontmost_ ? frontmost_->info() : ApplicationInfo{};
  frontmost_ = app;
  windowList_.raise(app->processId);
  workspace_.notifySwitch(from, app->info());
}

SimTextField* SimDesktop::focusedField() {
  if (!frontmost_ || !frontmost_->hasTextField) return nullptr;
  return &frontmost_->field;
}

void SimDesktop::typeText(const QString& text) {
  for (QChar c : text) {
    const auto stroke = SimKeyboardLayout::keyFor(c);
    if (!stroke) {
      typeKey(SimKeyboardLayout::kForeignKeyCode, heldModifiers_, QString(c));
      continue;
    }
    // Shift goes down and up around the character, as the user's finger does.
    const quint64 held = heldModifiers_;
    const bool pressShift = (stroke->modifierFlags & mods::Shift) && !(held & mods::Shift);
    if (pressShift) holdModifiers(held | mods::Shift);
    typeKey(stroke->keyCode, stroke->modifierFlags | heldModifiers_);
    if (pressShift) holdModifiers(held);
  }
}

void SimDesktop::typeKey(quint16 keyCode, quint64 modifierFlags) {
  typeKey(keyCode, modifierFlags, SimKeyboardLayout::characters(keyCode, modifierFlags));
}

void SimDesktop::typeKey(quint16 keyCode, quint64 modifierFlags, const QString& characters) {
  clock_ += 100;
  keySource_.userKeyDown(makeEvent(keyCode, modifierFlags, characters));
}

KeyEvent SimDesktop::makeEvent(quint16 keyCode, quint64 modifierFlags, const QString& characters) {
  KeyEvent e;
  e.keyCode = keyCode;
  e.characters = characters;
  e.charactersIgnoringModifiers = keyCode == SimKeyboardLayout::kForeignKeyCode
                                      ? characters
                                      : SimKeyboardLayout::charactersIgnoringModifiers(keyCode);
  e.modifierFlags = modifierFlags;
  e.timestamp = clock_;
  return e;
}

void SimDesktop::holdModifiers(quint64 modifierFlags) {
  if (modifierFlags == heldModifiers_) return;
  heldModifiers_ = modifierFlags;
  clock_ += 50;
  keySource_.userFlagsChanged(modifierFlags);
  Q_EMIT modifiersChanged(modifierFlags);
}

void SimDesktop::click(const QPointF& position, MouseEventType type) {
  clock_ += 100;
  // A global monitor sees only what is addressed to other applications.
  if (isProgramFrontmost()) return;
  MouseEvent e;
  e.type = type;
  e.position = position;
  e.modifierFlags = heldModifiers_;
  e.clickCount = 1;
  e.timestamp = clock_;
  keySource_.userMouseEvent(e);
}

void SimDesktop::moveMouse(const QPointF& position) {
  clock_ += 10;
  if (isProgramFrontmost()) return;
  MouseEvent e;
  e.type = MouseEventType::Moved;
  e.position = position;
  e.modifierFlags = heldModifiers_;
  e.timestamp = clock_;
  keySource_.userMouseEvent(e);
}

void SimDesktop::scroll(const QPointF& position, const QPointF& delta) {
  clock_ += 10;
  if (isProgramFrontmost()) return;
  MouseEvent e;
  e.type = MouseEventType::Scroll;
  e.position = position;
  e.scrollDelta = delta;
  e.modifierFlags = heldModifiers_;
  e.timestamp = clock_;
  keySource_.userMouseEvent(e);
}

bool SimDesktop::pressHotKey(quint16 keyCode, quint64 modifierFlags) {
  clock_ += 100;
  return hotKeys_.press(keyCode, modifierFlags, clock_);
}

void SimDesktop::deliverKey(const KeyEvent& event) {
  if (!frontmost_) return;
  if (frontmost_->processId == kProgramProcessId) {
    Q_EMIT programKeyDown(event);
    return;
  }
  applyKey(*frontmost_, event.keyCode, event.modifierFlags, event.characters);
}

void SimDesktop::postKeyFromProgram(quint16 keyCode, quint64 modifierFlags, bool down) {
  posted_.append(PostedKey{keyCode, modifierFlags, down, frontmost_ ? frontmost_->name : QString()});
  if (!down || !frontmost_ || frontmost_->processId == kProgramProcessId) return;
  applyKey(*frontmost_, keyCode, modifierFlags, SimKeyboardLayout::characters(keyCode, modifierFlags));
}

void SimDesktop::applyKey(SimApplication& app, quint16 keyCode, quint64 modifierFlags,
                          const QString& characters) {
  if (!app.hasTextField) return;
  if (rereading_) {
    waitingKeys_.append(WaitingKey{app.processId, keyCode, modifierFlags, characters});
    return;
  }
  const quint64 f = mods::masked(modifierFlags) & ~mods::CapsLock;
  if (f == mods::Command || f == (mods::Command | mods::Shift)) {
    switch (keyCode) {
      case keys::V:
        if (pasteRereadMs_ >= 0) {
          pasteboard_.fetch(pasteboard_types::String);
          rereading_ = true;
          QTimer::singleShot(pasteRereadMs_, this, [this, pid = app.processId] {
            rereading_ = false;
            paste(pid);
            while (!waitingKeys_.isEmpty() && !rereading_) {
              const WaitingKey k = waitingKeys_.takeFirst();
              if (SimApplication* target = applicationByProcessId(k.processId))
                applyKey(*target, k.keyCode, k.modifierFlags, k.characters);
            }
          });
        } else if (pasteLatency_ < 0) {
          paste(app.processId);
        } else {
          ++pendingPastes_;
          QTimer::singleShot(pasteLatency_, this, [this, pid = app.processId] {
            --pendingPastes_;
            paste(pid);
          });
        }
        return;
      case keys::C:
      case keys::X:
        copy(app, keyCode == keys::X);
        return;
      case keys::A:
        app.field.select(0, app.field.text().length());
        return;
      default:
        break;
    }
  }
  app.field.applyKey(keyCode, modifierFlags, characters);
}

QStringList SimDesktop::postedKeyNames() const {
  QStringList names;
  for (const PostedKey& k : posted_)
    if (k.down) names.append(keyName(k.keyCode, k.modifierFlags));
  return names;
}

void SimDesktop::clearLog() {
  posted_.clear();
  sounds_.clearLog();
}

QString SimDesktop::keyName(quint16 keyCode, quint64 modifierFlags) {
  QString name;
  const quint64 f = mods::masked(modifierFlags);
  if (f & mods::Control) name += QStringLiteral("Ctrl-");
  if (f & mods::Shift) name += QStringLiteral("Shift-");
  if (f & mods::Option) name += QStringLiteral("Option-");
  if (f & mods::Command) name += QStringLiteral("Cmd-");
  switch (keyCode) {
    case keys::Delete: return name + QStringLiteral("Delete");
    case keys::Return: return name + QStringLiteral("Return");
    case keys::KeypadEnter: return name + QStringLiteral("Enter");
    case keys::Tab: return name + QStringLiteral("Tab");
    case keys::Escape: return name + QStringLiteral("Escape");
    case keys::Space: return name + QStringLiteral("Space");
    case keys::Left: return name + QStringLiteral("Left");
    case keys::Right: return name + QStringLiteral("Right");
    case keys::Up: return name + QStringLiteral("Up");
    case keys::Down: return name + QStringLiteral("Down");
    case keys::C: return name + QStringLiteral("C");
    case keys::V: return name + QStringLiteral("V");
    default: return name + QString::number(keyCode);
  }
}

}  // namespace ql::sim
