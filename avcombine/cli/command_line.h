#pragma once
// The command line shared by the brellix and vantrix programs: a fixed
// number of file names, --help, --version, and "--" before names that begin
// with '-'.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#include "avcombine/mux_audio_video.h"
#include "fileio/removal_on_signal.h"
#include "quorvel_version.h"

namespace vt::cli {

/// Exit statuses of the combiner programs.
enum ExitStatus : int {
  kExitOk = 0,      ///< output written (or help shown)
  kExitFailed = 1,  ///< combining failed; the message went to standard error
  kExitUsage = 2,   ///< wrong arguments
};

/// What the command line asks for.
enum class Request { Run, Help, Version, Usage };

/// Splits argv into file names; Usage (with err set) when the count is not
/// nFiles or an unknown option is given. With output non-null, "-o NAME"
/// sets *output (once, to a non-empty name).
inline Request parseFileArguments(int argc, char** argv, std::size_t nFiles,
                                  std::vector<std::string>& files, std::string& err,
                                  std::string* output = nullptr) {
  bool optionsEnded = false, outputGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (!optionsEnded && (a == "-h" || a == "--help")) return Request::Help;
    if (!optionsEnded && a == "--version") return Request::Version;
    if (!optionsEnded && output != nullptr && a == "-o") {
      if (outputGiven || i + 1 >= argc || argv[i + 1][0] == '\0') {
        err = outputGiven ? "-o given twice" : "-o needs a file name";
        return Request::Usage;
      }
      *output = argv[++i];
      outputGiven = true;
    } else if (!optionsEnded && a == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && a.size() > 1 && a.front() == '-') {
      err = "unknown option \"" + std::string(a) + "\"";
      return Request::Usage;
    } else {
      files.emplace_back(a);
    }
  }
  if (files.size() != nFiles) {
    err = "expected " + std::to_string(nFiles) + " file names, got " + std::to_string(files.size());
    return Request::Usage;
  }
  return Request::Run;
}

/// The options and exit statuses, as --help shows them.
inline constexpr const char* kOptionsHelp =
    "\n"
    "Options:\n"
    "  -h, --help   show this text\n"
    "  --version    print the release number and exit\n"
    "  --           end of options (for file names beginning with '-')\n"
    "\n"
    "Exit status: 0 written, 1 combining failed (reason on standard error),\n"
    "2 wrong arguments.\n";

/// One combiner program: how it is named, documented and run.
struct Program {
  const char* name;    ///< program name, prefix of its messages
  const char* usage;   ///< one-line usage text, ending in a newline
  const char* help;    ///< what the program does, shown by --help
  std::size_t nFiles;  ///< number of file names it takes
  /// Output name without -o, or nullptr when the output is one of the file
  /// names; with it, the output name is passed after the file names.
  const char* defaultOutput;
  /// The combining pass on the file names, in command-line order.
  MuxResult (*combine)(const std::vector<std::string>& files);
};

/// The whole program: parses the command line, shows help or usage, combines,
/// and reports a failure on standard error as "name: message". Returns the
/// exit status.
inline int runProgram(const Program& p, int argc, char** argv) {
  // Ctrl-C or SIGTERM while the output is written leaves no temporary file.
  const RemoveTemporariesOnSignal removal;
  std::vector<std::string> files;
  std::string err, output = p.defaultOutput != nullptr ? p.defaultOutput : "";
  switch (parseFileArguments(argc, argv, p.nFiles, files, err,
                             p.defaultOutput != nullptr ? &output : nullptr)) {
    case Request::Help:
      std::fputs(p.usage, stdout);
      std::fputs(p.help, stdout);
      std::fputs(kOptionsHelp, stdout);
      return kExitOk;
    case Request::Version:
      std::printf("%s %s\n", p.name, kQuorvelVersion);
      return kExitOk;
    case Request::Usage:
      std::fprintf(stderr, "%s: %s\n%s", p.name, err.c_str(), p.usage);
      return kExitUsage;
    case Request::Run:
      break;
  }
  av_log_set_level(AV_LOG_ERROR);
  if (p.defaultOutput != nullptr) files.push_back(output);
  const MuxResult r = p.combine(files);
  if (!r) {
    std::fprintf(stderr, "%s: %s\n", p.name, r.message.c_str());
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace vt::cli
