// The binary property-list path on untrusted bytes: the nesting check in
// front of libplist, then libplist itself. What it accepts must be writable
// as XML (how every file is saved) and read back equal.
#include "model/plist.h"
#include "model/plist_xml.h"
#include "plist_compare.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Only the binary path: other bytes would go to the XML reader.
  static const QByteArray magic("bplist00");
  QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  if (!bytes.startsWith("bplist")) bytes.prepend(magic);
  const std::optional<ql::PlistValue> value = ql::plist::parse(bytes);
  if (!value) return 0;
  QString error;
  const std::optional<ql::PlistValue> again = ql::plist::xml::read(ql::plist::xml::write(*value), &error);
  if (!again) {
    std::fprintf(stderr, "binary property list not writable as XML: %s\n", qPrintable(error));
    std::abort();
  }
  if (!fuzz::samePlist(*value, *again)) {
    std::fputs("binary property list changed when saved as XML\n", stderr);
    std::abort();
  }
  return 0;
}
