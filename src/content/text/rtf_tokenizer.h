#pragma once

#include <QByteArrayView>

#include <string_view>

namespace ql {

// Splits RTF bytes into groups, control words, control symbols, \'hh bytes
// and runs of plain text. Never reads past the end; parameters saturate
// instead of overflowing however many digits they have.
class RtfTokenizer final {
 public:
  enum class Kind { End, GroupStart, GroupEnd, Word, Symbol, Hex, Text };

  struct Token {
    Kind kind = Kind::End;
    std::string_view word;  // Word: the name; Text: the bytes
    bool hasParam = false;
    int param = 0;
    char symbol = 0;        // Symbol: the character after the backslash
    unsigned char hex = 0;  // Hex: the byte
  };

  // The bytes must outlive the tokenizer.
  explicit RtfTokenizer(QByteArrayView data);

  Token next();
  // Skips up to count raw bytes (after \binN) and returns them.
  QByteArrayView skipBytes(qint64 count);
  qint64 offset() const { return p_ - begin_; }

 private:
  Token controlWord();

  const char* begin_;
  const char* p_;
  const char* end_;
};

}  // namespace ql
