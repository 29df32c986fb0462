#include "platform/sim/sim_text_field.h"

#include "platform/keys.h"

#include <QTextBoundaryFinder>

namespace ql::sim {
namespace {

bool isWordCharacter(QChar c) { return c.isLetterOrNumber() || c.isMark(); }

bool isLineBreak(QChar c) {
  return c == u'\n' || c == u'\r' || c == QChar(0x2029) || c == QChar(0x2028);
}

}  // namespace

void SimTextField::setText(const AttributedText& text) {
  text_ = text;
  anchor_ = caret_ = text_.length();
}

void SimTextField::select(int start, int length) {
  anchor_ = qBound(0, start, text_.length());
  caret_ = qBound(anchor_, start + length, text_.length());
}

void SimTextField::insert(const QString& typed) {
  const int start = selectionStart();
  text_.replace(start, selectionLength(), typed);
  anchor_ = caret_ = start + int(typed.size());
}

void SimTextField::insert(const AttributedText& pasted) {
  const int start = selectionStart();
  text_.replace(start, selectionLength(), pasted);
  anchor_ = caret_ = start + pasted.length();
}

bool SimTextField::applyKey(quint16 keyCode, quint64 modifierFlags, const QString& characters) {
  const quint64 f = mods::masked(modifierFlags);
  const bool shift = f & mods::Shift;
  const bool option = f & mods::Option;
  const bool command = f & mods::Command;
  switch (keyCode) {
    case keys::Delete:
      deleteBackward(option, command);
      return true;
    case keys::Left:
    case keys::Right:
      moveHorizontally(keyCode == keys::Right, shift, option, command);
      return true;
    case keys::Up:
    case keys::Down:
      moveVertically(keyCode == keys::Down, shift, command);
      return true;
    case keys::Return:
    case keys::KeypadEnter:
      if (command || (f & mods::Control)) return false;
      insert(QStringLiteral("\n"));
      return true;
    case keys::Tab:
      if (command || (f & mods::Control)) return false;
      insert(QStringLiteral("\t"));
      return true;
    case keys::Escape:
      return false;
    default:
      break;
  }
  // Shortcuts type nothing; Option only changes which character a key types.
  if (command || (f & mods::Control) || characters.isEmpty()) return false;
  for (QChar c : characters)
    if (c.category() == QChar::Other_Control) return false;
  insert(characters);
  return true;
}

void SimTextField::deleteBackward(bool byWord, bool toLineStart) {
  if (selectionLength() > 0) {
    insert(QString());
    return;
  }
  int from = caret_;
  if (toLineStart) {
    from = lineStart(caret_);
    if (from == caret_) from = qMax(0, caret_ - 1);  // at a line start: join lines
  } else if (byWord) {
    from = wordStartBefore(caret_);
  } else if (caret_ > 0) {
    // One code point: a surrogate pair goes whole, a combining mark alone.
    from = caret_ - 1;
    if (from > 0 && string().at(from).isLowSurrogate() && string().at(from - 1).isHighSurrogate())
      --from;
  }
  text_.remove(from, caret_ - from);
  anchor_ = caret_ = from;
}

void SimTextField::moveHorizontally(bool right, bool extend, bool byWord, bool toLineEdge) {
  // Without Shift an arrow first collapses a selection to its edge.
  if (!extend && selectionLength() > 0 && !byWord && !toLineEdge) {
    moveCaret(right ? qMax(anchor_, caret_) : selectionStart(), false);
    return;
  }
  int from = caret_;
  if (!extend && selectionLength() > 0) from = right ? qMax(anchor_, caret_) : selectionStart();
  int to;
  if (toLineEdge)
    to = right ? lineEnd(from) : lineStart(from);
  else if (byWord)
    to = right ? wordEndAfter(from) : wordStartBefore(from);
  else
    to = right ? nextGrapheme(from) : previousGrapheme(from);
  moveCaret(to, extend);
}

void SimTextField::moveVertically(bool down, bool extend, bool toTextEdge) {
  if (toTextEdge) {
    moveCaret(down ? text_.length() : 0, extend);
    return;
  }
  const int start = lineStart(caret_);
  const int column = caret_ - start;
  if (down) {
    const int end = lineEnd(caret_);
    if (end >= text_.length()) {
      moveCaret(text_.length(), extend);
      return;
    }
    const int next = end + 1;
    moveCaret(qMin(next + column, lineEnd(next)), extend);
  } else {
    if (start == 0) {
      moveCaret(0, extend);
      return;
    }
    const int previous = lineStart(start - 1);
    moveCaret(qMin(previous + column, start - 1), extend);
  }
}

void SimTextField::moveCaret(int position, bool extend) {
  caret_ = qBound(0, position, text_.length());
  if (!extend) anchor_ = caret_;
}

int SimTextField::previousGrapheme(int position) const {
  if (position <= 0) return 0;
  QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, string());
  finder.setPosition(position);
  const qsizetype p = finder.toPreviousBoundary();
  return p < 0 ? 0 : int(p);
}

int SimTextField::nextGrapheme(int position) const {
  if (position >= text_.length()) return text_.length();
  QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, string());
  finder.setPosition(position);
  const qsizetype p = finder.toNextBoundary();
  return p < 0 ? text_.length() : int(p);
}

int SimTextField::wordStartBefore(int position) const {
  const QString& s = string();
  int p = position;
  while (p > 0 && !isWordCharacter(s.at(p - 1))) --p;
  while (p > 0 && isWordCharacter(s.at(p - 1))) --p;
  return p;
}

int SimTextField::wordEndAfter(int position) const {
  const QString& s = string();
  const int n = int(s.size());
  int p = position;
  while (p < n && !isWordCharacter(s.at(p))) ++p;
  while (p < n && isWordCharacter(s.at(p))) ++p;
  return p;
}

int SimTextField::lineStart(int position) const {
  const QString& s = string();
  int p = qBound(0, position, int(s.size()));
  while (p > 0 && !isLineBreak(s.at(p - 1))) --p;
  return p;
}

int SimTextField::lineEnd(int position) const {
  const QString& s = string();
  const int n = int(s.size());
  int p = qBound(0, position, n);
  while (p < n && !isLineBreak(s.at(p))) ++p;
  return p;
}

QRectF SimTextField::boundsOf(int start, int length) const {
  start = qBound(0, start, text_.length());
  const int first = lineStart(start);
  int line = 0;
  for (int i = 0; i < first; ++i)
    if (isLineBreak(string().at(i))) ++line;
  const int visible = qMin(start + length, lineEnd(start)) - start;
  return QRectF(frame.x() + (start - first) * kCharacterWidth, frame.y() + line * kLineHeight,
                visible * kCharacterWidth, kLineHeight);
}

}  // namespace ql::sim
