// RTF reader on untrusted bytes. Whatever it reads must also survive being
// written and read again unchanged, attachment bytes aside (RTF references
// attachments by name; their bytes live in the RTFD around it).
#include "content/text/rtf_reader.h"
#include "content/text/rtf_writer.h"

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

ql::AttributedText withoutAttachmentBytes(ql::AttributedText t) {
  std::vector<std::pair<int, int>> ranges;
  for (const auto& r : t.runs())
    if (r.attributes.attachment) ranges.emplace_back(r.start, r.length);
  for (const auto& range : ranges)
    t.modifyAttributes(range.first, range.second,
                       [](ql::TextAttributes& a) { a.attachment->contents.clear(); });
  return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
  const std::optional<ql::AttributedText> text = ql::readRtf(bytes);
  if (!text) return 0;
  const std::optional<ql::AttributedText> again = ql::readRtf(ql::writeRtf(*text));
  if (!again || !(*again == withoutAttachmentBytes(*text))) {
    std::fputs("RTF round trip changed the text\n", stderr);
    std::abort();
  }
  if (!ql::readRtf(ql::writeRtf(*text, ql::RtfAttachments::Pictures))) {
    std::fputs("RTF with pictures cannot be read back\n", stderr);
    std::abort();
  }
  return 0;
}
