// MEX entry quorvel_formants: resonances and transfer function of an area
// function, from the same network the synthesiser simulates.
//   [F, B] = quorvel_formants(A, x)
//   [F, B] = quorvel_formants(A, x, count, warp_fs, Ag)
//   [H, Zin, P] = quorvel_formants('transfer', A, x, f, warp_fs, Ag)
//   [F, B, Fz, Bz] = quorvel_formants(..., nasal)
// A: section areas (cm², glottis first), x: one length (cm) or one per
// section; count: at most this many formants (default 4); warp_fs: simulation
// rate of the trapezoidal rule to warp by ([] or 0: none); Ag: glottal area
// (cm²) loading the source ([]: closed glottis); a struct as the last
// argument couples a nasal branch (the fields of its JSON description, see
// synth/nasal_branch_json.h). Every failure is one error.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "analysis/tract_analysis.h"
#include "host/mex_args.h"
#include "host/mex_numbers.h"
#include "host/mx_json.h"
#include "mex.h"
#include "synth/nasal_branch_json.h"

namespace {

using vt::host::EntryError;
using vt::host::EntryResult;
using cplx = std::complex<double>;

constexpr const char* kUsage =
    "Usage: [F, B] = quorvel_formants(A, x [, count [, warp_fs [, Ag]]]) or "
    "[H, Zin, P] = quorvel_formants('transfer', A, x, f [, warp_fs [, Ag]]), each optionally "
    "followed by a nasal-branch struct";

bool getVector(const mxArray* a, const char* what, std::vector<double>& out, std::string& err) {
  if (!vt::host::isRealFullDouble(a)) {
    err = std::string(what) + " must be a real double array";
    return false;
  }
  const double* p = mxGetPr(a);
  out.assign(p, p + mxGetNumberOfElements(a));
  return true;
}

// Optional scalar argument k: absent or [] leaves `value` and returns false in `given`.
bool getOptionalScalar(int nrhs, const mxArray* prhs[], int k, const char* what, double& value,
                       bool& given, std::string& err) {
  given = false;
  if (k >= nrhs || mxIsEmpty(prhs[k])) return true;
  if (!vt::host::isRealFullDouble(prhs[k]) || mxGetNumberOfElements(prhs[k]) != 1 ||
      !std::isfinite(mxGetPr(prhs[k])[0])) {
    err = std::string(what) + " must be a finite real scalar (or [])";
    return false;
  }
  value = mxGetPr(prhs[k])[0];
  given = true;
  return true;
}

mxArray* complexColumn(const std::vector<cplx>& v) {
  mxArray* m = mxCreateDoubleMatrix(v.size(), 1, mxCOMPLEX);
  double* re = mxGetPr(m);
  double* im = mxGetPi(m);
  for (std::size_t i = 0; i < v.size(); ++i) re[i] = v[i].real(), im[i] = v[i].imag();
  return m;
}

mxArray* realColumn(const std::vector<double>& v) {
  mxArray* m = mxCreateDoubleMatrix(v.size(), 1, mxREAL);
  if (!v.empty()) std::memcpy(mxGetPr(m), v.data(), v.size() * sizeof(double));
  return m;
}

EntryResult work(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  const bool transfer = nrhs > 0 && mxIsChar(prhs[0]);
  std::string err;
  if (transfer) {
    std::string mode;
    if (!vt::host::getString(prhs[0], "mode", mode, err)) return EntryError{"argument", err};
    if (mode != "transfer")
      return EntryError{"argument", "unknown mode '" + mode + "' (only 'transfer')"};
    ++prhs, --nrhs;
  }
  const int first_option = transfer ? 3 : 2;
  // A struct after the required arguments is the nasal branch.
  std::optional<vt::analysis::NasalBranch> nasal;
  if (nrhs > first_option && mxIsStruct(prhs[nrhs - 1])) {
    nlohmann::json doc;
    vt::analysis::NasalBranch nb;
    if (mxGetNumberOfElements(prhs[nrhs - 1]) != 1)
      return EntryError{"argument", "nasal must be a 1x1 struct"};
    if (!vt::host::toJson(prhs[nrhs - 1], "nasal", doc, err) ||
        !vt::nasalBranchFromJson(doc, nb, err))
      return EntryError{"argument", err};
    nasal = std::move(nb);
    --nrhs;
  }
  if (nrhs < first_option || nrhs > 5 || (transfer && nlhs > 3) ||
      (!transfer && nlhs > (nasal ? 4 : 2)))
    return EntryError{"usage", kUsage};
  std::vector<double> A, x, f;
  if (!getVector(prhs[0], "A (section areas, cm^2)", A, err) ||
      !getVector(prhs[1], "x (section lengths, cm)", x, err) ||
      (transfer && !getVector(prhs[2], "f (frequencies, Hz)", f, err)))
    return EntryError{"argument", err};
  if (x.size() != 1 && x.size() != A.size())
    return EntryError{"argument", "x must hold one length or one per section (" +
                                      std::to_string(A.size()) + "), not " +
                                      std::to_string(x.size())};
  double count = 4, warp = 0, Ag = 0;
  bool countGiven = false, warpGiven = false, AgGiven = false;
  // Argument 2 is count (formants) or f (transfer); warp_fs and Ag follow.
  if ((!transfer && !getOptionalScalar(nrhs, prhs, 2, "count", count, countGiven, err)) ||
      !getOptionalScalar(nrhs, prhs, 3, "warp_fs (Hz)", warp, warpGiven, err) ||
      !getOptionalScalar(nrhs, prhs, 4, "Ag (glottal area, cm^2)", Ag, AgGiven, err))
    return EntryError{"argument", err};
  if (countGiven && !(count >= 1 && std::floor(count) == count))
    return EntryError{"argument", "count must be a whole number >= 1"};

  std::vector<vt::area_function> tract(A.size());
  for (std::size_t i = 0; i < A.size(); ++i)
    tract[i] = {static_cast<float>(A[i]), static_cast<float>(x.size() == 1 ? x[0] : x[i])};
  vt::analysis::AnalysisSetup setup;
  if (warpGiven && warp != 0) {
    setup.mapping = vt::analysis::FrequencyMapping::Trapezoidal;
    setup.physics.simfrq = static_cast<float>(warp);
  }
  if (AgGiven) {
    setup.glottis = vt::analysis::GlottisMode::Loaded;
    setup.glottal_area_cm2 = static_cast<float>(Ag);
  }
  const vt::analysis::TractAnalysis ta(tract, setup,
                                       nasal);  // throws invalid_argument on bad values
  if (transfer) {
    const auto r = ta.sweep(f);
    std::vector<cplx> H, Z, P;
    for (const auto& v : r)
      H.push_back(v.lips + v.nostrils), Z.push_back(v.z_in), P.push_back(v.pressure);
    plhs[0] = complexColumn(H);
    if (nlhs > 1) plhs[1] = complexColumn(Z);
    if (nlhs > 2) plhs[2] = complexColumn(P);
    return std::nullopt;
  }
  // Formant n of a tract lies below about 1200·n + 1000 Hz.
  const double limit = setup.mapping == vt::analysis::FrequencyMapping::Trapezoidal
                           ? std::min(1200.0 * count + 1000.0, 0.49 * warp)
                           : 1200.0 * count + 1000.0;
  // The first `count` of rs as columns of frequencies and bandwidths (Hz) into
  // outputs k and k+1, as far as they are asked for.
  auto put = [&](std::vector<vt::analysis::Resonance> rs, int k) {
    if (rs.size() > count) rs.resize(static_cast<std::size_t>(count));
    std::vector<double> freq, bw;
    for (const auto& r : rs) freq.push_back(r.frequency_hz), bw.push_back(r.bandwidth_hz);
    plhs[k] = realColumn(freq);
    if (nlhs > k + 1) plhs[k + 1] = realColumn(bw);
  };
  put(ta.formants(limit), 0);
  if (nlhs > 2) put(ta.antiresonances(limit), 2);
  return std::nullopt;
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  vt::host::runEntry("quorvel_formants", [&] { return work(nlhs, plhs, nrhs, prhs); });
}
