// RTF reader on untrusted bytes. Whatever it reads must also survive being
// written and read again unchanged.
#include "content/text/rtf_reader.h"
#include "content/text/rtf_writer.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
  const std::optional<ql::AttributedText> text = ql::readRtf(bytes);
  if (!text) return 0;
  const std::optional<ql::AttributedText> again = ql::readRtf(ql::writeRtf(*text));
  if (!again || !(*again == *text)) {
    std::fputs("RTF round trip changed the text\n", stderr);
    std::abort();
  }
  return 0;
}
