#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <stop_token>
#include <string>
#include <vector>

#include "corpus/manifest.h"
#include "corpus/metadata.h"

namespace vt {

/// What one batch run does.
struct BatchSettings {
  std::string manifestPath;  ///< JSON Lines manifest
  std::string outDir;        ///< output directory (created when missing)
  unsigned jobs = 0;         ///< worker threads (0: one per core)
  /// Utterances each worker synthesises together, their networks advanced in
  /// lockstep (1..8; 1: one at a time). Samples and files do not depend on
  /// it; 2 gave about 1.2 times the speech per processor second of 1, and 4 no more.
  unsigned lanes = 2;
  unsigned shardIndex = 1;           ///< this run's shard K, 1..shardCount
  unsigned shardCount = 1;           ///< shards N: the run takes utterances i with i mod N = K-1
  bool resume = false;               ///< keep utterances already complete with the same content
  std::vector<std::string> signals;  ///< internal signals stored beside each output
  std::string version;               ///< program release recorded in every row
  double tracksEveryMs = 0;  ///< > 0: ground-truth tracks every so many ms beside each output
  bool textGrid = false;     ///< a TextGrid of the key frames beside each output
};

/// Counters of a batch under way, updated by the workers, read by a display.
struct BatchProgress {
  std::atomic<std::size_t> total{0};   ///< utterances of this shard
  std::atomic<std::size_t> done{0};    ///< finished (ok, failed or kept from before)
  std::atomic<std::size_t> failed{0};  ///< finished with status failed
  std::atomic<std::size_t> kept{0};    ///< kept from an earlier run (--resume)
  std::atomic<double> audio_s{0.0};    ///< duration of the utterances synthesised now, s
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

/// How a batch run ended.
struct BatchSummary {
  std::string error;  ///< the run could not start or record its results (nothing else is valid)
  bool interrupted = false;  ///< stopped before every utterance was done
  std::size_t total = 0, ok = 0, failed = 0, kept = 0;
  double audio_s = 0.0;      ///< duration synthesised in this run, s
  double wall_s = 0.0;       ///< elapsed time, s
  std::string metadataPath;  ///< the metadata file of this shard
  std::vector<std::string>
      failures;  ///< "id (line n): message" of each failed utterance, in manifest order
};

/// Name of the metadata file of a shard: metadata.jsonl for an unsharded
/// run, metadata.K-of-N.jsonl otherwise (shards may share the directory).
std::string metadataFileName(unsigned shardIndex, unsigned shardCount);

/// Creates outDir when missing and removes the temporaries that a killed
/// earlier run left there for the outputs of these entries (and their
/// signals) and for the metadata file metadataName. Returns why the
/// directory cannot be used, empty when it can.
std::string prepareOutputDirectory(const std::string& outDir,
                                   const std::vector<const ManifestEntry*>& entries,
                                   const std::string& metadataName);

/// Runs the utterances of the manifest (of this shard) on settings.jobs
/// threads, each taking up to settings.lanes utterances at a time, writing each output file and
/// appending its metadata row as it finishes; a failing utterance does not stop the others. When
/// everything has run the metadata file is rewritten in manifest order. When stop is requested no
/// utterance starts, those under way are abandoned (no file of theirs stays) and the metadata file
/// keeps the rows of the finished ones.
BatchSummary runBatch(const BatchSettings& settings, BatchProgress& progress,
                      std::stop_token stop = {});

}  // namespace vt
