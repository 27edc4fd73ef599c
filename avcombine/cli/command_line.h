#pragma once
// Command-line parsing shared by the brellix and vantrix programs: a fixed
// number of file names, --help, and "--" before names that begin with '-'.

#include <string>
#include <string_view>
#include <vector>

namespace vt::cli {

/// Exit statuses of the combiner programs.
enum ExitStatus : int {
  kExitOk = 0,       ///< output written (or help shown)
  kExitFailed = 1,   ///< combining failed; the message went to standard error
  kExitUsage = 2,    ///< wrong arguments
};

/// What the command line asks for.
enum class Request { Run, Help, Usage };

/// Splits argv into file names; Usage (with err set) when the count is not
/// nFiles or an unknown option is given.
inline Request parseFileArguments(int argc, char** argv, std::size_t nFiles,
                                  std::vector<std::string>& files, std::string& err) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view a = argv[i];
    if (!optionsEnded && (a == "-h" || a == "--help")) return Request::Help;
    if (!optionsEnded && a == "--") {
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

}  // namespace vt::cli
