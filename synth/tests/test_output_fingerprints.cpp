// Output fingerprints: the bit patterns of the samples of the shipped example
// scores and of a set of varied calls (rates, section counts, VCV, every dx
// layout, transition kinds, several calls on one synthesiser), recorded once
// from a known-good build. Any reorganisation of the core, the simulator or
// the front ends must reproduce every one of them.
//
// Set VT_PRINT_FINGERPRINTS=1 to print the table instead of checking it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "synth/default_utterance.h"
#include "synth/score_json.h"
#include "synth/synthesis_core.h"

namespace vt {
namespace {

std::uint64_t fnv1a(const std::vector<float>& x, const std::string& printed) {
  std::uint64_t h = 1469598103934665603ull;
  auto mix = [&](unsigned char b) { h = (h ^ b) * 1099511628211ull; };
  for (float v : x) {
    std::uint32_t u;
    std::memcpy(&u, &v, 4);
    for (int i = 0; i < 4; ++i) mix(static_cast<unsigned char>(u >> (8 * i)));
  }
  for (char c : printed) mix(static_cast<unsigned char>(c));
  return h;
}

/// A vowel-consonant-vowel utterance with nvt sections and the given output
/// rate: an open tract, a constriction near the lips, open again; voicing
/// with a rising-falling F0 and an opening glottis in the constriction.
Score vcv(int nvt, double fs, double dur_ms, int dxLayout, int kindMix) {
  Score s;
  s.nss = ScoreMatrix::scalar(nvt);
  const double t[] = {0, 0.3 * dur_ms, 0.45 * dur_ms, 0.6 * dur_ms, dur_ms};
  const int F = 5;
  auto kind = [&](int m) { return kindMix == 0 ? 1.0 : double((m + kindMix) % 3); };
  std::vector<std::vector<double>> taf1(3), taf2(nvt, std::vector<double>(F));
  for (int m = 0; m < F; ++m) {
    taf1[0].push_back(t[m]);
    taf1[1].push_back(m == 0 ? 1 : (kindMix == 0 ? 2 : kind(m)));
    taf1[2].push_back(m == 2 ? 2 : (m == 3 ? -1 : 1));
    for (int l = 0; l < nvt; ++l) {
      const double x = nvt > 1 ? double(l) / (nvt - 1) : 0.5;
      double a = 0.7 + 3.0 * x * x + 0.4 * std::sin(2.0 * x + m);
      if (m == 2 && l == (nvt * 3) / 4) a = 0.09;
      taf2[l][m] = a;
    }
  }
  s.TAF1 = ScoreMatrix::fromRows(taf1);
  s.TAF2 = ScoreMatrix::fromRows(taf2);
  const double len = 17.0 / nvt;
  if (dxLayout == 0) {
    s.dx = ScoreMatrix::scalar(len);
  } else if (dxLayout == 1) {
    s.dx = ScoreMatrix::fromRows({{len, len * 1.05, len * 0.95, len * 1.1, len}});
  } else if (dxLayout == 2) {
    std::vector<std::vector<double>> d(nvt, std::vector<double>(F));
    for (int l = 0; l < nvt; ++l)
      for (int m = 0; m < F; ++m) d[l][m] = len * (0.9 + 0.02 * ((l + m) % 7));
    s.dx = ScoreMatrix::fromRows(d);
  } else {
    s.dx = ScoreMatrix::fromRows({{len * 1.02, 3.0, 4.0}});  // 1×N, N ≠ F: first value
  }
  s.TAg0 = ScoreMatrix::fromRows({{0, t[1], t[2], t[3], dur_ms},
                                  {0.04, 0.04, 0.3, 0.04, 0.02},
                                  {1, 1, 2, kindMix ? 0.0 : 2.0, 1}});
  s.TAgP = ScoreMatrix::fromRows({{0, 0.1 * dur_ms, t[1], t[3], 0.9 * dur_ms, dur_ms},
                                  {0, 0.2, 0.2, 0.15, 0.2, 0},
                                  {1, 2, 1, 2, 1, 2}});
  s.TF0 = ScoreMatrix::fromRows({{0, t[1], t[3], dur_ms},
                                 {110, 140, 125, 95},
                                 {1, kindMix ? 1.0 : 2.0, 2, kindMix == 2 ? 0.0 : 2.0}});
  if (fs != 10000.0) {
    s.hasFs = true;
    s.fs = ScoreMatrix::scalar(fs);
  }
  return s;
}

struct Case {
  std::string name;
  std::vector<Score> calls;  ///< made one after another on one synthesiser
};

std::vector<Case> cases() {
  std::vector<Case> c;
  auto load = [](const char* file) {
    Score s;
    std::string err;
    EXPECT_TRUE(loadScore(std::string(VT_SOURCE_DIR) + "/examples/" + file, s, err)) << err;
    return s;
  };
  c.push_back({"examples/asa.json", {load("asa.json")}});
  c.push_back({"examples/asa_files.json", {load("asa_files.json")}});
  c.push_back({"built-in /asa/", {defaultUtterance()}});
  c.push_back(
      {"built-in /asa/ three calls", {defaultUtterance(), defaultUtterance(), defaultUtterance()}});
  for (int nvt : {1, 2, 9, 17, 40})
    c.push_back({"nvt " + std::to_string(nvt), {vcv(nvt, 10000, 300, 0, 0)}});
  for (double fs : {8000.0, 16000.0, 22050.0, 44100.0, 11025.5})
    c.push_back({"fs " + std::to_string(fs), {vcv(17, fs, 200, 0, 0)}});
  for (int layout : {1, 2, 3})
    c.push_back({"dx layout " + std::to_string(layout), {vcv(13, 10000, 250, layout, 0)}});
  for (int mix : {1, 2})
    c.push_back({"kinds mixed " + std::to_string(mix), {vcv(21, 10000, 250, 0, mix)}});
  Score v = vcv(17, 10000, 250, 0, 0);
  v.hasFs = v.hasVCV = true;
  v.fs = ScoreMatrix::scalar(10000);
  v.VCV = ScoreMatrix::scalar(1);
  c.push_back({"VCV", {v}});
  Score v2 = vcv(40, 16000, 200, 2, 1);
  v2.hasFs = v2.hasVCV = true;
  v2.VCV = ScoreMatrix::scalar(3.7);
  c.push_back({"VCV 40 sections 16 kHz", {v2}});
  // Rates and the frication source carry across calls on one synthesiser.
  c.push_back({"two calls, rates change", {vcv(17, 16000, 150, 0, 0), vcv(17, 10000, 150, 1, 2)}});
  c.push_back(
      {"two calls, sections change", {vcv(40, 10000, 150, 2, 0), vcv(9, 10000, 150, 0, 1)}});
  // The glottal pulse under way at the end of one call continues in the next.
  Score cut = vcv(17, 10000, 100, 0, 0);
  cut.TAgP = ScoreMatrix::fromRows({{0, 20, 100}, {0.2, 0.2, 0.2}, {1, 1, 1}});
  c.push_back({"pulse under way carries over", {cut, vcv(17, 10000, 100, 0, 0)}});
  // TAg0 ends before TAgP; a kind-0 F0 start.
  Score late = vcv(17, 10000, 200, 0, 0);
  late.TAg0 = ScoreMatrix::fromRows({{0, 100}, {0.05, 0.05}, {1, 1}});
  late.TF0 = ScoreMatrix::fromRows({{0, 40, 200}, {100, 120, 130}, {1, 0, 1}});
  c.push_back({"TAg0 ends first, voiceless F0 start", {late}});
  Score single = vcv(17, 10000, 200, 0, 0);
  single.TAF1 = ScoreMatrix::fromRows({{0}, {1}, {1}});
  std::vector<std::vector<double>> one(17, std::vector<double>(1, 2.0));
  single.TAF2 = ScoreMatrix::fromRows(one);
  c.push_back({"single key frame", {single}});
  return c;
}

TEST(OutputFingerprints, EveryExampleAndVariedCallsKeepTheirBits) {
  // Expected fingerprints, in the order of cases() and their calls.
  static const std::vector<std::uint64_t> expected = {
#include "synth/tests/output_fingerprints.inc"
  };
  const bool print = std::getenv("VT_PRINT_FINGERPRINTS") != nullptr;
  std::size_t i = 0;
  for (const Case& c : cases()) {
    QuorvelSession q;
    for (std::size_t k = 0; k < c.calls.size(); ++k, ++i) {
      std::vector<ArgView> a = c.calls[k].args();
      SynthesisOutcome out = q.synthesize(1, static_cast<int>(a.size()), a.data());
      ASSERT_EQ(out.status, 0) << c.name << ": " << out.error;
      const std::uint64_t h = fnv1a(out.samples, out.printed);
      if (print) {
        std::printf("    0x%016llxull,  // %s, call %zu, %zu samples\n",
                    static_cast<unsigned long long>(h), c.name.c_str(), k + 1, out.samples.size());
        continue;
      }
      ASSERT_LT(i, expected.size()) << "no fingerprint recorded for " << c.name;
      EXPECT_EQ(h, expected[i]) << c.name << ", call " << k + 1;
    }
  }
  if (!print) {
    EXPECT_EQ(i, expected.size());
  }
}

}  // namespace
}  // namespace vt
