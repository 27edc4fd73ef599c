#include "avcombine/brellix.h"

namespace vt {

MuxResult brellix(const std::string& audioName, const std::string& videoName,
                  const std::string& outputName) {
  return mux_audio_video(audioName, videoName, outputName, {VideoCoding::Copy});
}

}  // namespace vt
