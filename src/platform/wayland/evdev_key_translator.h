#pragma once

#include "platform/key_source.h"

#include <QByteArray>
#include <QSet>

#include <memory>

struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace ql {

class KeyCharacters;

// Turns kernel key events (evdev codes, press/repeat/release) into the key
// events of the portable code, with the characters the session's XKB keymap
// and its current layout give them, dead keys and Compose included. The
// compositor applies the same keymap to the same events, so both agree.
class EvdevKeyTranslator final {
 public:
  struct Result {
    bool keyDown = false;  // `key` is a press (or an auto-repeat) to report
    KeyEvent key;
    bool flagsChanged = false;  // a modifier key changed what is held
    quint64 flags = 0;          // the Apple bits held after this event
    bool isModifier = false;
  };

  EvdevKeyTranslator();
  ~EvdevKeyTranslator();
  EvdevKeyTranslator(const EvdevKeyTranslator&) = delete;
  EvdevKeyTranslator& operator=(const EvdevKeyTranslator&) = delete;

  // A keymap in XKB text form (as the compositor sends it). False, with the
  // old keymap kept, when it does not compile.
  bool setKeymap(const QByteArray& text);
  // A keymap from rule names ("de", "fr", "us" with "intl"); empty names
  // take XKB's defaults.
  bool setKeymapNames(const QByteArray& layout, const QByteArray& variant = {},
                      const QByteArray& options = {});

  // value: 0 release, 1 press, 2 auto-repeat, as the kernel reports.
  Result feed(quint16 evdevCode, int value, qint64 timestampMs);

  quint64 flags() const;
  // Keys still held by the kernel's account.
  bool isDown(quint16 evdevCode) const { return down_.contains(evdevCode); }
  // Forgets a pending dead key (a click, another window).
  void resetCompose();

 private:
  bool install(xkb_keymap* keymap);

  xkb_context* context_ = nullptr;
  xkb_keymap* keymap_ = nullptr;
  xkb_state* state_ = nullptr;
  std::unique_ptr<KeyCharacters> characters_;
  QSet<quint16> down_;
  quint64 flags_ = 0;
};

}  // namespace ql
