#pragma once
// Reading a file-name argument of the brellix and vantrix MEX entries.

#include <cstring>
#include <string>

#include "host/mex_args.h"
#include "mex.h"

namespace vt::host {

/// Copies a file-name argument (a character row vector) into out. On failure
/// leaves a message naming the argument (what) in err.
inline bool getFileName(const mxArray* a, const std::string& what, std::string& out,
                        std::string& err) {
  if (!getString(a, what.c_str(), out, err)) return false;
  if (mxGetM(a) > 1) {
    err = what + " must be a character row vector (one file name), not a " +
          std::to_string(mxGetM(a)) + "-row character array";
    return false;
  }
  // A zero character would silently cut the name short and open another file.
  if (out.size() != std::strlen(out.c_str()) || out.size() != mxGetNumberOfElements(a)) {
    err = what + " contains a zero character";
    return false;
  }
  if (out.empty()) {
    err = what + " is empty";
    return false;
  }
  return true;
}

/// Hands err to the host's error call with a fresh host-owned copy, so that the
/// caller's C++ objects can be gone before control leaves through the host.
inline char* hostCopy(const std::string& err) {
  char* msg = static_cast<char*>(mxCalloc(err.size() + 1, 1));
  std::memcpy(msg, err.data(), err.size());
  return msg;
}

}  // namespace vt::host
