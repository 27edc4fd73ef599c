// Live block-by-block synthesis: equality with the score path, live lung
// pressure, velum and frication, refused controls.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "synth/default_utterance.h"
#include "synth/streaming_synthesizer.h"
#include "synth/synthesis_core.h"

namespace vt {
namespace {

/// The /a/ of the built-in utterance, 17 sections of 1 cm.
std::vector<area_function> vowelA() {
  const float a[17] = {1.0f, 0.8f, 0.6f, 0.5f, 0.5f, 0.6f, 0.8f, 1.2f, 2.0f,
                       3.0f, 4.0f, 5.0f, 5.5f, 6.0f, 6.0f, 5.0f, 4.0f};
  std::vector<area_function> t;
  for (float v : a) t.push_back({v, 1.0f});
  return t;
}

VoiceControls voiced(float Psub = 8.0f) {
  VoiceControls c;
  c.tract = vowelA();
  c.Psub_cmH2O = Psub;
  return c;
}

std::vector<float> renderBlocks(StreamingSynthesizer& v, int blocks, int n = 128) {
  std::vector<float> out(static_cast<std::size_t>(blocks) * n);
  for (int b = 0; b < blocks; ++b) v.render(std::span<float>(out).subspan(b * n, n));
  return out;
}

double rms(const std::vector<float>& s, std::size_t from = 0) {
  double e = 0;
  for (std::size_t i = from; i < s.size(); ++i) e += double{s[i]} * s[i];
  return std::sqrt(e / static_cast<double>(s.size() - from));
}

TEST(StreamingSynthesizer, ScoreReplayedSampleBySampleGivesTheScoreSamples) {
  // Record the score path's control values at every output sample, then
  // replay them as one-sample blocks: the glide ends exactly on each value.
  const Score score = defaultUtterance();
  QuorvelSession q;
  std::vector<VoiceControls> at;
  q.setTraceObserver([&](const SampleTrace& t) {
    VoiceControls c;
    c.Ag0_cm2 = t.g0;
    c.AgP_cm2 = t.gp;
    c.F0_Hz = t.f0;
    c.Psub_cmH2O = q.simulator().cfg.Psub;
    c.noiseSourceOffset = q.simulator().cfg.noiseSourceLoc;
    c.tract.assign(q.simulator().afvt, q.simulator().afvt + 17);
    at.push_back(c);
  });
  const std::vector<ArgView> args = score.args();
  const SynthesisOutcome ref = q.synthesize(1, static_cast<int>(args.size()), args.data());
  ASSERT_EQ(ref.status, 0) << ref.error;
  ASSERT_EQ(at.size(), 7001u);

  StreamingSynthesizer v(StreamSpec{}, at[0]);
  std::vector<float> s(at.size());
  for (std::size_t j = 0; j < at.size(); ++j) {
    ASSERT_EQ(v.setTargets(at[j]), "");
    v.render(std::span<float>(s).subspan(j, 1));
  }
  EXPECT_EQ(s, ref.samples);
  EXPECT_EQ(v.samplesRendered(), 7001u);
  EXPECT_EQ(v.simulator().frication_junction(), q.simulator().frication_junction());

  // Held controls: one block of 300 samples is 300 blocks of one.
  StreamingSynthesizer a(StreamSpec{}, voiced()), b(StreamSpec{}, voiced());
  std::vector<float> one(300), many(300);
  a.render(one);
  for (int k = 0; k < 300; ++k) b.render(std::span<float>(many).subspan(k, 1));
  EXPECT_EQ(one, many);
}

TEST(StreamingSynthesizer, LungPressureSetLiveActsLikeAVoiceStartedAtIt) {
  // A voice raised from 4 to 12 cm H2O reaches the loudness of one that
  // started at 12 (the network's pressure seed follows, not only the flow law).
  StreamingSynthesizer low(StreamSpec{}, voiced(4)), high(StreamSpec{}, voiced(12));
  const std::vector<float> quiet = renderBlocks(low, 20);
  ASSERT_EQ(low.setTargets(voiced(12)), "");
  const std::vector<float> raised = renderBlocks(low, 40);
  const std::vector<float> loud = renderBlocks(high, 60);
  const std::vector<float> loudEnd(loud.begin() + 20 * 128, loud.end());
  EXPECT_GT(rms(loudEnd, 20 * 128), 1.8 * rms(quiet, 10 * 128));
  EXPECT_NEAR(rms(raised, 20 * 128), rms(loudEnd, 20 * 128), 0.03 * rms(loudEnd, 20 * 128));
}

TEST(StreamingSynthesizer, VelumAndFricationActLive) {
  StreamSpec nasal;
  nasal.options.nasal_tract = true;
  for (int i = 0; i < 12; ++i) nasal.nasalTract.push_back({i == 11 ? 0.8f : 2.5f, 1.0f});
  ASSERT_EQ(checkStreamSpec(nasal), "");
  StreamingSynthesizer closed(nasal, voiced()), open(nasal, voiced());
  VoiceControls lowered = voiced();
  lowered.velum_cm2 = 1.0f;
  ASSERT_EQ(open.setTargets(lowered), "");
  const std::vector<float> c = renderBlocks(closed, 30), o = renderBlocks(open, 30);
  for (float x : o) ASSERT_TRUE(std::isfinite(x));
  // The open port takes flow from the mouth: the radiated sound changes.
  double diff = 0;
  for (std::size_t i = 0; i < c.size(); ++i) diff += std::fabs(double{c[i]} - o[i]);
  EXPECT_GT(diff / static_cast<double>(c.size()), 0.05 * rms(c));

  // Frication: open glottis, no voicing, section 12 narrowed to 0.05 cm²;
  // the noise source sits offset + 1 junctions past it and the sound grows.
  VoiceControls breath = voiced();
  breath.AgP_cm2 = 0;
  breath.Ag0_cm2 = 0.3f;
  StreamingSynthesizer f(StreamSpec{}, breath);
  const std::vector<float> before = renderBlocks(f, 10);
  breath.tract[12].A = 0.05f;
  breath.noiseSourceOffset = 2;
  ASSERT_EQ(f.setTargets(breath), "");
  const std::vector<float> during = renderBlocks(f, 20);
  EXPECT_EQ(f.simulator().frication_junction(), 12 + 2 + 1);
  EXPECT_GT(rms(during, 5 * 128), 3 * rms(before, 5 * 128));
}

TEST(StreamingSynthesizer, RefusedControlsChangeNothing) {
  StreamingSynthesizer v(StreamSpec{}, voiced());
  VoiceControls bad = voiced();
  bad.tract.pop_back();
  EXPECT_NE(v.setTargets(bad).find("17 sections"), std::string::npos);
  bad = voiced();
  bad.tract[3].A = std::nanf("");
  EXPECT_NE(v.setTargets(bad), "");
  bad = voiced();
  bad.tract[3].x = 0;
  EXPECT_NE(v.setTargets(bad), "");
  bad = voiced();
  bad.F0_Hz = 4000;  // above a quarter of 10 kHz
  EXPECT_NE(v.setTargets(bad).find("F0_Hz"), std::string::npos);
  bad = voiced();
  bad.Psub_cmH2O = -1;
  EXPECT_NE(v.setTargets(bad), "");
  EXPECT_EQ(v.targets().tract.size(), 17u);
  EXPECT_EQ(v.targets().F0_Hz, 120.0f);

  StreamSpec s;
  s.nvt = 41;
  EXPECT_NE(checkStreamSpec(s), "");
  s = StreamSpec{};
  s.options.nasal_tract = true;  // no nasal cavity given
  EXPECT_NE(checkStreamSpec(s), "");
  EXPECT_THROW(StreamingSynthesizer(s, voiced()), std::invalid_argument);
}

}  // namespace
}  // namespace vt
