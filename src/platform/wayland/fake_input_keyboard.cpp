#include "platform/wayland/fake_input_keyboard.h"

#include "platform/wayland/wayland_connection.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>

#include <fake-input-client.h>
#include <wayland-client.h>

namespace ql {

FakeInputKeyboard::FakeInputKeyboard(WaylandConnection& connection) : connection_(connection) {
  fakeInput_ = connection.fakeInput();
  if (!fakeInput_) return;
  // KWin takes no key from a client that has not said who it is.
  org_kde_kwin_fake_input_authenticate(fakeInput_, "Quillet", "types the snippets you expand");
  // The keymap holds every layout the user set up; KWin tells which is in use.
  QDBusConnection bus = QDBusConnection::sessionBus();
  const QString service = QStringLiteral("org.kde.keyboard"), path = QStringLiteral("/Layouts"),
                interface = QStringLiteral("org.kde.KeyboardLayouts");
  bus.connect(service, path, interface, QStringLiteral("layoutChanged"), this, SLOT(layoutChanged(uint)));
  const QDBusReply<uint> current =
      bus.call(QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("getLayout")), QDBus::Block, 2000);
  if (current.isValid()) layout_ = current.value();
  reload();
  connect(&connection, &WaylandConnection::sessionKeymapChanged, this, &FakeInputKeyboard::reload);
}

FakeInputKeyboard::~FakeInputKeyboard() = default;

void FakeInputKeyboard::reload() { keyMap_ = std::make_unique<SessionKeyMap>(connection_.sessionKeymap(), layout_); }

void FakeInputKeyboard::setLayout(quint32 layout) {
  if (layout == layout_) return;
  layout_ = layout;
  reload();
}

void FakeInputKeyboard::key(quint32 evdevCode, bool down) {
  if (!fakeInput_) return;
  org_kde_kwin_fake_input_keyboard_key(fakeInput_, evdevCode,
                                       down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
}

bool FakeInputKeyboard::keyForCharacter(char32_t character, quint32* evdevCode, QList<quint32>* modifierKeys) {
  SessionKeyMap::Chord chord;
  if (!fakeInput_ || !keyMap_ || !keyMap_->find(character, &chord)) return false;
  *evdevCode = chord.evdevCode;
  *modifierKeys = chord.modifierKeys;
  return true;
}

void FakeInputKeyboard::flush() { connection_.flush(); }

}  // namespace ql
