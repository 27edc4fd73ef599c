// MEX entry of quorvel: SIG = quorvel(nss, TAg0, TAgP, TF0, TAF1, TAF2, dx, fs, VCV).
// A thin adapter: checks that every argument is a real, full double array,
// hands shapes and values to the synthesis core, prints its text and wraps the
// samples as an N×1 double column. One synthesiser session lives as long as
// the loaded module, so configuration, frication source position, glottal
// pulse and noise state carry from one call to the next.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/mex_args.h"
#include "host/mex_interrupt.h"
#include "mex.h"
#include "synth/nonfinite_report.h"
#include "synth/synthesis_core.h"

namespace {

const char* const kArgNames[] = {"nss", "TAg0", "TAgP", "TF0", "TAF1", "TAF2", "dx", "fs", "VCV"};

std::unique_ptr<vt::QuorvelSession> g_session;

void releaseSession() { g_session.reset(); }

/// What the work function hands back to the entry, which reports it once
/// every C++ object of the call has been destroyed.
struct CallResult {
  bool ok = false;
  bool interrupted = false;  ///< stopped by Ctrl-C
  mxArray* sig = nullptr;
  char nonFinite[256] = "";  ///< what the warning says of NaN or infinite samples
};

/// Describes the class of a rejected argument for the message.
std::string describe(const mxArray* a) {
  std::string cls = mxGetClassName(a);
  if (mxIsSparse(a)) cls = "sparse " + cls;
  if (mxIsComplex(a)) cls = "complex " + cls;
  return cls;
}

/// Does the whole call; leaves the error message in err (a fixed buffer the
/// entry owns) instead of raising it.
CallResult work(int nlhs, int nrhs, const mxArray* prhs[], char* err, std::size_t errSize) {
  CallResult r;
  auto fail = [&](const std::string& msg) { std::snprintf(err, errSize, "%s", msg.c_str()); };
  try {
    if (!g_session) {
      g_session = std::make_unique<vt::QuorvelSession>();
      // The float buffer and the double result take 12 bytes per sample.
      g_session->setOutputLimit(vt::outputLimitForMemory(12));
      mexAtExit(releaseSession);
    }
    // Types are examined only when the counts are right, so that a wrong
    // count always shows the usage text.
    const bool countsOk = nrhs >= 7 && nrhs <= 9 && nlhs == 1;
    std::vector<vt::ArgView> args(nrhs > 0 ? nrhs : 0);
    if (countsOk) {
      for (int i = 0; i < nrhs; ++i) {
        if (!vt::host::isRealFullDouble(prhs[i])) {
          fail(std::string("quorvel argument checking failed. Argument ") + std::to_string(i + 1) +
               " (" + kArgNames[i] + ") must be a real, full double array, not " +
               describe(prhs[i]) + ".");
          return r;
        }
        args[i].rows = mxGetM(prhs[i]);
        args[i].cols = mxGetN(prhs[i]);
        args[i].values = mxGetPr(prhs[i]);
      }
    }
    // Ctrl-C stops a long synthesis (the check is dropped again, since it
    // refers to this call's result).
    g_session->setInterruptCheck([&r] { return r.interrupted = vt::host::takeInterrupt(); });
    vt::SynthesisOutcome out = g_session->synthesize(nlhs, nrhs, args.data());
    g_session->setInterruptCheck(nullptr);
    if (!out.printed.empty()) mexPrintf("%s", out.printed.c_str());
    if (out.status != 0) {
      fail(out.error);
      return r;
    }
    mxArray* sig = mxCreateDoubleMatrix(out.samples.size(), 1, mxREAL);
    if (sig == nullptr) {
      fail("out of memory for " + std::to_string(out.samples.size()) + " output samples");
      return r;
    }
    double* p = mxGetPr(sig);
    for (std::size_t i = 0; i < out.samples.size(); ++i) p[i] = out.samples[i];
    const vt::NonFiniteReport bad = vt::findNonFinite(out.samples);
    if (bad.count != 0) {
      std::snprintf(
          r.nonFinite, sizeof r.nonFinite, "%s",
          vt::describeNonFinite(bad, out.samples.size(), g_session->rates().smpfrq).c_str());
    }
    r.sig = sig;
    r.ok = true;
  } catch (const std::bad_alloc&) {
    fail("out of memory");
  } catch (const std::exception& e) {
    fail(e.what());
  }
  return r;
}

}  // namespace

extern "C" {

/// Version tag of the MEX interface this module was built for.
const char* mexVersion() { return "MATLAB R13 native"; }

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
  char err[512] = {0};
  CallResult r = work(nlhs, nrhs, prhs, err, sizeof err);
  if (!r.ok) {
    // Identifiers let scripts tell a refused call from a failed synthesis;
    // the message itself is unchanged.
    const bool refused = std::strncmp(err, "quorvel argument checking failed.", 33) == 0;
    mexErrMsgIdAndTxt(refused         ? "quorvel:arguments"
                      : r.interrupted ? "quorvel:interrupted"
                                      : "quorvel:failed",
                      "%s", err);
    return;
  }
  plhs[0] = r.sig;
  // An unstable simulation gives NaN or infinite pressure; say so, as the
  // command-line synthesiser does. (A warning made an error leaves here.)
  if (r.nonFinite[0] != '\0') mexWarnMsgIdAndTxt("quorvel:nonfinite", "%s", r.nonFinite);
}

}  // extern "C"
