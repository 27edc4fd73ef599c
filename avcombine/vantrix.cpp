#include "avcombine/vantrix.h"

namespace vt {

MuxResult vantrix(const std::string& audioName, const std::string& videoName,
                  const std::string& outputName) {
  return mux_audio_video(audioName, videoName, outputName, {VideoCoding::MsVideo1});
}

}  // namespace vt
