#include "content/text/rtf_tokenizer.h"

#include <climits>

namespace ql {

namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool isPlain(char c) { return c != '\\' && c != '{' && c != '}' && c != '\r' && c != '\n'; }

}  // namespace

RtfTokenizer::RtfTokenizer(QByteArrayView data)
    : begin_(data.constData()), p_(data.constData()), end_(data.constData() + data.size()) {}

QByteArrayView RtfTokenizer::skipBytes(qint64 count) {
  if (count <= 0) return {};
  const char* start = p_;
  p_ += std::min<qint64>(count, end_ - p_);
  return QByteArrayView(start, p_ - start);
}

RtfTokenizer::Token RtfTokenizer::next() {
  Token t;
  while (p_ < end_) {
    const char c = *p_;
    if (c == '{') {
      ++p_;
      t.kind = Kind::GroupStart;
      return t;
    }
    if (c == '}') {
      ++p_;
      t.kind = Kind::GroupEnd;
      return t;
    }
    if (c == '\\') return controlWord();
    if (c == '\r' || c == '\n') {
      ++p_;  // line breaks in the file are not text
      continue;
    }
    const char* start = p_;
    while (p_ < end_ && isPlain(*p_)) ++p_;
    t.kind = Kind::Text;
    t.word = std::string_view(start, size_t(p_ - start));
    return t;
  }
  return t;
}

RtfTokenizer::Token RtfTokenizer::controlWord() {
  Token t;
  ++p_;  // the backslash
  if (p_ >= end_) return t;
  if (!isLetter(*p_)) {
    const char s = *p_++;
    if (s == '\'') {
      int value = 0;
      int digits = 0;
      while (digits < 2 && p_ < end_ && hexValue(*p_) >= 0) {
        value = value * 16 + hexValue(*p_++);
        ++digits;
      }
      if (digits == 0) {  // a lone \' means nothing
        t.kind = Kind::Symbol;
        t.symbol = '\'';
        return t;
      }
      t.kind = Kind::Hex;
      t.hex = static_cast<unsigned char>(value);
      return t;
    }
    t.kind = Kind::Symbol;
    t.symbol = s == '\r' ? '\n' : s;
    return t;
  }
  const char* start = p_;
  while (p_ < end_ && isLetter(*p_)) ++p_;
  t.kind = Kind::Word;
  t.word = std::string_view(start, size_t(p_ - start));
  if (p_ < end_ && (isDigit(*p_) || (*p_ == '-' && p_ + 1 < end_ && isDigit(p_[1])))) {
    const bool negative = *p_ == '-';
    if (negative) ++p_;
    long long value = 0;
    while (p_ < end_ && isDigit(*p_)) {
      if (value <= INT_MAX) value = value * 10 + (*p_ - '0');
      ++p_;
    }
    if (value > INT_MAX) value = INT_MAX;
    t.hasParam = true;
    t.param = int(negative ? -value : value);
  }
  if (p_ < end_ && *p_ == ' ') ++p_;  // the delimiting space belongs to the word
  return t;
}

}  // namespace ql
