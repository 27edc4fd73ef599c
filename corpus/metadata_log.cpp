#include "corpus/metadata_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "fileio/staged_output.h"

namespace vt {
namespace {

/// Writes all of text to fd; false with errno set on failure.
bool writeAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

MetadataLog::MetadataLog(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd_ < 0) {
    throw OutputFileError("cannot open the metadata file \"" + path +
                          "\": " + std::strerror(errno));
  }
}

MetadataLog::~MetadataLog() {
  if (fd_ >= 0) ::close(fd_);
}

void MetadataLog::append(const MetadataRow& row) {
  const std::string line = metadataLine(row);
  std::lock_guard lock(mutex_);
  if (!writeAll(fd_, line)) {
    throw OutputFileError("cannot write the metadata file \"" + path_ +
                          "\": " + std::strerror(errno));
  }
}

std::vector<MetadataRow> readMetadataFile(const std::string& path) {
  std::vector<MetadataRow> rows;
  std::ifstream in(path, std::ios::binary);
  std::string text;
  MetadataRow row;
  // getline also returns a last line without its newline: that one was cut
  // short by a crash and is passed over.
  while (std::getline(in, text)) {
    if (in.eof()) break;
    if (parseMetadataLine(text, row)) rows.push_back(row);
  }
  return rows;
}

void writeMetadataFile(const std::string& path, const std::vector<MetadataRow>& rows) {
  StagedOutput staged(path);
  std::string text;
  for (const MetadataRow& r : rows) text += metadataLine(r);
  const int fd = ::open(staged.tempName().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  const bool written = fd >= 0 && writeAll(fd, text);
  const int e = errno;
  if (fd >= 0 && ::close(fd) != 0 && written) {
    throw OutputFileError("cannot write the metadata file \"" + path +
                          "\": " + std::strerror(errno));
  }
  if (!written)
    throw OutputFileError("cannot write the metadata file \"" + path + "\": " + std::strerror(e));
  staged.commit();
}

}  // namespace vt
