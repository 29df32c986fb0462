#pragma once

#include "platform/hot_key_service.h"
#include "platform/key_source.h"

#include <QList>
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

// One registered combination and what it runs.
class DDHotKey {
 public:
  using Task = std::function<void(const ql::KeyEvent& event)>;

  Task task;
  quint16 keyCode = 0;
  quint64 modifierFlags = 0;
  quint32 hotKeyID = 0;
  bool isRegistered = false;  // the service holds it (the design's non-null hotKeyRef)
};

// The registration centre over the system's hot-key service: hands out ids,
// refuses a combination it already holds, and turns a press into a key
// event for the registered task.
class DDHotKeyCenter final : public QObject {
  Q_OBJECT

 public:
  explicit DDHotKeyCenter(ql::HotKeyService& service, QObject* parent = nullptr);
  ~DDHotKeyCenter() override;

  // False for a combination already registered here or refused by the
  // service; the id counter moves on only after a success.
  bool registerHotKeyWithKeyCode(quint16 keyCode, quint64 modifierFlags, DDHotKey::Task task);
  // Every hot key with exactly this combination.
  void unregisterHotKeyWithKeyCode(quint16 keyCode, quint64 modifierFlags);
  QList<DDHotKey> registeredHotKeys() const;
  quint32 nextHotKeyID() const { return nextID_; }

 private:
  void dispatch(quint32 id, quint64 modifierFlags, qint64 timestamp);

  ql::HotKeyService& service_;
  std::vector<std::shared_ptr<DDHotKey>> hotKeys_;
  quint32 nextID_ = 1;
};
