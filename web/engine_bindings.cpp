// JavaScript face of the synthesis core (embind): the built-in score through
// the score path, and a live voice rendered block by block.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/tract_analysis.h"
#include "synth/default_utterance.h"
#include "synth/streaming_synthesizer.h"
#include "synth/synthesis_core.h"

namespace {

using emscripten::val;

val toFloat32Array(const std::vector<float>& s) {
  val out = val::global("Float32Array").new_(s.size());
  out.call<void>("set", val(emscripten::typed_memory_view(s.size(), s.data())));
  return out;
}

std::vector<float> numbers(const val& v, const char* field) {
  const val a = v[field];
  if (a.isUndefined() || a.isNull()) return {};
  return emscripten::vecFromJSArray<float>(a);
}

/// Section list from parallel arrays of areas (cm²) and lengths (cm); empty on a length mismatch.
std::vector<vt::area_function> sections(const std::vector<float>& A, const std::vector<float>& x) {
  std::vector<vt::area_function> s;
  if (A.size() != x.size()) return s;
  for (std::size_t i = 0; i < A.size(); ++i) s.push_back({A[i], x[i]});
  return s;
}

/// Radiated pressure of the built-in utterance /asa/ (10 kHz, dyn/cm² at 100 cm).
val renderDefaultUtterance() {
  const vt::Score score = vt::defaultUtterance();
  const std::vector<vt::ArgView> args = score.args();
  vt::QuorvelSession q;
  const vt::SynthesisOutcome r = q.synthesize(1, static_cast<int>(args.size()), args.data());
  if (r.status != 0) return val(r.error);
  return toFloat32Array(r.samples);
}

/// A live voice; controls and layout as plain JavaScript objects.
class Voice {
 public:
  /// spec: {nvt, smpfrq, nasal, nbp, nasalAreas, nasalLengths, couplingLength};
  /// controls: see set().
  Voice(val spec, val controls) {
    spec_.nvt = spec["nvt"].as<int>();
    spec_.smpfrq = spec["smpfrq"].as<float>();
    spec_.options.nasal_tract = spec["nasal"].as<bool>();
    if (spec_.options.nasal_tract) {
      spec_.options.nbp = spec["nbp"].as<int>();
      spec_.nasalTract = sections(numbers(spec, "nasalAreas"), numbers(spec, "nasalLengths"));
      if (!spec["couplingLength"].isUndefined())
        spec_.couplingLength_cm = spec["couplingLength"].as<float>();
    }
    error_ = vt::checkStreamSpec(spec_);
    vt::VoiceControls c;
    if (error_.empty()) error_ = read(controls, c);
    if (error_.empty()) error_ = vt::checkControls(spec_, c);
    if (error_.empty()) voice_ = std::make_unique<vt::StreamingSynthesizer>(spec_, c);
  }
  /// Why the voice could not be made ("" = ready).
  std::string error() const { return error_; }
  /// Sets the targets of the next block: {Ag0, AgP, F0, Psub, areas, lengths,
  /// noiseOffset, velum}; returns "" or why they were refused.
  std::string set(val controls) {
    if (!voice_) return error_;
    vt::VoiceControls c;
    std::string err = read(controls, c);
    return err.empty() ? voice_->setTargets(c) : err;
  }
  /// The next n output samples (radiated pressure, dyn/cm² at 100 cm).
  val render(int n) {
    buffer_.assign(voice_ && n > 0 ? static_cast<std::size_t>(n) : 0, 0.0f);
    if (voice_) voice_->render(buffer_);
    return val(emscripten::typed_memory_view(buffer_.size(), buffer_.data()));
  }
  /// Formants of the tract the targets describe (closed glottis, nasal
  /// branch at the velum area when on) below f_max Hz: [{f, bw}] in Hz.
  val formants(double f_max) const {
    val out = val::array();
    if (!voice_) return out;
    const vt::VoiceControls& c = voice_->targets();
    std::optional<vt::analysis::NasalBranch> nasal;
    if (spec_.options.nasal_tract) {
      vt::analysis::NasalBranch b;
      b.branch_section = spec_.options.nbp;
      b.coupling_sections = spec_.couplingSections;
      b.sections.assign(spec_.couplingSections, {c.velum_cm2, spec_.couplingLength_cm});
      b.sections.insert(b.sections.end(), spec_.nasalTract.begin(), spec_.nasalTract.end());
      nasal = b;
    }
    try {
      const vt::analysis::TractAnalysis a(c.tract, {}, nasal);
      for (const vt::analysis::Resonance& r : a.formants(f_max)) {
        val f = val::object();
        f.set("f", r.frequency_hz);
        f.set("bw", r.bandwidth_hz);
        out.call<void>("push", f);
      }
    } catch (const std::exception&) {
      // A tract the analysis cannot describe has no formants to show.
    }
    return out;
  }
  double samplesRendered() const {
    return voice_ ? static_cast<double>(voice_->samplesRendered()) : 0;
  }

 private:
  static std::string read(const val& v, vt::VoiceControls& c) {
    c.Ag0_cm2 = v["Ag0"].as<float>();
    c.AgP_cm2 = v["AgP"].as<float>();
    c.F0_Hz = v["F0"].as<float>();
    c.Psub_cmH2O = v["Psub"].as<float>();
    c.noiseSourceOffset = v["noiseOffset"].as<int>();
    c.velum_cm2 = v["velum"].isUndefined() ? 0.0f : v["velum"].as<float>();
    const std::vector<float> A = numbers(v, "areas"), x = numbers(v, "lengths");
    if (A.size() != x.size()) return "areas and lengths must have one value per section";
    c.tract = sections(A, x);
    return "";
  }

  vt::StreamSpec spec_;
  std::string error_;
  std::unique_ptr<vt::StreamingSynthesizer> voice_;
  std::vector<float> buffer_;
};

}  // namespace

EMSCRIPTEN_BINDINGS(vocal_tract) {
  emscripten::function("renderDefaultUtterance", &renderDefaultUtterance);
  emscripten::class_<Voice>("Voice")
      .constructor<val, val>()
      .function("error", &Voice::error)
      .function("set", &Voice::set)
      .function("render", &Voice::render)
      .function("formants", &Voice::formants)
      .function("samplesRendered", &Voice::samplesRendered);
}
