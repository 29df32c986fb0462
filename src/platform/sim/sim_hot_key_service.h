#pragma once

#include "platform/hot_key_service.h"

#include <QMap>
#include <QSet>

namespace ql::sim {

class SimHotKeyService final : public HotKeyService {
  Q_OBJECT

 public:
  struct Combination {
    quint16 keyCode = 0;
    quint64 modifierFlags = 0;  // Command, Option, Control and Shift only
    bool operator==(const Combination&) const = default;
  };

  bool registerHotKey(quint32 id, quint16 keyCode, quint64 modifierFlags) override;
  void unregisterHotKey(quint32 id) override;
  bool registersKeys() const override { return registersKeys_; }
  // As on Wayland: the desktop binds the keys.
  void setRegistersKeys(bool registers) { registersKeys_ = registers; }

  // Another client holds this combination: registering it is refused.
  void reserve(quint16 keyCode, quint64 modifierFlags);
  // The user presses a combination. Returns whether a registered hot key fired.
  bool press(quint16 keyCode, quint64 modifierFlags, qint64 timestamp);

  const QMap<quint32, Combination>& registered() const { return registered_; }
  static Combination combination(quint16 keyCode, quint64 modifierFlags);

 private:
  bool registersKeys_ = true;
  QMap<quint32, Combination> registered_;
  QList<Combination> reserved_;
};

}  // namespace ql::sim
