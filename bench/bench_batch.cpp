// Corpus throughput: seconds of speech per wall-clock second of quorvel batch
// with one and with two synthesisers, side by side in one run. The manifest
// holds 24 seeded copies of /asa/ (0.7 s each); outputs go to a scratch folder.
#include <benchmark/benchmark.h>

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

void BM_Batch(benchmark::State& state) {
  static const Corpus corpus;
  vt::BatchSettings settings;
  settings.manifestPath = (corpus.dir / "manifest.jsonl").string();
  settings.outDir = (corpus.dir / ("out" + std::to_string(state.range(0)))).string();
  settings.jobs = static_cast<unsigned>(state.range(0));
  double audio_s = 0.0;
  for (auto _ : state) {
    vt::BatchProgress progress;
    const vt::BatchSummary s = vt::runBatch(settings, progress);
    if (!s.error.empty() || s.failed != 0) state.SkipWithError("the batch failed");
    audio_s += s.audio_s;
  }
  // Seconds of speech made per wall-clock second (the benchmark runs on real time).
  state.counters["speech_s_per_s"] = benchmark::Counter(audio_s, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Batch)->ArgName("jobs")->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
