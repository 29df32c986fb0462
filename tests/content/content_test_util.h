#pragma once

#include "content/text/flat_rtfd.h"
#include "model/ql_snippet.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"  // designated initialisers name what matters

inline QLSnippet plainSnippet(const QString& text) {
  QLSnippet s;
  s.plainText = text;
  s.snippetType = QLSnippet::Plain;
  return s;
}

inline QLSnippet formattedSnippet(const ql::AttributedText& text) {
  QLSnippet s;
  s.formattedText = ql::writeFlatRtfd(text);
  s.snippetType = QLSnippet::Formatted;
  return s;
}

inline ql::TextAttributes boldAttributes() { return {.bold = true}; }

inline ql::AttributedText readRtfd(const ql::SnippetContent& c) {
  auto t = ql::readFlatRtfd(c.rtfd);
  return t ? *t : ql::AttributedText();
}
