#pragma once

#include <iosfwd>

namespace vt {

/// quorvel batch MANIFEST -o OUTDIR [--jobs N] [--shard K/N] [--resume]
/// [--signals NAME,...]: synthesises every utterance of a manifest. argv[0]
/// is "batch". Progress goes to err (a bar when err is a terminal), the
/// summary line to out. Returns 0 when every utterance succeeded, 1 when
/// some failed or the run could not start, 2 for wrong options and 128 + the
/// signal number when SIGINT or SIGTERM stopped it.
int runBatchCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

/// The text of quorvel batch --help.
const char* batchCliHelp();

}  // namespace vt
