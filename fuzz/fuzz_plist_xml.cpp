// The XML property-list reader on untrusted bytes (settings files, backups,
// saved groups, TextExpander files). What it accepts must come back equal
// after the writer wrote it and the reader read that again.
#include "model/plist.h"
#include "model/plist_xml.h"
#include "plist_compare.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
  const std::optional<ql::PlistValue> value = ql::plist::xml::read(bytes, nullptr);
  if (!value) return 0;
  const QByteArray written = ql::plist::xml::write(*value);
  QString error;
  const std::optional<ql::PlistValue> again = ql::plist::xml::read(written, &error);
  if (!again) {
    std::fprintf(stderr, "written property list not readable: %s\n", qPrintable(error));
    std::abort();
  }
  if (!fuzz::samePlist(*value, *again)) {
    std::fputs("property list changed in a write and read\n", stderr);
    std::abort();
  }
  return 0;
}
