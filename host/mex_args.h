#pragma once
// Safe reading of MEX arguments. Every function returns false with a message
// instead of raising the host error, so callers can let their C++ objects be
// destroyed before they call mexErrMsgTxt.

#include <cstddef>
#include <string>

#include "mex.h"

namespace vt::host {

/// True when a is a real, full (not sparse) double array.
inline bool isRealFullDouble(const mxArray* a) {
  return a != nullptr && mxIsDouble(a) && !mxIsComplex(a) && !mxIsSparse(a);
}

/// Copies a character row vector argument (a file name) into out. On failure
/// (not text, several rows, a zero character) leaves a message naming the
/// argument (what) in err.
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
  // A file name is one row; the text of several rows would run together
  // column by column, and a zero character would cut the name short and open
  // another file.
  if (mxGetM(a) > 1) {
    err = std::string(what) + " must be a character row vector (one file name), not a " +
          std::to_string(mxGetM(a)) + "-row character array";
    return false;
  }
  const mxChar* c = mxGetChars(a);
  for (std::size_t i = 0; c != nullptr && i < mxGetNumberOfElements(a); ++i) {
    if (c[i] == 0) {
      err = std::string(what) + " contains a zero character";
      return false;
    }
  }
  return true;
}

}  // namespace vt::host
