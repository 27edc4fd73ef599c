#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vt {

/// Sample encoding of a WAV file.
enum class WavEncoding {
  Float32,  ///< 32-bit IEEE float: the samples exactly, no clipping
  Pcm16,    ///< 16-bit integers: samples scaled by 32767, clipped to ±1.0
};

/// Outcome of writing a WAV file.
struct WavWriteResult {
  bool ok = false;
  std::string error;        ///< why the file could not be written
  std::size_t clipped = 0;  ///< samples beyond ±1.0 that were clipped (16-bit only)
};

/// Writes mono samples (multiplied by gain) as a WAV file at sampleRate Hz.
/// The data goes to a temporary file beside path, which is renamed to path only
/// when everything has been written: on failure no file is left and an
/// existing file at path is untouched. A symbolic link at path is followed to
/// the file it names; a directory, device, FIFO or socket at path is refused.
WavWriteResult writeWavFile(const std::string& path, const std::vector<float>& samples,
                            int sampleRate, WavEncoding encoding, float gain = 1.0f);

}  // namespace vt
