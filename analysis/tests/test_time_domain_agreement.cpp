// The frequency-domain model against the time-domain simulator: one glottal
// pulse, then a closed glottis; the resonances of the free decay (read off
// the decaying radiated flow) must be those the analysis predicts under the
// trapezoidal mapping at the simulation rate.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

#include "analysis/decay_resonances.h"
#include "analysis/tract_analysis.h"
#include "artic/vtaf_file.h"
#include "simulator/simulator.h"

namespace vt::analysis {
namespace {

using cplx = std::complex<double>;
constexpr float kRate = 30000.0f;  // simulation rate, one step per sample

// Radiated volume velocity (lips + nostrils) of a free decay: a glottal pulse
// that opens at once to 0.15 cm² and closes linearly over 2 ms (a spectrum
// without zeros, so that every resonance is excited), then the glottis
// closed; returns the samples from 2 ms after the pulse, less their final
// (stationary) value. 0.6 s lets the narrowest resonances die out.
std::vector<double> free_decay(const std::vector<area_function>& tract,
                               const std::optional<NasalBranch>& nasal) {
  Simulator sim;
  SimConfig& cfg = sim.cfg;
  cfg.nvt = static_cast<int>(tract.size());
  cfg.simfrq = cfg.smpfrq = kRate;
  cfg.vocal_tract = cfg.wall = cfg.rad_boundary = 1;
  cfg.noise_source = 0;
  sim.afvt = tract.data();
  if (nasal) {
    cfg.nasal_tract = 1;
    cfg.nbp = nasal->branch_section;
    cfg.nnc = nasal->coupling_sections;
    cfg.sinus_cavity = nasal->sinus ? 1 : 0;
    sim.afnt = nasal->sections.data();
    sim.nnt = static_cast<int>(nasal->sections.size());
  }
  const int pulse = static_cast<int>(0.002 * kRate), start = pulse + 60;
  const int total = static_cast<int>(0.6 * kRate);
  std::vector<double> y;
  for (int j = 0; j < total; ++j) {
    sim.Ag = j < pulse ? 0.15f * static_cast<float>(pulse - j) / pulse : 0.0f;
    if (j == 0) sim.vtt_ini();
    sim.vtt_sim();
    const SimLayout& L = sim.layout();
    double u =
        nasal ? sim.eqbu_rows()[L.nbu3].val + sim.eqnt_rows()[L.nnt3].val : sim.eq_rows()[L.n3].val;
    if (j >= start) y.push_back(u);
  }
  sim.vtt_term();
  const double last = y.back();
  for (double& v : y) v -= last;
  return y;
}

void expect_agreement(const std::string& what, const std::vector<area_function>& tract,
                      const std::optional<NasalBranch>& nasal = std::nullopt) {
  AnalysisSetup setup;
  setup.physics.simfrq = kRate;
  setup.mapping = FrequencyMapping::Trapezoidal;
  const TractAnalysis model(tract, setup, nasal);
  const auto predicted = model.formants(4800);
  ASSERT_GE(predicted.size(), 4u) << what;
  const auto decay = free_decay(tract, nasal);
  const auto measured = decayResonances(decay, kRate, 4800);
  for (int k = 0; k < 4; ++k) {
    const Resonance& p = predicted[k];
    double best = 1e9, best_bw = 0;
    for (const Resonance& m : measured)
      if (std::abs(m.frequency_hz - p.frequency_hz) < std::abs(best - p.frequency_hz))
        best = m.frequency_hz, best_bw = m.bandwidth_hz;
    EXPECT_NEAR(best, p.frequency_hz, 0.01 * p.frequency_hz) << what << " F" << k + 1;
    EXPECT_NEAR(best_bw, p.bandwidth_hz, 0.1 * p.bandwidth_hz + 3) << what << " B" << k + 1;
  }
}

std::vector<area_function> library_vowel(const std::string& name) {
  return readVTAFContents(std::string(VT_SOURCE_DIR) + "/examples/tracts/vowels/" + name + ".txt",
                          false)
      .sections;
}

TEST(TimeDomainAgreement, UniformTubesAndPublishedVowelsAt17And40Sections) {
  expect_agreement("uniform 17", std::vector<area_function>(17, {3.0f, 1.0f}));
  expect_agreement("uniform 40", std::vector<area_function>(40, {3.0f, 17.0f / 40}));
  for (const char* v : {"a", "i", "u"})
    for (const char* n : {"17", "40"}) {
      const std::string name = std::string(v) + "_story1996_" + n;
      expect_agreement(name, library_vowel(name));
    }
}

TEST(TimeDomainAgreement, NasalBranchWithSinus) {
  NasalBranch nb;
  nb.branch_section = 9;
  nb.coupling_sections = 3;
  nb.sections.assign(3, {0.5f, 0.6f});
  nb.sections.resize(16, {1.5f, 0.7f});
  nb.sinus = true;
  expect_agreement("nasalised a", library_vowel("a_story1996_17"), nb);
}

}  // namespace
}  // namespace vt::analysis
