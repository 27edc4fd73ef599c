#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vt {

/// One utterance of a corpus manifest (one line of JSON Lines):
/// {"id": "...", "score": "path.json" | {score object}, "seed": n, "output": "name.wav"}.
struct ManifestEntry {
  std::size_t index = 0;  ///< position among the manifest's utterances, from 0 (shards count it)
  std::size_t line = 0;   ///< line number in the manifest file, from 1
  std::string id;         ///< the utterance's name (empty when the line gives none usable)
  std::string scorePath;  ///< score file, resolved against the manifest's directory
  std::string scoreText;  ///< inline score as JSON text (when scorePath is empty)
  std::optional<std::uint32_t> seed;  ///< independent noise sequence for this utterance
  std::string output;                 ///< output file name inside the output directory
  std::string error;                  ///< why the line cannot be synthesised (empty: usable)
};

/// A manifest read from disk: its utterances and the directory relative paths start from.
struct Manifest {
  std::string baseDir;
  std::vector<ManifestEntry> entries;
};

/// Reads a JSON Lines manifest. Blank lines and lines starting with '#' are
/// skipped; every other line is one utterance. A line that is not a usable
/// entry (malformed JSON, missing or unsafe id, unknown field, duplicate id
/// or output) becomes an entry whose error says why, so the other utterances
/// still run. Returns false with err only when the file cannot be read.
bool readManifest(const std::string& path, Manifest& out, std::string& err);

/// Parses the manifest text (see readManifest); relative score paths are
/// taken from baseDir.
Manifest parseManifest(const std::string& text, const std::string& baseDir);

/// Empty when name can be a file directly inside the output directory, else why not.
std::string checkOutputName(const std::string& name);

}  // namespace vt
