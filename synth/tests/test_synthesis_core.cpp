// The synthesis driver loop: output length, glottal period placement, stop
// rule, VCV report, section-length layouts, state carried by a session,
// independence of sessions, and the out-of-memory path.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "synth/default_utterance.h"
#include "synth/score_json.h"
#include "synth/synthesis_core.h"

namespace vt {
namespace {

using Rows = std::vector<std::vector<double>>;

/// A short, well-formed call: 4 sections, two key frames, voiced throughout.
Score shortCall(double ms = 30.0, double f0 = 160.0) {
  Score s;
  s.nss = ScoreMatrix::scalar(4);
  s.TAg0 = ScoreMatrix::fromRows({{0, ms}, {0.05, 0.05}, {1, 1}});
  s.TAgP = ScoreMatrix::fromRows({{0, ms}, {0.2, 0.2}, {1, 1}});
  s.TF0 = ScoreMatrix::fromRows({{0, ms}, {f0, f0}, {1, 1}});
  s.TAF1 = ScoreMatrix::fromRows({{0, ms}, {1, 1}, {1, 1}});
  s.TAF2 = ScoreMatrix::fromRows({{1, 1}, {2, 2}, {3, 3}, {2, 2}});
  s.dx = ScoreMatrix::scalar(1.0);
  return s;
}

SynthesisOutcome run(QuorvelSession& q, const Score& s) {
  std::vector<ArgView> a = s.args();
  return q.synthesize(1, static_cast<int>(a.size()), a.data());
}

SynthesisOutcome runFresh(const Score& s) {
  QuorvelSession q;
  return run(q, s);
}

/// Sample indices at which a glottal period started, and their lengths.
std::vector<std::pair<unsigned, int>> periodStarts(const Score& s) {
  QuorvelSession q;
  std::vector<std::pair<unsigned, int>> starts;
  q.setTraceObserver([&](const SampleTrace& t) {
    if (t.period != 0) starts.emplace_back(t.j, t.period);
  });
  EXPECT_EQ(run(q, s).status, 0);
  return starts;
}

TEST(SynthesisCore, OutputLengthIsLastGlottalBreakPointSamplePlusOne) {
  Score s = shortCall();
  s.TAgP = ScoreMatrix::fromRows({{0, 50}, {0.2, 0.2}, {1, 1}});  // ends after TAg0
  EXPECT_EQ(runFresh(s).samples.size(), 501u);                   // 10 samples per ms
  s.hasFs = true;
  s.fs = ScoreMatrix::scalar(16000);
  EXPECT_EQ(runFresh(s).samples.size(), 801u);
  s.fs = ScoreMatrix::scalar(44100);
  s.TAgP = ScoreMatrix::fromRows({{0, 90}, {0.2, 0.2}, {1, 1}});
  EXPECT_EQ(runFresh(s).samples.size(), 3969u);  // 90 ms lies on sample 3968 at 44.1 kHz

  // Both glottal tracks without break points: they end at sample 0.
  s = shortCall();
  s.TAg0 = ScoreMatrix::fromRows({{}, {}, {}});
  s.TAgP = ScoreMatrix::fromRows({{}, {}, {}});
  SynthesisOutcome one = runFresh(s);
  ASSERT_EQ(one.status, 0) << one.error;
  EXPECT_EQ(one.samples.size(), 1u);
}

TEST(SynthesisCore, OutputGrowsPastTheFirstBufferIntact) {
  // 1.0005 s at 10 kHz = 10006 samples; the samples written before the
  // buffer grew must survive: compare with the first 10000 of a longer run.
  Score a = shortCall(1000.5), b = shortCall(1200.0);
  b.TAg0 = ScoreMatrix::fromRows({{0, 1000.5, 1200}, {0.05, 0.05, 0.05}, {1, 1, 1}});
  b.TAgP = ScoreMatrix::fromRows({{0, 1000.5, 1200}, {0.2, 0.2, 0.2}, {1, 1, 1}});
  b.TF0 = ScoreMatrix::fromRows({{0, 1000.5, 1200}, {160, 160, 160}, {1, 1, 1}});
  b.TAF1 = ScoreMatrix::fromRows({{0, 1000.5, 1200}, {1, 1, 1}, {1, 1, 1}});
  b.TAF2 = ScoreMatrix::fromRows({{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {2, 2, 2}});
  a.TAF1 = ScoreMatrix::fromRows({{0, 1000.5}, {1, 1}, {1, 1}});
  SynthesisOutcome ra = runFresh(a), rb = runFresh(b);
  ASSERT_EQ(ra.samples.size(), 10006u);
  ASSERT_EQ(rb.samples.size(), 12001u);
  for (std::size_t i = 0; i < ra.samples.size(); ++i) ASSERT_EQ(ra.samples[i], rb.samples[i]) << i;
}

TEST(SynthesisCore, GlottalPeriodsFollowF0) {
  // 160 Hz at 10 kHz: 62.5 samples, rounded half up to 63; 150 Hz: 66.67 -> 67.
  auto p160 = periodStarts(shortCall(30.0, 160.0));
  ASSERT_GE(p160.size(), 2u);
  EXPECT_EQ(p160[0], std::make_pair(0u, 63));
  EXPECT_EQ(p160[1], std::make_pair(63u, 63));
  auto p150 = periodStarts(shortCall(30.0, 150.0));
  ASSERT_GE(p150.size(), 2u);
  EXPECT_EQ(p150[0], std::make_pair(0u, 67));
  EXPECT_EQ(p150[1], std::make_pair(67u, 67));

  // A voiceless (kind 0) first F0 segment up to 20 ms: the first pulse starts
  // at its end, sample 200, with the F0 found there.
  Score s = shortCall(40.0);
  s.TF0 = ScoreMatrix::fromRows({{0, 20, 40}, {100, 125, 125}, {1, 0, 1}});
  auto v = periodStarts(s);
  ASSERT_GE(v.size(), 1u);
  EXPECT_EQ(v[0], std::make_pair(200u, 80));

  // F0 of 0 at a period start gives no pulse, and none follows.
  s.TF0 = ScoreMatrix::fromRows({{0, 40}, {0, 0}, {1, 1}});
  EXPECT_TRUE(periodStarts(s).empty());
}

TEST(SynthesisCore, GlottalAreaIsSmoothedPulsePlusBaseline) {
  QuorvelSession q;
  std::vector<SampleTrace> tr;
  q.setTraceObserver([&](const SampleTrace& t) { tr.push_back(t); });
  SynthesisOutcome r = run(q, shortCall());
  ASSERT_EQ(r.status, 0);
  ASSERT_EQ(tr.size(), r.samples.size());
  float prev = 0.0f;
  bool pulsed = false;
  for (const SampleTrace& t : tr) {
    const float raw = t.pulse + t.g0;
    EXPECT_EQ(t.Ag, static_cast<float>((0.8 * prev + raw) / 1.8)) << t.j;
    prev = t.Ag;
    pulsed = pulsed || t.pulse > 0.0f;
    EXPECT_EQ(t.s, r.samples[t.j]);
  }
  EXPECT_TRUE(pulsed);
}

TEST(SynthesisCore, VcvReportsTheNarrowestSectionOncePerCall) {
  Score s = shortCall();
  s.hasFs = s.hasVCV = true;
  s.fs = ScoreMatrix::scalar(10000);
  s.VCV = ScoreMatrix::scalar(1.9);  // truncated to 1
  // Frame 0: tie between sections 1 and 3 -> the later one.
  s.TAF2 = ScoreMatrix::fromRows({{2, 1}, {0.5, 1}, {3, 1}, {0.5, 1}});
  s.TAF1 = ScoreMatrix::fromRows({{0, 30}, {1, 1}, {1, -1}});  // frame 1 takes no part
  EXPECT_EQ(runFresh(s).printed, "nAcc[3]\n");
  // The last qualifying frame decides; frames above 999 cm² never qualify.
  s.TAF1 = ScoreMatrix::fromRows({{0, 30}, {1, 1}, {1, 0}});
  s.TAF2 = ScoreMatrix::fromRows({{2, 0.2}, {0.5, 1}, {3, 1}, {0.5, 1}});
  EXPECT_EQ(runFresh(s).printed, "nAcc[0]\n");
  s.TAF2 = ScoreMatrix::fromRows({{1000, 1000}, {1000, 1000}, {1000, 1000}, {1000, 1000}});
  EXPECT_EQ(runFresh(s).printed, "nAcc[0]\n");
  s.TAF2 = ScoreMatrix::fromRows({{2, 1000}, {0.5, 1000}, {0.4, 1000}, {3, 1000}});
  EXPECT_EQ(runFresh(s).printed, "nAcc[2]\n");  // frame 1 leaves frame 0's choice
  s.VCV = ScoreMatrix::scalar(0);
  EXPECT_EQ(runFresh(s).printed, "");
}

TEST(SynthesisCore, SectionLengthLayouts) {
  Score s = shortCall();
  const std::vector<float> ref = runFresh(s).samples;
  Score perFrame = s;
  perFrame.dx = ScoreMatrix::fromRows({{1, 1}});
  EXPECT_EQ(runFresh(perFrame).samples, ref);
  Score full = s;
  full.dx = ScoreMatrix::fromRows({{1, 1}, {1, 1}, {1, 1}, {1, 1}});
  EXPECT_EQ(runFresh(full).samples, ref);
  Score otherRow = s;  // 1xN with N != F: its first value everywhere
  otherRow.dx = ScoreMatrix::fromRows({{1, 3, 5}});
  EXPECT_EQ(runFresh(otherRow).samples, ref);

  // One length per frame equals the nvt x F matrix of those columns.
  perFrame.dx = ScoreMatrix::fromRows({{1, 1.3}});
  full.dx = ScoreMatrix::fromRows({{1, 1.3}, {1, 1.3}, {1, 1.3}, {1, 1.3}});
  const std::vector<float> moving = runFresh(perFrame).samples;
  EXPECT_NE(moving, ref);
  EXPECT_EQ(runFresh(full).samples, moving);
}

TEST(SynthesisCore, NssIsTruncated) {
  Score s = shortCall();
  s.nss = ScoreMatrix::scalar(4.9);
  EXPECT_EQ(runFresh(s).samples, runFresh(shortCall()).samples);
}

TEST(SynthesisCore, SessionCarriesNoiseAndPulseStateOnly) {
  const Score s = defaultUtterance();
  QuorvelSession q;
  SynthesisOutcome first = run(q, s), second = run(q, s);
  ASSERT_EQ(first.status, 0);
  ASSERT_EQ(second.status, 0);
  ASSERT_EQ(first.samples.size(), second.samples.size());
  EXPECT_NE(first.samples, second.samples);  // noise and pulse state moved on
  // ...but only slightly: the voiced parts are nearly the same waveform.
  double diff = 0.0, energy = 0.0;
  for (std::size_t i = 0; i < first.samples.size(); ++i) {
    diff += std::pow(first.samples[i] - second.samples[i], 2);
    energy += std::pow(first.samples[i], 2);
  }
  EXPECT_LT(diff, 0.01 * energy);
  EXPECT_EQ(runFresh(s).samples, first.samples);  // a fresh session repeats the first call
}

TEST(SynthesisCore, RejectedCallsKeepRatesAndLeaveTheSessionUsable) {
  QuorvelSession q;
  Score bad = shortCall();
  bad.hasFs = true;
  bad.fs = ScoreMatrix::scalar(16000);
  bad.nss = ScoreMatrix::fromRows({{17, 17}});
  SynthesisOutcome r = run(q, bad);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.error.rfind("quorvel argument checking failed.", 0), 0u) << r.error;
  EXPECT_EQ(q.rates().smpfrq, 16000.0f);
  EXPECT_EQ(q.rates().simfrq, 48000.0f);

  std::vector<ArgView> six = shortCall().args();
  six.pop_back();
  r = q.synthesize(1, 6, six.data());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.printed,
            "Incorrect calling syntax:\n [SIG] = quorvel(nss,TAg0,TAgP,TF0,TAF1,TAF2,dx,[fs])\n"
            "nlhs is 1, nrhs is 6.\n");

