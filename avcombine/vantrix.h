#pragma once
// vantrix: a WAV sound track laid under an AVI video compressed with Microsoft
// Video 1, written to "temp.avi" in the working directory unless another name
// is given.

#include <string>

#include "avcombine/mux_audio_video.h"

namespace vt {

/// The default name of vantrix's output file, in the working directory.
inline constexpr const char* kVantrixOutput = "temp.avi";

/// Writes outputName ("temp.avi" by default): the first video stream of
/// videoName re-encoded with Microsoft Video 1, then the first audio stream of
/// audioName, unchanged. An earlier file of that name is replaced only when
/// the new one is complete; an input of that name is refused rather than
/// overwritten.
MuxResult vantrix(const std::string& audioName, const std::string& videoName,
                  const std::string& outputName = kVantrixOutput);

}  // namespace vt
