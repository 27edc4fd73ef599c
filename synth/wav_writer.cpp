#include "synth/wav_writer.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include <sndfile.h>

#include "fileio/staged_output.h"

namespace vt {
WavWriteResult writeWavFile(const std::string& path, const std::vector<float>& samples,
                            int sampleRate, WavEncoding encoding, float gain) {
  WavWriteResult res;
  if (sampleRate < 1) {
    res.error = "sampling frequency " + std::to_string(sampleRate) + " Hz cannot be written to a WAV file";
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
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | (encoding == WavEncoding::Float32 ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_16);
  SNDFILE* sf = sf_open(staged->tempName().c_str(), SFM_WRITE, &info);
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
