#pragma once
// Reference drive of the simulator for benchmarks and regression checks: a
// deterministic 120 Hz glottal pulse train and a moving vocal tract, in the
// synthesiser's configuration.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "simulator/simulator.h"

namespace vt::drive {

/// The synthesiser's configuration (nbp 9 and lip radiation are defaults).
inline void gateway_config(SimConfig& cfg, int nvt) {
  cfg.nvt = nvt;
  cfg.vocal_tract = cfg.wall = cfg.noise_source = 1;
  cfg.noiseAmp = 1e-8f;
}

/// Glottal area at output sample j (10 kHz): 0.2 cm² pulses on 0.02 cm².
inline float drive_Ag(int j) {
  const double ph = std::fmod(j, 10000.0 / 120.0) / (10000.0 / 120.0);
  return static_cast<float>(0.02 +
                            0.2 * (ph < 0.6 ? 0.5 - 0.5 * std::cos(2 * M_PI * ph / 0.6) : 0.0));
}

/// nvt sections of 17/nvt cm at sample j; the front closes to 0.05 cm² every 0.25 s.
inline void drive_af(int j, int nvt, std::vector<area_function>& af) {
  af.resize(nvt);
  const double t = j / 10000.0, close = 0.5 - 0.5 * std::cos(2 * M_PI * t * 4.0);
  for (int i = 0; i < nvt; ++i) {
    const double pos = (i + 0.5) / nvt, dc = pos - 0.8;
    const double A = 1.0 + 4.0 * pos * pos + 1.5 * std::sin(6.0 * pos + 3.0 * t);
    af[i] = {static_cast<float>(A * (1.0 - close * std::exp(-dc * dc / 0.004)) + 0.05 * close),
             17.0f / nvt};
  }
}

/// One run (vtt_ini .. vtt_term); frame(j) sets the targets of output sample j.
template <class Frame>
std::vector<float> run(Simulator& sim, int samples, Frame frame) {
  std::vector<float> out(samples);
  for (int j = 0; j < samples; ++j) {
    frame(j);
    if (j == 0) sim.vtt_ini();
    out[j] = sim.vtt_sim();
  }
  sim.vtt_term();
  return out;
}

inline std::vector<float> run_drive(Simulator& sim, int nvt, int samples) {
  std::vector<area_function> af;
  return run(sim, samples,
             [&](int j) { drive_af(j, nvt, af), sim.afvt = af.data(), sim.Ag = drive_Ag(j); });
}

/// FNV-1a over the bytes of the samples (little-endian bit patterns).
inline std::uint64_t bit_hash(const std::vector<float>& x) {
  std::uint64_t h = 1469598103934665603ull;
  const auto* b = reinterpret_cast<const unsigned char*>(x.data());
  for (std::size_t i = 0; i < 4 * x.size(); ++i) h = (h ^ b[i]) * 1099511628211ull;
  return h;
}

}  // namespace vt::drive
