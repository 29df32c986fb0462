// The typedstream decoder and the rich-text reader on untrusted bytes
// (TextExpander's "richText"). Whatever text they make must be storable as
// a snippet's RTFD and readable again.
#include "content/text/flat_rtfd.h"
#include "model/import_rich_text.h"
#include "model/typedstream.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
  ql::typedstream::Archive::decode(bytes);
  const std::optional<ql::AttributedText> text = ql::attributedTextFromArchive(bytes);
  if (!text) return 0;
  if (!ql::readFlatRtfd(ql::writeFlatRtfd(*text))) {
    std::fputs("decoded rich text could not be stored as RTFD\n", stderr);
    std::abort();
  }
  return 0;
}
