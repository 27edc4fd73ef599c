#pragma once
// Safe reading of MEX arguments. Every function returns false with a message
// instead of raising the host error, so callers can let their C++ objects be
// destroyed before they call mexErrMsgTxt.

#include <string>

#include "mex.h"

namespace vt::host {

/// True when a is a real, full (not sparse) double array.
inline bool isRealFullDouble(const mxArray* a) {
  return a != nullptr && mxIsDouble(a) && !mxIsComplex(a) && !mxIsSparse(a);
}

/// Copies a character-array argument into out. On failure leaves a message
/// naming the argument (what) in err.
inline bool getString(const mxArray* a, const char* what, std::string& out, std::string& err) {
  if (a == nullptr || !mxIsChar(a)) {
    err = std::string(what) + " must be a character array (a file name)";
    return false;
  }
  char* s = mxArrayToString(a);
  if (s == nullptr) {
    err = std::string("could not read ") + what + " as text";
    return false;
  }
  out = s;
  mxFree(s);
  return true;
}

}  // namespace vt::host