  SynthesisOutcome good = run(q, shortCall());
  EXPECT_EQ(good.status, 0);
  EXPECT_EQ(good.samples.size(), 301u);
}

TEST(SynthesisCore, OutputThatCannotBeAllocatedIsAnError) {
  QuorvelSession q;
  q.setOutputLimit(100);
  SynthesisOutcome r = run(q, shortCall());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.error, "out of memory for 101 output samples");
  EXPECT_TRUE(r.samples.empty());
  q.setOutputLimit(0);
  r = run(q, shortCall());
  ASSERT_EQ(r.status, 0) << r.error;  // the simulator was torn down and rebuilds
  EXPECT_EQ(r.samples.size(), 301u);
  for (float v : r.samples) ASSERT_TRUE(std::isfinite(v));
}

TEST(SynthesisCore, SessionsOnTwoThreadsMatchEachAlone) {
  const Score s = defaultUtterance();
  // Each thread runs two calls, so carried state is part of the comparison.
  auto twoCalls = [&] {
    QuorvelSession q;
    std::vector<float> a = run(q, s).samples, b = run(q, s).samples;
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const std::vector<float> alone = twoCalls();
  std::vector<float> t1, t2;
  std::thread a([&] { t1 = twoCalls(); });
  std::thread b([&] { t2 = twoCalls(); });
  a.join();
  b.join();
  EXPECT_EQ(t1, alone);
  EXPECT_EQ(t2, alone);
}

TEST(DefaultUtterance, SoundsLikeVowelFricativeVowel) {
  const std::vector<float> x = runFresh(defaultUtterance()).samples;
  ASSERT_EQ(x.size(), 7001u);  // 700 ms at 10 kHz
  // RMS and high-frequency share (energy of the first difference over the
  // energy of the signal: 0 for DC, 4 at Nyquist) of a stretch in ms.
  auto stats = [&](int from, int to) {
    double e = 0.0, d = 0.0;
    for (int i = from * 10; i < to * 10; ++i) {
      e += double(x[i]) * x[i];
      d += std::pow(double(x[i]) - x[i - 1], 2);
    }
    return std::make_pair(std::sqrt(e / ((to - from) * 10)), d / e);
  };
  for (float v : x) ASSERT_TRUE(std::isfinite(v));
  auto [rmsA1, hfA1] = stats(50, 170);
  auto [rmsS, hfS] = stats(270, 360);
  auto [rmsA2, hfA2] = stats(470, 640);
  // Vowels around 0.1 .. 1 dyn/cm² at 100 cm (60-75 dB SPL).
  EXPECT_GT(rmsA1, 0.05);
  EXPECT_LT(rmsA1, 2.0);
  EXPECT_GT(rmsA2, 0.05);
  EXPECT_LT(rmsA2, 2.0);
  // The fricative is quieter but present, and dominated by high frequencies.
  EXPECT_GT(rmsS, 0.003);
  EXPECT_LT(rmsS, rmsA1);
  EXPECT_GT(hfS, 5 * hfA1);
  EXPECT_GT(hfS, 5 * hfA2);
}

}  // namespace
}  // namespace vt
