#pragma once
// An output file that appears under its final name only when complete: it is
// written under a unique temporary name in the same directory and renamed into
// place by commit(); a file never committed is removed again.

#include <stdexcept>
#include <string>

namespace vt {

/// An output file that cannot be created, written or put in place; what()
/// names the file and the reason.
class OutputFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// A temporary file next to the final output, renamed into place on commit().
class StagedOutput {
 public:
  /// Creates an empty, uniquely named temporary file in the directory of
  /// finalName (of the file it names, if finalName is a symbolic link). Throws
  /// OutputFileError naming the output when that is impossible (no such directory, no
  /// permission, the final name is a directory, device, FIFO or socket).
  explicit StagedOutput(const std::string& finalName);
  ~StagedOutput();
  StagedOutput(const StagedOutput&) = delete;
  StagedOutput& operator=(const StagedOutput&) = delete;

  /// Name of the temporary file to write.
  const std::string& tempName() const { return tempName_; }

  /// Flushes the temporary file to disk and renames it to the final name,
  /// replacing an earlier file of that name. Throws OutputFileError on failure.
  void commit();

 private:
  std::string finalName_;   // as the caller wrote it, for messages
  std::string targetName_;  // the file replaced on commit (a link's target)
  std::string tempName_;
  bool committed_ = false;
  int signalSlot_ = -1;  // registration for removal on SIGINT/SIGTERM
};

/// Writes text to path through a staged temporary file: the file appears
/// whole or not at all. Throws OutputFileError naming path on failure.
void writeWholeFile(const std::string& path, const std::string& text);

/// The final file name that a temporary file name (without directory) was
/// made for, or empty when it is not such a name: lets a later run remove
/// what a killed writer left behind.
std::string stagedFinalName(const std::string& tempFileName);

/// True when both names lead to the same existing file (also through other
/// spellings of the path, symbolic or hard links).
bool sameFile(const std::string& a, const std::string& b);

}  // namespace vt
