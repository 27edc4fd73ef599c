#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vt {

/// Outcome of one utterance of a corpus, one line of metadata.jsonl.
struct MetadataRow {
  std::size_t index = 0;    ///< position among the manifest's utterances, from 0
  std::size_t line = 0;     ///< manifest line, from 1
  std::string id;           ///< utterance name (empty: the line gave none)
  bool ok = false;          ///< status "ok" (output written) or "failed"
  std::string error;        ///< why it failed
  std::string output;       ///< output file inside the output directory (empty: none written)
  std::size_t samples = 0;  ///< output samples
  double fs_Hz = 0.0;       ///< output sampling frequency, Hz
  double duration_s = 0.0;  ///< samples / fs, s
  double peak = 0.0;        ///< largest finite |sample|, dyn/cm²
  double rms = 0.0;         ///< root mean square of the finite samples, dyn/cm²
  bool nonfinite = false;   ///< some sample is infinite or not a number (the network diverged)
  double cpu_s = 0.0;       ///< processor time of the synthesis and the writing, s
  std::string scoreHash;  ///< SHA-256 of the score's content, seed and signals (empty: unreadable)
  std::optional<std::uint32_t> seed;  ///< noise seed of the manifest line
  std::string version;                ///< program release that made it
  bool operator==(const MetadataRow&) const = default;
};

/// The row as one line of JSON (with the final newline), fields in a fixed order.
std::string metadataLine(const MetadataRow& row);

/// Reads a line written by metadataLine (without its newline); false when the
/// line is not a complete row (a line torn by a crash, say).
bool parseMetadataLine(const std::string& text, MetadataRow& row);

}  // namespace vt
