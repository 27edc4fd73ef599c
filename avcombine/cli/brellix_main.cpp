// brellix AUDIO.wav VIDEO.avi OUT.avi: lays a WAV sound track under an AVI video.

#include "avcombine/brellix.h"
#include "avcombine/cli/command_line.h"

namespace {

constexpr const char* kUsage = "Usage: brellix [--] AUDIO.wav VIDEO.avi OUT.avi\n";

constexpr const char* kHelp =
    "Lays the sound track of a WAV file under the video of an AVI file.\n"
    "\n"
    "Writes OUT.avi with two streams: the first video stream of VIDEO.avi, its\n"
    "packets unchanged, then the first audio stream of AUDIO.wav, its samples\n"
    "unchanged, interleaved in time order. Further streams of the inputs are\n"
    "left out. OUT.avi appears only when complete; an earlier file of that name\n"
    "is replaced then, and only when it opens with both streams. OUT.avi may\n"
    "not name one of the inputs. A WAV whose format header gives no usable\n"
    "channel count, sample rate, block align or bits per sample is refused.\n";

}  // namespace

int main(int argc, char** argv) {
  static constexpr vt::cli::Program kProgram{
      "brellix", kUsage,
      kHelp,     3,
      nullptr,   [](const std::vector<std::string>& f) { return vt::brellix(f[0], f[1], f[2]); }};
  return vt::cli::runProgram(kProgram, argc, argv);
}
