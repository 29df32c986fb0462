#pragma once

#include "content/text/attributed_text.h"

#include <QByteArray>

namespace ql {

enum class RtfAttachments {
  // {\NeXTGraphic NAME} references, as in an RTFD's TXT.rtf: the bytes are
  // not part of the RTF, and readRtf gives the attachments back by name.
  References,
  // For RTF that stands alone (other programs, files): PNG and JPEG images
  // embedded as \pict, which readRtf reads as "Picture.png" or "Picture.jpg";
  // other attachments are left out.
  Pictures,
};

// Writes a Mac-style RTF document ({\rtf1\ansi\ansicpg1252\cocoartf...}) that
// readRtf reads back to the same text and runs (attachments as above).
// typing: for an empty text, the font and paragraph style typing starts with
// (written as the opening format); ignored when the text has characters.
QByteArray writeRtf(const AttributedText& text,
                    RtfAttachments attachments = RtfAttachments::References,
                    const TextAttributes* typing = nullptr);

}  // namespace ql
