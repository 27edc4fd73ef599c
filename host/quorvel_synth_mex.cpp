// MEX entry of the whole airway model: [SIG, signals] = quorvel_synth(score).
// score is a struct with the fields of a score file (jsondecode of one works)
// or the JSON text itself. The struct is turned into the score's JSON form,
// read by the same parser and checks as the command line, and synthesised by
// one synthesiser that lives as long as the loaded module (configuration,
// frication source, glottal pulse and noise carry from call to call, as in
// quorvel). signals holds the requested internal signals as N×1 columns.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/mx_json.h"
#include "mex.h"
#include "synth/internal_signals.h"
#include "synth/score_json.h"
#include "synth/score_request.h"
#include "synth/synthesizer.h"

namespace {

using nlohmann::json;
using vt::host::toJson;

std::unique_ptr<vt::Synthesizer> g_synth;

void releaseSynthesizer() { g_synth.reset(); }

struct CallResult {
  bool ok = false;
  bool refused = false;  ///< the score was refused (not a failed synthesis)
  mxArray* sig = nullptr;
  mxArray* signals = nullptr;
  std::size_t nonFinite = 0;
};

CallResult work(int nlhs, int nrhs, const mxArray* prhs[], std::string& err) {
  CallResult r;
  try {
    if (nrhs != 1 || nlhs > 2) {
      err = "usage: [SIG, signals] = quorvel_synth(score), score a struct or JSON text";
      r.refused = true;
      return r;
    }
    vt::Score score;
    vt::SynthesisRequest request;
    bool parsed = false;
    if (mxIsChar(prhs[0])) {
      json j;
      if (!toJson(prhs[0], "score", j, err)) return r;
      parsed = vt::parseScore(j.get<std::string>(), score, err);
    } else if (mxIsStruct(prhs[0]) && mxGetNumberOfElements(prhs[0]) == 1) {
      json j;
      if (!toJson(prhs[0], "score", j, err)) {
        r.refused = true;
        return r;
      }
      parsed = vt::scoreFromJson(j, score, err);
    } else {
      err = "score must be a 1x1 struct with the fields of a score file, or its JSON text";
      r.refused = true;
      return r;
    }
    if (!parsed) {
      r.refused = true;
      return r;
    }
    // A second result without a signal list: every signal this airway has.
    if (nlhs == 2 && score.signals.empty()) {
      for (const vt::InternalSignalInfo& s : vt::internalSignals())
        if (!s.needsNasal || score.model.nasal_tract) score.signals.push_back(s.name);
    }
    const vt::CheckOutcome chk = vt::requestFromScore(score, request);
    if (!chk.printed.empty()) mexPrintf("%s", chk.printed.c_str());
    if (chk.status != 0) {
      err = chk.error;
      r.refused = true;
      return r;
    }
    if (!g_synth) {
      g_synth = std::make_unique<vt::Synthesizer>();
      mexAtExit(releaseSynthesizer);
    }
    // The float buffer, the double result and each signal (float and double).
    g_synth->setOutputLimit(vt::outputLimitForMemory(12 + 12 * request.signals.size()));
    const vt::SynthesisResult out = g_synth->synthesize(request);
    if (!out.printed.empty()) mexPrintf("%s", out.printed.c_str());
    if (out.status != 0) {
      err = out.error;
      r.refused = out.error.rfind("quorvel argument checking failed.", 0) == 0;
      return r;
    }
    auto column = [&](const std::vector<float>& x, bool count) {
      mxArray* m = mxCreateDoubleMatrix(x.size(), 1, mxREAL);
      double* p = mxGetPr(m);
      for (std::size_t i = 0; i < x.size(); ++i) {
        p[i] = x[i];
        if (count && !std::isfinite(p[i])) ++r.nonFinite;
      }
      return m;
    };
    r.sig = column(out.samples, true);
    if (nlhs == 2) {
      std::vector<const char*> names;
      for (const std::string& n : request.signals) names.push_back(n.c_str());
      r.signals = mxCreateStructMatrix(1, 1, static_cast<int>(names.size()), names.data());
      for (std::size_t i = 0; i < names.size(); ++i)
        mxSetFieldByNumber(r.signals, 0, static_cast<int>(i),
                           column(out.signals.at(names[i]), false));
    }
    r.ok = true;
  } catch (const std::bad_alloc&) {
    err = "out of memory";
  } catch (const std::exception& e) {
    err = e.what();
  }
  return r;
}

}  // namespace

extern "C" void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  char msg[1024] = {0};
  bool refused = false;
  CallResult r;
  {
    std::string err;
    r = work(nlhs, nrhs, prhs, err);
    refused = r.refused;
    std::snprintf(msg, sizeof msg, "%s", err.c_str());
  }
  if (!r.ok) {
    if (r.sig) mxDestroyArray(r.sig);
    mexErrMsgIdAndTxt(refused ? "quorvel_synth:arguments" : "quorvel_synth:failed", "%s", msg);
    return;
  }
  plhs[0] = r.sig;
  if (nlhs == 2) plhs[1] = r.signals;
  if (r.nonFinite != 0) {
    mexWarnMsgIdAndTxt("quorvel_synth:nonfinite",
                       "%lu of %lu samples are not finite numbers (the simulation became unstable)",
                       static_cast<unsigned long>(r.nonFinite),
                       static_cast<unsigned long>(mxGetNumberOfElements(r.sig)));
  }
}
