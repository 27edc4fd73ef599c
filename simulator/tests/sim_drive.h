#pragma once
// Deterministic articulatory drive for simulator runs: a glottal pulse train
// and a vocal tract moving between an open and a constricted shape, with a
// near-closure that makes the constriction (and its noise source) wander.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "simulator/area_function.h"
#include "simulator/simulator.h"

namespace vt::testing {

/// Gateway configuration: moving tract, walls, lip radiation, noise.
inline void gateway_config(SimConfig& cfg, int nvt) {
  cfg.nvt = nvt;
  cfg.nbp = 9;
  cfg.vocal_tract = 1;
  cfg.nasal_tract = 0;
  cfg.wall = 1;
  cfg.rad_boundary = 1;
  cfg.wall_radiation = 0;
  cfg.noise_source = 1;
  cfg.noiseAmp = 1e-8f;
}

/// Glottal area at output sample j (10 kHz): 120 Hz pulses of 0.2 cm² on a
/// 0.02 cm² baseline, cm².
inline float drive_Ag(int j) {
  const double period = 10000.0 / 120.0;
  const double ph = std::fmod(j, period) / period;
  const double pulse = ph < 0.6 ? 0.5 - 0.5 * std::cos(2.0 * 3.141592653589793 * ph / 0.6) : 0.0;
  return static_cast<float>(0.02 + 0.2 * pulse);
}

/// Area function of nvt sections of 17/nvt cm at output sample j: a vowel
/// shape whose front part closes to 0.05 cm² and opens again every 0.25 s.
inline void drive_af(int j, int nvt, std::vector<area_function>& af) {
  af.resize(nvt);
  const double t = j / 10000.0;
  const double close = 0.5 - 0.5 * std::cos(2.0 * 3.141592653589793 * t * 4.0);
  const float len = 17.0f / nvt;
  for (int i = 0; i < nvt; ++i) {
    const double pos = (i + 0.5) / nvt;
    double A = 1.0 + 4.0 * pos * pos + 1.5 * std::sin(6.0 * pos + 3.0 * t);
    const double dc = pos - 0.8;
    A = A * (1.0 - close * std::exp(-dc * dc / 0.004)) + 0.05 * close;
    af[i] = {static_cast<float>(A), len};
  }
}

/// Runs `samples` output samples of the drive and returns them.
inline std::vector<float> run_drive(Simulator& sim, int nvt, int samples) {
  std::vector<area_function> af;
  std::vector<float> out(samples);
  drive_af(0, nvt, af);
  sim.afvt = af.data();
  sim.Ag = drive_Ag(0);
  sim.vtt_ini();
  for (int j = 0; j < samples; ++j) {
    drive_af(j, nvt, af);
    sim.afvt = af.data();
    sim.Ag = drive_Ag(j);
    out[j] = sim.vtt_sim();
  }
  sim.vtt_term();
  return out;
}

/// FNV-1a over the bit patterns of the samples.
inline std::uint64_t bit_hash(const std::vector<float>& x) {
  std::uint64_t h = 1469598103934665603ull;
  for (float v : x) {
    std::uint32_t b;
    std::memcpy(&b, &v, 4);
    for (int k = 0; k < 4; ++k) {
      h ^= (b >> (8 * k)) & 0xffu;
      h *= 1099511628211ull;
    }
  }
  return h;
}

}  // namespace vt::testing
