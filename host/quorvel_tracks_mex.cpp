// MEX entry quorvel_tracks: the per-frame ground truth of a score's utterance.
//   T = quorvel_tracks(score [, every_ms])
// score: a struct with the fields of a score file, its JSON text, or the name
// of a score file (area-function files found from its folder). The utterance
// is synthesised by the same interpolators and network as the audio and
// sampled every every_ms ms (default 5); T holds N x 1 columns (N x 5 for the
// formants, N x sections for the area function). Every failure is one error.

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/mex_args.h"
#include "host/mex_numbers.h"
#include "host/mx_json.h"
#include "mex.h"
#include "synth/score_json.h"
#include "synth/score_request.h"
#include "synth/utterance_tracks.h"

namespace {

using vt::host::EntryError;
using vt::host::EntryResult;

constexpr const char* kUsage =
    "Usage: T = quorvel_tracks(score [, every_ms]), score a struct, its JSON text or a score "
    "file name";

// A score from a struct, JSON text (first non-blank character '{') or a file name.
bool readScore(const mxArray* a, vt::Score& score, std::string& err) {
  if (mxIsStruct(a) && mxGetNumberOfElements(a) == 1) {
    nlohmann::json j;
    return vt::host::toJson(a, "score", j, err) && vt::scoreFromJson(j, score, err);
  }
  std::string text;
  if (!mxIsChar(a)) {
    err =
        "score must be a 1x1 struct with the fields of a score file, its JSON text or a score "
        "file name";
    return false;
  }
  if (!vt::host::getString(a, "score", text, err)) return false;
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first != std::string::npos && text[first] == '{') return vt::parseScore(text, score, err);
  return vt::loadScore(text, score, err);
}

mxArray* column(const std::vector<double>& v) {
  mxArray* m = mxCreateDoubleMatrix(v.size(), 1, mxREAL);
  if (!v.empty()) std::memcpy(mxGetPr(m), v.data(), v.size() * sizeof(double));
  return m;
}

EntryResult work(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  if (nrhs < 1 || nrhs > 2 || nlhs > 1) return EntryError{"usage", kUsage};
  double every = 5;
  if (nrhs == 2 && !mxIsEmpty(prhs[1])) {
    if (!vt::host::isRealFullDouble(prhs[1]) || mxGetNumberOfElements(prhs[1]) != 1 ||
        !(std::isfinite(mxGetPr(prhs[1])[0]) && mxGetPr(prhs[1])[0] > 0))
      return EntryError{"argument", "every_ms must be a finite number of ms > 0"};
    every = mxGetPr(prhs[1])[0];
  }
  std::string err;
  vt::Score score;
  if (!readScore(prhs[0], score, err)) return EntryError{"argument", err};
  vt::SynthesisRequest request;
  const vt::CheckOutcome checked = vt::requestFromScore(score, request);
  if (checked.status != 0) return EntryError{"argument", checked.error};
  double duration = 0;
  const std::vector<vt::TrackFrame> frames = vt::utteranceTracks(request, every, err, &duration);
  if (!err.empty()) return EntryError{"argument", err};

  const std::size_t n = frames.size();
  const std::size_t sections = n ? frames[0].areas_cm2.size() : 0;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<double> t, f0, ag, ps, ns, na, fj;
  for (const vt::TrackFrame& f : frames) {
    t.push_back(f.time_ms), f0.push_back(f.f0_Hz), ag.push_back(f.Ag_cm2);
    ps.push_back(f.Psub_cmH2O), ns.push_back(f.narrowest_section);
    na.push_back(f.narrowest_area_cm2), fj.push_back(f.frication_junction);
  }
  mxArray* F = mxCreateDoubleMatrix(n, 5, mxREAL);
  mxArray* B = mxCreateDoubleMatrix(n, 5, mxREAL);
  mxArray* A = mxCreateDoubleMatrix(n, sections, mxREAL);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t k = 0; k < 5; ++k) {
      const bool has = k < frames[i].formants.size();
      mxGetPr(F)[k * n + i] = has ? frames[i].formants[k].frequency_hz : nan;
      mxGetPr(B)[k * n + i] = has ? frames[i].formants[k].bandwidth_hz : nan;
    }
    for (std::size_t s = 0; s < sections && s < frames[i].areas_cm2.size(); ++s)
      mxGetPr(A)[s * n + i] = frames[i].areas_cm2[s];
  }
  const char* names[] = {"time_ms",
                         "F0_Hz",
                         "Ag_cm2",
                         "Psub_cmH2O",
                         "formants_Hz",
                         "bandwidths_Hz",
                         "narrowest_section",
                         "narrowest_area_cm2",
                         "frication_junction",
                         "areas_cm2",
                         "duration_s",
                         "fs"};
  mxArray* T = mxCreateStructMatrix(1, 1, 12, names);
  mxSetField(T, 0, "time_ms", column(t));
  mxSetField(T, 0, "F0_Hz", column(f0));
  mxSetField(T, 0, "Ag_cm2", column(ag));
  mxSetField(T, 0, "Psub_cmH2O", column(ps));
  mxSetField(T, 0, "formants_Hz", F);
  mxSetField(T, 0, "bandwidths_Hz", B);
  mxSetField(T, 0, "narrowest_section", column(ns));
  mxSetField(T, 0, "narrowest_area_cm2", column(na));
  mxSetField(T, 0, "frication_junction", column(fj));
  mxSetField(T, 0, "areas_cm2", A);
  mxSetField(T, 0, "duration_s", mxCreateDoubleScalar(duration));
  mxSetField(T, 0, "fs", mxCreateDoubleScalar(request.smpfrq));
  plhs[0] = T;
  return std::nullopt;
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  vt::host::runEntry("quorvel_tracks", [&] { return work(nlhs, plhs, nrhs, prhs); });
}
