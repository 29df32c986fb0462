#pragma once

#include <QString>

namespace ql {

// Where a file that exists but cannot be read is kept, so that no save can
// replace it: "statistics unreadable 2026-12-01 09.30.00.plist" beside it,
// dated by the file's last change; a number is added when that name is taken.
QString movedAsideName(const QString& path);

// Renames path to movedAsideName(path); the new path, or "" when the rename
// failed.
QString moveAside(const QString& path);

}  // namespace ql
