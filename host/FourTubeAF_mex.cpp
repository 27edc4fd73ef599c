// MEX entry FourTubeAF: [A, x] = FourTubeAF(areas, lengths, nvt).
// Converts a four-tube model (tube areas in cm², lengths in cm, glottis end
// first) into nvt sections of equal length: section areas A (cm²) and lengths
// x (cm) as columns. Every failure is one Octave/MATLAB error.

#include <string>
#include <vector>

#include "artic/four_tube_af.h"
#include "host/mex_numbers.h"
#include "mex.h"

namespace {

using vt::host::EntryError;
using vt::host::EntryResult;

/// Far beyond any vocal tract; keeps a mistyped count from exhausting memory.
constexpr double kMaxSections = 1000000.0;

EntryResult work(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  if (nrhs != 3 || nlhs > 2) {
    return EntryError{"usage", "Usage: [A, x] = FourTubeAF(areas, lengths, nvt)"};
  }
  double areas[4], lengths[4], nvt = 0.0;
  std::string msg;
  if (!vt::host::getDoubles(prhs[0], "areas (cm^2 of tubes 1 to 4)", 4, areas, msg) ||
      !vt::host::getDoubles(prhs[1], "lengths (cm of tubes 1 to 4)", 4, lengths, msg) ||
      !vt::host::getWholeScalar(prhs[2], "nvt (the number of sections)", 1.0, kMaxSections, nvt,
                                msg)) {
    return EntryError{"argument", msg};
  }
  vt::area_function t[4];
  for (int k = 0; k < 4; ++k) {
    t[k] = vt::area_function{static_cast<float>(areas[k]), static_cast<float>(lengths[k])};
  }
  std::vector<vt::area_function> af(static_cast<std::size_t>(nvt));
  vt::FourTubeAF(t[0], t[1], t[2], t[3], static_cast<int>(nvt), af.data());
  vt::host::setAreaLengthColumns(nlhs, plhs, af);
  return std::nullopt;
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  vt::host::runEntry("FourTubeAF", [&] { return work(nlhs, plhs, nrhs, prhs); });
}
