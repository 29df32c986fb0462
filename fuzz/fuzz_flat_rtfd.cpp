// Flat RTFD reader on untrusted bytes; what it reads must be writable and
// read back with the same text and attachment bytes (names may be made safe).
#include "content/text/flat_rtfd.h"

#include <cstdio>
#include <cstdlib>

namespace {

QList<QByteArray> attachmentBytes(const ql::AttributedText& t) {
  QList<QByteArray> out;
  for (const auto& r : t.runs())
    if (r.attributes.attachment)
      for (int i = 0; i < r.length; ++i) out.append(r.attributes.attachment->contents);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
  const std::optional<ql::AttributedText> text = ql::readFlatRtfd(bytes);
  if (!text) return 0;
  const std::optional<ql::AttributedText> again = ql::readFlatRtfd(ql::writeFlatRtfd(*text));
  if (!again || again->string() != text->string() ||
      attachmentBytes(*again) != attachmentBytes(*text)) {
    std::fputs("flat RTFD round trip changed the text\n", stderr);
    std::abort();
  }
  return 0;
}
