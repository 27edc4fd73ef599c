#include "synth/check_arguments.h"

#include <cmath>
#include <limits>

#include "artic/interpo_mem.h"
#include "artic/sample_index.h"
#include "synth/format_text.h"
#include "synth/request_checks.h"

namespace vt {

namespace {

constexpr const char* kFailed = kArgumentCheckFailed;

// Positions of the arguments in the call.
enum Arg { kNss = 0, kTAg0, kTAgP, kTF0, kTAF1, kTAF2, kDx, kFs, kVcv };

CheckOutcome reject(const std::string& what) {
  CheckOutcome out;
  out.status = 1;
  out.error = std::string(kFailed) + " " + what;
  return out;
}

std::size_t numel(const ArgView& a) { return a.rows * a.cols; }

// The count message, three texts as the host prints them.
CheckOutcome rejectCounts(int nlhs, int nrhs) {
  CheckOutcome out;
  out.status = 1;
  out.printed = "Incorrect calling syntax:\n [SIG] = ";
  out.printed += "quorvel(nss,TAg0,TAgP,TF0,TAF1,TAF2,dx,[fs])\n";
  out.printed += formatText("nlhs is %d, nrhs is %d.\n", nlhs, nrhs);
  out.error = std::string(kFailed) +
              formatText(
                  " Wrong number of results or arguments: quorvel takes 7 to 9 arguments "
                  "and returns 1 result (nlhs is %d, nrhs is %d); call it as "
                  "SIG = quorvel(nss, TAg0, TAgP, TF0, TAF1, TAF2, dx[, fs[, VCV]]).",
                  nlhs, nrhs);
  return out;
}

/// A column of a 3-row matrix as a control track: [time ms; value; kind].
ControlTrack trackFromColumns(const ArgView& m) {
  ControlTrack t(m.cols);
  for (std::size_t k = 0; k < m.cols; ++k) {
    t[k].time_ms = m.values[3 * k];
    t[k].value = m.values[3 * k + 1];
    t[k].kind = static_cast<Transition>(static_cast<int>(m.values[3 * k + 2]));
  }
  return t;
}

/// The accepted arguments as a typed request. Section lengths: dx of several
/// rows per section and frame, a 1 x F row per frame, else its first value.
SynthesisRequest requestFromArguments(const ArgView* args, const GatewayRates& rates) {
  SynthesisRequest rq;
  rq.nvt = static_cast<int>(args[kNss].values[0]);
  rq.TAg0 = trackFromColumns(args[kTAg0]);
  rq.TAgP = trackFromColumns(args[kTAgP]);
  rq.TF0 = trackFromColumns(args[kTF0]);
  rq.smpfrq = rates.smpfrq;
  rq.VCV = rates.VCV != 0;
  const ArgView& TAF1 = args[kTAF1];
  const ArgView& TAF2 = args[kTAF2];
  const ArgView& dx = args[kDx];
  const std::size_t F = TAF1.cols, nvt = static_cast<std::size_t>(rq.nvt);
  const bool dxPerFrame = dx.rows == 1 && dx.cols == F;
  rq.frames.resize(F);
  for (std::size_t m = 0; m < F; ++m) {
    KeyFrame& f = rq.frames[m];
    f.time_ms = TAF1.values[3 * m];
    f.kind = static_cast<Transition>(static_cast<int>(TAF1.values[3 * m + 1]));
    f.noiseSourceOffset = static_cast<int>(TAF1.values[3 * m + 2]);
    f.areas_cm2.assign(TAF2.values + m * nvt, TAF2.values + (m + 1) * nvt);
    f.lengths_cm.resize(nvt);
    for (std::size_t l = 0; l < nvt; ++l) {
      if (dx.rows > 1)
        f.lengths_cm[l] = dx.values[m * nvt + l];
      else if (dxPerFrame)
        f.lengths_cm[l] = dx.values[m];
      else
        f.lengths_cm[l] = dx.values[0];
    }
  }
  return rq;
}

}  // namespace

CheckOutcome CheckArguments(int nlhs, int nrhs, const ArgView* args, GatewayRates& rates,
                            SynthesisRequest* request) {
  // Argument and result counts.
  if (nrhs < 7 || nrhs > 9 || nlhs < 1 || nlhs > 1) return rejectCounts(nlhs, nrhs);

  // Rates and flag, set before the shape tests. An empty fs or ninth argument,
  // or a flag that no int holds, leaves the previous value (refused below).
  if (nrhs >= 8) {
    if (numel(args[kFs]) > 0) rates.smpfrq = static_cast<float>(args[kFs].values[0]);
  } else {
    rates.smpfrq = 10000.0f;
  }
  rates.simfrq = 3.0f * rates.smpfrq;
  if (nrhs >= 9) {
    if (numel(args[kVcv]) > 0 && truncatesToInt(args[kVcv].values[0]))
      rates.VCV = static_cast<int>(args[kVcv].values[0]);
  } else {
    rates.VCV = 0;
  }

  // Shapes.
  const ArgView& nss = args[kNss];
  if (numel(nss) != 1)
    return reject(formatText("nss must be a single value (it is %zux%zu).", nss.rows, nss.cols));
  static constexpr const char* trackNames[] = {"TAg0", "TAgP", "TF0", "TAF1"};
  static constexpr const char* columnLayouts[] = {
      "[time ms; area cm^2; kind] per break point", "[time ms; area cm^2; kind] per break point",
      "[time ms; F0 Hz; kind] per break point", "[time ms; kind; source junction] per key frame"};
  for (int i = kTAg0; i <= kTAF1; ++i) {
    if (args[i].rows != 3)
      return reject(formatText("%s must have 3 rows (it has %zu): one column %s.",
                               trackNames[i - kTAg0], args[i].rows, columnLayouts[i - kTAg0]));
  }
  const ArgView& dx = args[kDx];
  const ArgView& TAF2 = args[kTAF2];
  if (!(dx.rows == 1 || dx.rows == TAF2.rows || dx.cols == args[kTAg0].cols))
    return reject(
        formatText("dx must have 1 row, as many rows as TAF2 (%zu) or as many columns "
                   "as TAg0 (%zu) (it is %zux%zu).",
                   TAF2.rows, args[kTAg0].cols, dx.rows, dx.cols));

  // What the synthesis needs beyond the shapes above: values that it can
  // convert and index with, and tracks that advance sample by sample.
  if (nrhs >= 8) {
    if (numel(args[kFs]) == 0)
      return reject("fs is empty; give the output sampling frequency in Hz.");
    if (!(std::isfinite(rates.smpfrq) && rates.smpfrq > 0.0f && std::isfinite(rates.simfrq)))
      return reject(
          formatText("fs must be a finite frequency above 0 Hz (it is %g).", args[kFs].values[0]));
  }
  if (nrhs >= 9) {
    if (numel(args[kVcv]) == 0) return reject("VCV (argument 9) is empty.");
    if (!truncatesToInt(args[kVcv].values[0]))
      return reject(
          formatText("VCV (argument 9) must be a finite whole number within the int "
                     "range (it is %g).",
                     args[kVcv].values[0]));
  }
  const double nssValue = nss.values[0];
  if (!std::isfinite(nssValue) || nssValue < 1.0 || nssValue >= kMaxSections + 1.0)
    return reject(formatText("nss must give 1 to %d vocal-tract sections (it is %g).", kMaxSections,
                             nssValue));
  const std::size_t nvt = static_cast<std::size_t>(nssValue);
  const std::size_t F = args[kTAF1].cols;
  if (F == 0) return reject("TAF1 has no columns; give at least one area-function key frame.");
  if (numel(TAF2) < nvt * F)
    return reject(
        formatText("TAF2 must hold nss x F = %zu x %zu areas, one column per key frame "
                   "(it is %zux%zu).",
                   nvt, F, TAF2.rows, TAF2.cols));
  // Frame m is read from offset m*nvt of the column-major values, so a
  // matrix with another row count (transposed, or nss changed without TAF2)
  // would mix sections of different frames. A vector holding the frames one
  // after another stays legal.
  if (TAF2.rows > 1 && TAF2.cols > 1 && TAF2.rows != nvt)
    return reject(formatText(
        "TAF2 must have one row per section, nss = %zu rows, and one column "
        "per key frame (it is %zux%zu%s).",
        nvt, TAF2.rows, TAF2.cols, TAF2.rows == F && TAF2.cols == nvt ? "; transposed?" : ""));
  if (dx.rows == 1) {
    if (dx.cols == 0) return reject("dx is empty; give at least one section length.");
  } else if (numel(dx) < nvt * F) {
    return reject(
        formatText("dx with more than one row must hold nss x F = %zu x %zu section "
                   "lengths, one column per key frame (it is %zux%zu).",
                   nvt, F, dx.rows, dx.cols));
  }
  for (int i = kTAg0; i <= kTAF1; ++i) {
    const std::string what =
        checkTimeColumns(args[i], trackNames[i - kTAg0], i == kTAF1, rates.smpfrq);
    if (!what.empty()) return reject(what);
  }
  // A matrix dx is read as nss x F, like TAF2: another row count (9 x 2 for
  // 3 sections, say) would take its lengths from the wrong sections and frames.
  if (dx.rows > 1 && dx.cols > 1 && dx.rows != nvt)
    return reject(formatText(
        "dx must be 1 x 1, 1 x F or nss x F = %zu x %zu: one length for "
        "all, one per key frame, or one per section and key frame (it is "
        "%zux%zu%s).",
        nvt, F, dx.rows, dx.cols, dx.rows == F && dx.cols == nvt ? "; transposed?" : ""));

  // The typed request, and the physical values every front end checks.
  SynthesisRequest rq = requestFromArguments(args, rates);
  const std::string what = checkRequestValues(rq);
  if (!what.empty()) return reject(what);
  if (request != nullptr) *request = std::move(rq);
  return CheckOutcome{};
}

}  // namespace vt
