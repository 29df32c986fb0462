#include "app/shortcut_recorder.h"

#include "platform/keys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QStyle>

#include <utility>

namespace {

namespace k = ql::keys;
namespace m = ql::mods;

// Qt keys by the Apple code of the key that types them on a US layout;
// shifted symbols name the key they share.
const std::pair<int, quint16> kKeys[] = {
    {Qt::Key_A, k::A}, {Qt::Key_B, k::B}, {Qt::Key_C, k::C}, {Qt::Key_D, k::D}, {Qt::Key_E, k::E},
    {Qt::Key_F, k::F}, {Qt::Key_G, k::G}, {Qt::Key_H, k::H}, {Qt::Key_I, k::I}, {Qt::Key_J, k::J},
    {Qt::Key_K, k::K}, {Qt::Key_L, k::L}, {Qt::Key_M, k::M}, {Qt::Key_N, k::N}, {Qt::Key_O, k::O},
    {Qt::Key_P, k::P}, {Qt::Key_Q, k::Q}, {Qt::Key_R, k::R}, {Qt::Key_S, k::S}, {Qt::Key_T, k::T},
    {Qt::Key_U, k::U}, {Qt::Key_V, k::V}, {Qt::Key_W, k::W}, {Qt::Key_X, k::X}, {Qt::Key_Y, k::Y},
    {Qt::Key_Z, k::Z},
    {Qt::Key_1, k::Digit1}, {Qt::Key_2, k::Digit2}, {Qt::Key_3, k::Digit3}, {Qt::Key_4, k::Digit4},
    {Qt::Key_5, k::Digit5}, {Qt::Key_6, k::Digit6}, {Qt::Key_7, k::Digit7}, {Qt::Key_8, k::Digit8},
    {Qt::Key_9, k::Digit9}, {Qt::Key_0, k::Digit0},
    {Qt::Key_Exclam, k::Digit1}, {Qt::Key_At, k::Digit2}, {Qt::Key_NumberSign, k::Digit3},
    {Qt::Key_Dollar, k::Digit4}, {Qt::Key_Percent, k::Digit5}, {Qt::Key_AsciiCircum, k::Digit6},
    {Qt::Key_Ampersand, k::Digit7}, {Qt::Key_Asterisk, k::Digit8}, {Qt::Key_ParenLeft, k::Digit9},
    {Qt::Key_ParenRight, k::Digit0},
    {Qt::Key_Minus, k::Minus}, {Qt::Key_Underscore, k::Minus}, {Qt::Key_Equal, k::Equal},
    {Qt::Key_Plus, k::Equal}, {Qt::Key_BracketLeft, k::LeftBracket}, {Qt::Key_BraceLeft, k::LeftBracket},
    {Qt::Key_BracketRight, k::RightBracket}, {Qt::Key_BraceRight, k::RightBracket},
    {Qt::Key_Semicolon, k::Semicolon}, {Qt::Key_Colon, k::Semicolon}, {Qt::Key_Apostrophe, k::Quote},
    {Qt::Key_QuoteDbl, k::Quote}, {Qt::Key_Backslash, k::Backslash}, {Qt::Key_Bar, k::Backslash},
    {Qt::Key_Comma, k::Comma}, {Qt::Key_Less, k::Comma}, {Qt::Key_Period, k::Period},
    {Qt::Key_Greater, k::Period}, {Qt::Key_Slash, k::Slash}, {Qt::Key_Question, k::Slash},
    {Qt::Key_QuoteLeft, k::Grave}, {Qt::Key_AsciiTilde, k::Grave},
    {Qt::Key_Space, k::Space}, {Qt::Key_Return, k::Return}, {Qt::Key_Enter, k::KeypadEnter},
    {Qt::Key_Tab, k::Tab}, {Qt::Key_Backtab, k::Tab}, {Qt::Key_Backspace, k::Delete},
    {Qt::Key_Escape, k::Escape}, {Qt::Key_Delete, k::ForwardDelete},
    {Qt::Key_Home, k::Home}, {Qt::Key_End, k::End}, {Qt::Key_PageUp, k::PageUp},
    {Qt::Key_PageDown, k::PageDown}, {Qt::Key_Left, k::Left}, {Qt::Key_Right, k::Right},
    {Qt::Key_Up, k::Up}, {Qt::Key_Down, k::Down}, {Qt::Key_Help, k::Help},
    {Qt::Key_F1, k::F1}, {Qt::Key_F2, k::F2}, {Qt::Key_F3, k::F3}, {Qt::Key_F4, k::F4},
    {Qt::Key_F5, k::F5}, {Qt::Key_F6, k::F6}, {Qt::Key_F7, k::F7}, {Qt::Key_F8, k::F8},
    {Qt::Key_F9, k::F9}, {Qt::Key_F10, k::F10}, {Qt::Key_F11, k::F11}, {Qt::Key_F12, k::F12},
    {Qt::Key_F13, k::F13}, {Qt::Key_F14, k::F14}, {Qt::Key_F15, k::F15}, {Qt::Key_F16, k::F16},
    {Qt::Key_F17, k::F17}, {Qt::Key_F18, k::F18}, {Qt::Key_F19, k::F19}, {Qt::Key_F20, k::F20},
};

// Names of the keys whose Qt name differs from what the user reads.
QString keyName(quint16 code) {
  switch (code) {
    case k::Space: return QStringLiteral("Space");
    case k::Return: return QStringLiteral("Return");
    case k::KeypadEnter: return QStringLiteral("Enter");
    case k::Tab: return QStringLiteral("Tab");
    case k::Delete: return QStringLiteral("Backspace");
    case k::ForwardDelete: return QStringLiteral("Del");
    case k::Escape: return QStringLiteral("Esc");
    default: break;
  }
  for (const auto& [qt, apple] : kKeys)
    if (apple == code) return QKeySequence(qt).toString(QKeySequence::PortableText);
  return QStringLiteral("Key %1").arg(code);
}

QString characters(quint16 code) {
  for (const auto& [qt, apple] : kKeys) {
    if (apple != code) continue;
    if (qt >= 0x20 && qt < 0x7f) return QString(QChar(qt)).toLower();
    return {};
  }
  return {};
}

}  // namespace

