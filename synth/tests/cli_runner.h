#pragma once
// The quorvel command line run in-process, its output captured.

#include <sstream>
#include <string>
#include <vector>

#include "synth/quorvel_cli.h"

namespace vt::testing {

/// Runs `quorvel args...` (the program name is added) with out and err
/// emptied first; returns the exit status.
inline int runCli(std::vector<std::string> args, std::ostringstream& out, std::ostringstream& err) {
  args.insert(args.begin(), "quorvel");
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  out.str("");
  err.str("");
  return runQuorvelCli(static_cast<int>(argv.size()), argv.data(), out, err);
}

}  // namespace vt::testing
