#include "synth/check_arguments.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>

#include "artic/interpo_mem.h"
#include "artic/sample_index.h"

namespace vt {

namespace {

constexpr const char* kFailed = "quorvel argument checking failed.";

// Positions of the arguments in the call.
enum Arg { kNss = 0, kTAg0, kTAgP, kTF0, kTAF1, kTAF2, kDx, kFs, kVcv };

// printf-style formatting into a std::string.
[[gnu::format(printf, 1, 2)]] std::string format(const char* fmt, ...);
std::string format(const char* fmt, ...) {
  char buf[512];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  return buf;
}

CheckOutcome reject(const std::string& what) {
  CheckOutcome out;
  out.status = 1;
  out.error = std::string(kFailed) + " " + what;
  return out;
}

std::size_t numel(const ArgView& a) { return a.rows * a.cols; }

// True when d truncated toward zero is an int (so the conversion is defined).
bool truncatesToInt(double d) {
  return std::isfinite(d) && d > static_cast<double>(std::numeric_limits<int>::min()) - 1.0 &&
         d < static_cast<double>(std::numeric_limits<int>::max()) + 1.0;
}

// Break points (3 x K: time ms, value, kind) of a scalar track, or key frames
// of TAF1 (3 x F: time ms, kind, noise-source section). Times must lie on
// strictly increasing output samples that a 32-bit index holds; the integer
// rows must convert to int.
std::string checkTimeRows(const ArgView& a, const char* name, bool keyFrames, float smpfrq) {
  const char* point = keyFrames ? "key" : "break point";
  const char* kindRow = keyFrames ? "kind (row 2)" : "kind (row 3)";
  const std::size_t kindIdx = keyFrames ? 1 : 2;
  unsigned int prevSample = 0;
  double prevTime = 0.0;
  for (std::size_t k = 0; k < a.cols; ++k) {
    const double* col = a.values + 3 * k;
    const double t = col[0];
    const unsigned long c = static_cast<unsigned long>(k + 1);
    if (!std::isfinite(t))
      return format("%s column %lu: %s time %.10g ms is not a finite number.", name, c, point, t);
    const bool inFloat = std::fabs(t) <= std::numeric_limits<float>::max();
    const float tf = inFloat ? static_cast<float>(t) : static_cast<float>(std::copysign(1.0, t));
    if (tf < 0.0f)
      return format("%s column %lu: %s time %.10g ms is negative.", name, c, point, t);
    if (!inFloat || !sampleIndexFits(tf, smpfrq))
      return format("%s column %lu: %s time %.10g ms lies beyond the last output sample "
                    "(%d) at %g Hz.",
                    name, c, point, t, kMaxSampleIndex, static_cast<double>(smpfrq));
    if (!truncatesToInt(col[kindIdx]))
      return format("%s column %lu: %s %g is not a finite whole number within the int range.",
                    name, c, kindRow, col[kindIdx]);
    if (keyFrames && !truncatesToInt(col[2]))
      return format("%s column %lu: noise-source section (row 3) %g is not a finite whole "
                    "number within the int range.",
                    name, c, col[2]);
    const unsigned int s = keyFrames ? keyFrameSample(tf, smpfrq) : breakPointSample(tf, smpfrq);
    if (k > 0 && s <= prevSample)
      return format("%s columns %lu and %lu: %s times %.10g ms and %.10g ms fall on output samples "
                    "%u and %u at %g Hz; the samples must increase strictly (times are in ms).",
                    name, c - 1, c, point, prevTime, t, prevSample, s,
                    static_cast<double>(smpfrq));
    prevSample = s;
    prevTime = t;
  }
  return {};
}

// The count message, three texts as the host prints them.
CheckOutcome rejectCounts(int nlhs, int nrhs) {
  CheckOutcome out;
  out.status = 1;
  out.printed = "Incorrect calling syntax:\n [SIG] = ";
  out.printed += "quorvel(nss,TAg0,TAgP,TF0,TAF1,TAF2,dx,[fs])\n";
  out.printed += format("nlhs is %d, nrhs is %d.\n", nlhs, nrhs);
  out.error = std::string(kFailed) +
              format(" Wrong number of results or arguments: quorvel takes 7 to 9 arguments "
                     "and returns 1 result (nlhs is %d, nrhs is %d); call it as "
                     "SIG = quorvel(nss, TAg0, TAgP, TF0, TAF1, TAF2, dx[, fs[, VCV]]).",
                     nlhs, nrhs);
  return out;
}

}  // namespace

CheckOutcome CheckArguments(int nlhs, int nrhs, const ArgView* args, GatewayRates& rates) {
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
    return reject(format("nss must be a single value (it is %zux%zu).", nss.rows, nss.cols));
  static constexpr const char* trackNames[] = {"TAg0", "TAgP", "TF0", "TAF1"};
  static constexpr const char* columnLayouts[] = {
      "[time ms; area cm^2; kind] per break point", "[time ms; area cm^2; kind] per break point",
      "[time ms; F0 Hz; kind] per break point", "[time ms; kind; source junction] per key frame"};
  for (int i = kTAg0; i <= kTAF1; ++i) {
    if (args[i].rows != 3)
      return reject(format("%s must have 3 rows (it has %zu): one column %s.",
                           trackNames[i - kTAg0], args[i].rows, columnLayouts[i - kTAg0]));
  }
  const ArgView& dx = args[kDx];
  const ArgView& TAF2 = args[kTAF2];
  if (!(dx.rows == 1 || dx.rows == TAF2.rows || dx.cols == args[kTAg0].cols))
    return reject(format("dx must have 1 row, as many rows as TAF2 (%zu) or as many columns "
                         "as TAg0 (%zu) (it is %zux%zu).",
                         TAF2.rows, args[kTAg0].cols, dx.rows, dx.cols));

  // What the synthesis needs beyond the shapes above: values that it can
  // convert and index with, and tracks that advance sample by sample.
  if (nrhs >= 8) {
    if (numel(args[kFs]) == 0)
      return reject("fs is empty; give the output sampling frequency in Hz.");
    if (!(std::isfinite(rates.smpfrq) && rates.smpfrq > 0.0f && std::isfinite(rates.simfrq)))
      return reject(format("fs must be a finite frequency above 0 Hz (it is %g).",
                           args[kFs].values[0]));
  }
  if (nrhs >= 9) {
    if (numel(args[kVcv]) == 0) return reject("VCV (argument 9) is empty.");
    if (!truncatesToInt(args[kVcv].values[0]))
      return reject(format("VCV (argument 9) must be a finite whole number within the int "
                           "range (it is %g).",
                           args[kVcv].values[0]));
  }
  const double nssValue = nss.values[0];
  if (!std::isfinite(nssValue) || nssValue < 1.0 || nssValue >= kMaxSections + 1.0)
    return reject(format("nss must give 1 to %d vocal-tract sections (it is %g).", kMaxSections,
                         nssValue));
  const std::size_t nvt = static_cast<std::size_t>(nssValue);
  const std::size_t F = args[kTAF1].cols;
  if (F == 0) return reject("TAF1 has no columns; give at least one area-function key frame.");
  if (numel(TAF2) < nvt * F)
    return reject(format("TAF2 must hold nss x F = %zu x %zu areas, one column per key frame "
                         "(it is %zux%zu).",
                         nvt, F, TAF2.rows, TAF2.cols));
  // Frame m is read from offset m*nvt of the column-major values, so a
  // matrix with another row count (transposed, or nss changed without TAF2)
  // would mix sections of different frames. A vector holding the frames one
  // after another stays legal.
  if (TAF2.rows > 1 && TAF2.cols > 1 && TAF2.rows != nvt)
    return reject(format("TAF2 must have one row per section, nss = %zu rows, and one column "
                         "per key frame (it is %zux%zu%s).",
                         nvt, TAF2.rows, TAF2.cols,
                         TAF2.rows == F && TAF2.cols == nvt ? "; transposed?" : ""));
  if (dx.rows == 1) {
    if (dx.cols == 0) return reject("dx is empty; give at least one section length.");
  } else if (numel(dx) < nvt * F) {
    return reject(format("dx with more than one row must hold nss x F = %zu x %zu section "
                         "lengths, one column per key frame (it is %zux%zu).",
                         nvt, F, dx.rows, dx.cols));
  }
  for (int i = kTAg0; i <= kTAF1; ++i) {
    const std::string what =
        checkTimeRows(args[i], trackNames[i - kTAg0], i == kTAF1, rates.smpfrq);
    if (!what.empty()) return reject(what);
  }

  return CheckOutcome{};
}

}  // namespace vt
