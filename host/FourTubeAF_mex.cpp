// MEX entry FourTubeAF: [A, x] = FourTubeAF(areas, lengths, nvt).
// Converts a four-tube model (tube areas in cm², lengths in cm, glottis end
// first) into nvt sections of equal length: section areas A (cm²) and lengths
// x (cm) as columns. Every failure is one Octave/MATLAB error.

#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "artic/four_tube_af.h"
#include "host/mex_numbers.h"
#include "mex.h"

namespace {

constexpr char kUsage[] = "Usage: [A, x] = FourTubeAF(areas, lengths, nvt)";
/// Far beyond any vocal tract; keeps a mistyped count from exhausting memory.
constexpr double kMaxSections = 1000000.0;

const char* work(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[], char* err,
                 std::size_t errSize) {
  auto fail = [&](const std::string& msg, const char* id) {
    std::snprintf(err, errSize, "%s", msg.c_str());
    return id;
  };
  try {
    if (nrhs != 3 || nlhs > 2) return fail(kUsage, "FourTubeAF:usage");
    double areas[4], lengths[4], nvt = 0.0;
    std::string msg;
    if (!vt::host::getDoubles(prhs[0], "areas (cm2 of tubes 1 to 4)", 4, areas, msg) ||
        !vt::host::getDoubles(prhs[1], "lengths (cm of tubes 1 to 4)", 4, lengths, msg) ||
        !vt::host::getWholeScalar(prhs[2], "nvt (the number of sections)", 1.0, kMaxSections,
                                  nvt, msg)) {
      return fail(msg, "FourTubeAF:argument");
    }
    vt::area_function t[4];
    for (int k = 0; k < 4; ++k) {
      t[k] = vt::area_function{static_cast<float>(areas[k]), static_cast<float>(lengths[k])};
    }
    std::vector<vt::area_function> af(static_cast<std::size_t>(nvt));
    vt::FourTubeAF(t[0], t[1], t[2], t[3], static_cast<int>(nvt), af.data());
    plhs[0] = vt::host::makeColumn(af.size(), [&](std::size_t i) { return double(af[i].A); });
    if (nlhs > 1) {
      plhs[1] = vt::host::makeColumn(af.size(), [&](std::size_t i) { return double(af[i].x); });
    }
    return nullptr;
  } catch (const std::invalid_argument& e) {
    return fail(e.what(), "FourTubeAF:argument");
  } catch (const std::exception& e) {
    return fail(std::string("FourTubeAF: ") + e.what(), "FourTubeAF:internal");
  }
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  char err[2048] = "";
  const char* id = work(nlhs, plhs, nrhs, prhs, err, sizeof err);
  if (id != nullptr) mexErrMsgIdAndTxt(id, "%s", err);
}
