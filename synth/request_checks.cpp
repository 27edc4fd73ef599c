#include "synth/request_checks.h"

#include <cmath>
#include <limits>
#include <vector>

#include "artic/interpo_mem.h"
#include "artic/sample_index.h"
#include "synth/format_text.h"
#include "synth/model_checks.h"

namespace vt {
namespace {

/// A track as the host's 3 x K column-major matrix: [time; value; kind].
std::vector<double> trackColumns(const ControlTrack& t) {
  std::vector<double> v;
  v.reserve(3 * t.size());
  for (const BreakPoint& b : t) {
    v.push_back(b.time_ms);
    v.push_back(b.value);
    v.push_back(static_cast<double>(static_cast<int>(b.kind)));
  }
  return v;
}

/// Key frames as the host's 3 x F matrix: [time; kind; source offset].
std::vector<double> frameColumns(const std::vector<KeyFrame>& frames) {
  std::vector<double> v;
  v.reserve(3 * frames.size());
  for (const KeyFrame& f : frames) {
    v.push_back(f.time_ms);
    v.push_back(static_cast<double>(static_cast<int>(f.kind)));
    v.push_back(static_cast<double>(f.noiseSourceOffset));
  }
  return v;
}

/// Shapes and rates of a request built in code (the argument front end has
/// already refused these with its own messages).
std::string checkStructure(const SynthesisRequest& rq) {
  if (!(std::isfinite(rq.smpfrq) && rq.smpfrq > 0.0f))
    return formatText("fs must be a finite frequency above 0 Hz (it is %g).",
                      static_cast<double>(rq.smpfrq));
  if (rq.options.oversampling < 1 || !std::isfinite(rq.simfrq()))
    return formatText(
        "oversampling must be at least 1 simulation step per output sample and "
        "give a finite simulation rate (it is %d at %g Hz).",
        rq.options.oversampling, static_cast<double>(rq.smpfrq));
  if (rq.nvt < 1 || rq.nvt > kMaxSections)
    return formatText("nss must give 1 to %d vocal-tract sections (it is %d).", kMaxSections,
                      rq.nvt);
  if (rq.frames.empty()) return "TAF1 has no columns; give at least one area-function key frame.";
  const std::size_t nvt = static_cast<std::size_t>(rq.nvt);
  for (std::size_t m = 0; m < rq.frames.size(); ++m) {
    const KeyFrame& f = rq.frames[m];
    if (f.areas_cm2.size() != nvt)
      return formatText("key frame %zu holds %zu section areas; nss = %zu sections need %zu.",
                        m + 1, f.areas_cm2.size(), nvt, nvt);
    if (f.lengths_cm.size() != nvt)
      return formatText("key frame %zu holds %zu section lengths; nss = %zu sections need %zu.",
                        m + 1, f.lengths_cm.size(), nvt, nvt);
  }
  return {};
}

}  // namespace

std::string checkTimeColumns(const ArgView& a, const char* name, bool keyFrames, float smpfrq) {
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
      return formatText("%s column %lu: %s time %.10g ms is not a finite number.", name, c, point,
                        t);
    const bool inFloat = std::fabs(t) <= std::numeric_limits<float>::max();
    const float tf = inFloat ? static_cast<float>(t) : static_cast<float>(std::copysign(1.0, t));
    if (tf < 0.0f)
      return formatText("%s column %lu: %s time %.10g ms is negative.", name, c, point, t);
    if (!inFloat || !sampleIndexFits(tf, smpfrq))
      return formatText(
          "%s column %lu: %s time %.10g ms lies beyond the last output sample "
          "(%d) at %g Hz.",
          name, c, point, t, kMaxSampleIndex, static_cast<double>(smpfrq));
    if (!truncatesToInt(col[kindIdx]))
      return formatText("%s column %lu: %s %g is not a finite whole number within the int range.",
                        name, c, kindRow, col[kindIdx]);
    if (keyFrames && !truncatesToInt(col[2]))
      return formatText(
          "%s column %lu: noise-source section (row 3) %g is not a finite whole "
          "number within the int range.",
          name, c, col[2]);
    const unsigned int s = keyFrames ? keyFrameSample(tf, smpfrq) : breakPointSample(tf, smpfrq);
    if (k > 0 && s <= prevSample)
      return formatText(
          "%s columns %lu and %lu: %s times %.10g ms and %.10g ms fall on output samples "
          "%u and %u at %g Hz; the samples must increase strictly (times are in ms).",
          name, c - 1, c, point, prevTime, t, prevSample, s, static_cast<double>(smpfrq));
    prevSample = s;
    prevTime = t;
  }
  return {};
}

