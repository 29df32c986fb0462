#pragma once

#include "model/library_saver.h"
#include "model/ql_settings.h"

namespace ql {

// Another program changed the library file while this one had changes it had
// not written yet. fromFile is the library just read from the file; the
// changes of live since saved (what the file held when last read or written)
// are carried into it, as an import would merge them: a record of the same
// UUID takes the local version, a new local group joins a file group of the
// same name, nothing the other program added is lost, and a local deletion
// removes only a record the other program left as it was. Returns whether
// any local change was carried over (fromFile then differs from the file).
bool mergeUnsavedChanges(QLSettings& fromFile, const QLSettings& live, const LibrarySaver::Saved& saved);

// Makes live the library merged holds, keeping the record objects of live
// whose UUID is still there (updated in place), so that windows and undo
// steps holding them keep working; records that are gone are dropped.
void adoptLibrary(QLSettings& live, QLSettings& merged);

}  // namespace ql
