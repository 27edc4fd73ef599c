#include "synth/wav_writer.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include <fcntl.h>
#include <sndfile.h>
#include <unistd.h>

#include "fileio/staged_output.h"

namespace vt {
namespace {

/// Lower-case extension of path, with its dot ("" when there is none).
std::string lowerExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

/// libsndfile writes the format chunk of a float WAV without the 2-byte
/// extension size that every non-PCM format chunk carries, which readers
/// such as sox warn about. Its float header is
///   "fmt " 16 <16 bytes>  "fact" 4 <frames>  "PAD " 16 <16 zero bytes>
/// from byte 12 on (the PAD chunk stands where the PEAK chunk would be); the
/// same 60 bytes then hold the complete form
///   "fmt " 18 <16 bytes> 0  "fact" 4 <frames>  "PAD " 14 <14 zero bytes>,
/// so the data and the RIFF size stay where they are. Any other layout is
/// left alone (the file is valid as written). Returns false on an I/O error.
bool completeFloatFormatChunk(const std::string& file) {
  constexpr std::size_t kFrom = 12, kSize = 60;
  const int fd = ::open(file.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  unsigned char h[kSize];
  if (::pread(fd, h, kSize, kFrom) != static_cast<ssize_t>(kSize)) return false;
  auto le32 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(h[at]) | static_cast<std::uint32_t>(h[at + 1]) << 8 |
           static_cast<std::uint32_t>(h[at + 2]) << 16 |
           static_cast<std::uint32_t>(h[at + 3]) << 24;
  };
  const bool expected = std::memcmp(h, "fmt ", 4) == 0 && le32(4) == 16 &&
                        std::memcmp(h + 24, "fact", 4) == 0 && le32(28) == 4 &&
                        std::memcmp(h + 36, "PAD ", 4) == 0 && le32(40) == 16;
  if (!expected) return true;
  unsigned char fixed[kSize] = {};
  std::memcpy(fixed, "fmt ", 4);
  fixed[4] = 18;
  std::memcpy(fixed + 8, h + 8, 16);  // tag, channels, rate, byte rate, block, bits
  // fixed[24..25]: extension size 0
  std::memcpy(fixed + 26, h + 24, 12);  // the fact chunk
  std::memcpy(fixed + 38, "PAD ", 4);
  fixed[42] = 14;
  return ::pwrite(fd, fixed, kSize, kFrom) == static_cast<ssize_t>(kSize);
}

/// Why a file name selects no sound-file format.
std::string formatRefusal(const std::string& path) {
  return "cannot write \"" + path +
         "\": the file name must end in .wav, .flac or .aiff, which selects the file format";
}

}  // namespace

std::optional<SoundFileFormat> soundFileFormatFor(const std::string& path) {
  const std::string ext = lowerExtension(path);
  if (ext == ".wav") return SoundFileFormat::Wav;
  if (ext == ".flac") return SoundFileFormat::Flac;
  if (ext == ".aiff" || ext == ".aif") return SoundFileFormat::Aiff;
  return std::nullopt;
}

std::string checkSoundFileTarget(const std::string& path) {
  try {
    const StagedOutput probe(path);  // removed again when it goes out of scope
  } catch (const OutputFileError& e) {
    return e.what();
  }
  if (!soundFileFormatFor(path)) return formatRefusal(path);
  return {};
}

WavWriteResult writeWavFile(const std::string& path, const std::vector<float>& samples,
                            int sampleRate, WavEncoding encoding, float gain) {
  WavWriteResult res;
  if (sampleRate < 1) {
    res.error =
        "sampling frequency " + std::to_string(sampleRate) + " Hz cannot be written to a WAV file";
    return res;
  }
  // Written under a temporary name beside the target and renamed into place
  // when complete; a device, FIFO, socket or directory is refused, a symbolic
  // link is written through.
  std::optional<StagedOutput> staged;
  try {
    staged.emplace(path);
  } catch (const OutputFileError& e) {
    res.error = e.what();
    return res;
  }
  const std::optional<SoundFileFormat> format = soundFileFormatFor(path);
  if (!format) {
    res.error = formatRefusal(path);
    return res;
  }
  // FLAC holds integers only: float samples go to its widest encoding.
  const bool toFloat = encoding == WavEncoding::Float32 && *format != SoundFileFormat::Flac;
  const int container = *format == SoundFileFormat::Wav    ? SF_FORMAT_WAV
                        : *format == SoundFileFormat::Flac ? SF_FORMAT_FLAC
                                                           : SF_FORMAT_AIFF;
  const int subtype = toFloat                          ? SF_FORMAT_FLOAT
                      : encoding == WavEncoding::Pcm16 ? SF_FORMAT_PCM_16
                                                       : SF_FORMAT_PCM_24;
  res.encoding = toFloat                       ? "32-bit float"
                 : subtype == SF_FORMAT_PCM_16 ? "16-bit PCM"
                                               : "24-bit PCM";
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = 1;
  info.format = container | subtype;
  SNDFILE* sf = sf_open(staged->tempName().c_str(), SFM_WRITE, &info);
  if (sf == nullptr) {
    res.error = "cannot write \"" + path + "\": " + sf_strerror(nullptr);
    return res;
  }
  // The PEAK chunk records the time of writing: without it the same samples
  // give the same bytes.
  sf_command(sf, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
  sf_count_t written = 0;
  const sf_count_t n = static_cast<sf_count_t>(samples.size());
  if (toFloat) {
    if (gain == 1.0f) {
      written = sf_write_float(sf, samples.data(), n);
    } else {
      std::vector<float> scaled(samples.size());
      for (std::size_t i = 0; i < samples.size(); ++i) scaled[i] = samples[i] * gain;
      written = sf_write_float(sf, scaled.data(), n);
    }
  } else {
    // Integer samples: clipped to +-1 and counted; full scale 32767 or 8388607.
    const bool pcm16 = subtype == SF_FORMAT_PCM_16;
    std::vector<int> pcm(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
      float v = samples[i] * gain;
      if (std::isnan(v)) v = 0.0f;
      if (v > 1.0f || v < -1.0f) {
        ++res.clipped;
        v = v > 0.0f ? 1.0f : -1.0f;
      }
      pcm[i] = pcm16 ? static_cast<int>(std::lrint(v * 32767.0f)) << 16
                     : static_cast<int>(std::lrint(static_cast<double>(v) * 8388607.0)) << 8;
    }
    written = sf_write_int(sf, pcm.data(), n);
  }
  std::string sfErr = written == n ? "" : sf_strerror(sf);
  const int closeErr = sf_close(sf);
  if (written != n || closeErr != 0) {
    res.error =
        "writing \"" + path + "\" failed: " + (sfErr.empty() ? sf_error_number(closeErr) : sfErr);
    return res;
  }
  if (toFloat && *format == SoundFileFormat::Wav && !completeFloatFormatChunk(staged->tempName())) {
    res.error = "writing \"" + path + "\" failed: " + std::strerror(errno);
    return res;
  }
  try {
    staged->commit();
  } catch (const OutputFileError& e) {
    res.error = e.what();
    return res;
  }
  res.ok = true;
  return res;
}

}  // namespace vt
