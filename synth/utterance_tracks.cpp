#include "synth/utterance_tracks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "synth/synthesizer.h"

namespace vt {

std::vector<TrackFrame> utteranceTracks(const SynthesisRequest& request, double every_ms,
                                        std::string& error, double* duration_s) {
  error.clear();
  if (!std::isfinite(every_ms) || every_ms <= 0) {
    error = "frame step must be a finite number of ms > 0";
    return {};
  }
  // The frames' samples, then their geometry while the synthesis runs.
  std::vector<TrackFrame> frames;
  std::vector<std::vector<area_function>> tracts;
  const double fs = request.smpfrq;
  Synthesizer synth;
  const Simulator& sim = synth.simulator();
  std::size_t next = 0;
  synth.setTraceObserver([&](const SampleTrace& t) {
    const double frame_ms = static_cast<double>(next) * every_ms;
    if (static_cast<double>(t.j) < std::floor(frame_ms * fs / 1000.0)) return;
    ++next;
    TrackFrame f;
    f.time_ms = t.j * 1000.0 / fs;
    f.f0_Hz = t.f0;
    f.Ag_cm2 = t.Ag;
    f.Psub_cmH2O = request.options.Psub;
    const constriction& Ac = sim.Ac();
    const int offset = Ac.region == 3 ? request.options.nbp : 0;  // mouth branch behind the velum
    f.narrowest_section = Ac.index + offset;
    f.narrowest_area_cm2 = Ac.A;
    if (request.options.noise_source && sim.frication_junction() >= 0)
      f.frication_junction = sim.frication_junction() + offset;
    frames.push_back(f);
    tracts.emplace_back(sim.afvt, sim.afvt + request.nvt);
  });
  const SynthesisResult res = synth.synthesize(request);
  if (res.status != 0) {
    error = res.error;
    return {};
  }
  if (duration_s) *duration_s = static_cast<double>(res.samples.size()) / fs;

  analysis::AnalysisSetup setup;
  setup.physics.simfrq = request.simfrq();
  setup.physics.wall = request.options.wall ? 1 : 0;
  setup.physics.rad_boundary = request.options.rad_boundary ? 1 : 0;
  setup.physics.Psub = request.options.Psub;
  setup.mapping = analysis::FrequencyMapping::Trapezoidal;
  const double limit = std::min(0.5 * fs, 0.49 * setup.physics.simfrq);
  for (std::size_t k = 0; k < frames.size(); ++k) {
    auto F = analysis::TractAnalysis(tracts[k], setup).formants(limit);
    if (F.size() > 5) F.resize(5);
    frames[k].formants = std::move(F);
    for (const area_function& a : tracts[k]) frames[k].areas_cm2.push_back(a.A);
  }
  return frames;
}

std::string tracksCsv(const std::vector<TrackFrame>& frames) {
  std::ostringstream o;
  o << "time_ms,F0_Hz,Ag_cm2,Psub_cmH2O";
  for (int k = 1; k <= 5; ++k) o << ",F" << k << "_Hz,B" << k << "_Hz";
  o << ",narrowest_section,narrowest_area_cm2,frication_junction\n";
  char buf[64];
  auto num = [&](double v, const char* fmt) {
    std::snprintf(buf, sizeof buf, fmt, v);
    o << buf;
  };
  for (const TrackFrame& f : frames) {
    num(f.time_ms, "%.4f");
    num(f.f0_Hz, ",%.6g");
    num(f.Ag_cm2, ",%.6g");
    num(f.Psub_cmH2O, ",%.6g");
    for (std::size_t k = 0; k < 5; ++k) {
      if (k < f.formants.size() && std::isfinite(f.formants[k].bandwidth_hz)) {
        num(f.formants[k].frequency_hz, ",%.2f");
        num(f.formants[k].bandwidth_hz, ",%.2f");
      } else if (k < f.formants.size()) {
        num(f.formants[k].frequency_hz, ",%.2f");
        o << ",";
      } else {
        o << ",,";
      }
    }
    o << "," << f.narrowest_section;
    num(f.narrowest_area_cm2, ",%.6g");
    o << "," << f.frication_junction << "\n";
  }
  return o.str();
}

namespace {

// Praat text: double quotes doubled.
std::string praatString(const std::string& s) {
  std::string out = "\"";
  for (char c : s) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

}  // namespace

std::string keyFrameTextGrid(const SynthesisRequest& request,
                             const std::vector<std::string>& labels, double duration_s) {
  const std::size_t n = request.frames.size();
  std::vector<double> edges{0.0};
  for (std::size_t k = 0; k + 1 < n; ++k)
    edges.push_back(std::clamp(0.5e-3 * (request.frames[k].time_ms + request.frames[k + 1].time_ms),
                               edges.back(), duration_s));
  edges.push_back(duration_s);
  std::ostringstream o;
  o.precision(10);
  o << "File type = \"ooTextFile\"\nObject class = \"TextGrid\"\n\n"
    << "xmin = 0\nxmax = " << duration_s << "\ntiers? <exists>\nsize = 1\nitem []:\n"
    << "    item [1]:\n        class = \"IntervalTier\"\n        name = \"keyframes\"\n"
    << "        xmin = 0\n        xmax = " << duration_s << "\n        intervals: size = " << n
    << "\n";
  for (std::size_t k = 0; k < n; ++k) {
    o << "        intervals [" << k + 1 << "]:\n            xmin = " << edges[k]
      << "\n            xmax = " << edges[k + 1]
      << "\n            text = " << praatString(k < labels.size() ? labels[k] : "") << "\n";
  }
  return o.str();
}

}  // namespace vt
