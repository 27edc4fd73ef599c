// MEX entry readVTAF: [A, x, label, noiseSourceLoc] = readVTAF(path [, n]).
// Loads a VT area-function file: section areas A (cm²) and lengths x (cm) as
// columns, the label, and the noise-source section of a consonant file ([]
// for other files). With n, a file holding another number of sections is an
// error. Every failure is one Octave/MATLAB error; the host stays alive.

#include <optional>
#include <string>

#include "artic/vtaf_file.h"
#include "host/mex_args.h"
#include "host/mex_numbers.h"
#include "mex.h"

namespace {

using vt::host::EntryError;
using vt::host::EntryResult;

EntryResult work(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  if (nrhs < 1 || nrhs > 2 || nlhs > 4) {
    return EntryError{"usage", "Usage: [A, x, label, noiseSourceLoc] = readVTAF(path [, n])"};
  }
  std::string path, msg;
  if (!vt::host::getString(prhs[0], "path", path, msg)) return EntryError{"argument", msg};
  std::optional<int> expected;
  if (nrhs == 2) {
    double n = 0.0;
    if (!vt::host::getWholeScalar(prhs[1], "n (the expected number of sections)", 0.0, 2147483647.0,
                                  n, msg)) {
      return EntryError{"argument", msg};
    }
    expected = static_cast<int>(n);
  }
  const vt::VTAFContents c = vt::readVTAFContents(path, true, expected);
  vt::host::setAreaLengthColumns(nlhs, plhs, c.sections);
  if (nlhs > 2) plhs[2] = mxCreateString(c.label.c_str());
  if (nlhs > 3) {
    plhs[3] = c.noiseSourceLoc ? mxCreateDoubleScalar(*c.noiseSourceLoc)
                               : mxCreateDoubleMatrix(0, 0, mxREAL);
  }
  return std::nullopt;
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  vt::host::runEntry("readVTAF", [&] { return work(nlhs, plhs, nrhs, prhs); });
}
