#pragma once

#include <QString>
#include <QStringView>

namespace ql::matching {

// Characters that end a word in immediate mode ("\n" also in delimiter mode,
// where it counts as a space).
inline bool isWordSeparator(char16_t c) { return c == u' ' || c == u'\n' || c == u'\r'; }
// The newline characters trimmed from both ends of an immediate-mode word.
inline bool isNewlineCharacter(char16_t c) {
  return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

// Delimiter mode: "\n" counts as a space and the word is what follows the
// last space.
QString delimiterWord(QStringView text);

// Immediate mode: "\n" and "\r" count as spaces, the word is what follows
// the last one, with newline characters trimmed from both ends. Everything
// here reads the buffer backwards from its end and only as far as needed, so
// a long buffer costs nothing per key press.
class ImmediateWord final {
 public:
  explicit ImmediateWord(QStringView text);

  bool isEmpty() const { return empty_; }
  // One past the word's last unit, in the buffer.
  qsizetype end() const { return end_; }
  // Whether the unit at position (below end()), walking back from the end,
  // is past the word's start. Callers walk back one unit at a time and stop
  // at the first boundary.
  bool isBoundaryAt(qsizetype position) const;
  // The word itself (reads back to its start).
  QString text() const;

 private:
  QStringView buffer_;
  qsizetype end_ = 0;
  bool empty_ = true;
};

}  // namespace ql::matching
