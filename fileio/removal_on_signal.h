#pragma once
// Unfinished output files of a command-line program are removed when the
// program is stopped by SIGINT (Ctrl-C) or SIGTERM. Signal dispositions
// belong to the process, so the set of files to remove is the process's one
// table; a library host (Octave) never installs the handlers and nothing
// is removed there but by the usual unwinding.

#include <string>

namespace vt {

/// Installs, for the life of the object, handlers of SIGINT and SIGTERM that
/// remove every registered temporary file and then end the process as the
/// signal would (exit status 128 + signal). One per program, in main().
class RemoveTemporariesOnSignal {
 public:
  RemoveTemporariesOnSignal();
  ~RemoveTemporariesOnSignal();
  RemoveTemporariesOnSignal(const RemoveTemporariesOnSignal&) = delete;
  RemoveTemporariesOnSignal& operator=(const RemoveTemporariesOnSignal&) = delete;
};

/// Records a temporary file to remove on SIGINT/SIGTERM; returns its slot
/// (-1 when the table of 16 files is full or the name too long: that file is
/// then left to the normal removal only).
int registerTemporary(const std::string& path);

/// Forgets the file of slot (renamed into place or removed); -1 is ignored.
void unregisterTemporary(int slot);

}  // namespace vt
