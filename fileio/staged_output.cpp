#include "fileio/staged_output.h"

#include "fileio/removal_on_signal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string_view>
#include <system_error>

namespace vt {

namespace fs = std::filesystem;

namespace {
constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kSuffixLength = 8;
constexpr char kTempEnd[] = ".part";
}  // namespace

StagedOutput::StagedOutput(const std::string& finalName)
    : finalName_(finalName), targetName_(finalName) {
  if (finalName.empty()) throw OutputFileError("the output file name is empty");
  std::error_code ec;
  // Through a symbolic link the file it names is replaced, the link stays.
  if (fs::is_symlink(fs::symlink_status(finalName, ec))) {
    const fs::path resolved = fs::weakly_canonical(finalName, ec);
    if (!ec) targetName_ = resolved.string();
  }
  const fs::path target(targetName_);
  const fs::file_status st = fs::status(target, ec);
  if (fs::is_directory(st)) {
    throw OutputFileError("cannot write the output file \"" + finalName + "\": it is a directory");
  }
  // Renaming over a device, FIFO or socket would replace it with a regular
  // file (as root, an output named /dev/null would destroy the device).
  if (fs::exists(st) && !fs::is_regular_file(st)) {
    throw OutputFileError("cannot write the output file \"" + finalName +
                          "\": it is not a regular file");
  }
  const fs::path dir = target.parent_path();
  // A name the directory cannot hold fails now rather than at the rename
  // after the whole file has been written.
  const long nameMax = ::pathconf(dir.empty() ? "." : dir.c_str(), _PC_NAME_MAX);
  if (nameMax > 0 && target.filename().string().size() > static_cast<std::size_t>(nameMax)) {
    throw OutputFileError("cannot create the output file \"" + finalName +
                          "\": " + std::strerror(ENAMETOOLONG));
  }
  // The temporary name adds 15 characters; a long final name is shortened in
  // it so that the temporary name stays within the 255-byte name limit.
  const std::string base = target.filename().string().substr(0, 200);

  // Create the file exclusively (O_EXCL) so no existing file is ever reused;
  // mode 0666 lets the process umask decide the permissions as for any new file.
  std::random_device rd;
  int lastErrno = 0;
  for (int attempt = 0; attempt < 64; ++attempt) {
    std::string suffix;
    for (std::size_t i = 0; i < kSuffixLength; ++i) suffix += kDigits[rd() % (sizeof kDigits - 1)];
    const fs::path tmp = dir / ("." + base + "." + suffix + kTempEnd);
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      tempName_ = tmp.string();
      signalSlot_ = registerTemporary(tempName_);
      return;
    }
    lastErrno = errno;
    if (lastErrno != EEXIST) break;
  }
  throw OutputFileError("cannot create the output file \"" + finalName +
                        "\": " + std::strerror(lastErrno));
}

StagedOutput::~StagedOutput() {
  if (!committed_ && !tempName_.empty()) ::unlink(tempName_.c_str());
  unregisterTemporary(signalSlot_);
}

void StagedOutput::commit() {
  // Make the data durable before the name points at it, so a crash leaves
  // either the earlier file or the complete new one.
  const int fd = ::open(tempName_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 || ::fsync(fd) != 0) {
    const int e = errno;
    if (fd >= 0) ::close(fd);
    throw OutputFileError("cannot write the output file \"" + finalName_ +
                          "\": " + std::strerror(e));
  }
  ::close(fd);
  if (std::rename(tempName_.c_str(), targetName_.c_str()) != 0) {
    throw OutputFileError("cannot write the output file \"" + finalName_ +
                          "\": " + std::strerror(errno));
  }
  committed_ = true;
  unregisterTemporary(signalSlot_);
  signalSlot_ = -1;
}

std::string stagedFinalName(const std::string& name) {
  // "." + final name + "." + suffix + ".part"
  const std::size_t tail = 1 + kSuffixLength + (sizeof kTempEnd - 1);
  if (name.size() < 2 + tail || name[0] != '.' || !name.ends_with(kTempEnd)) return "";
  const std::size_t dot = name.size() - tail;
  if (name[dot] != '.') return "";
  for (std::size_t i = dot + 1; i < dot + 1 + kSuffixLength; ++i) {
    if (std::string_view(kDigits).find(name[i]) == std::string_view::npos) return "";
  }
  return name.substr(1, dot - 1);
}

bool sameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  const bool same = fs::equivalent(a, b, ec);
  return !ec && same;
}

void writeWholeFile(const std::string& path, const std::string& text) {
  StagedOutput staged(path);
  {
    std::ofstream f(staged.tempName(), std::ios::binary);
    f << text;
    f.flush();
    if (!f) throw OutputFileError("cannot write \"" + path + "\"");
  }
  staged.commit();
}

}  // namespace vt
