// MEX entry readVTAF: [A, x, label, noiseSourceLoc] = readVTAF(path [, n]).
// Loads a VT area-function file: section areas A (cm²) and lengths x (cm) as
// columns, the label, and the noise-source section of a consonant file ([]
// for other files). With n, a file holding another number of sections is an
// error. Every failure is one Octave/MATLAB error; the host stays alive.

#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "artic/area_function_file_error.h"
#include "artic/vtaf_file.h"
#include "host/mex_args.h"
#include "host/mex_numbers.h"
#include "mex.h"

namespace {

constexpr char kUsage[] = "Usage: [A, x, label, noiseSourceLoc] = readVTAF(path [, n])";

/// Does the whole call, leaving any message in err (a buffer the entry owns).
/// Returns the identifier of the error, or nullptr on success.
const char* work(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[], char* err,
                 std::size_t errSize) {
  auto fail = [&](const std::string& msg, const char* id) {
    std::snprintf(err, errSize, "%s", msg.c_str());
    return id;
  };
  try {
    if (nrhs < 1 || nrhs > 2 || nlhs > 4) return fail(kUsage, "readVTAF:usage");
    std::string path, msg;
    if (!vt::host::getString(prhs[0], "path", path, msg)) return fail(msg, "readVTAF:argument");
    std::optional<int> expected;
    if (nrhs == 2) {
      double n = 0.0;
      if (!vt::host::getWholeScalar(prhs[1], "n (the expected number of sections)", 0.0,
                                    2147483647.0, n, msg)) {
        return fail(msg, "readVTAF:argument");
      }
      expected = static_cast<int>(n);
    }
    const vt::VTAFContents c = vt::readVTAFContents(path, true, expected);
    const auto& s = c.sections;
    plhs[0] = vt::host::makeColumn(s.size(), [&](std::size_t i) { return double(s[i].A); });
    if (nlhs > 1) {
      plhs[1] = vt::host::makeColumn(s.size(), [&](std::size_t i) { return double(s[i].x); });
    }
    if (nlhs > 2) plhs[2] = mxCreateString(c.label.c_str());
    if (nlhs > 3) {
      plhs[3] = c.noiseSourceLoc ? mxCreateDoubleScalar(*c.noiseSourceLoc)
                                 : mxCreateDoubleMatrix(0, 0, mxREAL);
    }
    return nullptr;
  } catch (const vt::AreaFunctionFileError& e) {
    return fail(e.what(), "readVTAF:file");
  } catch (const std::exception& e) {
    return fail(std::string("readVTAF: ") + e.what(), "readVTAF:internal");
  }
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  char err[2048] = "";
  const char* id = work(nlhs, plhs, nrhs, prhs, err, sizeof err);
  if (id != nullptr) mexErrMsgIdAndTxt(id, "%s", err);
}
