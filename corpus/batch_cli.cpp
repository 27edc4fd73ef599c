#include "corpus/batch_cli.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>
#include <cmath>
#include <cstdlib>

#include <atomic>
#include <iostream>
#include <ostream>
#include <thread>

#include <CLI/CLI.hpp>

#include "corpus/batch_runner.h"
#include "corpus/program_version.h"
#include "corpus/progress_display.h"
#include "synth/internal_signals.h"
#include "synth/lane_synthesis.h"

namespace vt {

const char* batchCliHelp() {
  return R"(quorvel batch - synthesise every utterance of a corpus manifest

Usage:
  quorvel batch MANIFEST -o OUTDIR [--jobs N] [--lanes L] [--shard K/N]
                [--resume] [--signals NAME,...] [--tracks [MS]] [--textgrid]

MANIFEST is JSON Lines, one utterance a line (blank lines and lines starting
with # are skipped):
  {"id": "a001", "score": "scores/asa.json"}
  {"id": "a002", "score": {"nss": 17, "TAg0": ..., ...}, "seed": 7,
   "output": "a002-seeded.wav"}
  id      names the utterance; the output is OUTDIR/<id>.wav
  score   a score file (relative to the manifest's folder) or a score object
          (quorvel --help describes scores)
  seed    optional, 0..4294967295: an independent noise sequence for this
          utterance; without it the noise is that of a fresh synthesiser
  output  optional file name inside OUTDIR instead of <id>.wav

Every utterance gets a synthesiser of its own, so its samples never depend on
--jobs, --lanes, --shard, the order of the manifest or what ran before it. The output
holds the radiated pressure in dyn/cm^2 as 32-bit float samples, unscaled.
OUTDIR/metadata.jsonl gets one line per utterance: id, index, line, status
(ok/failed), error, output, samples, fs, duration (s), peak and rms
(dyn/cm^2), nonfinite (the network diverged; such an utterance fails),
cpu_seconds, score_sha256 (of the score's content, its seed and signals),
seed and version. When the run completes the file is rewritten in manifest
order.

Options:
  -o, --output DIR  output directory (created when missing)
  --jobs N          worker threads (default: one per core)
  --lanes L         utterances each worker synthesises together, 1..8
                    (default 2): the networks of those with the same section
                    count and rates (and no nasal branch or trachea) advance
                    in lockstep, one step of all per output sample, which
                    gives about 1.2 times the speech per processor second;
                    1 synthesises one at a time. The files are the same.
  --shard K/N       take only utterances whose index i (from 0) has
                    i mod N = K-1; N runs with K = 1..N cover the manifest
                    once. The metadata goes to OUTDIR/metadata.K-of-N.jsonl,
                    so all shards may write to one shared directory.
  --resume          keep the utterances whose output file and metadata line
                    are complete and whose content hash is unchanged;
                    synthesise the rest
  --signals A,B     also store these internal signals of the network (raw
                    values, float WAV) as OUTDIR/<id>.A.wav, besides those a
                    score lists itself; quorvel --help lists them
  --tracks [MS]     also store the ground truth of every MS ms (default 5) as
                    OUTDIR/<id>.tracks.csv (the columns of quorvel tracks)
  --textgrid        also store a Praat TextGrid of the key frames named by
                    each score's "labels" field as OUTDIR/<id>.TextGrid (an
                    utterance whose score has no labels fails)
  -h, --help        this text

Every file appears complete or not at all. A failing utterance does not stop
the others. Ctrl-C (or SIGTERM) abandons the utterances under way, removes
their unfinished files and keeps the metadata of the finished ones; run again
with --resume to finish.

Exit status: 0 when every utterance succeeded; 1 when some failed (their
messages are in the metadata and listed on stderr) or the run could not
start; 2 for wrong options; 130 after Ctrl-C, 143 after SIGTERM.
)";
}

namespace {

/// Reads "K/N" with 1 <= K <= N.
bool parseShard(const std::string& text, unsigned& k, unsigned& n) {
  const auto slash = text.find('/');
  if (slash == std::string::npos) return false;
  try {
    std::size_t used = 0;
    const unsigned long kk = std::stoul(text.substr(0, slash), &used);
    if (used != slash) return false;
    const std::string rest = text.substr(slash + 1);
    const unsigned long nn = std::stoul(rest, &used);
    if (used != rest.size() || kk < 1 || nn < kk || nn > 1000000 || text[0] == '-' ||
        rest[0] == '-') {
      return false;
    }
    k = static_cast<unsigned>(kk);
    n = static_cast<unsigned>(nn);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

/// Blocks SIGINT and SIGTERM in the calling thread (and the threads it
/// starts) for the lifetime of the object, so that the batch waits for them
/// with sigtimedwait instead of having them end the process mid-file.
class BlockedStopSignals {
 public:
  BlockedStopSignals() {
    sigemptyset(&set_);
    sigaddset(&set_, SIGINT);
    sigaddset(&set_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set_, &previous_);
  }
  ~BlockedStopSignals() {
    // A signal that came after the batch ended is taken now, so it is not
    // delivered later to a caller that does not expect it.
    timespec zero{};
    while (sigtimedwait(&set_, nullptr, &zero) > 0) {}
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  BlockedStopSignals(const BlockedStopSignals&) = delete;
  BlockedStopSignals& operator=(const BlockedStopSignals&) = delete;

  /// Waits up to `wait` for SIGINT or SIGTERM; the signal number, or 0.
  int wait(std::chrono::milliseconds wait) const {
    timespec ts{static_cast<time_t>(wait.count() / 1000),
                static_cast<long>(wait.count() % 1000) * 1000000L};
    const int s = sigtimedwait(&set_, nullptr, &ts);
    return s > 0 ? s : 0;
  }

 private:
  sigset_t set_{};
  sigset_t previous_{};
};

}  // namespace

int runBatchCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  CLI::App app{"quorvel batch", "quorvel batch"};
  app.set_help_flag();
  BatchSettings settings;
  std::string shard;
  bool help = false;
  app.add_option("manifest", settings.manifestPath);
  app.add_option("-o,--output", settings.outDir);
  app.add_option("--jobs", settings.jobs)->check(CLI::Range(1u, 4096u));
  app.add_option("--lanes", settings.lanes)->check(CLI::Range(1u, kMaxSynthesisLanes));
  app.add_option("--shard", shard);
  app.add_flag("--resume", settings.resume);
  app.add_option("--signals", settings.signals)->delimiter(',');
  std::string tracksMs;
  auto* tracksOpt = app.add_option("--tracks", tracksMs)->expected(0, 1);
  app.add_flag("--textgrid", settings.textGrid);
  app.add_flag("-h,--help", help);
  auto usage = [&](const std::string& what) {
    err << "quorvel batch: " << what << "\n(quorvel batch --help for usage)\n";
    return 2;
  };
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return usage(e.what());
  }
  if (help) {
    out << batchCliHelp();
    return 0;
  }
  if (settings.manifestPath.empty()) return usage("a manifest is needed");
  if (settings.outDir.empty()) return usage("-o OUTDIR is needed");
  if (!shard.empty() && !parseShard(shard, settings.shardIndex, settings.shardCount)) {
    return usage("--shard must be K/N with 1 <= K <= N, got \"" + shard + "\"");
  }
  for (const std::string& s : settings.signals) {
    if (!findInternalSignal(s)) {
      return usage("unknown signal \"" + s + "\"; the signals are:\n" + internalSignalHelp("  "));
    }
  }
  if (*tracksOpt) {
    char* end = nullptr;
    settings.tracksEveryMs = tracksMs.empty() ? 5.0 : std::strtod(tracksMs.c_str(), &end);
    if ((!tracksMs.empty() && *end != '\0') ||
        !(settings.tracksEveryMs > 0 && std::isfinite(settings.tracksEveryMs))) {
      return usage("--tracks needs a frame step in ms above 0, got \"" + tracksMs + "\"");
    }
  }
  settings.version = programVersion();

  BatchProgress progress;
  BatchSummary summary;
  int stoppedBy = 0;
  {
    BlockedStopSignals signals;
    std::stop_source stop;
    std::atomic<bool> finished{false};
    std::jthread runner([&] {
      summary = runBatch(settings, progress, stop.get_token());
      finished = true;
    });
    ProgressDisplay display(err, ::isatty(STDERR_FILENO) == 1 && &err == &std::cerr);
    while (!finished) {
      if (const int s = signals.wait(std::chrono::milliseconds(100)); s != 0 && stoppedBy == 0) {
        stoppedBy = s;
        stop.request_stop();
      }
      if (!finished) display.update(progress);
    }
    runner.join();
    if (summary.error.empty()) display.finish(progress);
  }
  if (!summary.error.empty()) {
    err << "quorvel batch: " << summary.error << "\n";
    return stoppedBy ? 128 + stoppedBy : 1;
  }
  constexpr std::size_t kListed = 20;
  for (std::size_t i = 0; i < summary.failures.size() && i < kListed; ++i) {
    err << "quorvel batch: failed: " << summary.failures[i] << "\n";
  }
  if (summary.failures.size() > kListed) {
    err << "quorvel batch: ... and " << summary.failures.size() - kListed
        << " more failures (see the metadata)\n";
  }
  out << "quorvel batch: " << summary.total << " utterances";
  if (settings.shardCount > 1)
    out << " (shard " << settings.shardIndex << "/" << settings.shardCount << ")";
  out << ": " << summary.ok << " ok, " << summary.failed << " failed";
  if (summary.kept) out << " (" << summary.kept << " kept from the earlier run)";
  if (summary.interrupted)
    out << ", " << summary.total - summary.ok - summary.failed << " not done (stopped)";
  char rate[128];
  std::snprintf(rate, sizeof rate, "; %.1f s of speech in %.1f s (%.2f s/s)", summary.audio_s,
                summary.wall_s, summary.wall_s > 0 ? summary.audio_s / summary.wall_s : 0.0);
  out << rate << "; metadata in " << summary.metadataPath << "\n";
  if (stoppedBy) return 128 + stoppedBy;
  return summary.failed == 0 ? 0 : 1;
}

}  // namespace vt
