#include "synth/streaming_synthesizer.h"

#include <cmath>
#include <stdexcept>

#include "synth/gateway_config.h"

namespace vt {
namespace {

bool within(float v, float lo, float hi) { return std::isfinite(v) && v >= lo && v <= hi; }

std::string range(const char* what, float lo, float hi) {
  return std::string(what) + " must be a number from " + std::to_string(lo) + " to " +
         std::to_string(hi);
}

}  // namespace

std::string checkStreamSpec(const StreamSpec& s) {
  if (s.nvt < 1 || s.nvt > 40) return "nvt (vocal-tract sections) must be 1..40";
  if (!within(s.smpfrq, 1000.0f, 100000.0f)) return range("smpfrq (Hz)", 1000, 100000);
  if (s.options.oversampling < 1 || s.options.oversampling > 10)
    return "oversampling must be 1..10";
  if (!within(s.options.Psub, 0, 100)) return range("Psub (cm H2O)", 0, 100);
  if (!s.options.nasal_tract) return "";
  if (s.options.nbp < 1 || s.options.nbp >= s.nvt)
    return "nbp (velum branch point) must be 1..nvt-1";
  if (s.couplingSections < 1 || s.couplingSections > 10) return "couplingSections must be 1..10";
  if (!within(s.couplingLength_cm, 0.01f, 10.0f)) return range("couplingLength_cm", 0.01f, 10);
  if (s.nasalTract.empty() || s.nasalTract.size() > 100)
    return "nasalTract must hold 1..100 sections";
  for (const area_function& a : s.nasalTract)
    if (!within(a.A, 0.0f, 100.0f) || !(std::isfinite(a.x) && a.x > 0.0f && a.x <= 10.0f))
      return "nasalTract: areas must be 0..100 cm² and lengths in (0, 10] cm";
  return "";
}

std::string checkControls(const StreamSpec& s, const VoiceControls& c) {
  if (!within(c.Ag0_cm2, 0, 5)) return range("Ag0_cm2", 0, 5);
  if (!within(c.AgP_cm2, 0, 5)) return range("AgP_cm2", 0, 5);
  if (!within(c.F0_Hz, 0, s.smpfrq / 4)) return range("F0_Hz", 0, s.smpfrq / 4);
  if (!within(c.Psub_cmH2O, 0, 100)) return range("Psub_cmH2O", 0, 100);
  if (!within(c.velum_cm2, 0, 5)) return range("velum_cm2", 0, 5);
  if (c.noiseSourceOffset > s.nvt) return "noiseSourceOffset must be at most nvt";
  if (c.tract.size() != static_cast<std::size_t>(s.nvt))
    return "tract must hold nvt = " + std::to_string(s.nvt) + " sections (got " +
           std::to_string(c.tract.size()) + ")";
  for (const area_function& a : c.tract)
    if (!within(a.A, 0.0f, 100.0f) || !(std::isfinite(a.x) && a.x > 0.0f && a.x <= 10.0f))
      return "tract: areas must be 0..100 cm² and lengths in (0, 10] cm";
  return "";
}

StreamingSynthesizer::StreamingSynthesizer(const StreamSpec& spec, const VoiceControls& initial)
    : spec_(spec), from_(initial), to_(initial) {
  std::string err = checkStreamSpec(spec);
  if (err.empty()) err = checkControls(spec, initial);
  if (!err.empty()) throw std::invalid_argument(err);
  SimConfig& cfg = sim_.cfg;
  cfg.smpfrq = spec.smpfrq;
  cfg.simfrq = static_cast<float>(spec.options.oversampling) * spec.smpfrq;
  applySynthesisOptions(cfg, spec.options, spec.nvt);
  if (spec.options.seed) sim_.seed_noise(*spec.options.seed);
  glottis_.setQuotients(spec.options.open_quotient, spec.options.close_quotient);
  afvt_.resize(spec.nvt);
  if (spec.options.nasal_tract) {
    cfg.nnc = spec.couplingSections;
    afnt_.assign(spec.couplingSections, area_function{0.0f, spec.couplingLength_cm});
    afnt_.insert(afnt_.end(), spec.nasalTract.begin(), spec.nasalTract.end());
    sim_.afnt = afnt_.data();
    sim_.nnt = static_cast<int>(afnt_.size());
  }
}

StreamingSynthesizer::~StreamingSynthesizer() {
  if (sim_.running()) sim_.vtt_term();
}

std::string StreamingSynthesizer::setTargets(const VoiceControls& target) {
  std::string err = checkControls(spec_, target);
  if (err.empty()) to_ = target;
  return err;
}

void StreamingSynthesizer::render(std::span<float> out) {
  const VoiceControls from = from_;
  const float n = static_cast<float>(out.size());
  // Each sample's output summation completes beside the next sample's first
  // network step; the block's last sample is completed at once.
  for (std::size_t k = 0; k < out.size(); ++k) {
    tick(from, static_cast<float>(k + 1) / n);
    if (k > 0) out[k - 1] = sim_.previous_output();
  }
  if (!out.empty()) {
    out[out.size() - 1] = sim_.deferred_output();
    from_ = to_;
  }
}

// One output sample at glide position w (0 = the values the block started
// from, 1 = the targets): the score path's loop body with these values; the
// sample's output summation is left pending (vtt_sim_deferred).
void StreamingSynthesizer::tick(const VoiceControls& from, float w) {
  const VoiceControls& to = to_;
  const float g0 = std::lerp(from.Ag0_cm2, to.Ag0_cm2, w);
  const float gp = std::lerp(from.AgP_cm2, to.AgP_cm2, w);
  const float f0 = std::lerp(from.F0_Hz, to.F0_Hz, w);
  const float Ag =
      glottis_.next(static_cast<unsigned int>(j_), g0, gp, f0, spec_.smpfrq, spec_.options.glottis)
          .Ag;
  sim_.Ag = Ag;
  for (std::size_t l = 0; l < afvt_.size(); ++l) {
    afvt_[l].A = std::lerp(from.tract[l].A, to.tract[l].A, w);
    afvt_[l].x = std::lerp(from.tract[l].x, to.tract[l].x, w);
  }
  sim_.afvt = afvt_.data();
  if (spec_.options.nasal_tract) {
    const float velum = std::lerp(from.velum_cm2, to.velum_cm2, w);
    for (int l = 0; l < spec_.couplingSections; ++l) afnt_[l].A = velum;
  }
  // The frication source moves at the start of a block, as at a key frame.
  if (to.noiseSourceOffset >= 0) sim_.cfg.noiseSourceLoc = to.noiseSourceOffset;
  sim_.set_lung_pressure(std::lerp(from.Psub_cmH2O, to.Psub_cmH2O, w));
  if (j_ == 0) sim_.vtt_ini();
  ++j_;
  sim_.vtt_sim_deferred();
}

}  // namespace vt
