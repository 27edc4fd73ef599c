#pragma once

#include <iosfwd>

namespace vt {

/// The command-line synthesiser: quorvel [SCORE.json] [-o OUT.wav] [--pcm16]
/// [--gain G | --normalize] [--print-score] [--help] [--version]. Messages go to out,
/// errors to err; returns the process exit status (0 success).
int runQuorvelCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

/// The text of quorvel --help, including the score file format.
const char* quorvelCliHelp();

}  // namespace vt
