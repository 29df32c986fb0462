#pragma once

#include "platform/hot_key_service.h"

namespace ql {

// No client may grab keys on Wayland: the desktop's own key bindings run
// `quillet --action NAME` instead, so every registration is refused.
class WaylandHotKeyService final : public HotKeyService {
  Q_OBJECT

 public:
  using HotKeyService::HotKeyService;
  bool registerHotKey(quint32, quint16, quint64) override { return false; }
  void unregisterHotKey(quint32) override {}
  bool registersKeys() const override { return false; }
};

}  // namespace ql
