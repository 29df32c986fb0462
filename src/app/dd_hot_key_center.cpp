#include "app/dd_hot_key_center.h"

#include "platform/log.h"

DDHotKeyCenter::DDHotKeyCenter(ql::HotKeyService& service, QObject* parent)
    : QObject(parent), service_(service) {
  connect(&service_, &ql::HotKeyService::hotKeyPressed, this, &DDHotKeyCenter::dispatch);
}

DDHotKeyCenter::~DDHotKeyCenter() {
  for (const auto& hotKey : hotKeys_)
    if (hotKey->isRegistered) service_.unregisterHotKey(hotKey->hotKeyID);
}

bool DDHotKeyCenter::registerHotKeyWithKeyCode(quint16 keyCode, quint64 modifierFlags,
                                               DDHotKey::Task task) {
  for (const auto& hotKey : hotKeys_)
    if (hotKey->keyCode == keyCode && hotKey->modifierFlags == modifierFlags) return false;
  auto hotKey = std::make_shared<DDHotKey>();
  hotKey->task = std::move(task);
  hotKey->keyCode = keyCode;
  hotKey->modifierFlags = modifierFlags;
  if (!service_.registerHotKey(nextID_, keyCode, modifierFlags)) return false;
  hotKey->hotKeyID = nextID_++;
  hotKey->isRegistered = true;
  hotKeys_.push_back(std::move(hotKey));
  return true;
}

void DDHotKeyCenter::unregisterHotKeyWithKeyCode(quint16 keyCode, quint64 modifierFlags) {
  std::erase_if(hotKeys_, [&](const std::shared_ptr<DDHotKey>& hotKey) {
    if (hotKey->keyCode != keyCode || hotKey->modifierFlags != modifierFlags) return false;
    service_.unregisterHotKey(hotKey->hotKeyID);
    return true;
  });
}

QList<DDHotKey> DDHotKeyCenter::registeredHotKeys() const {
  QList<DDHotKey> all;
  for (const auto& hotKey : hotKeys_)
    if (hotKey->isRegistered) all.append(*hotKey);
  return all;
}

void DDHotKeyCenter::dispatch(quint32 id, quint64 modifierFlags, qint64 timestamp) {
  std::shared_ptr<DDHotKey> found;
  int matches = 0;
  for (const auto& hotKey : hotKeys_) {
    if (hotKey->hotKeyID != id) continue;
    if (++matches > 1) ql::log(QStringLiteral("ERROR!"));
    found = hotKey;
  }
  if (!found || !found->task) return;
  ql::KeyEvent event;
  event.keyCode = found->keyCode;
  event.modifierFlags = modifierFlags;
  event.timestamp = timestamp;
  // The task may unregister hot keys; the record stays alive until it returns.
  found->task(event);
}
