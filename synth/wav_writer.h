#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vt {

/// Sample encoding of a sound file.
enum class WavEncoding {
  Float32,  ///< 32-bit IEEE float: the samples exactly, no clipping (FLAC: 24-bit PCM)
  Pcm16,    ///< 16-bit integers: samples scaled by 32767, clipped to ±1.0
};

/// Container of a sound file, chosen by the extension of its name.
enum class SoundFileFormat {
  Wav,   ///< ".wav": RIFF WAVE
  Flac,  ///< ".flac": FLAC, integer samples only (float becomes 24-bit PCM)
  Aiff,  ///< ".aiff" or ".aif": AIFF (AIFF-C for float samples)
};

/// Container for the extension of path (case ignored): .wav, .flac, .aiff or
/// .aif; nullopt for any other extension or none.
std::optional<SoundFileFormat> soundFileFormatFor(const std::string& path);

/// Empty when a sound file can be written at path (a known extension, a
/// directory that takes a new file, no directory, device, FIFO or socket of
/// that name), else why not. Creates and removes a temporary file beside
/// path; nothing else is changed.
std::string checkSoundFileTarget(const std::string& path);

/// Outcome of writing a sound file.
struct WavWriteResult {
  bool ok = false;
  std::string error;        ///< why the file could not be written
  std::size_t clipped = 0;  ///< samples beyond ±1.0 that were clipped (integer encodings)
  std::string encoding;     ///< what was written, e.g. "32-bit float", "16-bit PCM"
};

/// Writes mono samples (multiplied by gain) at sampleRate Hz as a sound file
/// whose container follows the extension of path (soundFileFormatFor; any
/// other extension is refused). The file holds nothing that depends on the
/// time of writing, so the same samples give byte-identical files; a float WAV
/// carries the complete format header (with its extension-size field) that
/// readers expect of non-PCM data. The data goes to a temporary file beside
/// path, which is renamed to path only when everything has been written: on
/// failure no file is left and an existing file at path is untouched. A
/// symbolic link at path is followed to the file it names; a directory,
/// device, FIFO or socket at path is refused.
WavWriteResult writeWavFile(const std::string& path, const std::vector<float>& samples,
                            int sampleRate, WavEncoding encoding, float gain = 1.0f);

}  // namespace vt
