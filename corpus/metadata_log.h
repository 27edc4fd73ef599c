#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "corpus/metadata.h"

namespace vt {

/// metadata.jsonl while a batch runs: each row is appended as one whole line
/// by a single write, so a killed batch leaves only complete lines.
class MetadataLog {
 public:
  /// Opens (creates) path for appending; throws OutputFileError when impossible.
  explicit MetadataLog(const std::string& path);
  ~MetadataLog();
  MetadataLog(const MetadataLog&) = delete;
  MetadataLog& operator=(const MetadataLog&) = delete;

  /// Appends the row's line; safe from several threads. Throws OutputFileError on a write error.
  void append(const MetadataRow& row);

 private:
  std::string path_;
  int fd_ = -1;
  std::mutex mutex_;
};

/// The complete rows of a metadata file in file order; a missing file gives
/// none, a torn or foreign line is passed over.
std::vector<MetadataRow> readMetadataFile(const std::string& path);

/// Replaces path by a file of exactly these rows (complete or not at all).
/// Throws OutputFileError when it cannot be written.
void writeMetadataFile(const std::string& path, const std::vector<MetadataRow>& rows);

}  // namespace vt
