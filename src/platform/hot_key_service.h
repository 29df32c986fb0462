#pragma once

#include <QObject>

namespace ql {

// System-wide key combinations that reach the program while any application
// is in front. The registration centre above it keeps ids and refuses
// duplicates; this service only talks to the system.
class HotKeyService : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  ~HotKeyService() override = default;

  // Registers keyCode with exactly the Command, Option, Control and Shift bits
  // of modifierFlags (other bits are ignored) under the caller's id. False
  // when the system refuses, e.g. another client already holds it.
  virtual bool registerHotKey(quint32 id, quint16 keyCode, quint64 modifierFlags) = 0;
  // Unknown ids are ignored.
  virtual void unregisterHotKey(quint32 id) = 0;
  // False where no program may take keys for itself (Wayland): the desktop's
  // own key bindings run the program's actions instead.
  virtual bool registersKeys() const { return true; }

 Q_SIGNALS:
  // A registered combination was pressed. modifierFlags are those held then.
  void hotKeyPressed(quint32 id, quint64 modifierFlags, qint64 timestamp);
};

}  // namespace ql
