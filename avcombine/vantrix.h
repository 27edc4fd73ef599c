#pragma once
// vantrix: a WAV sound track laid under an AVI video compressed with Microsoft
// Video 1, always written to "temp.avi" in the working directory.

#include <string>

#include "avcombine/mux_audio_video.h"

namespace vt {

/// The fixed name of vantrix's output file, in the working directory.
inline constexpr const char* kVantrixOutput = "temp.avi";

/// Writes "temp.avi": the first video stream of videoName re-encoded with
/// Microsoft Video 1, then the first audio stream of audioName, unchanged. An
/// earlier "temp.avi" is replaced only when the new one is complete; an input
/// named "temp.avi" is refused rather than overwritten.
MuxResult vantrix(const std::string& audioName, const std::string& videoName);

}  // namespace vt
