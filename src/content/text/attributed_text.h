#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace ql {

// An sRGB colour, 8 bits a channel: what RTF colour tables hold.
struct TextColor {
  quint8 red = 0;
  quint8 green = 0;
  quint8 blue = 0;
  bool operator==(const TextColor&) const = default;
};

// A file embedded in the text. It stands on one U+FFFC character.
struct TextAttachment {
  QString fileName;   // a plain file name, no folders
  QByteArray contents;
  bool operator==(const TextAttachment&) const = default;
};

enum class TextAlignment { Natural, Left, Center, Right, Justified };

// Everything one character carries. Paragraph attributes (alignment, tabs,
// indents) are stored per character like the rest; writers take them from a
// paragraph's first character. Lengths are in twips (1/20 point), the unit of
// RTF, so they survive a round trip exactly.
struct TextAttributes {
  // Character attributes.
  QString fontFamily = QStringLiteral("Helvetica");
  double pointSize = 12.0;  // written to RTF in half points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;
  std::optional<TextColor> foreground;  // none: the reader's default (black)
  std::optional<TextColor> background;  // none: no highlight
  QString link;                         // URL; empty: not a link
  // Paragraph attributes.
  TextAlignment alignment = TextAlignment::Natural;
  QList<int> tabStops;      // left tab stops, twips from the left margin, ascending
  int firstLineIndent = 0;  // twips, relative to leftIndent (may be negative)
  int leftIndent = 0;       // twips
  // Set only on a U+FFFC character.
  std::optional<TextAttachment> attachment;

  bool operator==(const TextAttributes&) const = default;
};

// A UTF-16 string with attribute runs, the value type of formatted snippet
// content. Positions and lengths are UTF-16 code units. Runs always cover the
// whole text, are never empty and never repeat the attributes of the run
// before them, so two equal texts have equal runs. Ranges passed in are
// clamped to the text.
class AttributedText {
 public:
  struct Run {
    int start = 0;
    int length = 0;
    TextAttributes attributes;
    bool operator==(const Run&) const = default;
  };

  AttributedText() = default;
  explicit AttributedText(const QString& text, const TextAttributes& attributes = {});

  static constexpr char16_t kAttachmentCharacter = u'\uFFFC';
  // One attachment character carrying the file.
  static AttributedText attachment(const TextAttachment& file,
                                   const TextAttributes& attributes = {});

  int length() const { return int(text_.size()); }
  bool isEmpty() const { return text_.isEmpty(); }
  const QString& string() const { return text_; }

  // The text with each attachment character replaced by placeholder.
  QString plainText(const QString& attachmentPlaceholder) const;

  AttributedText substring(int position, int length) const;

  // Attributes of the character at position; for an empty text or a position
  // past the end, the attributes of the last character or the defaults.
  const TextAttributes& attributesAt(int position) const;
  bool hasAttachmentAt(int position) const;

  const std::vector<Run>& runs() const { return runs_; }
  // Index in runs() of the run that holds position; 0 for an empty text.
  int runIndexAt(int position) const;
  // Sets the attributes of every character in the range.
  void setAttributes(int position, int length, const TextAttributes& attributes);
  // Changes the attributes in the range run by run (e.g. makes it bold while
  // keeping each run's font).
  template <typename F>
  void modifyAttributes(int position, int length, F change);

  // Replaces a range with plain text that takes the attributes of the first
  // replaced character; for an empty range those of the character before it,
  // else of the character after it, else the defaults.
  void replace(int position, int length, const QString& text);
  void replace(int position, int length, const QString& text, const TextAttributes& attributes);
  // Replaces a range with attributed text that keeps its own attributes.
  void replace(int position, int length, const AttributedText& text);

  void append(const QString& text, const TextAttributes& attributes);
  void append(const AttributedText& text);
  void remove(int position, int length) { replace(position, length, QString()); }

  // Forward search from position; case-insensitive compares simple Unicode
  // case folds. Returns -1 when not found.
  int indexOf(const QString& needle, int from = 0,
              Qt::CaseSensitivity cs = Qt::CaseSensitive) const;

  // Case changes keep the formatting: when a character maps to more or fewer
  // code units, the new ones take the attributes of the character they came from.
  void toUpper();
  void toLower();
  // Capitalises the first character of every paragraph (a paragraph ends after
  // \n, \r or U+2029).
  void capitalizeParagraphs();

  bool operator==(const AttributedText& other) const = default;

 private:
  // Splits the run holding position so that a run starts there; returns its index.
  int splitAt(int position);
  bool growRun(int position, int length, const AttributedText& text);
  void mergeAround(int firstRun, int lastRun);
  void normalize();
  void mapCase(bool upper);

  QString text_;
  std::vector<Run> runs_;
};

template <typename F>
void AttributedText::modifyAttributes(int position, int length, F change) {
  position = qBound(0, position, this->length());
  length = qBound(0, length, this->length() - position);
  if (length == 0) return;
  const int first = splitAt(position);
  const int last = splitAt(position + length);  // index of the run after the range
  for (int i = first; i < last; ++i) change(runs_[size_t(i)].attributes);
  mergeAround(first, last);
}

}  // namespace ql
