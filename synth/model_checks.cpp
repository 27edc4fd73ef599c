#include "synth/model_checks.h"

#include <cmath>
#include <limits>
#include <set>

#include "synth/format_text.h"
#include "synth/internal_signals.h"
#include "synth/request_checks.h"

namespace vt {
namespace {

constexpr double kFloatMax = std::numeric_limits<float>::max();
constexpr double kMaxPsub_cmH2O = 100.0;  // far above any lung pressure of speech

bool finiteFloat(double v) { return std::isfinite(v) && std::fabs(v) <= kFloatMax; }

/// A positive finite constant that single precision holds.
std::string positive(double v, const char* field, const char* unit) {
  if (!finiteFloat(v) || !(v > 0.0))
    return formatText("%s must be a finite number above 0 %s (it is %g).", field, unit, v);
  return {};
}

/// Tube sections: count in range, areas >= 0 and lengths > 0, finite.
std::string sections(const std::vector<TubeSection>& s, const char* field, std::size_t maxCount) {
  if (s.empty() || s.size() > maxCount)
    return formatText("%s must hold 1 to %zu sections [area cm^2, length cm] (it holds %zu).",
                      field, maxCount, s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (!finiteFloat(s[i].area_cm2) || s[i].area_cm2 < 0.0)
      return formatText("%s section %zu: area %g cm^2 must be a finite number of at least 0.",
                        field, i + 1, s[i].area_cm2);
    if (!finiteFloat(s[i].length_cm) || !(s[i].length_cm > 0.0))
      return formatText("%s section %zu: length %g cm must be a finite number above 0.", field,
                        i + 1, s[i].length_cm);
  }
  return {};
}

/// A break-point track of the model: walkable times, values in [lo, hi].
std::string track(const ControlTrack& t, const char* field, float smpfrq, double lo, double hi,
                  const char* unit) {
  std::string what = checkTrackTimes(t, field, smpfrq);
  if (!what.empty()) return what;
  for (std::size_t k = 0; k < t.size(); ++k) {
    if (!std::isfinite(t[k].value) || t[k].value < lo || t[k].value > hi)
      return formatText("%s column %zu: value %g %s must lie between %g and %g.", field, k + 1,
                        t[k].value, unit, lo, hi);
  }
  return {};
}

std::string nasal(const SynthesisRequest& rq) {
  const SynthesisOptions& o = rq.options;
  if (o.nbp < 1 || o.nbp >= rq.nvt)
    return formatText(
        "model.nasal.branch_section %d must lie inside the tract: 1 to nss-1 = %d "
        "(the mouth branch needs at least one section).",
        o.nbp, rq.nvt - 1);
  if (o.coupling_lengths_cm.empty() || o.coupling_lengths_cm.size() > 40)
    return formatText(
        "model.nasal.coupling_lengths must hold 1 to 40 lengths in cm (it holds %zu).",
        o.coupling_lengths_cm.size());
  for (std::size_t i = 0; i < o.coupling_lengths_cm.size(); ++i) {
    const double x = o.coupling_lengths_cm[i];
    if (!finiteFloat(x) || !(x > 0.0))
      return formatText(
          "model.nasal.coupling_lengths entry %zu: %g cm must be a finite number "
          "above 0.",
          i + 1, x);
  }
  std::string what = sections(o.nasal_sections, "model.nasal.tract", 100);
  if (what.empty()) what = track(o.velum, "model.nasal.velum", rq.smpfrq, 0.0, kFloatMax, "cm^2");
  if (!what.empty() || !o.sinus_cavity) return what;
  if (!(what = positive(o.sinus_vol, "model.nasal.sinus.volume", "cm^3")).empty()) return what;
  if (!(what = positive(o.sinus_apt, "model.nasal.sinus.neck_area", "cm^2")).empty()) return what;
  if (!(what = positive(o.sinus_len, "model.nasal.sinus.neck_length", "cm")).empty()) return what;
  const int nnc = static_cast<int>(o.coupling_lengths_cm.size());
  const int nnt = nnc + static_cast<int>(o.nasal_sections.size());
  if (o.sinus_pos < nnc + 1 || o.sinus_pos > nnt)
    return formatText(
        "model.nasal.sinus.position %d must name a section of the nasal tract "
        "proper, counted from the velum with the %d coupling sections: %d to %d.",
        o.sinus_pos, nnc, nnc + 1, nnt);
  return {};
}

std::string signalNames(const SynthesisRequest& rq) {
  std::set<std::string> seen;
  for (const std::string& name : rq.signals) {
    const auto info = findInternalSignal(name);
    if (!info) {
      std::string known;
      for (const InternalSignalInfo& s : internalSignals()) known += std::string(" ") + s.name;
      return "signals: unknown signal \"" + name + "\" (signals:" + known + ").";
    }
    if (!seen.insert(name).second) return "signals: \"" + name + "\" is asked for twice.";
    if (info->needsNasal && !rq.options.nasal_tract)
      return "signals: \"" + name + "\" exists only with the nasal branch (model.nasal).";
  }
  return {};
}

}  // namespace

std::string checkModelOptions(const SynthesisRequest& rq) {
  const SynthesisOptions& o = rq.options;
  std::string what;
  if (o.nasal_tract)
    what = nasal(rq);
  else if (o.sinus_cavity)
    what = "model.nasal.sinus needs the nasal branch (model.nasal).";
  if (what.empty() && o.subGLTsystem)
    what = sections(o.trachea_sections, "model.trachea.sections", 20);
  const struct {
    double v;
    const char* field;
    const char* unit;
  } walls[] = {{o.wall_resi, "model.walls.resistance", "dyn s/cm^3"},
               {o.wall_mass, "model.walls.mass", "g/cm^2"},
               {o.wall_comp, "model.walls.stiffness", "dyn/cm^3"},
               {o.trachea_resi, "model.walls.trachea_resistance", "dyn s/cm^3"},
               {o.trachea_mass, "model.walls.trachea_mass", "g/cm^2"},
               {o.trachea_comp, "model.walls.trachea_stiffness", "dyn/cm^3"}};
  for (const auto& w : walls)
    if (what.empty()) what = positive(w.v, w.field, w.unit);
  if (what.empty() && o.Psub_track.empty() &&
      !(std::isfinite(o.Psub) && o.Psub >= 0.0f && o.Psub <= kMaxPsub_cmH2O))
    what = formatText("model.Psub %g cm H2O must lie between 0 and %g.",
                      static_cast<double>(o.Psub), kMaxPsub_cmH2O);
  if (what.empty() && !o.Psub_track.empty())
    what = track(o.Psub_track, "model.Psub", rq.smpfrq, 0.0, kMaxPsub_cmH2O, "cm H2O");
  if (what.empty() && !(std::isfinite(o.noiseAmp) && o.noiseAmp >= 0.0f))
    what =
        formatText("model.noise.gain gives a noise scale of %g; it must be finite and at least 0.",
                   static_cast<double>(o.noiseAmp));
  if (what.empty() && (o.open_quotient || o.close_quotient)) {
    const double oq = o.open_quotient.value_or(o.glottis == GlottalModel::Fant ? 0.36 : 0.5);
    const double cq = o.close_quotient.value_or(o.glottis == GlottalModel::Fant ? 0.26 : 0.2);
    if (!(std::isfinite(oq) && oq > 0.0 && oq <= 1.0))
      what = formatText("model.glottis.open_quotient %g must lie above 0 and at most 1.", oq);
    else if (!(std::isfinite(cq) && cq >= 0.0 && cq <= oq))
      what = formatText(
          "model.glottis.close_quotient %g must lie between 0 and the opening "
          "quotient %g (a longer closing would turn the closing cosine back up).",
          cq, oq);
    else if (oq + cq > 1.0)
      what = formatText(
          "model.glottis: opening %g and closing %g quotients add up to more than "
          "one period.",
          oq, cq);
  }
  if (what.empty()) what = signalNames(rq);
  return what;
}

}  // namespace vt
