#include "corpus/utterance_job.h"

#include <sndfile.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <new>

#include <nlohmann/json.hpp>

#include "corpus/content_hash.h"
#include "fileio/staged_output.h"
#include "synth/score_json.h"
#include "synth/score_request.h"
#include "synth/synthesizer.h"
#include "synth/utterance_tracks.h"
#include "synth/wav_writer.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

/// Thrown by the trace observer to abandon a synthesis under way.
struct Cancelled {};

/// Peak, RMS and the non-finite flag of the samples.
void measure(const std::vector<float>& samples, MetadataRow& row) {
  double peak = 0.0, sumSquares = 0.0;
  std::size_t finite = 0;
  for (float v : samples) {
    if (!std::isfinite(v)) {
      row.nonfinite = true;
      continue;
    }
    const double d = v;
    peak = std::max(peak, std::fabs(d));
    sumSquares += d * d;
    ++finite;
  }
  row.samples = samples.size();
  row.peak = peak;
  row.rms = finite ? std::sqrt(sumSquares / static_cast<double>(finite)) : 0.0;
  row.duration_s = static_cast<double>(samples.size()) / row.fs_Hz;
}

/// The airway model of a score as canonical JSON (keys sorted), "null" when absent.
std::string modelJson(const ManifestEntry& entry) {
  std::string text = entry.scoreText;
  if (text.empty()) {
    std::ifstream in(entry.scorePath, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  const nlohmann::json doc = nlohmann::json::parse(text, nullptr, false);
  if (!doc.is_object() || !doc.contains("model")) return "null";
  return doc["model"].dump();
}

/// SHA-256 of what decides the samples: the matrices as read (area-function
/// files included), the airway model, the signals and the seed.
std::string contentHash(const ManifestEntry& entry, const Score& score,
                        const UtteranceSettings& settings) {
  std::string content = "score\n" + scoreToJson(score) + "model " + modelJson(entry) + "\nseed " +
                        (entry.seed ? std::to_string(*entry.seed) : "none") + "\nsignals";
  for (const std::string& s : score.signals) content += " " + s;
  // What is stored beside the output (only when asked: earlier hashes stay).
  if (settings.tracksEveryMs > 0) content += "\ntracks " + std::to_string(settings.tracksEveryMs);
  if (settings.textGrid) {
    content += "\ntextgrid";
    for (const std::string& l : score.labels) content += " " + std::to_string(l.size()) + ":" + l;
  }
  return sha256Hex(content);
}

}  // namespace

double threadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

std::string besideFileName(const std::string& output, const std::string& extension) {
  return fs::path(output).stem().string() + extension;
}

std::string signalFileName(const std::string& output, const std::string& signal) {
  // Always float WAV: signals hold raw values that integer formats would clip.
  return fs::path(output).stem().string() + "." + signal + ".wav";
}

PreparedUtterance prepareUtterance(const ManifestEntry& entry, const UtteranceSettings& settings) {
  PreparedUtterance p;
  MetadataRow& row = p.row;
  row.index = entry.index;
  row.line = entry.line;
  row.id = entry.id;
  row.seed = entry.seed;
  row.version = settings.version;
  row.error = entry.error;
  p.output = entry.output;
  if (!entry.error.empty()) return p;
  Score score;
  std::string err;
  const bool loaded = entry.scorePath.empty() ? parseScore(entry.scoreText, score, err, "")
                                              : loadScore(entry.scorePath, score, err);
  if (!loaded) {
    row.error = entry.scorePath.empty() ? "score: " + err : err;
    return p;
  }
  for (const std::string& s : settings.signals) {
    if (std::find(score.signals.begin(), score.signals.end(), s) == score.signals.end()) {
      score.signals.push_back(s);
    }
  }
  row.scoreHash = contentHash(entry, score, settings);
  p.labels = score.labels;
  row.fs_Hz = score.outputRate();
  const CheckOutcome checked = requestFromScore(score, p.request);
  if (checked.status != 0) {
    row.error = checked.error;
    return p;
  }
  const double fsHz = row.fs_Hz;
  if (!(fsHz >= 1.0 && fsHz <= std::numeric_limits<int>::max() && std::floor(fsHz) == fsHz)) {
    row.error = "fs = " + std::to_string(fsHz) +
                " Hz cannot be stored in a sound file: it must be a whole number of Hz";
    return p;
  }
  if (entry.seed) p.request.options.seed = *entry.seed;
  p.ready = true;
  return p;
}

void configureSynthesizer(Synthesizer& synth, const UtteranceSettings& settings) {
  synth.setOutputLimit(settings.outputLimit);
  if (settings.cancelled) {
    synth.setTraceObserver([cancelled = settings.cancelled](const SampleTrace&) {
      if (cancelled()) throw Cancelled{};
    });
  }
}

std::optional<MetadataRow> runUtterance(const PreparedUtterance& prepared,
                                        const UtteranceSettings& settings) {
  if (!prepared.ready) return prepared.row;
  const double cpuStart = threadCpuSeconds();
  LaneOutcome outcome;
  {
    Synthesizer synth;  // one per utterance: no state carried from other utterances
    configureSynthesizer(synth, settings);
    try {
      outcome.result = synth.synthesize(prepared.request);
    } catch (...) {
      outcome.thrown = std::current_exception();
    }
  }
  return completeUtterance(prepared, settings, std::move(outcome), threadCpuSeconds() - cpuStart);
}

std::optional<MetadataRow> completeUtterance(const PreparedUtterance& prepared,
                                             const UtteranceSettings& settings,
                                             LaneOutcome&& outcome, double synthesis_cpu_s) {
  MetadataRow row = prepared.row;
  if (!prepared.ready) return row;
  const double cpuStart = threadCpuSeconds() - synthesis_cpu_s;
  auto fail = [&](std::string message) {
    row.error = std::move(message);
    row.cpu_s = threadCpuSeconds() - cpuStart;
    return row;
  };
  if (outcome.thrown) {
    try {
      std::rethrow_exception(outcome.thrown);
    } catch (const Cancelled&) {
      return std::nullopt;
    } catch (const std::bad_alloc&) {
      return fail("out of memory while synthesising");
    }
  }
  const SynthesisResult& result = outcome.result;
  if (result.status != 0) return fail(result.error);
  measure(result.samples, row);
  if (row.nonfinite) {
    std::size_t bad = 0;
    for (float v : result.samples) bad += !std::isfinite(v);
    return fail("the simulation diverged: " + std::to_string(bad) + " of " +
                std::to_string(result.samples.size()) + " samples are not finite numbers");
  }
  const int rate = static_cast<int>(row.fs_Hz);
  std::vector<std::string> written;
  auto removeWritten = [&] {
    std::error_code ec;
    for (const std::string& f : written) fs::remove(f, ec);
  };
  auto store = [&](const std::string& name, const std::vector<float>& samples) {
    const std::string path = (fs::path(settings.outDir) / name).string();
    const WavWriteResult w = writeWavFile(path, samples, rate, WavEncoding::Float32, 1.0f);
    if (w.ok) written.push_back(path);
    return w.error;
  };
  const std::string& output = prepared.output;
  for (const std::string& s : prepared.request.signals) {
    const auto it = result.signals.find(s);
    if (it == result.signals.end()) {
      removeWritten();
      return fail("signal \"" + s + "\" is not produced by this synthesis");
    }
    if (std::string e = store(signalFileName(output, s), it->second); !e.empty()) {
      removeWritten();
      return fail(e);
    }
  }
  // Ground truth beside the audio: the same request, so the same tracks as
  // `quorvel tracks` gives for the score.
  if (settings.tracksEveryMs > 0 || settings.textGrid) {
    if (settings.textGrid && prepared.labels.size() != prepared.request.frames.size()) {
      removeWritten();
      return fail(
          "--textgrid needs a \"labels\" field in the score with one label per key frame (" +
          std::to_string(prepared.request.frames.size()) + "), got " +
          std::to_string(prepared.labels.size()));
    }
    try {
      std::string err;
      double duration_s = 0;
      if (settings.tracksEveryMs > 0) {
        const std::vector<TrackFrame> frames =
            utteranceTracks(prepared.request, settings.tracksEveryMs, err, &duration_s);
        if (!err.empty()) throw OutputFileError("tracks: " + err);
        const std::string path =
            (fs::path(settings.outDir) / besideFileName(output, ".tracks.csv")).string();
        writeWholeFile(path, tracksCsv(frames));
        written.push_back(path);
      } else {
        duration_s = static_cast<double>(result.samples.size()) / row.fs_Hz;
      }
      if (settings.textGrid) {
        const std::string path =
            (fs::path(settings.outDir) / besideFileName(output, ".TextGrid")).string();
        writeWholeFile(path, keyFrameTextGrid(prepared.request, prepared.labels, duration_s));
        written.push_back(path);
      }
    } catch (const std::exception& e) {
      removeWritten();
      return fail(e.what());
    }
  }
  // The main output last: its presence tells that the utterance is complete.
  if (std::string e = store(output, result.samples); !e.empty()) {
    removeWritten();
    return fail(e);
  }
  row.ok = true;
  row.output = output;
  row.cpu_s = threadCpuSeconds() - cpuStart;
  return row;
}

bool outputMatchesRow(const std::string& outDir, const MetadataRow& row) {
  if (!row.ok || row.output.empty()) return false;
  const std::string path = (fs::path(outDir) / row.output).string();
  SF_INFO info{};
  SNDFILE* sf = sf_open(path.c_str(), SFM_READ, &info);
  if (sf == nullptr) return false;
  sf_close(sf);
  return info.channels == 1 && static_cast<std::size_t>(info.frames) == row.samples &&
         static_cast<double>(info.samplerate) == row.fs_Hz;
}

}  // namespace vt