std::string checkTrackTimes(const ControlTrack& track, const char* name, float smpfrq) {
  const std::vector<double> cols = trackColumns(track);
  return checkTimeColumns(ArgView{3, track.size(), cols.data()}, name, false, smpfrq);
}

namespace {

/// Largest finite single-precision value: the synthesis rounds every area,
/// length, F0 and time to float, and a double beyond it becomes infinite.
constexpr double kFloatMax = std::numeric_limits<float>::max();

/// "<value> is not a finite number" or "lies beyond single precision", or
/// empty for a value that converts to a finite float.
std::string notFiniteInFloat(double v) {
  if (!std::isfinite(v)) return formatText("%g is not a finite number", v);
  if (std::fabs(v) > kFloatMax)
    return formatText("%g lies beyond single precision (%.3g)", v, kFloatMax);
  return {};
}

/// Value row (row 2) of a break-point track: finite in single precision, and
/// not negative (glottal areas in cm², F0 in Hz).
std::string checkTrackValues(const ControlTrack& t, const char* name, const char* quantity) {
  for (std::size_t k = 0; k < t.size(); ++k) {
    const double v = t[k].value;
    const std::string bad = notFiniteInFloat(v);
    if (!bad.empty())
      return formatText("%s row 2, column %zu: %s %s.", name, k + 1, quantity, bad.c_str());
    if (v < 0.0)
      return formatText("%s row 2, column %zu: %s %g is negative; it must be 0 or more.", name,
                        k + 1, quantity, v);
  }
  return {};
}

}  // namespace

std::string checkRequestValues(const SynthesisRequest& rq) {
  std::string what = checkTrackValues(rq.TAg0, "TAg0", "glottal baseline area (cm^2)");
  if (what.empty()) what = checkTrackValues(rq.TAgP, "TAgP", "glottal pulse amplitude (cm^2)");
  if (what.empty()) what = checkTrackValues(rq.TF0, "TF0", "F0 (Hz)");
  if (!what.empty()) return what;
  // Areas and lengths of section l of frame m stand in row l + 1, column
  // m + 1 of an nss x F TAF2 or dx; a dx of one row holds the value of its
  // first failing frame (1 x F) or of every frame (1 x 1) in row 1, which is
  // where the first failing section of such a frame points.
  for (std::size_t m = 0; m < rq.frames.size(); ++m) {
    const KeyFrame& f = rq.frames[m];
    for (std::size_t l = 0; l < f.areas_cm2.size(); ++l) {
      // Areas of 0 or less stay legal: a closure, floored by the network.
      const std::string bad = notFiniteInFloat(f.areas_cm2[l]);
      if (!bad.empty())
        return formatText("TAF2 row %zu, column %zu: area (cm^2) %s.", l + 1, m + 1, bad.c_str());
    }
  }
  for (std::size_t m = 0; m < rq.frames.size(); ++m) {
    const KeyFrame& f = rq.frames[m];
    for (std::size_t l = 0; l < f.lengths_cm.size(); ++l) {
      const double x = f.lengths_cm[l];
      if (!(x > 0.0 && x <= kMaxSectionLength_cm))
        return formatText(
            "dx row %zu, column %zu: section length %g cm must be above 0 and at "
            "most %g cm.",
            l + 1, m + 1, x, kMaxSectionLength_cm);
    }
  }
  return {};
}

std::string checkRequest(const SynthesisRequest& rq) {
  std::string what = checkStructure(rq);
  if (what.empty()) {
    static constexpr const char* names[] = {"TAg0", "TAgP", "TF0"};
    const ControlTrack* tracks[] = {&rq.TAg0, &rq.TAgP, &rq.TF0};
    for (int i = 0; i < 3 && what.empty(); ++i) {
      const std::vector<double> cols = trackColumns(*tracks[i]);
      what =
          checkTimeColumns(ArgView{3, tracks[i]->size(), cols.data()}, names[i], false, rq.smpfrq);
    }
    if (what.empty()) {
      const std::vector<double> cols = frameColumns(rq.frames);
      what = checkTimeColumns(ArgView{3, rq.frames.size(), cols.data()}, "TAF1", true, rq.smpfrq);
    }
  }
  if (what.empty()) what = checkRequestValues(rq);
  if (what.empty()) what = checkModelOptions(rq);
  return what.empty() ? what : std::string(kArgumentCheckFailed) + " " + what;
}

}  // namespace vt
