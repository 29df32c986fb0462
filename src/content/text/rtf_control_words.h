#pragma once

#include <string_view>

namespace ql {

// The RTF control words the reader acts on. Everything else is ignored.
enum class RtfWord {
  Unknown,
  // Document and tables.
  Ansi, Mac, Pc, Pca, Ansicpg, Deff, Fonttbl, Colortbl, F, Fcharset, Cpg, Red, Green, Blue,
  // Character formatting.
  Plain, Fs, B, I, Ul, UlNone, Strike, Striked, Cf, Cb, Highlight, Chcbpat,
  // Paragraph formatting.
  Pard, Ql, Qc, Qr, Qj, Qnatural, Tx, Tqr, Tqc, Tqdec, Tb, Fi, Li,
  // Characters and breaks.
  Par, Row, Sect, Line, Tab, Cell, Page, Emdash, Endash, Emspace, Enspace, Qmspace, Bullet,
  Lquote, Rquote, Ldblquote, Rdblquote, Zwj, Zwnj, Ltrmark, Rtlmark, Zwbo, Zwnbo,
  // Unicode.
  U, Uc, Upr, Ud, Bin,
  // Destinations the reader interprets.
  Field, Fldinst, Fldrslt, NeXTGraphic, Listtext, Pict, Shppict, Pngblip, Jpegblip,
  // Destinations whose content is never text.
  SkipDestination,
};

RtfWord rtfWord(std::string_view name);

}  // namespace ql
