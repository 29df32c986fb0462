#include "app/hot_keys.h"

#include "app/shortcut_recorder.h"
#include "platform/hot_key_service.h"
#include "platform/keys.h"
#include "platform/log.h"

#include <QApplication>

#include <exception>

namespace {

// The registration centre hands out ids upward from 1; this one is never
// among them, so a probe cannot disturb a hot key in use.
constexpr quint32 kProbeHotKeyID = 0xFFFFFFFFu;
constexpr quint64 kHotKeyModifiers = ql::mods::Command | ql::mods::Option | ql::mods::Control | ql::mods::Shift;

// A description counts with both numbers present.
bool readHotKey(const ql::PlistDict& description, quint16* keyCode, quint64* modifierFlags) {
  if (description.isEmpty()) return false;
  const ql::PlistValue* code = description.value(QStringLiteral("keyCode"));
  const ql::PlistValue* flags = description.value(QStringLiteral("modifierFlags"));
  if (!code || !flags || !code->toInteger() || !flags->toInteger()) return false;
  *keyCode = static_cast<quint16>(*code->toInteger());
  *modifierFlags = static_cast<quint32>(*flags->toInteger());
  return true;
}

}  // namespace

HotKeys::HotKeys(ql::HotKeyService& service) : service_(service), center_(service) {}

void HotKeys::registerAll(const Table& table) {
  for (const auto& [description, handler] : table) {
    quint16 keyCode = 0;
    quint64 flags = 0;
    if (!readHotKey(*description, &keyCode, &flags)) continue;
    registerhotKey(keyCode, flags, [handler, keyCode, flags](const ql::KeyEvent& e) {
      // The grab takes the press before a recorder sees it: a recorder
      // waiting for a combination gets it instead.
      if (auto* recorder = qobject_cast<ShortcutRecorder*>(QApplication::focusWidget());
          recorder && recorder->isRecording()) {
        recorder->takeCombination(keyCode, flags);
        return;
      }
      handler(e);
    });
  }
}

bool HotKeys::registerhotKey(quint16 keyCode, quint64 modifierFlags, DDHotKey::Task task) {
  try {
    if (center_.registerHotKeyWithKeyCode(keyCode, modifierFlags, std::move(task))) return true;
    ql::log(QStringLiteral("Unable to register hotkey!"));
    return false;
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("registerhotKey"), QString::fromUtf8(e.what()));
    return false;
  }
}

bool HotKeys::unRegisterhotKey(quint16 keyCode, quint64 modifierFlags) {
  try {
    center_.unregisterHotKeyWithKeyCode(keyCode, modifierFlags);
    return true;
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("unRegisterhotKey"), QString::fromUtf8(e.what()));
    return false;
  }
}

// Registering the whole table again over the combinations still held would
// have the centre refuse each unchanged one as a duplicate, and log it as a
// failure; they are let go first and taken again at once.
void HotKeys::releaseAll() {
  for (const DDHotKey& held : center_.registeredHotKeys()) unRegisterhotKey(held.keyCode, held.modifierFlags);
}

QString HotKeys::takenReason(quint16 keyCode, quint64 modifierFlags) {
  // A combination of ours is about to be released and taken again.
  for (const DDHotKey& held : center_.registeredHotKeys())
    if (held.keyCode == keyCode && (held.modifierFlags & kHotKeyModifiers) == (modifierFlags & kHotKeyModifiers))
      return {};
  if (!service_.registerHotKey(kProbeHotKeyID, keyCode, modifierFlags))
    return tr("another program already uses it as a shortcut.");
  service_.unregisterHotKey(kProbeHotKeyID);
  return {};
}