ShortcutRecorder::ShortcutRecorder(QWidget* parent) : QLineEdit(parent) {
  setReadOnly(true);
  setFocusPolicy(Qt::StrongFocus);
  setAlignment(Qt::AlignCenter);
  setPlaceholderText(tr("Click to record a shortcut"));
  clear_ = addAction(QIcon::fromTheme(QStringLiteral("edit-clear"),
                                              style()->standardIcon(QStyle::SP_LineEditClearButton)),
                             QLineEdit::TrailingPosition);
  clear_->setToolTip(tr("Clear the shortcut"));
  clear_->setVisible(false);
  connect(clear_, &QAction::triggered, this, [this] { clearValue(); });
}

quint16 ShortcutRecorder::keyCode() const {
  const ql::PlistValue* v = value_.value(QStringLiteral("keyCode"));
  return v ? quint16(v->toInteger().value_or(0)) : 0;
}

quint64 ShortcutRecorder::modifierFlags() const {
  const ql::PlistValue* v = value_.value(QStringLiteral("modifierFlags"));
  return v ? quint64(quint32(v->toInteger().value_or(0))) : 0;
}

void ShortcutRecorder::setValue(const ql::PlistDict& value) {
  value_ = value.contains(QStringLiteral("keyCode")) ? value : ql::PlistDict();
  showValue();
}

void ShortcutRecorder::clearValue() {
  const bool had = hasKey();
  value_ = ql::PlistDict();
  stopRecording();
  if (had) Q_EMIT keyComboDidChange();
}

QString ShortcutRecorder::displayText(quint16 keyCode, quint64 modifierFlags) {
  QStringList parts;
  const quint64 f = m::masked(modifierFlags);
  if (f & m::Command) parts << QStringLiteral("Ctrl");
  if (f & m::Option) parts << QStringLiteral("Alt");
  if (f & m::Shift) parts << QStringLiteral("Shift");
  if (f & m::Control) parts << QStringLiteral("Super");
  parts << keyName(keyCode);
  return parts.join(QLatin1Char('+'));
}

QString ShortcutRecorder::displayText(const ql::PlistDict& value) {
  const ql::PlistValue* code = value.value(QStringLiteral("keyCode"));
  if (!code || !code->toInteger()) return {};
  const ql::PlistValue* flags = value.value(QStringLiteral("modifierFlags"));
  return displayText(quint16(*code->toInteger()), flags ? quint64(quint32(flags->toInteger().value_or(0))) : 0);
}

