// The synthesis driver loop; lengths, VCV and dx layouts are shown through Octave.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "synth/default_utterance.h"
#include "synth/score_json.h"
#include "synth/synthesis_core.h"

namespace vt {
namespace {

/// A short, well-formed call: 4 sections, two key frames, voiced at 160 Hz.
Score shortCall() {
  Score s;
  std::string err;
  EXPECT_TRUE(parseScore(R"({"nss": 4, "TAg0": [[0, 30], [0.05, 0.05], [1, 1]],
      "TAgP": [[0, 30], [0.2, 0.2], [1, 1]], "TF0": [[0, 30], [160, 160], [1, 1]],
      "TAF1": [[0, 30], [1, 1], [1, 1]], "TAF2": [[1, 1], [2, 2], [3, 3], [2, 2]], "dx": 1})",
                         s, err))
      << err;
  return s;
}

SynthesisOutcome run(QuorvelSession& q, const Score& s) {
  std::vector<ArgView> a = s.args();
  return q.synthesize(1, static_cast<int>(a.size()), a.data());
}

/// (sample, period) of every glottal period start of a fresh session.
std::vector<std::pair<unsigned, int>> periodStarts(const Score& s) {
  QuorvelSession q;
  std::vector<std::pair<unsigned, int>> starts;
  std::vector<float> traced;
  q.setTraceObserver([&](const SampleTrace& t) {
    if (t.period != 0) starts.emplace_back(t.j, t.period);
    traced.push_back(t.s);
  });
  EXPECT_EQ(run(q, s).status, 0);
  // Observed or not (the loop without an observer completes each sample's
  // output sum one call late), the samples are the same.
  QuorvelSession plain;
  const std::vector<float> samples = run(plain, s).samples;
  EXPECT_EQ(0, std::memcmp(traced.data(), samples.data(), samples.size() * sizeof(float)));
  EXPECT_EQ(traced.size(), samples.size());
  return starts;
}

TEST(SynthesisCore, GlottalPeriodsFollowF0) {
  // 160 Hz at 10 kHz: 62.5 samples, rounded half up to 63.
  EXPECT_EQ(periodStarts(shortCall()).at(1), std::make_pair(63u, 63));

  // A kind-0 first F0 segment up to 20 ms: the first pulse starts at its
  // end, sample 200, with the F0 found there (125 Hz: 80 samples).
  Score s = shortCall();
  s.TF0 = ScoreMatrix::fromRows({{0, 20, 30}, {100, 125, 125}, {1, 0, 1}});
  EXPECT_EQ(periodStarts(s).at(0), std::make_pair(200u, 80));

  // F0 of 0 at a period start gives no pulse, and none follows.
  s.TF0 = ScoreMatrix::fromRows({{0, 30}, {0, 0}, {1, 1}});
  EXPECT_TRUE(periodStarts(s).empty());

  // Glottal tracks without break points end at once: one sample.
  s.TAg0 = s.TAgP = ScoreMatrix::fromRows({{}, {}, {}});
  QuorvelSession q;
  EXPECT_EQ(run(q, s).samples.size(), 1u);
}

TEST(SynthesisCore, SessionsShareNothing) {
  // Two calls per session, so the state carried from call to call is compared too.
  const Score s = defaultUtterance();
  auto twoCalls = [&] {
    QuorvelSession q;
    std::vector<float> a = run(q, s).samples, b = run(q, s).samples;
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const std::vector<float> alone = twoCalls();
  std::vector<float> t1;
  std::thread other([&] { t1 = twoCalls(); });
  const std::vector<float> t2 = twoCalls();
  other.join();
  EXPECT_EQ(t1, alone);
  EXPECT_EQ(t2, alone);
}

TEST(SynthesisCore, FailedCallsLeaveTheSessionUsable) {
  QuorvelSession q;
  Score bad = shortCall();
  bad.hasFs = true;
  bad.fs = ScoreMatrix::scalar(16000);
  bad.nss = ScoreMatrix::fromRows({{17, 17}});
  SynthesisOutcome r = run(q, bad);
  EXPECT_EQ(r.error.rfind("quorvel argument checking failed.", 0), 0u) << r.error;
  EXPECT_EQ(q.rates().simfrq, 48000.0f);  // the failed check's rates stay

  // An output beyond the memory limit is refused before any sample is
  // computed (it failed only once the buffer had grown past the limit);
  // the next call works.
  std::size_t traced = 0;
  q.setTraceObserver([&](const SampleTrace&) { ++traced; });
  q.setOutputLimit(300);
  r = run(q, shortCall());
  EXPECT_EQ(r.error,
            "quorvel argument checking failed. The output would hold 301 samples (0.0301 s at "
            "10000 Hz), more than the 300 this machine's memory allows; shorten TAg0/TAgP or "
            "lower fs.");
  EXPECT_EQ(traced, 0u);
  q.setOutputLimit(301);
  EXPECT_EQ(run(q, shortCall()).samples.size(), 301u);
  q.setOutputLimit(0);

  // An interrupt stops the call with everything released; the next call runs.
  int polls = 0;
  q.synthesizer().setInterruptCheck([&] { return ++polls == 1; });
  Score longer = shortCall();
  longer.TAg0 = ScoreMatrix::fromRows({{0, 3000}, {0.05, 0.05}, {1, 1}});
  r = run(q, longer);
  EXPECT_EQ(r.error, kInterruptedError);
  EXPECT_TRUE(r.samples.empty());
  EXPECT_EQ(run(q, longer).samples.size(), 30001u);
  r = run(q, shortCall());
  EXPECT_EQ(r.samples.size(), 301u) << r.error;
}

}  // namespace
}  // namespace vt
