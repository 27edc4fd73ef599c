#include "synth/wav_writer.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vt {
namespace {

/// Temporary file in the target's directory, removed unless released.
class TempFile {
 public:
  explicit TempFile(const std::string& target) : path_(tempPattern(target)) {
    fd_ = mkstemp(path_.data());
    if (fd_ >= 0) {
      // mkstemp creates the file readable by its owner only; give it the
      // permissions an ordinary new file would get.
      const mode_t mask = umask(0);
      umask(mask);
      fchmod(fd_, 0666 & ~mask);
    }
  }
  ~TempFile() {
    if (fd_ >= 0) close(fd_);
    if (!released_ && created()) unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  /// "<target>.partial-XXXXXX" beside target, the name shortened so that it
  /// stays within the 255-byte limit of a directory entry.
  static std::string tempPattern(const std::string& target) {
    const std::filesystem::path t(target);
    const std::string name = t.filename().string().substr(0, 200) + ".partial-XXXXXX";
    return (t.parent_path() / name).string();
  }

  bool created() const { return openedOnce_ || fd_ >= 0; }
  const std::string& path() const { return path_; }
  /// Hands the descriptor over (to libsndfile, which closes it).
  int takeFd() {
    openedOnce_ = true;
    int fd = fd_;
    fd_ = -1;
    return fd;
  }
  /// Moves the finished file to target; afterwards nothing is removed.
  bool commit(const std::string& target) {
    if (std::rename(path_.c_str(), target.c_str()) != 0) return false;
    released_ = true;
    return true;
  }

 private:
  std::string path_;
  int fd_ = -1;
  bool openedOnce_ = false;
  bool released_ = false;
};

}  // namespace

WavWriteResult writeWavFile(const std::string& path, const std::vector<float>& samples,
                            int sampleRate, WavEncoding encoding, float gain) {
  WavWriteResult res;
  if (sampleRate < 1) {
    res.error = "sampling frequency " + std::to_string(sampleRate) + " Hz cannot be written to a WAV file";
    return res;
  }
  // The finished file is renamed into place. Through a symbolic link it goes
  // to the file the link names; a device, FIFO or socket is never replaced
  // (as root, "-o /dev/null" would turn the device into a regular file).
  namespace fs = std::filesystem;
  std::error_code ec;
  std::string target = path;
  if (fs::is_symlink(fs::symlink_status(path, ec))) {
    const fs::path resolved = fs::weakly_canonical(path, ec);
    if (!ec) target = resolved.string();
  }
  const fs::file_status st = fs::status(target, ec);
  if (fs::exists(st) && !fs::is_regular_file(st)) {
    res.error = "cannot write \"" + path + "\": it is " +
                (fs::is_directory(st) ? "a directory" : "not a regular file");
    return res;
  }
  TempFile tmp(target);
  if (!tmp.created()) {
    res.error = "cannot create a file beside \"" + path + "\": " + std::strerror(errno);
    return res;
  }
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | (encoding == WavEncoding::Float32 ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_16);
  SNDFILE* sf = sf_open_fd(tmp.takeFd(), SFM_WRITE, &info, SF_TRUE);
  if (sf == nullptr) {
    res.error = std::string("cannot write WAV: ") + sf_strerror(nullptr);
    return res;
  }
  sf_count_t written = 0;
  const sf_count_t n = static_cast<sf_count_t>(samples.size());
  if (encoding == WavEncoding::Float32) {
    if (gain == 1.0f) {
      written = sf_write_float(sf, samples.data(), n);
    } else {
      std::vector<float> scaled(samples.size());
      for (std::size_t i = 0; i < samples.size(); ++i) scaled[i] = samples[i] * gain;
      written = sf_write_float(sf, scaled.data(), n);
    }
  } else {
    std::vector<short> pcm(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
      float v = samples[i] * gain;
      if (std::isnan(v)) v = 0.0f;
      if (v > 1.0f || v < -1.0f) {
        ++res.clipped;
        v = v > 0.0f ? 1.0f : -1.0f;
      }
      pcm[i] = static_cast<short>(std::lrint(v * 32767.0f));
    }
    written = sf_write_short(sf, pcm.data(), n);
  }
  std::string sfErr = written == n ? "" : sf_strerror(sf);
  const int closeErr = sf_close(sf);
  if (written != n || closeErr != 0) {
    res.error = "writing \"" + path + "\" failed: " + (sfErr.empty() ? sf_error_number(closeErr) : sfErr);
    return res;
  }
  if (!tmp.commit(target)) {
    res.error = "cannot rename the finished file to \"" + path + "\": " + std::strerror(errno);
    return res;
  }
  res.ok = true;
  return res;
}

}  // namespace vt
