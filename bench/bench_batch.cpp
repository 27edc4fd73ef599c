// Corpus throughput: seconds of speech per wall-clock second and per
// processor second of quorvel batch with one and two workers, each with 1, 2
// or 4 lanes, side by side in one run. The manifest holds 24 seeded copies of
// /asa/ (0.7 s each); outputs go to a scratch folder.
#include <benchmark/benchmark.h>

#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "corpus/batch_runner.h"
#include "synth/default_utterance.h"
#include "synth/score_json.h"

namespace {

namespace fs = std::filesystem;

/// A scratch folder with the manifest; removed at exit.
struct Corpus {
  fs::path dir = fs::temp_directory_path() / ("vt_bench_batch_" + std::to_string(::getpid()));
  Corpus() {
    fs::create_directories(dir);
    std::ofstream(dir / "asa.json") << vt::scoreToJson(vt::defaultUtterance());
    std::ofstream m(dir / "manifest.jsonl");
    for (int i = 0; i < 24; ++i) {
      m << "{\"id\": \"asa" << i << "\", \"score\": \"asa.json\", \"seed\": " << i << "}\n";
    }
  }
  ~Corpus() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

/// Processor time of the whole process (every worker thread), s.
double processCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

void BM_Batch(benchmark::State& state) {
  static const Corpus corpus;
  vt::BatchSettings settings;
  settings.manifestPath = (corpus.dir / "manifest.jsonl").string();
  settings.outDir =
      (corpus.dir / ("out" + std::to_string(state.range(0)) + "x" + std::to_string(state.range(1))))
          .string();
  settings.jobs = static_cast<unsigned>(state.range(0));
  settings.lanes = static_cast<unsigned>(state.range(1));
  double audio_s = 0.0;
  const double cpu0 = processCpuSeconds();
  for (auto _ : state) {
    vt::BatchProgress progress;
    const vt::BatchSummary s = vt::runBatch(settings, progress);
    if (!s.error.empty() || s.failed != 0) state.SkipWithError("the batch failed");
    audio_s += s.audio_s;
  }
  // Seconds of speech made per wall-clock second (the benchmark runs on real time).
  state.counters["speech_s_per_s"] = benchmark::Counter(audio_s, benchmark::Counter::kIsRate);
  // Seconds of speech per processor second of all threads: what lanes gain,
  // independent of the machine's other load.
  const double cpu_s = processCpuSeconds() - cpu0;
  state.counters["speech_s_per_cpu_s"] = cpu_s > 0 ? audio_s / cpu_s : 0.0;
}
BENCHMARK(BM_Batch)
    ->ArgNames({"jobs", "lanes"})
    ->ArgsProduct({{1, 2}, {1, 2, 4, 8}})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
