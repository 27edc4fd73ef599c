// The whole airway through the synthesiser: 1 s of a 17-section vowel-nasal-
// vowel at 10 kHz with the nasal branch (3 coupling + 16 nasal sections) and
// the 20-section trachea, against the same utterance with quorvel's default
// network, and with every internal signal requested. The counter "realtime"
// is seconds of speech per second of wall time.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "synth/internal_signals.h"
#include "synth/synthesizer.h"

namespace {

vt::SynthesisRequest vowelNasalVowel(bool nasal, bool trachea) {
  using vt::Transition;
  vt::SynthesisRequest rq;
  rq.nvt = 17;
  rq.TAg0 = {{0, 0.02, Transition::Linear}, {1000, 0.02, Transition::Linear}};
  rq.TAgP = {{0, 0, Transition::Linear},
             {60, 0.15, Transition::Cosine},
             {940, 0.15, Transition::Linear},
             {1000, 0, Transition::Cosine}};
  rq.TF0 = {{0, 115, Transition::Linear},
            {500, 125, Transition::Cosine},
            {1000, 100, Transition::Cosine}};
  const std::vector<double> a = {0.3, 0.25, 0.5, 0.9, 0.5, 0.3, 0.3, 0.6, 1.5,
                                 2.8, 4.5,  6.2, 6.0, 4.5, 4.0, 4.2, 4.8};
  std::vector<double> closed = a;
  closed[15] = closed[16] = 0.0;
  const std::vector<double> dx(17, 1.0);
  rq.frames = {{0, Transition::Linear, 1, a, dx},        {300, Transition::Linear, 1, a, dx},
               {380, Transition::Cosine, 1, closed, dx}, {620, Transition::Linear, 1, closed, dx},
               {700, Transition::Cosine, 1, a, dx},      {1000, Transition::Linear, 1, a, dx}};
  rq.options.nasal_tract = nasal;
  rq.options.subGLTsystem = trachea;
  rq.options.velum = {{0, 0, Transition::Linear},     {300, 0, Transition::Linear},
                      {380, 1.0, Transition::Cosine}, {620, 1.0, Transition::Linear},
                      {700, 0, Transition::Cosine},   {1000, 0, Transition::Linear}};
  return rq;
}

void run(benchmark::State& state, const vt::SynthesisRequest& rq) {
  vt::Synthesizer synth;
  double seconds = 0.0;
  for (auto _ : state) {
    vt::SynthesisResult out = synth.synthesize(rq);
    benchmark::DoNotOptimize(out.samples.data());
    seconds += static_cast<double>(out.samples.size()) / rq.smpfrq;
  }
  state.counters["realtime"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
}

void BM_DefaultNetwork17(benchmark::State& state) { run(state, vowelNasalVowel(false, false)); }
void BM_NasalAndTrachea17(benchmark::State& state) { run(state, vowelNasalVowel(true, true)); }
void BM_NasalAndTracheaWithSignals17(benchmark::State& state) {
  vt::SynthesisRequest rq = vowelNasalVowel(true, true);
  for (const vt::InternalSignalInfo& s : vt::internalSignals()) rq.signals.push_back(s.name);
  run(state, rq);
}

BENCHMARK(BM_DefaultNetwork17)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NasalAndTrachea17)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NasalAndTracheaWithSignals17)->Unit(benchmark::kMillisecond);

}  // namespace
