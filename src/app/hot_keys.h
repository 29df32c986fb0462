#pragma once

#include "app/dd_hot_key_center.h"
#include "model/plist.h"

#include <QObject>

#include <utility>
#include <vector>

namespace ql {
class HotKeyService;
}

// The program's global hot keys: the combinations of the preferences taken
// from the desktop, let go, and asked about before the user records one.
class HotKeys final : public QObject {
  Q_OBJECT

 public:
  // A hot-key description of the preferences and what its press does.
  using Table = std::vector<std::pair<const ql::PlistDict*, DDHotKey::Task>>;

  explicit HotKeys(ql::HotKeyService& service);

  // Takes every combination the table describes; a description without both
  // numbers is no hot key.
  void registerAll(const Table& table);
  bool registerhotKey(quint16 keyCode, quint64 modifierFlags, DDHotKey::Task task);
  bool unRegisterhotKey(quint16 keyCode, quint64 modifierFlags);
  // Lets go of every combination held, before the table is taken again.
  void releaseAll();
  // Why the combination cannot be a hot key; empty when it can.
  QString takenReason(quint16 keyCode, quint64 modifierFlags);

  DDHotKeyCenter& center() { return center_; }

 private:
  ql::HotKeyService& service_;
  DDHotKeyCenter center_;
};
