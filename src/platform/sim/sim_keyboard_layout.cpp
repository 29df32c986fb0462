#include "platform/sim/sim_keyboard_layout.h"

#include "platform/keys.h"

#include <array>

namespace ql::sim {
namespace {

struct KeyCharacters {
  quint16 keyCode;
  char16_t plain;
  char16_t shifted;
};

constexpr std::array<KeyCharacters, 50> kKeys{{
    {keys::A, u'a', u'A'},           {keys::B, u'b', u'B'},
    {keys::C, u'c', u'C'},           {keys::D, u'd', u'D'},
    {keys::E, u'e', u'E'},           {keys::F, u'f', u'F'},
    {keys::G, u'g', u'G'},           {keys::H, u'h', u'H'},
    {keys::I, u'i', u'I'},           {keys::J, u'j', u'J'},
    {keys::K, u'k', u'K'},           {keys::L, u'l', u'L'},
    {keys::M, u'm', u'M'},           {keys::N, u'n', u'N'},
    {keys::O, u'o', u'O'},           {keys::P, u'p', u'P'},
    {keys::Q, u'q', u'Q'},           {keys::R, u'r', u'R'},
    {keys::S, u's', u'S'},           {keys::T, u't', u'T'},
    {keys::U, u'u', u'U'},           {keys::V, u'v', u'V'},
    {keys::W, u'w', u'W'},           {keys::X, u'x', u'X'},
    {keys::Y, u'y', u'Y'},           {keys::Z, u'z', u'Z'},
    {keys::Digit1, u'1', u'!'},      {keys::Digit2, u'2', u'@'},
    {keys::Digit3, u'3', u'#'},      {keys::Digit4, u'4', u'$'},
    {keys::Digit5, u'5', u'%'},      {keys::Digit6, u'6', u'^'},
    {keys::Digit7, u'7', u'&'},      {keys::Digit8, u'8', u'*'},
    {keys::Digit9, u'9', u'('},      {keys::Digit0, u'0', u')'},
    {keys::Minus, u'-', u'_'},       {keys::Equal, u'=', u'+'},
    {keys::LeftBracket, u'[', u'{'}, {keys::RightBracket, u']', u'}'},
    {keys::Backslash, u'\\', u'|'},  {keys::Semicolon, u';', u':'},
    {keys::Quote, u'\'', u'"'},      {keys::Comma, u',', u'<'},
    {keys::Period, u'.', u'>'},      {keys::Slash, u'/', u'?'},
    {keys::Grave, u'`', u'~'},       {keys::Space, u' ', u' '},
    {keys::Tab, u'\t', u'\t'},       {keys::Return, u'\r', u'\r'},
}};

const KeyCharacters* find(quint16 keyCode) {
  for (const KeyCharacters& k : kKeys)
    if (k.keyCode == keyCode) return &k;
  return nullptr;
}

}  // namespace

QString SimKeyboardLayout::characters(quint16 keyCode, quint64 modifierFlags) {
  if (keyCode == keys::KeypadEnter) return QStringLiteral("\x03");
  const KeyCharacters* k = find(keyCode);
  if (!k) return {};
  const bool shift = modifierFlags & mods::Shift;
  const bool caps = modifierFlags & mods::CapsLock;
  const bool letter = QChar(k->plain).isLetter();
  const bool upper = letter ? (shift != caps) : shift;
  return QString(QChar(upper ? k->shifted : k->plain));
}

QString SimKeyboardLayout::charactersIgnoringModifiers(quint16 keyCode) {
  return characters(keyCode, 0);
}

std::optional<SimKeyboardLayout::KeyStroke> SimKeyboardLayout::keyFor(QChar character) {
  const char16_t c = character.unicode();
  if (c == u'\n') return KeyStroke{keys::Return, 0};
  for (const KeyCharacters& k : kKeys) {
    if (k.plain == c) return KeyStroke{k.keyCode, 0};
    if (k.shifted == c) return KeyStroke{k.keyCode, mods::Shift};
  }
  return std::nullopt;
}

}  // namespace ql::sim
