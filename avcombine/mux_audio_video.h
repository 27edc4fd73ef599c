#pragma once
// Lays the sound track of a WAV file under the video of an AVI file: one new
// AVI file with the video stream first and the audio stream second.

#include <string>

namespace vt {

/// How the video stream reaches the output.
enum class VideoCoding {
  Copy,      ///< packets carried over unchanged, with their own FourCC
  MsVideo1,  ///< decoded and re-encoded with Microsoft Video 1 ("MSVC")
};

/// Settings of one combining pass.
struct MuxOptions {
  VideoCoding video = VideoCoding::Copy;
};

/// Outcome of a combining pass: ok, or a message naming the file and the reason.
struct MuxResult {
  bool ok = true;
  std::string message;
  explicit operator bool() const { return ok; }
};

/// Writes outputName as an AVI file holding the first video stream of
/// videoName followed by the first audio stream of audioName, interleaved
/// chunk by chunk in time order. The audio packets (PCM as stored in the WAV
/// file) and their complete format parameters are carried over unchanged; the
/// video is carried over or re-encoded as options say. Both streams keep their
/// timing (frame rate, sample rate, channels, sample format, duration); a
/// sound track longer or shorter than the video is carried whole.
///
/// The audio stream's parameters are checked first (channel count, sample
/// rate, block align, bits per sample: audio_stream_check.h), and the written
/// file is opened and its streams probed before it is put in place.
///
/// The output appears only when complete (written under a temporary name in
/// its directory, then renamed over any earlier file). On failure nothing is
/// created or changed, every opened file is released and the message names the
/// file and the reason. An output name that refers to one of the inputs is
/// refused, so an input is never replaced.
MuxResult mux_audio_video(const std::string& audioName, const std::string& videoName,
                          const std::string& outputName, const MuxOptions& options = {});

}  // namespace vt
