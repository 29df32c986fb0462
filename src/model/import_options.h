#pragma once

#include <QtGlobal>

#include <functional>

namespace ql {

// How a reader of another program's library runs.
struct ImportOptions {
  // Rewrite TextExpander's own codes into Quillet's (TextExpander files only).
  bool convertCodes = false;
  // Told every so often how many records were read, out of total (-1 while
  // the total is not known), and once more at the end. A window pumps its
  // events here to show progress and to let the user cancel.
  std::function<void(qint64 read, qint64 total)> progress;
  // Asked along with progress; true stops the reader, which then fails.
  std::function<bool()> isCancelled;

  // Reports progress every this many records.
  static constexpr qint64 kProgressStep = 200;

  // Reports read records; returns false when the reader must stop.
  bool report(qint64 read, qint64 total) const {
    if (progress) progress(read, total);
    return !(isCancelled && isCancelled());
  }
};

}  // namespace ql
