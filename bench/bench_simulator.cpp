// Real-time factor of the vocal-tract simulator: one second of output at
// 10 kHz (30 kHz simulation) with a moving vocal tract and a pulsing glottis
// (the reference drive). The drive is computed beforehand, so only vtt_ini,
// 10000 vtt_sim calls and vtt_term are timed. Networks: the synthesiser's
// single chain, the same with the nasal branch coupled at the velum (three
// systems), with the trachea below the glottis, and several single chains
// advanced in lockstep; each network also with its output summation
// deferred to the next call (as the synthesiser drives it).
#include <benchmark/benchmark.h>

#include <vector>

#include "simulator/reference_drive.h"
#include "simulator/simulator.h"

namespace {

enum class Network { SingleChain, NasalBranch, Trachea };

struct Drive {
  int nvt;
  std::vector<float> Ag;
  std::vector<std::vector<vt::area_function>> af;
  explicit Drive(int n) : nvt(n), Ag(10000), af(10000) {
    for (int j = 0; j < 10000; ++j) {
      Ag[j] = vt::drive::drive_Ag(j);
      vt::drive::drive_af(j, nvt, af[j]);
    }
  }
};

// Nasal area function: three velum sections of 0.4 cm², ten of 1.2 cm², 1 cm each.
const std::vector<vt::area_function> kNasal = [] {
  std::vector<vt::area_function> a(13, {1.2f, 1.0f});
  a[0].A = a[1].A = a[2].A = 0.4f;
  return a;
}();

void simulate(benchmark::State& state, Network net, bool deferred = false) {
  const int nvt = static_cast<int>(state.range(0));
  const Drive drive(nvt);
  vt::Simulator sim;
  vt::drive::gateway_config(sim.cfg, nvt);
  if (net == Network::NasalBranch) {
    sim.cfg.nasal_tract = 1;
    sim.afnt = kNasal.data();
    sim.nnt = static_cast<int>(kNasal.size());
  }
  if (net == Network::Trachea) sim.cfg.subGLTsystem = 1;
  float sink = 0.0f;
  for (auto _ : state) {
    sim.afvt = drive.af[0].data();
    sim.Ag = drive.Ag[0];
    sim.vtt_ini();
    for (int j = 0; j < 10000; ++j) {
      sim.afvt = drive.af[j].data();
      sim.Ag = drive.Ag[j];
      if (deferred) {
        sim.vtt_sim_deferred();
        sink += sim.previous_output();
      } else {
        sink += sim.vtt_sim();
      }
    }
    if (deferred) sink += sim.deferred_output();
    sim.vtt_term();
  }
  benchmark::DoNotOptimize(sink);
  // One iteration is one second of speech: the rate is the real-time factor.
  state.counters["rtf"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// N independent one-second utterances (the reference drive, each lane
// shifted in time) advanced in lockstep by one thread; the rate is seconds of
// speech per second, to compare with N times BM_SimulateOneSecond.
void BM_SimulateLanes(benchmark::State& state) {
  const int nvt = static_cast<int>(state.range(0));
  const int n = static_cast<int>(state.range(1));
  const Drive drive(nvt);
  std::vector<vt::Simulator> sims(n);
  std::vector<vt::Simulator*> lanes;
  for (auto& s : sims) {
    vt::drive::gateway_config(s.cfg, nvt);
    lanes.push_back(&s);
  }
  float out[vt::Simulator::kMaxLanes];
  float sink = 0.0f;
  auto frame = [&](int l, int j) {
    const int k = (j + 997 * l) % 10000;
    sims[l].afvt = drive.af[k].data();
    sims[l].Ag = drive.Ag[k];
  };
  for (auto _ : state) {
    for (int l = 0; l < n; ++l) frame(l, 0), sims[l].vtt_ini();
    for (int j = 0; j < 10000; ++j) {
      for (int l = 0; l < n; ++l) frame(l, j);
      vt::Simulator::vtt_sim_lanes(lanes, out);
      sink += out[0];
    }
    for (auto& s : sims) s.vtt_term();
  }
  benchmark::DoNotOptimize(sink);
  state.counters["rtf"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * n, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SimulateLanes)
    ->Args({17, 1})
    ->Args({17, 2})
    ->Args({17, 4})
    ->Args({17, 8})
    ->Args({40, 2})
    ->Args({40, 4})
    ->Unit(benchmark::kMillisecond);

void BM_SimulateOneSecond(benchmark::State& state) { simulate(state, Network::SingleChain); }
void BM_SimulateOneSecondNasal(benchmark::State& state) { simulate(state, Network::NasalBranch); }
void BM_SimulateOneSecondTrachea(benchmark::State& state) { simulate(state, Network::Trachea); }
// The single chain with each output sample's summation completed in the next
// call (vtt_sim_deferred), as the synthesiser drives it.
void BM_SimulateOneSecondDeferred(benchmark::State& state) {
  simulate(state, Network::SingleChain, true);
}
void BM_SimulateOneSecondNasalDeferred(benchmark::State& state) {
  simulate(state, Network::NasalBranch, true);
}
void BM_SimulateOneSecondTracheaDeferred(benchmark::State& state) {
  simulate(state, Network::Trachea, true);
}

BENCHMARK(BM_SimulateOneSecond)->Arg(17)->Arg(40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SimulateOneSecondDeferred)->Arg(17)->Arg(40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SimulateOneSecondNasal)->Arg(17)->Arg(40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SimulateOneSecondTrachea)->Arg(17)->Arg(40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SimulateOneSecondNasalDeferred)->Arg(17)->Arg(40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SimulateOneSecondTracheaDeferred)->Arg(17)->Arg(40)->Unit(benchmark::kMillisecond);

}  // namespace
