#include "corpus/batch_runner.h"

#include <filesystem>
#include <map>
#include <optional>
#include <set>

#include "corpus/manifest.h"
#include "corpus/metadata_log.h"
#include "corpus/utterance_job.h"
#include "corpus/worker_pool.h"
#include "fileio/staged_output.h"
#include "synth/internal_signals.h"
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
  us.outputLimit = outputLimitForMemory(4 * (1 + settings.signals.size()) * jobs);
  const std::stop_token halted = halt.get_token();
  us.cancelled = [halted] { return halted.stop_requested(); };

  progress.total = mine.size();
  progress.start = wallStart;
  std::vector<std::optional<MetadataRow>> rows(mine.size());
  auto task = [&](std::size_t i) {
    std::optional<MetadataRow> row;
    bool keptRow = false;
    try {
      const PreparedUtterance p = prepareUtterance(*mine[i], us);
      if (const auto it = earlier.find(p.row.id); p.ready && it != earlier.end()) {
        const MetadataRow& before = it->second;
        keptRow = before.ok && before.scoreHash == p.row.scoreHash &&
                  before.version == p.row.version && before.index == p.row.index &&
                  before.output == p.output && outputMatchesRow(settings.outDir, before);
        if (keptRow) row = before;
      }
      if (!keptRow) row = runUtterance(p, us);
      if (!row) return;  // abandoned by a stop
      if (!keptRow) log->append(*row);
    } catch (const std::exception& e) {
      std::lock_guard lock(errorMutex);
      if (summary.error.empty()) summary.error = e.what();
      halt.request_stop();
      return;
    }
    if (keptRow)
      ++progress.kept;
    else if (row->ok)
      progress.audio_s.fetch_add(row->duration_s);
    if (!row->ok) ++progress.failed;
    rows[i] = std::move(row);
    ++progress.done;
  };
  runOnWorkers(mine.size(), jobs, task, halted);

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
