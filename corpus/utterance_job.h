#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "corpus/manifest.h"
#include "corpus/metadata.h"
#include "synth/lane_synthesis.h"
#include "synth/synthesis_request.h"
#include "synth/synthesizer.h"

namespace vt {

/// A manifest entry with its score read and checked: the request to
/// synthesise and the row that will describe it (id, position, seed, content
/// hash, rate; or the error that stops it).
struct PreparedUtterance {
  MetadataRow row;
  SynthesisRequest request;
  std::string output;               ///< output file name inside the output directory
  std::vector<std::string> labels;  ///< the score's key-frame labels (may be empty)
  bool ready = false;               ///< false: row.error says why it cannot be synthesised
};

/// How the utterances of one batch are made and stored.
struct UtteranceSettings {
  std::string outDir;                ///< existing directory the outputs go to
  std::vector<std::string> signals;  ///< internal signals to store beside each output
  std::string version;               ///< program release recorded in every row
  std::size_t outputLimit = 0;       ///< most output samples one utterance may hold (0: no limit)
  /// > 0: also store the per-frame ground truth every so many ms (finite) as
  /// <stem>.tracks.csv; 0: none.
  double tracksEveryMs = 0;
  /// Also store a Praat TextGrid of the key frames named by the score's
  /// labels as <stem>.TextGrid (an utterance without labels fails).
  bool textGrid = false;
  /// Polled after every output sample; true abandons the utterance.
  std::function<bool()> cancelled;
};

/// Reads the entry's score (file or inline object), builds the request with
/// the entry's seed and settings.signals added to the score's own signals,
/// and computes the content hash: SHA-256 of the score as read (area-function
/// files included), its airway model, the signals and the seed.
PreparedUtterance prepareUtterance(const ManifestEntry& entry, const UtteranceSettings& settings);

/// Synthesises a prepared utterance with a synthesiser of its own (so the
/// samples depend on nothing else) and writes its output file, 32-bit float
/// samples of the radiated pressure in dyn/cm², and its signals. Returns the
/// finished row (failed when the request is refused, the network diverges
/// to non-finite samples or a file cannot be written; no file of a failed
/// utterance stays), or nothing when cancelled (nothing written).
std::optional<MetadataRow> runUtterance(const PreparedUtterance& prepared,
                                        const UtteranceSettings& settings);

/// Readies a fresh synthesiser for an utterance: the settings' output limit,
/// and a trace observer that abandons the synthesis once settings.cancelled() holds.
void configureSynthesizer(Synthesizer& synth, const UtteranceSettings& settings);

/// The second half of runUtterance, for an utterance synthesised elsewhere
/// (e.g. in a lane group) by a synthesiser that configureSynthesizer readied:
/// checks the outcome, writes the files and returns the finished row, or
/// nothing when the synthesis was abandoned by settings.cancelled. Other
/// exceptions of the synthesis than std::bad_alloc propagate.
/// synthesis_cpu_s: processor time the synthesis took, s (counted into cpu_seconds).
std::optional<MetadataRow> completeUtterance(const PreparedUtterance& prepared,
                                             const UtteranceSettings& settings,
                                             LaneOutcome&& outcome, double synthesis_cpu_s);

/// Processor time of the calling thread, s.
double threadCpuSeconds();

/// True when the output file of a finished row is in place and holds the
/// row's samples at its rate (what --resume relies on before skipping it).
bool outputMatchesRow(const std::string& outDir, const MetadataRow& row);

/// File name of a text file stored beside output: "a.flac" and ".TextGrid" give "a.TextGrid".
std::string besideFileName(const std::string& output, const std::string& extension);
/// File name of a signal stored beside output: "a.flac" and "Ug" give "a.Ug.wav".
std::string signalFileName(const std::string& output, const std::string& signal);

}  // namespace vt