bool ShortcutRecorder::appleCombination(int qtKey, Qt::KeyboardModifiers modifiers, quint16* keyCode,
                                        quint64* modifierFlags) {
  bool found = false;
  for (const auto& [qt, apple] : kKeys) {
    if (qt == qtKey) {
      *keyCode = apple;
      found = true;
      break;
    }
  }
  if (!found) return false;
  quint64 f = 0;
  if (modifiers & Qt::ControlModifier) f |= m::Command;
  if (modifiers & Qt::AltModifier) f |= m::Option;
  if (modifiers & Qt::ShiftModifier) f |= m::Shift;
  if (modifiers & Qt::MetaModifier) f |= m::Control;
  *modifierFlags = f;
  return true;
}

ql::PlistDict ShortcutRecorder::dictionary(quint16 keyCode, quint64 modifierFlags) {
  ql::PlistDict d;
  d.insert(QStringLiteral("characters"), characters(keyCode));
  d.insert(QStringLiteral("keyCode"), qint64(keyCode));
  d.insert(QStringLiteral("modifierFlags"), qint64(modifierFlags));
  return d;
}

void ShortcutRecorder::showValue() {
  setText(recording_ ? QString() : displayText(value_));
  clear_->setVisible(hasKey());
}

void ShortcutRecorder::startRecording() {
  recording_ = true;
  setPlaceholderText(tr("Type the shortcut"));
  showValue();
}

void ShortcutRecorder::stopRecording() {
  recording_ = false;
  setPlaceholderText(tr("Click to record a shortcut"));
  showValue();
}

// Reaching the recorder with Tab does not start recording, or Tab could
// never leave it again; a click, Space or Return does.
void ShortcutRecorder::focusInEvent(QFocusEvent* event) { QLineEdit::focusInEvent(event); }

void ShortcutRecorder::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  stopRecording();
}

void ShortcutRecorder::mousePressEvent(QMouseEvent* event) {
  QLineEdit::mousePressEvent(event);
  if (!recording_) startRecording();
}

bool ShortcutRecorder::event(QEvent* event) {
  // Tab and the window's shortcuts are combinations to record, not moves.
  if (recording_ && event->type() == QEvent::ShortcutOverride) {
    event->accept();
    return true;
  }
  if (recording_ && event->type() == QEvent::KeyPress) {
    keyPressEvent(static_cast<QKeyEvent*>(event));
    return true;
  }
  return QLineEdit::event(event);
}

void ShortcutRecorder::keyPressEvent(QKeyEvent* event) {
  if (!recording_) {
    if (event->modifiers() == Qt::NoModifier &&
        (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
      startRecording();
      return;
    }
    QLineEdit::keyPressEvent(event);
    return;
  }
  event->accept();
  const int key = event->key();
  const Qt::KeyboardModifiers mods =
      event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier);
  if (key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Shift || key == Qt::Key_Meta ||
      key == Qt::Key_Super_L || key == Qt::Key_Super_R || key == Qt::Key_AltGr) {
    // Modifiers alone: show them while the user reaches for the key.
    QStringList held;
    if (mods & Qt::ControlModifier) held << QStringLiteral("Ctrl");
    if (mods & Qt::AltModifier) held << QStringLiteral("Alt");
    if (mods & Qt::ShiftModifier) held << QStringLiteral("Shift");
    if (mods & Qt::MetaModifier) held << QStringLiteral("Super");
    setText(held.isEmpty() ? QString() : held.join(QLatin1Char('+')) + QLatin1Char('+'));
    return;
  }
  if (mods == Qt::NoModifier) {
    if (key == Qt::Key_Escape) {
      stopRecording();
      clearFocus();
    } else if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
      clearValue();
    } else {
      QApplication::beep();  // a key without a modifier would be lost to every program
    }
    return;
  }
  quint16 code = 0;
  quint64 flags = 0;
  if (!appleCombination(key, mods, &code, &flags) || code == ql::keys::Escape) {
    QApplication::beep();
    return;
  }
  takeCombination(code, flags);
}

void ShortcutRecorder::takeCombination(quint16 code, quint64 flags) {
  if (!recording_) return;
  const QString shown = displayText(code, flags);
  if (hasKey() && code == keyCode() && m::masked(flags) == m::masked(modifierFlags())) {
    stopRecording();
    return;
  }
  if (isTaken) {
    const QString reason = isTaken(code, flags);
    if (!reason.isEmpty()) {
      // Back to what it held, with the reason beside it.
      stopRecording();
      Q_EMIT refused(shown, reason);
      return;
    }
  }
  value_ = dictionary(code, flags);
  stopRecording();
  Q_EMIT keyComboDidChange();
}

void ShortcutRecorder::keyReleaseEvent(QKeyEvent* event) {
  if (recording_ && event->modifiers() == Qt::NoModifier) setText(QString());
  QLineEdit::keyReleaseEvent(event);
}
