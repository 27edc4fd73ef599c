#include "avcombine/vantrix.h"

namespace vt {

MuxResult vantrix(const std::string& audioName, const std::string& videoName) {
  return mux_audio_video(audioName, videoName, kVantrixOutput, {VideoCoding::MsVideo1});
}

}  // namespace vt
