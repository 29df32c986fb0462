#pragma once

#include "content/text/attributed_text.h"

#include <QRectF>
#include <QString>

namespace ql::sim {

// The focused text field of a simulated application: attributed text with a
// caret and a selection, edited the way a Mac text view edits on each key.
// Positions are UTF-16 code units. The selection runs from the anchor to
// the caret; Shift moves the caret and keeps the anchor.
class SimTextField final {
 public:
  // Layout used for the on-screen bounds of a range: a fixed grid.
  static constexpr double kCharacterWidth = 8;
  static constexpr double kLineHeight = 16;

  const AttributedText& text() const { return text_; }
  const QString& string() const { return text_.string(); }
  int caret() const { return caret_; }
  int anchor() const { return anchor_; }
  int selectionStart() const { return qMin(anchor_, caret_); }
  int selectionLength() const { return qAbs(caret_ - anchor_); }
  QString selectedString() const { return string().mid(selectionStart(), selectionLength()); }
  AttributedText selectedText() const { return text_.substring(selectionStart(), selectionLength()); }

  // Replaces the content; the caret goes to the end.
  void setText(const AttributedText& text);
  void setText(const QString& text) { setText(AttributedText(text)); }
  // Selects [start, start + length): anchor at start, caret at the end.
  void select(int start, int length);
  void setCaret(int position) { select(position, 0); }

  // Typing: replaces the selection; the text takes the attributes of the
  // first replaced character, else of the character before the caret.
  void insert(const QString& typed);
  // Pasting: replaces the selection with text that keeps its attributes.
  void insert(const AttributedText& pasted);

  // Applies one key-down other than the pasteboard shortcuts. Returns false
  // when the key does nothing in a text field.
  bool applyKey(quint16 keyCode, quint64 modifierFlags, const QString& characters);

  // Whether Command-V takes rich content (RTFD, RTF) or only plain text.
  bool acceptsRichText = true;
  // What the accessibility service can read of this field.
  bool selectionReadable = true;
  bool boundsReadable = true;
  // Where the field is on screen (top-left origin).
  QRectF frame{100, 100, 600, 400};

  // Screen rectangle of a range on the field's character grid.
  QRectF boundsOf(int start, int length) const;

 private:
  void deleteBackward(bool byWord, bool toLineStart);
  void moveHorizontally(bool right, bool extend, bool byWord, bool toLineEdge);
  void moveVertically(bool down, bool extend, bool toTextEdge);
  void moveCaret(int position, bool extend);
  int previousGrapheme(int position) const;
  int nextGrapheme(int position) const;
  int wordStartBefore(int position) const;
  int wordEndAfter(int position) const;
  int lineStart(int position) const;
  int lineEnd(int position) const;

  AttributedText text_;
  int anchor_ = 0;
  int caret_ = 0;
};

}  // namespace ql::sim
