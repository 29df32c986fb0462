#include "platform/x11/key_characters.h"

#include <QByteArray>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdlib>

namespace ql {
namespace {

// The locale whose compose table applies: the user's, or a UTF-8 one when
// the process runs under "C" (its table knows no dead keys).
QByteArray composeLocale() {
  for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) {
      const QByteArray value(v);
      if (value == "C" || value == "POSIX") break;
      return value;
    }
  }
  return QByteArrayLiteral("en_US.UTF-8");
}

}  // namespace

KeyCharacters::KeyCharacters() {
  context_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  if (!context_) return;
  table_ = xkb_compose_table_new_from_locale(context_, composeLocale().constData(),
                                             XKB_COMPOSE_COMPILE_NO_FLAGS);
  if (!table_)
    table_ = xkb_compose_table_new_from_locale(context_, "en_US.UTF-8",
                                               XKB_COMPOSE_COMPILE_NO_FLAGS);
  if (table_) state_ = xkb_compose_state_new(table_, XKB_COMPOSE_STATE_NO_FLAGS);
}

KeyCharacters::~KeyCharacters() {
  xkb_compose_state_unref(state_);
  xkb_compose_table_unref(table_);
  xkb_context_unref(context_);
}

QString KeyCharacters::plain(KeySym sym) {
  const uint32_t ucs = xkb_keysym_to_utf32(static_cast<xkb_keysym_t>(sym));
  if (ucs == 0) return {};
  const char32_t c = ucs;
  return QString::fromUcs4(&c, 1);
}

bool KeyCharacters::isDeadKey(KeySym sym) {
  return sym >= XK_dead_grave && sym <= XK_dead_greek;
}

QString KeyCharacters::press(KeySym sym) {
  if (sym == NoSymbol) return {};
  if (!state_) return isDeadKey(sym) ? QString() : plain(sym);
  if (IsModifierKey(sym)) return {};  // holding Shift does not end a sequence

  switch (xkb_compose_state_feed(state_, static_cast<xkb_keysym_t>(sym))) {
    case XKB_COMPOSE_FEED_IGNORED: return plain(sym);
    case XKB_COMPOSE_FEED_ACCEPTED: break;
  }
  switch (xkb_compose_state_get_status(state_)) {
    case XKB_COMPOSE_COMPOSING: {
      // Remember what the sequence types on its own in case it breaks off.
      if (isDeadKey(sym)) {
        xkb_compose_state* probe = xkb_compose_state_new(table_, XKB_COMPOSE_STATE_NO_FLAGS);
        xkb_compose_state_feed(probe, static_cast<xkb_keysym_t>(sym));
        xkb_compose_state_feed(probe, XK_space);
        char buffer[16] = {};
        if (xkb_compose_state_get_status(probe) == XKB_COMPOSE_COMPOSED)
          xkb_compose_state_get_utf8(probe, buffer, sizeof buffer);
        xkb_compose_state_unref(probe);
        pendingSpacing_ += QString::fromUtf8(buffer);
      }
      return {};
    }
    case XKB_COMPOSE_COMPOSED: {
      char buffer[64] = {};
      xkb_compose_state_get_utf8(state_, buffer, sizeof buffer);
      QString text = QString::fromUtf8(buffer);
      if (text.isEmpty()) text = plain(xkb_compose_state_get_one_sym(state_));
      xkb_compose_state_reset(state_);
      pendingSpacing_.clear();
      return text;
    }
    case XKB_COMPOSE_CANCELLED: {
      QString text = pendingSpacing_;
      xkb_compose_state_reset(state_);
      pendingSpacing_.clear();
      // The press that broke the sequence still types, and may start anew.
      return text + press(sym);
    }
    case XKB_COMPOSE_NOTHING: break;
  }
  return plain(sym);
}

void KeyCharacters::reset() {
  if (state_) xkb_compose_state_reset(state_);
  pendingSpacing_.clear();
}

}  // namespace ql
