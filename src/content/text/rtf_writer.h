#pragma once

#include "content/text/attributed_text.h"

#include <QByteArray>

namespace ql {

// Writes a Mac-style RTF document ({\rtf1\ansi\ansicpg1252\cocoartf...}) that
// readRtf reads back to the same text and runs. Attachments become
// {\NeXTGraphic NAME} references, as in an RTFD's TXT.rtf; their bytes are
// not part of the RTF.
QByteArray writeRtf(const AttributedText& text);

}  // namespace ql
