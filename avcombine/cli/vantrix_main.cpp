// vantrix AUDIO.wav VIDEO.avi: lays a WAV sound track under an AVI video
// compressed with Microsoft Video 1, written to temp.avi.

#include "avcombine/cli/command_line.h"
#include "avcombine/vantrix.h"

namespace {

constexpr const char* kUsage = "Usage: vantrix [--] AUDIO.wav VIDEO.avi\n";

constexpr const char* kHelp =
    "Lays the sound track of a WAV file under the video of an AVI file and\n"
    "compresses the video with Microsoft Video 1 (FourCC MSVC).\n"
    "\n"
    "Writes temp.avi in the working directory with two streams: the first video\n"
    "stream of VIDEO.avi, re-encoded frame for frame at the codec's highest\n"
    "compression, then the first audio stream of AUDIO.wav, its samples\n"
    "unchanged. Further streams of the inputs are left out. temp.avi appears only\n"
    "when complete; an earlier temp.avi is replaced then. An input named\n"
    "temp.avi is refused. The frame size must be a multiple of 4 pixels in both\n"
    "directions.\n";

}  // namespace

int main(int argc, char** argv) {
  static constexpr vt::cli::Program kProgram{
      "vantrix", kUsage, kHelp, 2,
      [](const std::vector<std::string>& f) { return vt::vantrix(f[0], f[1]); }};
  return vt::cli::runProgram(kProgram, argc, argv);
}
