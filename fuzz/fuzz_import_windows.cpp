// The Windows export reader on untrusted XML, through the same entry point
// an import uses (a file, here one in memory).
#include "model/ql_settings.h"

#include <QString>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const int fd = memfd_create("windows-export", 0);
  static const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);
  if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) std::abort();
  QLSettings settings;
  const bool read = settings.importFromQLXWindows(path);
  if (read != (!settings.groups.isEmpty() || !settings.snippets.isEmpty())) {
    std::fputs("import result does not match the records read\n", stderr);
    std::abort();
  }
  for (const auto& s : settings.snippets)
    if (s->abbreviation.isEmpty()) std::abort();
  return 0;
}
