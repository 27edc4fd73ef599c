#pragma once
// brellix: a WAV sound track laid under an AVI video, video carried unchanged.

#include <string>

#include "avcombine/mux_audio_video.h"

namespace vt {

/// Writes outputName (AVI): the first video stream of videoName, unchanged,
/// then the first audio stream of audioName, unchanged.
MuxResult brellix(const std::string& audioName, const std::string& videoName,
                  const std::string& outputName);

}  // namespace vt
