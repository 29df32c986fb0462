#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QtGlobal>

namespace ql {

// Which key of the user's own layout types a character, and with which
// modifier keys held: what typing by key code needs where the program
// cannot bring a keymap of its own (KWin's fake input).
class SessionKeyMap final {
 public:
  struct Chord {
    quint32 evdevCode = 0;
    QList<quint32> modifierKeys;  // in press order
  };

  // keymap: XKB text as the compositor hands it to clients; layout: the
  // group in use. Empty when the text does not compile.
  SessionKeyMap(const QByteArray& keymap, quint32 layout = 0);

  bool isEmpty() const { return chords_.isEmpty(); }
  quint32 layoutCount() const { return layouts_; }
  // False when the layout has no key for the character.
  bool find(char32_t character, Chord* chord) const;

 private:
  QHash<quint32, Chord> chords_;  // keysym -> the simplest chord typing it
  quint32 layouts_ = 0;
};

}  // namespace ql
