#pragma once
// Shared by the area-function MEX entries (readVTAF, FourTubeAF, interpolAx):
// numbers from MEX arguments, result columns, and the entry frame that turns
// a failure into one host error once every C++ object of the call is gone.

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "artic/area_function_file_error.h"
#include "host/mex_args.h"
#include "mex.h"
#include "records/area_function.h"

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
    err = std::string(what) + " must be a whole number from " +
          std::to_string(static_cast<long long>(lo)) + " to " +
          std::to_string(static_cast<long long>(hi));
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

/// Stores the areas (cm²) of af in plhs[0] and, when asked for, the lengths
/// (cm) in plhs[1], each as a column; the host owns them from then on.
inline void setAreaLengthColumns(int nlhs, mxArray* plhs[], const std::vector<area_function>& af) {
  for (int k = 0; k < (nlhs > 1 ? 2 : 1); ++k) {
    plhs[k] = mxCreateDoubleMatrix(af.size(), 1, mxREAL);
    double* p = mxGetPr(plhs[k]);
    for (std::size_t i = 0; i < af.size(); ++i) p[i] = k == 0 ? af[i].A : af[i].x;
  }
}

/// Failure of an entry's work: the second part of the error identifier
/// ("usage", "argument", "file") and the message.
struct EntryError {
  const char* kind;
  std::string message;
};
using EntryResult = std::optional<EntryError>;

namespace detail {

/// Runs work() and writes the identifier "<name>:<kind>" and the message of
/// its failure or exception into the caller's buffers (id stays empty on success).
template <class Work>
void runWork(const char* name, Work& work, char* id, std::size_t idSize, char* msg,
             std::size_t msgSize) {
  // The host shows the function's name with the error already, so a
  // library message that starts with "<name>: " loses that prefix.
  auto fail = [&](const char* kind, const std::string& text) {
    const std::string prefix = std::string(name) + ": ";
    const std::size_t skip = text.rfind(prefix, 0) == 0 ? prefix.size() : 0;
    std::snprintf(id, idSize, "%s:%s", name, kind);
    std::snprintf(msg, msgSize, "%s", text.c_str() + skip);
  };
  try {
    if (EntryResult r = work()) fail(r->kind, r->message);
  } catch (const AreaFunctionFileError& e) {
    fail("file", e.what());
  } catch (const std::invalid_argument& e) {
    fail("argument", e.what());
  } catch (const std::exception& e) {
    fail("internal", e.what());
  }
}

}  // namespace detail

/// Body of a mexFunction: runs work (returning EntryResult) and raises the
/// host error only after work's objects are destroyed, since the host error
/// does not return. File errors get "<name>:file", invalid arguments
/// "<name>:argument", anything else "<name>:internal".
template <class Work>
void runEntry(const char* name, Work&& work) {
  char id[96] = "";
  char msg[2048] = "";
  detail::runWork(name, work, id, sizeof id, msg, sizeof msg);
  if (id[0] != '\0') mexErrMsgIdAndTxt(id, "%s", msg);
}

}  // namespace vt::host
