// Real-time factor of the vocal-tract simulator in the synthesiser's
// configuration: one second of output at 10 kHz (30 kHz simulation) with a
// moving vocal tract and a pulsing glottis. The drive is computed beforehand,
// so only vtt_ini, 10000 vtt_sim calls and vtt_term are timed.
#include <benchmark/benchmark.h>

#include <vector>

#include "simulator/simulator.h"
#include "simulator/tests/sim_drive.h"
#include "synth/gateway_config.h"

namespace {

struct Drive {
  int nvt;
  std::vector<float> Ag;
  std::vector<std::vector<vt::area_function>> af;
  explicit Drive(int n) : nvt(n), Ag(10000), af(10000) {
    for (int j = 0; j < 10000; ++j) {
      Ag[j] = vt::testing::drive_Ag(j);
      vt::testing::drive_af(j, nvt, af[j]);
    }
  }
};

void BM_SimulateOneSecond(benchmark::State& state) {
  const int nvt = static_cast<int>(state.range(0));
  const Drive drive(nvt);
  vt::Simulator sim;
  vt::forceGatewayConfig(sim.cfg, nvt);
  float sink = 0.0f;
  for (auto _ : state) {
    sim.afvt = drive.af[0].data();
    sim.Ag = drive.Ag[0];
    sim.vtt_ini();
    for (int j = 0; j < 10000; ++j) {
      sim.afvt = drive.af[j].data();
      sim.Ag = drive.Ag[j];
      sink += sim.vtt_sim();
    }
    sim.vtt_term();
  }
  benchmark::DoNotOptimize(sink);
  // One iteration is one second of speech: the rate is the real-time factor.
  state.counters["rtf"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                             benchmark::Counter::kIsRate);
}

BENCHMARK(BM_SimulateOneSecond)->Arg(17)->Arg(40)->Unit(benchmark::kMillisecond);

}  // namespace
