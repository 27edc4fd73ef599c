// Whole quorvel synthesis calls through the host-free core: the built-in /asa/
// (0.7 s, 17 sections) and a 10-second utterance with 40 sections, at 10 kHz.
// The counter "realtime" is seconds of speech synthesised per second of CPU
// wall time (the real-time factor; above 1 is faster than real time).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "synth/default_utterance.h"
#include "synth/score_json.h"
#include "synth/synthesis_core.h"

namespace {

/// 10 s of alternating vowel-like and constricted tract shapes, 40 sections of
/// 0.45 cm, a key frame every 250 ms, voicing with a slow F0 wave.
vt::Score longUtterance() {
  constexpr int nvt = 40, frames = 41;
  vt::Score s;
  s.nss = vt::ScoreMatrix::scalar(nvt);
  std::vector<std::vector<double>> ag0(3), agp(3), f0(3), taf1(3);
  std::vector<std::vector<double>> taf2(nvt, std::vector<double>(frames));
  for (int m = 0; m < frames; ++m) {
    const double t = 250.0 * m;
    taf1[0].push_back(t);
    taf1[1].push_back(m == 0 ? 1 : 2);
    taf1[2].push_back(1);
    const bool closed = m % 4 == 2;  // every fourth frame a fricative constriction
    for (int l = 0; l < nvt; ++l) {
      const double x = double(l) / (nvt - 1);
      double area = 0.6 + 4.0 * x * x + 0.5 * std::sin(3.0 * x + m);
      if (closed && l == nvt - 6) area = 0.1;
      taf2[l][m] = area;
    }
    ag0[0].push_back(t);
    ag0[1].push_back(closed ? 0.3 : 0.04);
    ag0[2].push_back(2);
    agp[0].push_back(t);
    agp[1].push_back(closed || m == 0 || m == frames - 1 ? 0.0 : 0.18);
    agp[2].push_back(2);
    f0[0].push_back(t);
    f0[1].push_back(120.0 + 20.0 * std::sin(0.3 * m));
    f0[2].push_back(2);
  }
  s.TAg0 = vt::ScoreMatrix::fromRows(ag0);
  s.TAgP = vt::ScoreMatrix::fromRows(agp);
  s.TF0 = vt::ScoreMatrix::fromRows(f0);
  s.TAF1 = vt::ScoreMatrix::fromRows(taf1);
  s.TAF2 = vt::ScoreMatrix::fromRows(taf2);
  s.dx = vt::ScoreMatrix::scalar(0.45);
  return s;
}

void runScore(benchmark::State& state, const vt::Score& score) {
  vt::QuorvelSession session;
  const std::vector<vt::ArgView> args = score.args();
  double seconds = 0.0;
  for (auto _ : state) {
    vt::SynthesisOutcome out = session.synthesize(1, static_cast<int>(args.size()), args.data());
    if (out.status != 0) {
      state.SkipWithError(out.error.c_str());
      return;
    }
    benchmark::DoNotOptimize(out.samples.data());
    seconds += out.samples.size() / score.outputRate();
  }
  state.counters["realtime"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
}

void BM_SynthesisDefaultUtterance(benchmark::State& state) {
  runScore(state, vt::defaultUtterance());
}
BENCHMARK(BM_SynthesisDefaultUtterance)->Unit(benchmark::kMillisecond);

void BM_Synthesis10s40Sections(benchmark::State& state) { runScore(state, longUtterance()); }
BENCHMARK(BM_Synthesis10s40Sections)->Unit(benchmark::kMillisecond);

}  // namespace
