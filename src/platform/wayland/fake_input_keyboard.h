#pragma once

#include "platform/wayland/session_key_map.h"
#include "platform/wayland/typing_keyboard.h"

#include <QObject>

#include <memory>

struct org_kde_kwin_fake_input;

namespace ql {

class WaylandConnection;

// Typing through KWin's fake input: key codes only, read with the
// session's keymap, so a character is found on the user's layout.
// Characters the layout lacks are left to the clipboard.
class FakeInputKeyboard final : public QObject, public TypingKeyboard {
  Q_OBJECT

 public:
  explicit FakeInputKeyboard(WaylandConnection& connection);
  ~FakeInputKeyboard() override;

  bool isValid() const override { return fakeInput_ != nullptr; }
  void key(quint32 evdevCode, bool down) override;
  bool keyForCharacter(char32_t character, quint32* evdevCode, QList<quint32>* modifierKeys) override;
  void flush() override;

  // The layout (XKB group) the user switched to.
  void setLayout(quint32 layout);
  quint32 layout() const { return layout_; }

 private Q_SLOTS:
  // Plasma's layout switcher (org.kde.keyboard, which KWin serves).
  void layoutChanged(uint index) { setLayout(index); }

 private:
  void reload();

  WaylandConnection& connection_;
  org_kde_kwin_fake_input* fakeInput_ = nullptr;
  std::unique_ptr<SessionKeyMap> keyMap_;
  quint32 layout_ = 0;
};

}  // namespace ql
