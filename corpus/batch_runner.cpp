#include "corpus/batch_runner.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "corpus/manifest.h"
#include "corpus/metadata_log.h"
#include "corpus/utterance_job.h"
#include "corpus/worker_pool.h"
#include "fileio/staged_output.h"
#include "synth/internal_signals.h"
#include "synth/lane_synthesis.h"
#include "synth/synthesizer.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

}  // namespace

std::string prepareOutputDirectory(const std::string& outDir,
                                   const std::vector<const ManifestEntry*>& entries,
                                   const std::string& metadataName) {
  std::error_code ec;
  fs::create_directories(outDir, ec);
  if (ec || !fs::is_directory(outDir)) {
    return "cannot create the output directory \"" + outDir + "\"" +
           (ec ? ": " + ec.message() : "");
  }
  std::set<std::string> names{metadataName};
  for (const ManifestEntry* e : entries) {
    if (e->output.empty()) continue;
    names.insert(e->output);
    for (const InternalSignalInfo& s : internalSignals())
      names.insert(signalFileName(e->output, s.name));
  }
  // Temporaries that a killed earlier run left for these final names.
  for (fs::directory_iterator it(outDir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string final = stagedFinalName(it->path().filename().string());
    if (!final.empty() && names.count(final)) fs::remove(it->path(), ec);
  }
  return "";
}

std::string metadataFileName(unsigned shardIndex, unsigned shardCount) {
  if (shardCount <= 1) return "metadata.jsonl";
  return "metadata." + std::to_string(shardIndex) + "-of-" + std::to_string(shardCount) + ".jsonl";
}

BatchSummary runBatch(const BatchSettings& settings, BatchProgress& progress,
                      std::stop_token stop) {
  BatchSummary summary;
  const auto wallStart = std::chrono::steady_clock::now();
  Manifest manifest;
  if (!readManifest(settings.manifestPath, manifest, summary.error)) return summary;
  const std::string metaName = metadataFileName(settings.shardIndex, settings.shardCount);
  summary.metadataPath = (fs::path(settings.outDir) / metaName).string();
  std::vector<const ManifestEntry*> mine;
  for (const ManifestEntry& e : manifest.entries) {
    if (e.index % settings.shardCount == settings.shardIndex - 1) mine.push_back(&e);
  }
  summary.error = prepareOutputDirectory(settings.outDir, mine, metaName);
  if (!summary.error.empty()) return summary;

  // Rows of an earlier run by id (the last one counts), for --resume.
  std::map<std::string, MetadataRow> earlier;
  if (settings.resume) {
    for (MetadataRow& r : readMetadataFile(summary.metadataPath)) {
      if (!r.id.empty()) earlier[r.id] = std::move(r);
    }
  }
  std::optional<MetadataLog> log;
  try {
    if (!settings.resume) writeMetadataFile(summary.metadataPath, {});
    log.emplace(summary.metadataPath);
  } catch (const OutputFileError& e) {
    summary.error = e.what();
    return summary;
  }

  std::stop_source halt;  // the caller's stop, or a metadata file that cannot be written
  std::stop_callback forward(stop, [&] { halt.request_stop(); });
  std::mutex errorMutex;
  UtteranceSettings us;
  us.outDir = settings.outDir;
  us.signals = settings.signals;
  us.version = settings.version;
  us.tracksEveryMs = settings.tracksEveryMs;
  us.textGrid = settings.textGrid;
  const unsigned jobs = workerCount(settings.jobs);
  const unsigned lanes = std::max(1u, settings.lanes);
  us.outputLimit = outputLimitForMemory(4 * (1 + settings.signals.size()) * jobs * lanes);
  const std::stop_token halted = halt.get_token();
  us.cancelled = [halted] { return halted.stop_requested(); };

  progress.total = mine.size();
  progress.start = wallStart;
  std::vector<std::optional<MetadataRow>> rows(mine.size());
  auto stopWith = [&](const std::exception& e) {
    std::lock_guard lock(errorMutex);
    if (summary.error.empty()) summary.error = e.what();
    halt.request_stop();
  };
  // The row of utterance i kept from the earlier run, when --resume keeps it.
  auto keptRow = [&](const PreparedUtterance& p) -> std::optional<MetadataRow> {
    const auto it = earlier.find(p.row.id);
    if (!p.ready || it == earlier.end()) return std::nullopt;
    const MetadataRow& before = it->second;
    if (before.ok && before.scoreHash == p.row.scoreHash && before.version == p.row.version &&
        before.index == p.row.index && before.output == p.output &&
        outputMatchesRow(settings.outDir, before))
      return before;
    return std::nullopt;
  };
  // Logs (unless kept), counts and holds the finished row of utterance i.
  auto record = [&](std::size_t i, MetadataRow row, bool kept) {
    if (!kept) log->append(row);
    if (kept)
      ++progress.kept;
    else if (row.ok)
      progress.audio_s.fetch_add(row.duration_s);
    if (!row.ok) ++progress.failed;
    rows[i] = std::move(row);
    ++progress.done;
  };
  auto task = [&](std::size_t i) {
    try {
      const PreparedUtterance p = prepareUtterance(*mine[i], us);
      if (std::optional<MetadataRow> kept = keptRow(p)) return record(i, std::move(*kept), true);
      std::optional<MetadataRow> row = runUtterance(p, us);
      if (row) record(i, std::move(*row), false);  // else abandoned by a stop
    } catch (const std::exception& e) {
      stopWith(e);
    }
  };
  if (settings.lanes <= 1) {
    runOnWorkers(mine.size(), jobs, task, halted);
  } else {
    // Each worker holds up to `lanes` utterances in a lane group, taking the
    // next one of the shard whenever one of its lanes frees; no more lanes
    // than spread the shard over all workers.
    const std::size_t perWorker = (mine.size() + jobs - 1) / jobs;
    const unsigned group =
        static_cast<unsigned>(std::clamp<std::size_t>(perWorker, 1, settings.lanes));
    std::atomic<std::size_t> nextIndex{0};
    auto laneWorker = [&](std::size_t) {
      // An utterance in a lane: its reading, its synthesiser and its share
      // of the thread's processor time (split evenly among the lanes under way).
      struct Slot {
        std::size_t i = 0;
        PreparedUtterance p;
        std::unique_ptr<Synthesizer> synth;
        double cpu_s = 0;
      };
      std::vector<Slot> slots(group);
      unsigned running = 0;
      double mark = threadCpuSeconds();
      auto charge = [&] {
        const double now = threadCpuSeconds();
        for (Slot& s : slots)
          if (s.synth && running > 0) s.cpu_s += (now - mark) / running;
        mark = now;
      };
      auto next = [&](LaneRequest& r) {
        for (std::size_t i;
             !halted.stop_requested() && (i = nextIndex.fetch_add(1)) < mine.size();) {
          charge();
          try {
            PreparedUtterance p = prepareUtterance(*mine[i], us);
            if (std::optional<MetadataRow> kept = keptRow(p)) {
              record(i, std::move(*kept), true);
            } else if (!p.ready) {
              record(i, std::move(p.row), false);
            } else {
              std::size_t k = 0;
              while (slots[k].synth) ++k;
              Slot& s = slots[k];
              s.i = i;
              s.p = std::move(p);
              s.synth = std::make_unique<Synthesizer>();
              s.cpu_s = 0;
              configureSynthesizer(*s.synth, us);
              r = LaneRequest{s.synth.get(), &s.p.request, k};
              ++running;
              mark = threadCpuSeconds();
              return true;
            }
          } catch (const std::exception& e) {
            stopWith(e);
            return false;
          }
          mark = threadCpuSeconds();
        }
        return false;
      };
      auto done = [&](std::size_t k, LaneOutcome&& o) {
        charge();
        --running;
        Slot& s = slots[k];
        try {
          s.synth.reset();
          std::optional<MetadataRow> row = completeUtterance(s.p, us, std::move(o), s.cpu_s);
          if (row) record(s.i, std::move(*row), false);
        } catch (const std::exception& e) {
          stopWith(e);
        }
        s.p = PreparedUtterance{};
        mark = threadCpuSeconds();
      };
      try {
        synthesizeLanes(group, next, done);
      } catch (const std::exception& e) {
        stopWith(e);
      }
    };
    runOnWorkers(jobs, jobs, laneWorker, halted);
  }

  summary.total = mine.size();
  summary.kept = progress.kept;
  summary.audio_s = progress.audio_s;
  std::vector<MetadataRow> ordered;
  for (const auto& r : rows) {
    if (!r) continue;
    (r->ok ? summary.ok : summary.failed)++;
    if (!r->ok) {
      summary.failures.push_back((r->id.empty() ? "(no id)" : r->id) + " (line " +
                                 std::to_string(r->line) + "): " + r->error);
    }
    ordered.push_back(*r);
  }
  summary.interrupted = ordered.size() != mine.size();
  if (!summary.interrupted && summary.error.empty()) {
    try {
      writeMetadataFile(summary.metadataPath, ordered);
    } catch (const OutputFileError& e) {
      summary.error = e.what();
    }
  }
  summary.wall_s =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  return summary;
}

}  // namespace vt
