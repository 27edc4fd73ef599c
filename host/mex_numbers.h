#pragma once
// Numbers from MEX arguments for the area-function entries (readVTAF,
// FourTubeAF, interpolAx). Every function returns false with a message naming
// the argument instead of raising the host error.

#include <cmath>
#include <cstddef>
#include <string>

#include "host/mex_args.h"
#include "mex.h"

namespace vt::host {

/// Reads a real double scalar that holds a whole number in [lo, hi].
inline bool getWholeScalar(const mxArray* a, const char* what, double lo, double hi, double& out,
                           std::string& err) {
  if (!isRealFullDouble(a) || mxGetNumberOfElements(a) != 1) {
    err = std::string(what) + " must be a real double scalar";
    return false;
  }
  const double v = mxGetPr(a)[0];
  if (!std::isfinite(v) || v != std::trunc(v) || v < lo || v > hi) {
    err = std::string(what) + " must be a whole number from " + std::to_string(static_cast<long long>(lo)) +
          " to " + std::to_string(static_cast<long long>(hi));
    return false;
  }
  out = v;
  return true;
}

/// Reads a real double array of exactly count elements (any shape) into out[0..count-1].
inline bool getDoubles(const mxArray* a, const char* what, std::size_t count, double* out,
                       std::string& err) {
  if (!isRealFullDouble(a) || mxGetNumberOfElements(a) != count) {
    err = std::string(what) + " must be a real double vector of " + std::to_string(count) +
          " elements";
    return false;
  }
  const double* p = mxGetPr(a);
  for (std::size_t i = 0; i < count; ++i) out[i] = p[i];
  return true;
}

/// Column vector of n doubles filled from f(i); the host owns it once stored in plhs.
template <class F>
mxArray* makeColumn(std::size_t n, F f) {
  mxArray* m = mxCreateDoubleMatrix(n, 1, mxREAL);
  double* p = mxGetPr(m);
  for (std::size_t i = 0; i < n; ++i) p[i] = f(i);
  return m;
}

}  // namespace vt::host
